// The entry point of the Chromium engine module (see WebEngineModule.h).

#include "TWebEngineProfile.h"
#include "TfrmWebEngineBrowser.h"

extern "C" Q_DECL_EXPORT TfrmInternetBrowser* morvalen_webengine_create_frame(QWidget* parent,
                                                                              const QString& dataFolder)
{
    return new TfrmWebEngineBrowser(TWebEngineProfile::Instance(dataFolder), parent);
}
