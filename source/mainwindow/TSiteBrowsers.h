#pragma once

#include <QPointer>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QAction;
class QMenu;
class QWidget;
class TApplicationsSettings;
class TBrowserManager;
class TCustomInternetBrowserWindow;
class TfSiteWindows;
class TMVWebElement;
class TMorvalenBaseClass;
class TLauncherBadge;
class TNotificationQuiet;
class TSiteSettings;
class TSiteNotifications;
class TUnreadCounts;
struct TSiteNotificationOptions;

// The main window's browser commands: running and closing sites' windows, the browsers
// menu, the site items of the tray menu and the program's own pages in standalone windows.
// It owns the browser manager; the main window wires it to the installed sites.
class TSiteBrowsers final
{
public:
    TSiteBrowsers(TApplicationsSettings& settings, const QString& dataFolder);
    // Closes every site window first, saving its placement into its site.
    ~TSiteBrowsers();

    TSiteBrowsers(const TSiteBrowsers&) = delete;
    TSiteBrowsers& operator=(const TSiteBrowsers&) = delete;

    TBrowserManager& Manager() const { return *m_manager; }
    // Every site's unread count; their sum is on the program's launcher in docks.
    TUnreadCounts& UnreadCounts() const { return *m_unreadCounts; }
    // How each site browses and whether its notifications show (muted, do not disturb).
    void SetSiteSettings(TSiteSettings* settings);
    // "UnreadCount" in a site's group of SiteSettings.ini: its count when the program ended.
    static constexpr char16_t kUnreadCount[] = u"UnreadCount";
    // A loaded site shows the count it had in the last run, as old.
    void RestoreUnreadCount(TMorvalenBaseClass& site);
    TNotificationQuiet& Quiet() const { return *m_quiet; }
    int OpenBrowserCount() const;
    bool HasBrowser(const TMVWebElement* tile) const;

    // Opens the site's window (or brings it forward); minimized for a shortcut that asks so.
    // Counting a launch is the installed sites' business.
    TCustomInternetBrowserWindow* OpenSite(TMVWebElement& tile, bool minimized = false);
    void CloseSiteBrowser(TMVWebElement& tile);
    // An edited site's open window takes the new title.
    void SiteTitleChanged(TMVWebElement& tile);
    // The site is about to go: its window closes first, without saving into the site.
    void SiteRemoving(TMVWebElement& tile);
    void MinimizeAll();
    void HideAllToTray();
    void CloseAll();
    // The "Site windows" view, one at a time: brought forward when it is open already.
    TfSiteWindows* ShowSiteWindows(QWidget* mainWindow);

    // One of the program's pages in a standalone window: the default engine, maximized.
    // With flash the main window keeps the focus and the new window asks for attention.
    TCustomInternetBrowserWindow* OpenWebPage(const QString& address, const QString& title, bool flash,
                                              QWidget* mainWindow);

    // Puts one item per site above delimiter (first site first), checked while its window is
    // open (the menu draws it bold); their data is the site's index, a click runs the site.
    void FillTrayMenu(QMenu& menu, QAction* delimiter, const std::vector<TMVWebElement*>& tiles,
                      const std::function<void(TMVWebElement& tile)>& run);

private:
    static TSiteNotificationOptions TestNotificationOptions();
    void AddMuteItem(TCustomInternetBrowserWindow& window);

    TApplicationsSettings& m_settings;
    // The site icons' folder (FavIcons/ of the data folder).
    QString m_iconFolder;
    std::unique_ptr<TBrowserManager> m_manager;
    // Watches the site windows and announces changes and the sites' own notifications; goes
    // before the manager.
    std::unique_ptr<TSiteNotifications> m_notifications;
    std::unique_ptr<TUnreadCounts> m_unreadCounts;
    std::unique_ptr<TLauncherBadge> m_launcherBadge;
    std::unique_ptr<TNotificationQuiet> m_quiet;
    TSiteSettings* m_siteSettings = nullptr;
    QPointer<TfSiteWindows> m_siteWindows;
};
