// The main window's part of the installed sites: creating the Installed tab, loading the
// data file, and what the tab's commands ask of the window.

#include "TfMain.h"
#include "catalogviews/TCatalogViews.h"
#include "sites/TInstalledSites.h"
#include "sites/TMVVisualManager.h"
#include "sites/TfRateSiteDlg.h"
#include "stores/TFavoriteIconManager.h"
#include "stores/TFileCacheManager.h"
#include "stores/TThumbnailManager.h"

#include <QTabWidget>

using namespace Qt::Literals::StringLiterals;

namespace {

const auto kSitesFileName = u"MorvalenDesktop.dat"_s;

} // namespace

void TfMain::CreateInstalledSites()
{
    m_installedSites =
        std::make_unique<TInstalledSites>(*TabPage(pgInstalled), *m_thumbnailManager, *m_favoriteIconManager,
                                          *m_cacheManager, InstalledSitesHooks());
}

void TfMain::LoadInstalledSites()
{
    // The arrange mode of the configuration file applies to the loaded sites.
    m_installedSites->LoadFromFile(m_dataFolder + kSitesFileName);
    m_installedSites->ShowInstalledCount();
}

TInstalledSitesHooks TfMain::InstalledSitesHooks()
{
    TInstalledSitesHooks hooks;
    hooks.SetStatusText = [this](const QString& text) {
        SetStatusText(text);
    };
    hooks.OpenWebPage = [this](const QString& address, const QString& title, bool flash) {
        OpenWebPage(address, title, flash);
    };
    hooks.MarkConfigChanged = [this] {
        MarkConfigChanged();
    };
    hooks.ShowInstalledPage = [this] {
        m_mainTabs->setCurrentIndex(pgInstalled);
    };
    hooks.FocusedApplication = [this]() -> TWebApplicationClass* {
        return m_catalogViews ? m_catalogViews->FocusedApplication() : nullptr;
    };
    hooks.RateSite = [this](TMorvalenBaseClass& site) {
        return ::RateSite(site, *m_applicationList, ServerUrl({}), this);
    };
    return hooks;
}
