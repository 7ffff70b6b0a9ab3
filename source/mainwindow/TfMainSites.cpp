// The main window's part of the installed sites: creating the Installed tab, loading the
// data file, and what the tab's commands ask of the window.

#include "TSiteBrowsers.h"
#include "TfMain.h"
#include "browser/TfBrowserThumbnailForm.h"
#include "catalogviews/TCatalogViews.h"
#include "sites/TInstalledSites.h"
#include "sites/TMVVisualManager.h"
#include "sites/TfRateSiteDlg.h"
#include "stores/TFavoriteIconManager.h"
#include "stores/TFileCacheManager.h"
#include "stores/TThumbnailManager.h"

#include <QLoggingCategory>
#include <QTabWidget>

Q_DECLARE_LOGGING_CATEGORY(lcWindow)

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

void TfMain::CreateSiteBrowsers()
{
    m_siteBrowsers = std::make_unique<TSiteBrowsers>(*m_settings, m_dataFolder);
    m_siteBrowsers->SaveSites = [this] {
        m_installedSites->Manager().Save();
    };
    m_siteBrowsers->OnCountChanged = [this](int count) {
        m_installedSites->SetOpenBrowserCount(count);
        qCDebug(lcWindow) << "open browsers" << count;
    };
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
    hooks.CaptureThumbnail = [this](const QString& address, QSize size, QImage& page) {
        const std::optional<QImage> captured = CaptureSiteScreenshot(address, size, this);
        if (!captured)
            return false;
        page = *captured;
        return true;
    };
    hooks.RunSite = [this](TMVWebElement& tile) {
        m_siteBrowsers->RunSite(tile);
    };
    hooks.CloseSiteBrowser = [this](TMVWebElement& tile) {
        m_siteBrowsers->CloseSiteBrowser(tile);
    };
    hooks.SiteRemoving = [this](TMVWebElement& tile) {
        m_siteBrowsers->SiteRemoving(tile);
    };
    hooks.MinimizeAllBrowsers = [this] {
        m_siteBrowsers->MinimizeAll();
    };
    hooks.HideAllBrowsersToTray = [this] {
        m_siteBrowsers->HideAllToTray();
    };
    hooks.CloseAllBrowsers = [this] {
        m_siteBrowsers->CloseAll();
    };
    hooks.SiteTitleChanged = [this](TMVWebElement& tile) {
        m_siteBrowsers->SiteTitleChanged(tile);
    };
    hooks.RateSite = [this](TMorvalenBaseClass& site) {
        return ::RateSite(site, *m_applicationList, ServerUrl({}), this);
    };
    return hooks;
}
