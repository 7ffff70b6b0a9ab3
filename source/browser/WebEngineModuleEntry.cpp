// The entry point of the Chromium engine module (see WebEngineModule.h).

#include "TWebEngineProfile.h"
#include "TfrmWebEngineBrowser.h"
#include "WebEngineModule.h"

#include <QLocale>
#include <QQuickWindow>

extern "C" Q_DECL_EXPORT TfrmInternetBrowser*
morvalen_webengine_create_site_frame(QWidget* parent, const QString& dataFolder, const TFrameSite& site)
{
    // Before the engine starts and the first view's scene is made, both of which read it.
    static const bool chosen = [] {
        if (WebEngineModule::DrawsInSoftware())
            QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
        return true;
    }();
    Q_UNUSED(chosen);
    TWebEngineProfile& profile = TWebEngineProfile::Instance(dataFolder, site.Storage);
    auto* frame = new TfrmWebEngineBrowser(profile, site, parent);
    // Only a profile that has a page keeps what it is told of spelling. A profile of its own
    // spells as its site says; the shared one in the user's languages (a site that shares
    // it and wants no spelling turns it off in its pages).
    if (site.Storage.isEmpty())
        profile.SetSpelling(true, {QLocale::system().name().replace(u'_', u'-')});
    else
        profile.SetSpelling(site.SpellCheck, site.SpellCheckLanguages);
    return frame;
}
