#include "TfMain.h"

#include "ProgramParameters.h"
#include "TMainSchedule.h"
#include "TSiteBrowsers.h"
#include "TSiteLauncherBadges.h"
#include "browser/IsFireFoxAvailable.h"
#include "browser/TCustomInternetBrowserWindow.h"
#include "catalog/TVersionCheck.h"
#include "catalog/TWebApplicationList.h"
#include "catalog/TWebCategoryTree.h"
#include "catalogviews/TCatalogSearch.h"
#include "catalogviews/TCatalogViews.h"
#include "common/Errors.h"
#include "common/FileUtils.h"
#include "common/TimerThreads.h"
#include "dialogs/DialogParts.h"
#include "dialogs/ModalResult.h"
#include "dialogs/TfConfirmationDlg.h"
#include "markup/HtmlLabel.h"
#include "panels/TDialogHeader.h"
#include "platform/DataFolder.h"
#include "platform/WindowActivation.h"
#include "platform/XdgAutostart.h"
#include "platform/XdgLauncherFolders.h"
#include "progressbar/LabelProgressBar.h"
#include "settings/ConfigurationFile.h"
#include "settings/TApplicationsSettings.h"
#include "sites/SitesDataFile.h"
#include "sites/TInstalledSites.h"
#include "sites/TMVVisualManager.h"
#include "sites/TMVWebElement.h"
#include "sites/TSiteSettings.h"
#include "sites/TSiteShortcuts.h"
#include "stores/TFavoriteIconManager.h"
#include "stores/TFileCacheManager.h"
#include "stores/TThumbnailManager.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QScopedValueRollback>
#include <QScreen>
#include <QStorageInfo>
#include <QSystemTrayIcon>
#include <QTabWidget>
#include <QTimer>

using namespace Qt::Literals::StringLiterals;

// What the window does at start and end, for tests and for whoever wonders why it hid:
// QT_LOGGING_RULES="morvalen.window.debug=true".
Q_LOGGING_CATEGORY(lcWindow, "morvalen.window", QtWarningMsg)

namespace {

const auto kConfigFileName = u"MorvalenDesktop.cfg"_s;

// The first-show delay before the catalog is fetched, longer when the window starts hidden.
constexpr uint32_t kFirstShowDelayMs = 500;
constexpr uint32_t kHiddenFirstShowDelayMs = 1000;
constexpr uint32_t kVersionCheckDelayMs = 500;

} // namespace

TfMain::TfMain(const ProgramOptions& options, TrayMode trayMode, QWidget* parent)
    : QMainWindow(parent), m_catalogServer(options.catalogServer), m_sampleCatalog(options.sampleCatalog)
{
    setObjectName(u"TfMain"_s);
    setWindowTitle(u"Morvalen Desktop"_s);
    setMinimumSize(DialogParts::FitOnScreen(this, QSize(800, 600)));
    m_trayMode = trayMode;
    m_trayAvailable = trayMode == TrayMode::Automatic ? QSystemTrayIcon::isSystemTrayAvailable()
                                                      : trayMode == TrayMode::Available;

    m_dataFolder = DataFolder::Resolve(options.dataFolder, QCoreApplication::applicationDirPath());
    PrepareStartEngines(options.parameters);
    m_schedule = new TMainSchedule(this);

    CreateStores();
    BuildLayout();
    if (m_sampleCatalog) {
        m_offlineNote = SampleCatalogNote();
        SetStatusText(m_offlineNote);
    }
    CreateInstalledSites();
    LoadStores();
    m_launcherFolders = std::make_unique<XdgLauncherFolders>();
    m_siteShortcuts = std::make_unique<TSiteShortcuts>(*m_launcherFolders,
                                                       QStringList{QCoreApplication::applicationFilePath()} +
                                                           options.ForwardedArguments(),
                                                       m_favoriteIconManager->Folder());
    CreateSettings(options);
    CreateSiteBrowsers();
    m_configChanged = false;
    ReadConfiguration();
    CreateCatalog();
    LoadInstalledSites();

    m_startMinimized = IsStartMinimized(options.parameters);
    // A Wayland compositor puts the window mapped last in front, and a client cannot raise
    // one later without a token the compositor honours: the site the start asked for opens
    // after the main window has shown, so that it is the one in front.
    const bool deferSites = QGuiApplication::platformName() == u"wayland"_s && !m_startMinimized &&
                            !m_settings->MinimizeOnStartup();
    HandleCommandLineParameters(options.parameters, [this, deferSites](const QString& parameter) {
        if (deferSites && !ParseParameter(parameter).empty && !ParseParameter(parameter).minimized)
            m_deferredParameters.append(parameter);
        else if (TCustomInternetBrowserWindow* window = HandleParameter(parameter))
            m_startSite = window;
    });

    m_hiddenToTray = false;
    m_firstShowPending = true;
    // The catalog tabs appear as their lists arrive.
    for (const int page : {pgWhatsNew, pgRecommended, pgPopular, pgHighestRated, pgCategories})
        m_mainTabs->setTabVisible(page, false);
    {
        const QScopedValueRollback showing(m_showingPage, true);
        m_mainTabs->setCurrentIndex(pgInstalled);
    }

    // A configuration that asks for an engine this desktop cannot run falls back without
    // being written back.
    // Asking starts the WebKit helper, so only a configuration that names it asks at start.
    if (m_settings->DefaultRenderEngine() == beFireFox && !FirefoxAvailable())
        m_settings->SetDefaultRenderEngine(beInternetExplorer);
    ConfigureCacheCleanup();

    ConfirmQuitHook = [this](int openBrowsers) {
        return ConfirmQuit(openBrowsers, this) == mrYes;
    };
    ShowMessageHook = [this](const QString& text) {
        QMessageBox::warning(this, u"Morvalen Desktop"_s, text);
    };
    qCDebug(lcWindow) << "created; data folder" << m_dataFolder;
}

TfMain::~TfMain()
{
    SaveChangedConfig();
    // The ticker and the news thread end before anything they call into goes.
    delete m_schedule;
    m_schedule = nullptr;
    m_versionCheck.reset();
    m_catalogSearch.reset();
    m_catalogViews.reset();
    // The site windows write their placements into their sites, which go next.
    m_siteLauncherBadges.reset();
    m_siteBrowsers.reset();
    // The tiles and their records; browser windows of sites must have gone before.
    m_installedSites.reset();
    if (m_trayIcon)
        m_trayIcon->hide();
    // The lists and panels show applications the catalog owns: they go before it does
    // (closing the window would otherwise lay them out once more over freed records).
    delete takeCentralWidget();
    m_mainTabs = nullptr;
    m_searchPanel = nullptr;
    m_diskSpaceWarning = nullptr;
    m_diskSpaceTitle = nullptr;
    m_diskSpaceDescription = nullptr;
    m_statusText = nullptr;
    m_busyBar = nullptr;
    m_favoriteIconManager.reset();
    m_thumbnailManager.reset();
    m_settings.reset();
    m_applicationList.reset();
    m_categoryTree.reset();
    // Waits for the running downloads.
    m_cacheManager.reset();
    qCDebug(lcWindow) << "destroyed";
}

void TfMain::CreateStores()
{
    m_favoriteIconManager = std::make_unique<TFavoriteIconManager>();
    m_thumbnailManager = std::make_unique<TThumbnailManager>();
    m_cacheManager = std::make_unique<TFileCacheManager>();
    m_cacheManager->OnDiskFull = [this](TFileCacheManager*) {
        ShowDiskSpaceWarning();
    };
    m_cacheManager->OnDiskSpaceRestored = [this](TFileCacheManager*) {
        HideDiskSpaceWarning();
    };
    // Said once: every download after it would fail the same way.
    m_cacheManager->OnSaveFailed = [this](TFileCacheManager*, const QString& message) {
        SetStatusText(u"<b>Can not save the catalog's files.</b> %1"_s.arg(message.toHtmlEscaped()));
    };
}

void TfMain::LoadStores()
{
    // A save killed between its temporary file and the rename leaves the temporary behind.
    FileUtils::RemoveStaleTemporaryFiles(m_dataFolder,
                                         {kConfigFileName, QString::fromLatin1(SitesDataFile::kFileName)});
    const QString favIcons = m_dataFolder + u"FavIcons/"_s;
    const QString thumbnails = m_dataFolder + u"Thumbnails/"_s;
    const QString cache = m_dataFolder + u"Cache/"_s;
    for (const QString& folder : {favIcons, thumbnails, cache})
        DataFolder::EnsureFolder(folder);
    m_favoriteIconManager->SetFolder(favIcons);
    m_thumbnailManager->SetFolder(thumbnails);
    m_cacheManager->SetCacheFolder(cache);

    // A damaged index must not keep the program from starting: the store starts empty and
    // writes a sound index with its next change.
    const auto load = [](const char* what, const std::function<void()>& step) {
        try {
            step();
        } catch (const EMorvalenError& error) {
            qWarning("%s: %s", what, qPrintable(error.Message()));
        }
    };
    load(TFavoriteIconManager::kIndexFileName, [&] {
        m_favoriteIconManager->LoadIndex(favIcons +
                                         QString::fromLatin1(TFavoriteIconManager::kIndexFileName));
        m_favoriteIconManager->Cleanup();
    });
    load(TThumbnailManager::kIndexFileName, [&] {
        m_thumbnailManager->LoadIndex(thumbnails + QString::fromLatin1(TThumbnailManager::kIndexFileName));
        m_thumbnailManager->Cleanup();
    });
    load("Cache.dat", [&] { m_cacheManager->LoadIndex(cache + u"Cache.dat"_s); });
}

void TfMain::CreateSettings(const ProgramOptions& options)
{
    m_autostart = std::make_unique<XdgAutostart>(QString(), options.ForwardedArguments());
    m_settings = std::make_unique<TApplicationsSettings>(*m_autostart);
    m_settings->OnChange = [this](TApplicationsSettings&) {
        MarkConfigChanged();
    };
}

void TfMain::ReadConfiguration()
{
    const QString path = m_dataFolder + kConfigFileName;
    uint8_t arrangeMode = amManual;
    if (QFile::exists(path))
        ConfigurationFile::Load(path, *m_settings, arrangeMode);
    else
        m_settings->ReconcileAutostart();
    m_installedSites->Manager().SetArrangeMode(arrangeMode);
}

void TfMain::CreateCatalog()
{
    m_categoryTree = std::make_unique<TWebCategoryTree>();
    m_applicationList = std::make_unique<TWebApplicationList>();
    m_catalogViews = std::make_unique<TCatalogViews>(*m_mainTabs, *m_cacheManager, *m_categoryTree,
                                                     *m_applicationList, ServerUrl({}), CatalogHooks());
    m_catalogSearch = std::make_unique<TCatalogSearch>(*m_catalogViews);
    m_catalogSearch->BuildSearchBox(*m_searchPanel);
    m_versionCheck = std::make_unique<TVersionCheck>(*m_cacheManager, *m_settings, ServerUrl({}));
    m_versionCheck->OnNewVersion = [this](uint32_t program, const TRemoteVersion& remote) {
        ShowNewVersion(program, remote);
    };
    m_versionCheck->OnLatestVersion = [this](uint32_t program) {
        ShowLatestVersion(program);
    };
    m_versionCheck->OnFileRefused = [this](const QString& text) {
        SetStatusText(text);
    };
    m_versionCheck->OnServerUnreachable = [this] {
        SetStatusText(u"The catalog server could not be reached, so no newer version could be looked for."_s);
    };
}

QString TfMain::ServerUrl(const QString& path) const
{
    QString server = m_catalogServer;
    while (server.endsWith(u'/'))
        server.chop(1);
    return server + path;
}

void TfMain::HandleCopyData(const CopyDataRecord& record)
{
    // A start from the menu entry or the dock carries nothing: the user is looking for this
    // window, which may be hidden where no notification area shows it.
    QString token;
    bool anyParameter = false;
    QPointer<TCustomInternetBrowserWindow> asked;
    if (record.dataValue != 0 || !record.text.isEmpty()) {
        HandleCopyDataParameters(record, [&](const QString& parameter) {
            if (const std::optional<QString> carried = WindowActivation::TokenOf(parameter)) {
                token = *carried;
                return;
            }
            anyParameter = true;
            if (TCustomInternetBrowserWindow* window = HandleParameter(parameter))
                asked = window;
        });
    }
    if (!anyParameter) {
        qCDebug(lcWindow) << "second start without parameters";
        ShowFromTray(token);
        return;
    }
    // The launcher's token belongs to the window that start asked for.
    if (asked) {
        WindowActivation::BringToFront(asked, token);
        qCDebug(lcWindow) << "site window to the front" << (token.isEmpty() ? "without" : "with")
                          << "a token";
    }
}

TCustomInternetBrowserWindow* TfMain::HandleParameter(const QString& parameter)
{
    const TElementParameter element = ParseParameter(parameter);
    if (element.empty)
        return nullptr;
    qCDebug(lcWindow) << "parameter" << parameter;
    // An unknown id is ignored without a word; a known one opens without counting a launch.
    TMVWebElement* tile = m_installedSites->Manager().FindByElementId(element.elementId);
    if (!tile)
        return nullptr;
    TCustomInternetBrowserWindow* window = m_siteBrowsers->OpenSite(*tile, element.minimized);
    return element.minimized ? nullptr : window;
}

int TfMain::OpenBrowserCount() const
{
    return m_siteBrowsers ? m_siteBrowsers->OpenBrowserCount() : 0;
}

uint8_t TfMain::ArrangeMode() const
{
    return m_installedSites->Manager().ArrangeMode();
}

void TfMain::SetArrangeMode(uint8_t mode)
{
    // Arranging reports the changed view, which marks the configuration changed.
    if (mode != ArrangeMode())
        m_installedSites->Manager().Arrange(mode);
}

void TfMain::SaveChangedConfig()
{
    if (!m_configChanged)
        return;
    try {
        SaveConfig();
        m_configChanged = false;
    } catch (const EMorvalenError& error) {
        qWarning("%s", qPrintable(error.Message()));
    }
}

void TfMain::SaveConfig()
{
    ConfigurationFile::Save(m_dataFolder + kConfigFileName, *m_settings, ArrangeMode());
}

bool TfMain::TrayShown()
{
    if (m_trayMode != TrayMode::Automatic || !m_trayIcon)
        return m_trayAvailable && m_trayIcon;
    // A host that started after the program gets the icon now; one that went away leaves
    // nothing to click.
    m_trayAvailable = QSystemTrayIcon::isSystemTrayAvailable();
    if (m_trayAvailable && !m_trayIcon->isVisible())
        m_trayIcon->show();
    return m_trayAvailable && m_trayIcon->isVisible();
}

void TfMain::HideToTray()
{
    m_hiddenToTray = true;
    if (TrayShown()) {
        hide();
        qCDebug(lcWindow) << "hidden to tray";
    } else {
        // Without a notification area a hidden window could never come back.
        showMinimized();
        qCDebug(lcWindow) << "minimized (no tray)";
    }
}

void TfMain::ShowFromTray(const QString& token)
{
    // Before the first show nothing has placed the window yet: it comes as a normal start.
    if (m_firstShowPending && !isVisible())
        setWindowState(Qt::WindowMaximized);
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    WindowActivation::BringToFront(this, token);
    m_hiddenToTray = false;
    qCDebug(lcWindow) << "shown from tray";
}

void TfMain::OpenWebPage(const QString& address, const QString& title, bool flash)
{
    if (TCustomInternetBrowserWindow* window = m_siteBrowsers->OpenWebPage(address, title, flash, this))
        connect(window, &TCustomInternetBrowserWindow::QuitRequested, this, &TfMain::Quit);
}

bool TfMain::FirefoxAvailable() const
{
    if (!m_firefoxAvailable)
        m_firefoxAvailable = IsFireFoxAvailable();
    return *m_firefoxAvailable;
}

bool TfMain::event(QEvent* event)
{
    switch (int(event->type())) {
    case kStartupMessage:
        HandleStartupMessage();
        return true;
    case kNewsTickMessage:
        HandleNewsTick();
        return true;
    default:
        return QMainWindow::event(event);
    }
}

void TfMain::Start()
{
    // Maximized, also when it first comes out of the tray. Without a window manager
    // "maximized" means nothing, so the window takes the screen's free area as well.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        // The least size of a 96 dpi screen is more than a HiDPI screen's free area at scale 2.
        setMinimumSize(minimumSize().boundedTo(screen->availableGeometry().size()));
        setGeometry(screen->availableGeometry());
    }
    setWindowState(Qt::WindowMaximized);
    const bool hidden = m_settings->MinimizeOnStartup() || m_startMinimized;
    qCDebug(lcWindow) << "start" << (hidden ? "minimized:" : "shown:")
                      << (m_startMinimized ? "runminimized"
                          : hidden         ? "start-minimized setting"
                                           : "normal start");
    if (hidden && TrayShown())
        FirstShow(); // the window is never shown
    else if (hidden)
        showMinimized();
    else if (m_startSite || !m_deferredParameters.isEmpty())
        show(); // the site's window takes the front, and the launcher's token
    else
        WindowActivation::BringToFront(this, std::exchange(m_launchToken, QString()));
}

void TfMain::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (m_firstShowPending)
        FirstShow();
}

void TfMain::FirstShow()
{
    m_firstShowPending = false;
    const bool hide = m_settings->MinimizeOnStartup() || m_startMinimized;
    if (hide) {
        // After the show has been handled: hiding inside it would be undone by it.
        QTimer::singleShot(0, this, [this] { HideToTray(); });
    }
    qCDebug(lcWindow) << "first show" << (hide ? "hidden" : "shown");
    // Started from a site's shortcut, the program shows that site, not the catalog over it.
    if (!hide && m_startSite) {
        QTimer::singleShot(0, m_startSite, [this, site = m_startSite] {
            if (site)
                WindowActivation::BringToFront(site, std::exchange(m_launchToken, QString()));
        });
    }
    if (!m_deferredParameters.isEmpty()) {
        QTimer::singleShot(0, this, [this] {
            for (const QString& parameter : std::exchange(m_deferredParameters, {}))
                if (TCustomInternetBrowserWindow* window = HandleParameter(parameter))
                    WindowActivation::BringToFront(window, std::exchange(m_launchToken, QString()));
        });
    }
    new TDelayThread(
        hide ? kHiddenFirstShowDelayMs : kFirstShowDelayMs, true,
        [this](TSyncThread*) {
            QCoreApplication::postEvent(this, new QEvent(QEvent::Type(kStartupMessage)));
        },
        this);
}

void TfMain::HandleStartupMessage()
{
    qCDebug(lcWindow) << "start-up message";
    RefreshCatalog();
    ConfigureNewsCheck();
    new TDelayThread(
        kVersionCheckDelayMs, true, [this](TSyncThread*) { CheckVersionAutomatically(); }, this);
}

void TfMain::HandleNewsTick()
{
    qCDebug(lcWindow) << "news tick";
    RefreshCatalog();
    m_schedule->NewsTickHandled();
}

void TfMain::RefreshCatalog()
{
    m_catalogViews->RefreshCatalog();
}

void TfMain::CheckVersionAutomatically()
{
    m_versionCheck->CheckVersionAutomatically();
}

void TfMain::CheckVersionOnDemand()
{
    m_versionCheck->CheckVersionOnDemand();
}

void TfMain::ConfigureNewsCheck()
{
    m_schedule->ConfigureNewsCheck(
        TApplicationsSettings::NewsIntervalMinutes(m_settings->CheckNewsInterval()));
}

void TfMain::ConfigureCacheCleanup()
{
    m_cacheManager->SetSweep(m_settings->ClearOldCache(),
                             TApplicationsSettings::CacheAgeDays(m_settings->ClearOldCacheAge()));
}

void TfMain::StartBusy()
{
    m_schedule->StartBusy();
}

void TfMain::SetPending(int32_t count)
{
    m_schedule->SetPending(count);
}

void TfMain::CountDown()
{
    m_schedule->CountDown();
}

void TfMain::ShowDiskSpaceWarning()
{
    if (!m_diskSpaceWarning->isHidden())
        return;
    // The volume of the cache folder, where the text names a drive.
    const QString volume = QStorageInfo(m_cacheManager->CacheFolder()).rootPath();
    m_diskSpaceDescription->SetCaption(
        u"You are running out of disk space on drive <b>%1</b>. Please free "
        u"some disk space to continue. Automatic cache cleanup will be started."_s.arg(
            volume.toHtmlEscaped()));
    m_diskSpaceWarning->show();
    m_cacheManager->SetSweep(true, 0);
}

void TfMain::HideDiskSpaceWarning()
{
    m_diskSpaceWarning->hide();
}

bool TfMain::DiskSpaceWarningShown() const
{
    return !m_diskSpaceWarning->isHidden();
}

void TfMain::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange)
        return;
    const auto* change = static_cast<QWindowStateChangeEvent*>(event);
    if (isMinimized()) {
        // The window never goes to the taskbar when the notification area can hold it. Only
        // a window the user had on screen goes: a state the window manager reports while the
        // window first maps is no request to hide.
        if (!m_hiddenToTray && !m_firstShowPending && !(change->oldState() & Qt::WindowMinimized) &&
            isVisible() && TrayShown())
            QTimer::singleShot(0, this, [this] {
                if (isMinimized()) {
                    qCDebug(lcWindow) << "minimized by the user";
                    HideToTray();
                }
            });
    } else if (m_hiddenToTray && isVisible()) {
        // Brought back from the taskbar (no notification area).
        m_hiddenToTray = false;
    }
}

void TfMain::closeEvent(QCloseEvent* event)
{
    const bool quitting = std::exchange(m_quitting, false);
    // Hidden where no icon shows, the window could never be found again: the close button
    // then closes, as in every program without a notification area.
    if (!quitting && m_settings->HideOnClose() && TrayShown()) {
        event->ignore();
        qCDebug(lcWindow) << "close button hides";
        HideToTray();
        return;
    }
    if (!std::exchange(m_quitConfirmed, false) && !CanClose()) {
        event->ignore();
        return;
    }
    event->accept();
    qCDebug(lcWindow) << "closing";
    if (OnQuitting)
        OnQuitting();
    // Confirmed settings are on disk before anything of the shut-down can stall.
    SaveChangedConfig();
    QCoreApplication::quit();
}

bool TfMain::CanClose()
{
    // Downloads write into the cache; the user may try again once they have finished.
    if (m_cacheManager->Busy()) {
        qCDebug(lcWindow) << "close refused: downloads running";
        return false;
    }
    const int openBrowsers = OpenBrowserCount();
    return ConfirmQuitHook ? ConfirmQuitHook(openBrowsers) : true;
}

void TfMain::Quit()
{
    m_quitting = true;
    close();
}

void TfMain::QuitNow()
{
    m_quitting = true;
    m_quitConfirmed = true;
    // A window that is already closing, or whose close was swallowed on the way, must not
    // keep the run alive: the loop ends in any case (a dialog that is open ends with it).
    if (!close() || isVisible()) {
        qCDebug(lcWindow) << "quit without the close";
        if (OnQuitting)
            OnQuitting();
    }
    QCoreApplication::quit();
}
