#pragma once

#include "sites/TMorvalenBaseClass.h"

#include <QIcon>
#include <QImage>
#include <QKeySequence>
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <chrono>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

class QMenu;
class QTimer;
class QTabWidget;
class TApplicationsSettings;
class TBrowserDownloads;
class TBrowserDownloadsView;
class TBrowserFindBar;
class TBrowserNavigationBar;
class TBrowserStatusBar;
class TBrowserTab;
class TBrowserTray;
class TMVPopupMenu;
class TSiteSettings;
class TfrmInternetBrowser;
struct TFrameSite;

// The program's tabbed browser window: a site's own window (made and registered by the
// browser manager) or a standalone one for catalog, help and download pages. The header
// (TBrowserNavigationBar) and the status bar (TBrowserStatusBar) follow the current tab;
// each tab (TBrowserTab) owns its engine frame. A site window can live in the notification
// area (TBrowserTray), open a page's new windows as tabs, remember its extra tabs and capture
// a thumbnail of its page. It frees itself when it closes.
class TCustomInternetBrowserWindow final : public QWidget
{
    Q_OBJECT

public:
    // Posted to itself once the window is on screen: the engines start then.
    static constexpr int kOpenPagesMessage = 0x0400 + 530;
    static constexpr int kTabCaptionLimit = 50;
    // How long a capture that came out blank waits before its second try.
    static constexpr int kCaptureRetryMs = 1000;

    explicit TCustomInternetBrowserWindow(QWidget* parent = nullptr);
    ~TCustomInternetBrowserWindow() override;

    // Configuration, before the window is shown.
    void SetBrowserEngine(uint8_t engine);
    uint8_t BrowserEngine() const { return m_engine; }
    void SetSettings(TApplicationsSettings* settings) { m_settings = settings; }
    void SetSiteTitle(const QString& title);
    const QString& SiteTitle() const { return m_siteTitle; }
    // The site's favorite icon: the window's, the tray icon's and the tray menu's.
    void SetSiteIcon(const QIcon& icon);
    // The site has no icon of its own yet: the window (and its tray icon) takes its home
    // page's icon and says so with PageIconTaken.
    void SetTakesPageIcon(bool takes) { m_takesPageIcon = takes; }
    // The window class the site's launchers name, so that docks group the window under them;
    // given to the native window as soon as it exists.
    void SetWindowClassName(const QString& className);
    const QString& WindowClassName() const { return m_windowClassName; }
    void SetTrayMode(bool trayMode);
    bool TrayMode() const { return m_trayMode; }
    void SetStartURL(const QString& address) { m_startUrl = address; }
    void SetTabURLs(const QStringList& addresses) { m_tabUrls = addresses; }
    void SetMonitor(bool monitor) { m_monitor = monitor; }
    bool Monitor() const { return m_monitor; }
    void SetMonitorInterval(int32_t minutes) { m_monitorInterval = minutes; }
    int32_t MonitorInterval() const { return m_monitorInterval; }
    // The settings of the window's site (by its ElementId): its session, user agent, style,
    // zoom and permission answers. Without them the window browses as every site does.
    void SetSiteSettings(TSiteSettings* settings, const QString& elementId);
    const QString& ElementId() const { return m_elementId; }
    // For a window of no site: the settings file whose [General] its downloads follow (a
    // site's window reads them from its site's settings).
    void SetGeneralSettings(const TSiteSettings* settings) { m_generalSettings = settings; }
    // Every tab's zoom; a site window keeps it in its site's settings.
    void SetZoomFactor(double factor);
    double ZoomFactor() const { return m_zoomFactor; }
    void ZoomIn();
    void ZoomOut();
    void ResetZoom();
    // Sleeping: how long a site window waits, inactive, before its tabs sleep. From the site
    // settings' [General] HibernateAfterMinutes (fractional minutes allowed, which is what
    // tests use; 0 is never; absent or unusable is kDefaultHibernateMinutes), unless the
    // site's own Hibernate=never keeps it awake. None for never, and for standalone windows.
    static constexpr int kDefaultHibernateMinutes = 30;
    static double HibernateAfterMinutes(const TSiteSettings* settings);
    static std::optional<std::chrono::milliseconds> HibernateDelay(const TSiteSettings* settings,
                                                                   const QString& elementId);
    // Puts every tab that may sleep to sleep, as the end of the delay does: not the watched
    // tab, nor one playing sound or capturing, nor (the engine decides) one on screen. True
    // when a tab went to sleep.
    bool Hibernate();
    // The tab the window shows sleeps: the window's tray icon, and the site's tile, say so.
    bool Sleeping() const;

    // Without a site: the "Options" button is hidden.
    void SetStandalone(bool standalone);
    bool Standalone() const { return m_standalone; }

    // The window state before the last minimize or close: normal or maximized.
    TWindowState SavedWindowState() const { return m_savedWindowState; }
    bool WindowActive() const { return m_windowActive; }

    // Un-minimizes to the state saved before, shows the window and brings it to the front: what
    // opening an open site, "Show window" and a click on a notification ask for.
    void ShowRestored();
    void BringToFront();
    void HideToTray();

    // Makes the home tab and one tab per remembered address and starts loading them.
    void OpenPages();
    bool PagesOpened() const { return m_pagesOpened; }
    // Where the engine runs already, makes the pages and starts loading them while the window,
    // just shown, is first drawn; the current one shows once it has been. Nothing otherwise:
    // the pages open after the first drawing, as the engine starts.
    void OpenPagesBeforeDrawn();
    TBrowserTab* NewTab();
    void CloseTab(TBrowserTab* tab);
    void NavigateTyped();
    void CaptureThumbnail();
    void RememberPages();
    // The page title of the watched tab; empty when none is watched.
    QString MonitoredPageTitle() const;
    TBrowserTab* MonitoredTab() const;

    int TabCount() const;
    TBrowserTab* Tab(int index) const;
    TBrowserTab* ActiveTab() const;
    int ActiveTabIndex() const;
    void SetActiveTab(int index);
    // The next or previous tab, round from the last to the first.
    void NextTab();
    void PreviousTab();
    QString TabCaption(int index) const;
    QString TrayHint() const;

    // The window's parts, for whoever looks at what they show.
    TBrowserNavigationBar* NavigationBar() const { return m_header; }
    TBrowserStatusBar* StatusBar() const { return m_statusBar; }
    TBrowserTray* Tray() const { return m_tray; }
    TBrowserFindBar* FindBar() const { return m_findBar; }
    QMenu* MiscMenu() const;
    QMenu* TabsMenu() const;
    // The downloads of the window's tabs, and their list (Ctrl+J, the status bar's button):
    // shown beside the window, made when first asked for.
    TBrowserDownloads& Downloads() const { return *m_downloads; }
    void ShowDownloads();
    TBrowserDownloadsView* DownloadsView() const;

    void setVisible(bool visible) override;

signals:
    // The window closes on its own account (not when the browser manager ends it).
    void WindowClosed();
    // Ctrl+Q: the user asks to end the program from this window.
    void QuitRequested();
    void ThumbnailCaptured(const QImage& bitmap);
    // The window took its home page's icon for the site (SetTakesPageIcon).
    void PageIconTaken(const QIcon& icon);
    // "Remember Current Web Pages": the addresses of the tabs besides the home tab.
    void PagesRemembered(const QStringList& addresses);
    // The change monitor found a change while the window was inactive.
    void SiteChanged();
    // The watched tab's top-level document completed: where the change monitor starts.
    void MonitoredDocumentCompleted();
    void ActivationChanged(bool active);
    // A tab's page title changed, or a tab went: what the unread count is read from.
    void PageTitlesChanged();
    // The window's shown tab went to sleep or woke.
    void SleepingChanged(bool sleeping);

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void BuildLayout();
    void BuildHibernation();
    void BuildMenus();
    void BuildKeys();

    TBrowserTab* AddTab(const QString& caption, bool isHome, bool monitored, const QString& startUrl);
    TFrameSite FrameSite() const;
    void WireTab(TBrowserTab& tab);
    void UpdateTabControls();
    void PagesChange();
    // Ctrl+F: the find bar opens with the keyboard in it. F3 and Shift+F3 go on with its text.
    void OpenFindBar();
    void FindAgain(bool backward);
    void FindInPage(const QString& text, bool backward);
    void CloseFindBar();

    TfrmInternetBrowser* NewWindowTab();
    void TabTitleChange(TBrowserTab& tab, const QString& title);
    void TabFullScreen(TBrowserTab& tab, bool fullScreen);

    void TabsMenuAboutToShow();
    // The keys the Options menu lists, with their names.
    static std::vector<std::pair<QString, QKeySequence>> KeyList();
    void CopyToClipboard(const QString& text);
    // A blank picture is never the thumbnail: one more try when mayRetry.
    void CaptureFrom(TBrowserTab* tab, bool mayRetry);
    void StartEngines();
    void LeaveFullScreen();
    void PrepareSurface();
    void CloseFromTray();
    // The window went out of use (inactive, hidden, minimized): its tabs sleep after the delay.
    void ArmHibernation();
    // The window is in use again: the tab the user sees comes back.
    void WakeCurrentTab();
    void UpdateSleeping();
    // Hidden with every page asleep, a Chromium window gives up its native window; showing it
    // makes a new one.
    void ReleaseNativeWindowLater();

    TApplicationsSettings* m_settings = nullptr;
    TSiteSettings* m_siteSettings = nullptr;
    const TSiteSettings* m_generalSettings = nullptr;
    QString m_elementId;
    double m_zoomFactor = 1.0;
    uint8_t m_engine = 0;
    QString m_siteTitle;
    QString m_windowClassName;
    QString m_startUrl;
    QStringList m_tabUrls;
    bool m_trayMode = false;
    bool m_takesPageIcon = false;
    bool m_standalone = false;
    bool m_monitor = false;
    int32_t m_monitorInterval = 0;
    TWindowState m_savedWindowState = wsNormal;
    bool m_windowActive = false;

    bool m_surfacePrepared = false;
    bool m_firstShow = true;
    bool m_enginesStarting = false;
    bool m_pagesOpened = false;
    // The tab whose page loads while the window is first drawn, shown once it has been.
    QPointer<QWidget> m_heldPage;
    bool m_destroying = false;
    bool m_closing = false;
    bool m_fullScreen = false;
    Qt::WindowStates m_stateBeforeFullScreen;
    // The tab the tab menu was opened on (it may have gone since).
    QPointer<TBrowserTab> m_menuTab;

    TBrowserNavigationBar* m_header = nullptr;
    QTabWidget* m_pages = nullptr;
    TBrowserStatusBar* m_statusBar = nullptr;
    TBrowserFindBar* m_findBar = nullptr;
    // The tab the find bar's marks are in.
    QPointer<TBrowserTab> m_findTab;
    TBrowserTray* m_tray = nullptr;
    TBrowserDownloads* m_downloads = nullptr;
    QPointer<TBrowserDownloadsView> m_downloadsView;
    QTimer* m_hibernation = nullptr;
    TMVPopupMenu* m_pmMisc = nullptr;
    TMVPopupMenu* m_pmTabs = nullptr;
};
