#include "IsFireFoxAvailable.h"

#include "TWebKitHost.h"
#include "TfrmWebKitBrowser.h"

#include <QGuiApplication>

using namespace Qt::Literals::StringLiterals;

bool IsFireFoxAvailable(int timeoutMs)
{
    if (QGuiApplication::platformName() != u"xcb"_s)
        return false;
    return TWebKitHost::Answers(TfrmWebKitBrowser::HostProgram(), timeoutMs);
}
