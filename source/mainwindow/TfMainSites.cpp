// The main window's part of the installed sites: creating the Installed tab, loading the
// data file, and what the tab's commands ask of the window.

#include "ProgramParameters.h"
#include "TSiteBrowsers.h"
#include "TSiteLauncherBadges.h"
#include "TfMain.h"
#include "browser/BrowserFrames.h"
#include "browser/TBrowserManager.h"
#include "browser/TUnreadCounts.h"
#include "browser/TfBrowserThumbnailForm.h"
#include "catalogviews/TCatalogViews.h"
#include "common/Errors.h"
#include "dialogs/ModalResult.h"
#include "markup/CountBadge.h"
#include "menus/MVMenus.h"
#include "notify/TNotificationQuiet.h"
#include "sites/SitesDataFile.h"
#include "sites/TInstalledSites.h"
#include "sites/TMVVisualManager.h"
#include "sites/TMVWebElement.h"
#include "sites/TSiteSettings.h"
#include "sites/TSiteShortcuts.h"
#include "sites/TfRateSiteDlg.h"
#include "sites/TfSiteDlg.h"
#include "stores/TFavoriteIconManager.h"
#include "stores/TFileCacheManager.h"
#include "stores/TThumbnailManager.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QSystemTrayIcon>
#include <QTabWidget>

Q_DECLARE_LOGGING_CATEGORY(lcWindow)

using namespace Qt::Literals::StringLiterals;

void TfMain::CreateInstalledSites()
{
    m_installedSites =
        std::make_unique<TInstalledSites>(*TabPage(pgInstalled), *m_thumbnailManager, *m_favoriteIconManager,
                                          *m_cacheManager, InstalledSitesHooks());
}

void TfMain::CreateSiteBrowsers()
{
    m_siteSettings =
        std::make_unique<TSiteSettings>(m_dataFolder + QString::fromUtf16(TSiteSettings::kFileName));
    if (!m_siteSettings->LastError().isEmpty())
        qWarning("%s", qPrintable(m_siteSettings->LastError()));
    m_siteBrowsers = std::make_unique<TSiteBrowsers>(*m_settings, m_dataFolder);
    TBrowserManager* manager = &m_siteBrowsers->Manager();
    m_siteBrowsers->SetSiteSettings(m_siteSettings.get());
    connect(&m_siteBrowsers->Quiet(), &TNotificationQuiet::QuietChanged, this, [this] { UpdateTrayIcon(); });
    // Beside the tray menu's browser commands; the menu is built before the browsers are.
    auto* doNotDisturb = new QAction(u"Do not disturb"_s, m_trayMenu);
    doNotDisturb->setObjectName(u"miDoNotDisturb"_s);
    doNotDisturb->setCheckable(true);
    doNotDisturb->setData(-1);
    m_trayMenu->insertAction(m_closeAllBrowsersAction, doNotDisturb);
    m_trayMenu->PrepareItems();
    connect(doNotDisturb, &QAction::triggered, this,
            [this](bool on) { m_siteBrowsers->Quiet().SetDoNotDisturb(on); });
    connect(m_trayMenu, &QMenu::aboutToShow, doNotDisturb,
            [this, doNotDisturb] { doNotDisturb->setChecked(m_siteBrowsers->Quiet().DoNotDisturb()); });
    connect(m_doNotDisturbAction, &QAction::triggered, this,
            [this](bool on) { m_siteBrowsers->Quiet().SetDoNotDisturb(on); });
    if (QMenu* file = qobject_cast<QMenu*>(m_doNotDisturbAction->parent()))
        connect(file, &QMenu::aboutToShow, m_doNotDisturbAction,
                [this] { m_doNotDisturbAction->setChecked(m_siteBrowsers->Quiet().DoNotDisturb()); });
    // Ctrl+Q in a site window ends the program as "Exit" does.
    connect(manager, &TBrowserManager::WindowCreated, this, [this](TCustomInternetBrowserWindow* window) {
        connect(window, &TCustomInternetBrowserWindow::QuitRequested, this, &TfMain::Quit);
    });
    connect(manager, &TBrowserManager::Changed, this, [this, manager] {
        m_installedSites->SetOpenBrowserCount(manager->Count());
        qCDebug(lcWindow) << "open browsers" << manager->Count();
    });
    connect(manager, &TBrowserManager::SiteWindowChanged, this, [this](TMorvalenBaseClass* site, bool open) {
        m_installedSites->SiteBrowserChanged(*site, open);
    });
    connect(manager, &TBrowserManager::SiteSleepingChanged, this,
            [this](TMorvalenBaseClass* site, bool sleeping) {
                m_installedSites->SiteSleepingChanged(*site, sleeping);
            });
    TUnreadCounts* counts = &m_siteBrowsers->UnreadCounts();
    m_siteLauncherBadges = std::make_unique<TSiteLauncherBadges>(*counts, *m_siteShortcuts);
    connect(counts, &TUnreadCounts::CountChanged, this,
            [this](TMorvalenBaseClass* site, const TUnreadCounts::TCount& count) {
                m_installedSites->SiteUnreadCountChanged(*site, count.Count, count.Old);
            });
    connect(counts, &TUnreadCounts::TotalChanged, this, [this] { UpdateTrayIcon(); });
    connect(manager, &TBrowserManager::ThumbnailCaptured, this,
            [this](TMorvalenBaseClass* site, const QImage& page) {
                m_installedSites->SiteThumbnailCaptured(*site, page);
            });
    connect(
        manager, &TBrowserManager::PageIconTaken, this,
        [this](TMorvalenBaseClass* site, const QIcon& icon) { m_installedSites->SitePageIcon(*site, icon); });
    UpdateTrayIcon();
}

void TfMain::UpdateTrayIcon()
{
    if (!m_trayIcon)
        return;
    const int total = m_siteBrowsers->UnreadCounts().Total();
    const bool quiet = m_siteBrowsers->Quiet().Quiet();
    m_trayIcon->setIcon(CountBadge::OnIcon(windowIcon(), total, quiet));
    QString hint = total > 0 ? u"Morvalen Desktop (%1 unread)"_s.arg(total) : u"Morvalen Desktop"_s;
    if (quiet)
        hint += u"\nDo not disturb"_s;
    m_trayIcon->setToolTip(hint);
}

void TfMain::PrepareStartEngines(const QStringList& parameters) const
{
    QStringList elementIds;
    HandleCommandLineParameters(parameters, [&elementIds](const QString& parameter) {
        if (const TElementParameter element = ParseParameter(parameter); !element.empty)
            elementIds.append(element.elementId);
    });
    if (elementIds.isEmpty())
        return;
    // Read once more by LoadInstalledSites, much later; a damaged or outsized file is its to
    // report.
    constexpr qint64 kLargestRead = 64 << 20;
    QFile file(m_dataFolder + QString::fromLatin1(SitesDataFile::kFileName));
    if (file.size() > kLargestRead || !file.open(QIODevice::ReadOnly))
        return;
    for (const auto& record : SitesDataFile::Parse(file.readAll()).records) {
        if (elementIds.contains(record->ElementId().toLower()))
            BrowserFrames::Prepare(record->BrowserEngine());
    }
}

void TfMain::LoadInstalledSites()
{
    // The arrange mode of the configuration file applies to the loaded sites.
    m_installedSites->LoadFromFile(m_dataFolder + QString::fromLatin1(SitesDataFile::kFileName));
    m_installedSites->ShowInstalledCount();
    for (const auto& site : m_installedSites->Manager().Items())
        m_siteBrowsers->RestoreUnreadCount(*site);
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
        m_siteBrowsers->OpenSite(tile);
    };
    hooks.CloseSiteBrowser = [this](TMVWebElement& tile) {
        m_siteBrowsers->CloseSiteBrowser(tile);
    };
    hooks.SiteRemoving = [this](TMVWebElement& tile) {
        m_siteBrowsers->SiteRemoving(tile);
        if (const TMorvalenBaseClass* site = tile.MorvalenItem()) {
            // What the site kept of its own goes with it: nothing else can reach it again.
            m_siteSettings->ClearSession(site->ElementId());
            m_siteSettings->RemoveSite(site->ElementId());
            // A launcher left behind would start the program for a site that is gone.
            m_siteShortcuts->RemoveShortcuts(*site);
        }
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
    hooks.ShowSiteWindows = [this] {
        m_siteBrowsers->ShowSiteWindows(this);
    };
    hooks.SiteMuted = [this](const TMorvalenBaseClass& record) {
        return m_siteBrowsers->Quiet().Muted(record.ElementId());
    };
    hooks.SetSiteMuted = [this](const TMorvalenBaseClass& record, bool muted) {
        m_siteBrowsers->Quiet().SetMuted(record.ElementId(), muted);
    };
    hooks.SiteTitleChanged = [this](TMVWebElement& tile) {
        m_siteBrowsers->SiteTitleChanged(tile);
    };
    hooks.ExecuteSiteDialog = [this](TSiteDialogRequest& request) {
        return ExecuteSiteDialog(request);
    };
    // A site's launchers are found again at every start: the data file does not keep them.
    hooks.ItemLoaded = [this](TMorvalenBaseClass& record) {
        m_siteShortcuts->DetectShortcuts(record);
    };
    hooks.RateSite = [this](TMorvalenBaseClass& site) {
        return ::RateSite(site, *m_applicationList, ServerUrl({}), this);
    };
    return hooks;
}

bool TfMain::ExecuteSiteDialog(TSiteDialogRequest& request)
{
    TfSiteDlg dialog(this);
    const auto downloadFirefox = [this] {
        OpenWebPage(ServerUrl(u"/download/FireFox"_s), u"Download FireFox component"_s, true);
    };
    if (request.Mode == TSiteDialogMode::CreateNew)
        dialog.SetCreateMode();
    dialog.SetFavoriteIconManager(m_favoriteIconManager.get());
    dialog.SetThumbnailManager(m_thumbnailManager.get());
    dialog.SetSite(request.Record);
    dialog.SetSiteSettings(m_siteSettings.get());
    if (request.Mode == TSiteDialogMode::Edit) {
        // The site keeps its engine: no settings.
        dialog.SetEditMode();
    } else {
        dialog.SetSettings(m_settings.get());
    }
    if (request.Mode == TSiteDialogMode::InstallNew) {
        QCheckBox* signUp = dialog.SignUpBox();
        signUp->setVisible(!request.SignUpCaption.isEmpty());
        signUp->setText(request.SignUpCaption);
    }
    dialog.SetFirefoxAvailable(FirefoxAvailable());
    dialog.OnDownloadFirefox = downloadFirefox;
    if (request.Mode == TSiteDialogMode::InstallNew)
        dialog.SetInstallMode();
    dialog.SetShortcuts(m_siteShortcuts.get());
    // The capture form may arrive after the dialog's hooks were set up.
    if (m_installedSites->Hooks().CaptureThumbnail) {
        dialog.SetThumbnailCapture([this](const QString& url, int width, int height, QWidget*) {
            QImage page;
            if (!m_installedSites->Hooks().CaptureThumbnail(url, QSize(width, height), page))
                return QImage();
            return page;
        });
    }
    const bool confirmed = dialog.exec() == mrOk;
    request.SignUp = !dialog.SignUpBox()->isHidden() && dialog.SignUpBox()->isChecked();
    return confirmed;
}
