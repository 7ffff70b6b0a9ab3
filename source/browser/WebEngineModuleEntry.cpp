// The entry point of the Chromium engine module (see WebEngineModule.h).

#include "TWebEngineProfile.h"
#include "TfrmWebEngineBrowser.h"

extern "C" Q_DECL_EXPORT TfrmInternetBrowser*
morvalen_webengine_create_site_frame(QWidget* parent, const QString& dataFolder, const TFrameSite& site)
{
    return new TfrmWebEngineBrowser(TWebEngineProfile::Instance(dataFolder, site.Storage), site, parent);
}
