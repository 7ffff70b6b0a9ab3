#pragma once

#include "settings/ProgramOptions.h"

#include <QMainWindow>
#include <QPointer>
#include <QSet>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class QAction;
class QLabel;
class QMenu;
class QScrollArea;
class QSystemTrayIcon;
class QTabWidget;
class QToolButton;
class TApplicationsSettings;
class TCatalogSearch;
class TCustomInternetBrowserWindow;
class TCatalogViews;
class TDialogHeader;
class TFavoriteIconManager;
class TFileCacheManager;
class TInstalledSites;
class THtmlLabel;
class TLabelProgressBar;
class TMainSchedule;
class TMVMainMenu;
class TMVTrayPopupMenu;
class TRemoteVersion;
class TSiteBrowsers;
class TSiteLauncherBadges;
class TSiteSettings;
class TSiteShortcuts;
class TThumbnailManager;
class TVersionCheck;
class TWebApplicationList;
class TWebCategoryTree;
class XdgAutostart;
class XdgLauncherFolders;
struct CopyDataRecord;
struct TCatalogHooks;
struct TSiteDialogRequest;
struct TInstalledSitesHooks;

// The program's main window and the owner of every long-lived object: the stores, the
// settings and the catalog. It builds them in a fixed order, loads their files from the
// data folder, shows the catalog tabs and the status line, lives in the notification area
// and takes them down again in the reverse order. Each subsystem's own work lives in its
// own class; the window connects them.
class TfMain final : public QMainWindow
{
    Q_OBJECT

public:
    // Page indexes of the main tabs; search result tabs follow them.
    enum TMainPage : int
    {
        pgWhatsNew = 0,
        pgRecommended = 1,
        pgPopular = 2,
        pgHighestRated = 3,
        pgCategories = 4,
        pgInstalled = 5,
    };

    // The window's own posted messages.
    static constexpr int kStartupMessage = 1454;
    static constexpr int kNewsTickMessage = 1455;

    // Where no notification area exists, "hide to tray" minimizes instead: by default the
    // platform is asked; tests force either answer.
    enum class TrayMode
    {
        Automatic,
        Available,
        Unavailable,
    };

    explicit TfMain(const ProgramOptions& options, TrayMode trayMode = TrayMode::Automatic,
                    QWidget* parent = nullptr);
    ~TfMain() override;

    const QString& DataFolder() const { return m_dataFolder; }
    // An address on the catalog server, which also serves the program's web site.
    QString ServerUrl(const QString& path) const;

    TApplicationsSettings& Settings() const { return *m_settings; }
    TFileCacheManager& CacheManager() const { return *m_cacheManager; }
    TThumbnailManager& ThumbnailManager() const { return *m_thumbnailManager; }
    TFavoriteIconManager& FavoriteIconManager() const { return *m_favoriteIconManager; }
    TWebCategoryTree& CategoryTree() const { return *m_categoryTree; }
    TWebApplicationList& ApplicationList() const { return *m_applicationList; }
    TMainSchedule& Schedule() const { return *m_schedule; }
    TCatalogViews& CatalogViews() const { return *m_catalogViews; }
    TCatalogSearch& CatalogSearch() const { return *m_catalogSearch; }
    TVersionCheck& VersionCheck() const { return *m_versionCheck; }
    // The installed sites' launchers; they start this program with the options of this run.
    const TSiteShortcuts& SiteShortcuts() const { return *m_siteShortcuts; }
    // The "Installed" tab, its commands and the installed-sites manager.
    TInstalledSites& InstalledSites() const { return *m_installedSites; }

    bool StartMinimized() const { return m_startMinimized; }
    bool FirstShowPending() const { return m_firstShowPending; }
    bool HiddenToTray() const { return m_hiddenToTray; }
    bool ConfigChanged() const { return m_configChanged; }
    // Asked of the helper program the first time it matters, not at every start.
    bool FirefoxAvailable() const;
    bool TrayAvailable() const { return m_trayAvailable; }
    // Whether the icon is on a notification area now, so that a hidden window can come back:
    // a host may come and go during a run.
    bool TrayShown();
    uint8_t ArrangeMode() const;

    // Shows the window maximized, or keeps it in the notification area when the program
    // starts minimized.
    void Start();
    // The launcher's activation token of this start (WindowActivation::TakeLaunchToken), for
    // the window the start asked for; before Start.
    void SetLaunchToken(const QString& token) { m_launchToken = token; }

    // A record from a later start of the program.
    void HandleCopyData(const CopyDataRecord& record);
    // The site window a parameter opened, unless it opened minimized.
    TCustomInternetBrowserWindow* HandleParameter(const QString& parameter);

    void HideToTray();
    // token: a launcher's activation token that asked for this window (WindowActivation).
    void ShowFromTray(const QString& token = {});
    // A markup text for the status line; empty clears it.
    void SetStatusText(const QString& text);
    QString StatusText() const;
    // Opens address for the user, titled title; with flash the main window keeps the focus
    // and the new window asks for attention.
    void OpenWebPage(const QString& address, const QString& title, bool flash);
    // SaveConfig when something changed; a failure is reported, not thrown.
    void SaveChangedConfig();
    void SaveConfig();
    void MarkConfigChanged() { m_configChanged = true; }
    // The installed sites' arrange mode (stored in the configuration file's view block):
    // the sites are arranged by it.
    void SetArrangeMode(uint8_t mode);
    // Number of open browser windows.
    int OpenBrowserCount() const;
    // The browser windows of the sites and the program's own pages.
    TSiteBrowsers& SiteBrowsers() const { return *m_siteBrowsers; }
    TSiteSettings& SiteSettings() const { return *m_siteSettings; }

    // The background schedule.
    void RefreshCatalog();
    void ConfigureNewsCheck();
    void ConfigureCacheCleanup();
    void StartBusy();
    void SetPending(int32_t count);
    void CountDown();
    void ShowDiskSpaceWarning();
    void HideDiskSpaceWarning();
    bool DiskSpaceWarningShown() const;
    void CheckVersionAutomatically();
    void CheckVersionOnDemand();

    // What the catalog views, search and later subsystems build into.
    QTabWidget* MainTabs() const { return m_mainTabs; }
    QWidget* TabPage(int index) const;
    QWidget* SearchPanel() const { return m_searchPanel; }
    QWidget* InstalledContainer() const;
    TMVMainMenu* MainMenu() const { return m_mainMenu; }
    TLabelProgressBar* BusyBar() const { return m_busyBar; }
    QMenu* TrayMenu() const;
    QAction* SettingsAction() const { return m_settingsAction; }

    // The quit confirmation; answers true to go on. Replaced by tests that answer for the user.
    std::function<bool(int openBrowsers)> ConfirmQuitHook;
    // Tells the user why something asked for did not happen (a message box). Replaced by tests.
    std::function<void(const QString& text)> ShowMessageHook;
    // Told once the run is to end (the close was accepted): the program bounds the time its
    // shut-down may take.
    std::function<void()> OnQuitting;

    // Restores the sites of a backup into the running program: says which sites it adds, asks
    // before it replaces any (their windows close), then reads the sites again from the data
    // folder. False when nothing was restored (the reason was shown).
    bool RestoreSitesFrom(const QString& archivePath);

    // Ends the program the way "Exit" does: refused while downloads run, then confirmed.
    void Quit();
    // Ends the program without asking (the session ends, or a termination signal).
    void QuitNow();

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // Creation, in order.
    void CreateStores();
    void LoadStores();
    void CreateSettings(const ProgramOptions& options);
    void ReadConfiguration();
    void CreateCatalog();
    void CreateInstalledSites();
    void CreateSiteBrowsers();
    void LoadInstalledSites();
    // Starts loading the engines of the sites the parameters open, while the window is built.
    void PrepareStartEngines(const QStringList& parameters) const;

    // The catalog views' and the version check's links to the window (TfMainCatalog.cpp).
    TCatalogHooks CatalogHooks();
    // The Installed tab's links to the window (TfMainSites.cpp).
    bool ExecuteSiteDialog(TSiteDialogRequest& request);
    TInstalledSitesHooks InstalledSitesHooks();
    void ShowNewVersion(uint32_t programVersion, const TRemoteVersion& remote);
    void ShowLatestVersion(uint32_t programVersion);

    // The widgets (TfMainLayout.cpp).
    void BuildLayout();
    QWidget* BuildHeader();
    QWidget* BuildStatusBar();
    TDialogHeader* BuildDiskSpaceWarning();
    void BuildMainMenu();
    void BuildTray();
    void UpdateViewMenu();
    void UpdateTrayMenu();
    // The tray icon carries the sum of the sites' unread counts.
    void UpdateTrayIcon();
    void ShowSettings();
    void ShowAbout();
    // What the status line and About say while the program serves its own sample catalog.
    static QString SampleCatalogNote();
    void BackUpSites();
    void RestoreSites();
    void ReloadRestoredSites(const QSet<QString>& replaced);

    void FirstShow();
    void HandleStartupMessage();
    void HandleNewsTick();
    bool CanClose();

    QString m_dataFolder;
    QString m_catalogServer;
    bool m_startMinimized = false;
    bool m_firstShowPending = true;
    // The site a shortcut started the program with: in front of the window once it shows.
    QPointer<TCustomInternetBrowserWindow> m_startSite;
    QString m_launchToken;
    // Sites a Wayland start asked for, opened once the main window is on screen (see the
    // constructor).
    QStringList m_deferredParameters;
    bool m_hiddenToTray = false;
    bool m_configChanged = false;
    mutable std::optional<bool> m_firefoxAvailable;
    bool m_trayAvailable = false;
    TrayMode m_trayMode = TrayMode::Automatic;
    // Set while a close is meant to end the program (not to hide it).
    bool m_quitting = false;
    bool m_quitConfirmed = false;
    // The user has picked a page; the arriving catalog no longer changes it.
    bool m_pageChosen = false;
    // Set while the program itself changes the page; the page shown before the last change.
    bool m_showingPage = false;
    int m_shownPage = -1;
    // The status line at rest: why the catalog shown may be old, or nothing.
    QString m_offlineNote;
    // The catalog is the sample one the program serves itself for this run (no catalog server
    // answered): the status line and About say so.
    bool m_sampleCatalog = false;

    std::unique_ptr<XdgAutostart> m_autostart;
    std::unique_ptr<TFavoriteIconManager> m_favoriteIconManager;
    std::unique_ptr<TThumbnailManager> m_thumbnailManager;
    std::unique_ptr<XdgLauncherFolders> m_launcherFolders;
    std::unique_ptr<TSiteShortcuts> m_siteShortcuts;
    std::unique_ptr<TFileCacheManager> m_cacheManager;
    std::unique_ptr<TApplicationsSettings> m_settings;
    std::unique_ptr<TWebCategoryTree> m_categoryTree;
    std::unique_ptr<TWebApplicationList> m_applicationList;
    TMainSchedule* m_schedule = nullptr;
    std::unique_ptr<TCatalogViews> m_catalogViews;
    std::unique_ptr<TCatalogSearch> m_catalogSearch;
    std::unique_ptr<TVersionCheck> m_versionCheck;
    // How each site browses; outlives every window that reads it.
    std::unique_ptr<TSiteSettings> m_siteSettings;
    std::unique_ptr<TInstalledSites> m_installedSites;
    // Goes before the installed sites: closing the windows writes into their sites.
    std::unique_ptr<TSiteBrowsers> m_siteBrowsers;
    // Listens to the site browsers' counts: goes before them.
    std::unique_ptr<TSiteLauncherBadges> m_siteLauncherBadges;

    // Widgets, owned by the window.
    QTabWidget* m_mainTabs = nullptr;
    QWidget* m_searchPanel = nullptr;
    TDialogHeader* m_diskSpaceWarning = nullptr;
    QLabel* m_diskSpaceTitle = nullptr;
    THtmlLabel* m_diskSpaceDescription = nullptr;
    THtmlLabel* m_statusText = nullptr;
    TLabelProgressBar* m_busyBar = nullptr;
    TMVMainMenu* m_mainMenu = nullptr;
    QMenu* m_viewMenu = nullptr;
    QAction* m_settingsAction = nullptr;
    QSystemTrayIcon* m_trayIcon = nullptr;
    TMVTrayPopupMenu* m_trayMenu = nullptr;
    QAction* m_closeAllBrowsersAction = nullptr;
    QAction* m_doNotDisturbAction = nullptr;
};
