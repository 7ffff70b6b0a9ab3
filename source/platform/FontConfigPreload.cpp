#include "FontConfigPreload.h"

#include <fontconfig/fontconfig.h>

TFontConfigPreload::TFontConfigPreload()
    : m_thread([] {
          // Qt's font database starts from the configuration this sets current.
          FcInit();
      })
{}

TFontConfigPreload::~TFontConfigPreload()
{
    Finish();
}

void TFontConfigPreload::Finish()
{
    if (m_thread.joinable())
        m_thread.join();
}
