#pragma once

#include "sites/TMorvalenBaseClass.h"

#include <QIcon>
#include <QImage>
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QSystemTrayIcon;
class QTabWidget;
class QToolButton;
class TApplicationsSettings;
class TLabelProgressBar;
class TMVPopupMenu;
class TfrmInternetBrowser;
struct TBrowserDownloadRec;

// One tab of a browser window; the sheet owns the frame.
struct TBrowsingTabRec
{
    TfrmInternetBrowser* Frame = nullptr;
    QWidget* Sheet = nullptr;
    bool IsHome = false;
    bool Monitored = false;
    QString StartURL;
};

// The program's tabbed browser window: a site's own window (made and registered by the
// browser manager) or a standalone one for catalog, help and download pages. A header with
// the address box (or the page title), Back, Forward, Refresh and Options, the tabs, and a
// status bar with the engine's mark, the status text and the progress. A site window can
// live in the notification area, open a page's new windows as tabs, remember its extra tabs
// and capture a thumbnail of its page. It frees itself when it closes.
class TCustomInternetBrowserWindow final : public QWidget
{
    Q_OBJECT

public:
    // Posted to itself once the window is on screen: the engines start then.
    static constexpr int kOpenPagesMessage = 0x0400 + 530;
    static constexpr int kTabCaptionLimit = 50;

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
    void SetTrayMode(bool trayMode);
    bool TrayMode() const { return m_trayMode; }
    void SetStartURL(const QString& address) { m_startUrl = address; }
    void SetTabURLs(const QStringList& addresses) { m_tabUrls = addresses; }
    void SetMonitor(bool monitor) { m_monitor = monitor; }
    bool Monitor() const { return m_monitor; }
    void SetMonitorInterval(int32_t minutes) { m_monitorInterval = minutes; }
    int32_t MonitorInterval() const { return m_monitorInterval; }
    // Without a site: the "Options" button is hidden.
    void SetStandalone(bool standalone);
    bool Standalone() const { return m_standalone; }

    // The window state before the last minimize or close: normal or maximized.
    TWindowState SavedWindowState() const { return m_savedWindowState; }
    bool ShowURL() const { return m_showUrl; }
    void SetShowURL(bool showUrl);
    bool WindowActive() const { return m_windowActive; }

    // Un-minimizes to the state saved before, shows the window and brings it to the front: what
    // opening an open site, "Show window" and a click on a notification ask for.
    void ShowRestored();
    void BringToFront();
    void HideToTray();

    // Makes the home tab and one tab per remembered address and starts loading them.
    void OpenPages();
    bool PagesOpened() const { return m_pagesOpened; }
    TBrowsingTabRec* NewTab();
    void CloseTab(QWidget* sheet);
    void NavigateTyped();
    void CaptureThumbnail();
    void RememberPages();
    // The page title of the watched tab; empty when none is watched.
    QString MonitoredPageTitle() const;
    TBrowsingTabRec* MonitoredTab() const;

    int TabCount() const { return int(m_tabs.size()); }
    TBrowsingTabRec* Tab(int index) const { return m_tabs.at(size_t(index)).get(); }
    TBrowsingTabRec* ActiveTab() const;
    int ActiveTabIndex() const;
    void SetActiveTab(int index);
    QString TabCaption(int index) const;
    QSystemTrayIcon* TrayIcon() const { return m_trayIcon; }
    QString TrayHint() const;
    QTabWidget* Pages() const { return m_pages; }
    QLineEdit* AddressBox() const { return m_address; }
    QString StatusText() const;
    QString PageTitleText() const;
    bool BackEnabled() const;
    bool ForwardEnabled() const;
    bool CloseTabButtonVisible() const;
    TLabelProgressBar* ProgressBar() const { return m_progress; }
    QMenu* MiscMenu() const;
    QMenu* TabsMenu() const;
    QMenu* TrayMenu() const;

    std::function<void(TCustomInternetBrowserWindow& window)> OnWindowClosed;
    std::function<void(TCustomInternetBrowserWindow& window, const QImage& bitmap)> OnThumbnail;
    std::function<void(TCustomInternetBrowserWindow& window, const QStringList& addresses)> OnRememberPages;
    // Raised by the change monitor while the window is inactive.
    std::function<void(TCustomInternetBrowserWindow& window)> OnSiteChanged;
    std::function<void(TCustomInternetBrowserWindow& window, const QString& address, bool& allow)>
        OnNavigateURL;
    // The watched tab's top-level document completed: where the change monitor starts.
    std::function<void(TCustomInternetBrowserWindow& window, TfrmInternetBrowser& frame)>
        OnMonitoredDocumentComplete;
    // The window was activated or deactivated.
    std::function<void(TCustomInternetBrowserWindow& window, bool active)> OnActivationChange;

    void setVisible(bool visible) override;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void BuildLayout();
    QWidget* BuildHeader();
    QWidget* BuildStatusBar();
    void BuildMenus();
    void BuildTray();
    void BuildKeys();

    TBrowsingTabRec* AddTab(const QString& caption, bool isHome, bool monitored, const QString& startUrl);
    void WireFrame(TfrmInternetBrowser& frame);
    TBrowsingTabRec* TabOfFrame(const TfrmInternetBrowser& frame) const;
    TBrowsingTabRec* TabOfSheet(const QWidget* sheet) const;
    bool IsActive(const TBrowsingTabRec& tab) const;
    void UpdateTabControls();
    void PagesChange();
    void ShowProgress(const TfrmInternetBrowser& frame);

    void FrameNewWindow(TfrmInternetBrowser& frame, QObject*& target);
    void FrameTitleChange(TfrmInternetBrowser& frame, const QString& title);
    void FrameCommandStateChange(TfrmInternetBrowser& frame);
    void FrameStatusTextChange(TfrmInternetBrowser& frame);
    void FrameProgressChange(TfrmInternetBrowser& frame);
    void FrameCloseQuery(TfrmInternetBrowser& frame);
    void FrameDocumentComplete(TfrmInternetBrowser& frame);
    void FrameDownload(TfrmInternetBrowser& frame, const TBrowserDownloadRec& download);
    void FrameFullScreen(TfrmInternetBrowser& frame, bool fullScreen);

    void TabsMenuAboutToShow();
    void CopyToClipboard(const QString& text);
    void StartEngines();
    void LeaveFullScreen();
    void ShowEngineImage();
    void PrepareSurface();

    TApplicationsSettings* m_settings = nullptr;
    uint8_t m_engine = 0;
    QString m_siteTitle;
    QString m_startUrl;
    QStringList m_tabUrls;
    bool m_trayMode = false;
    bool m_standalone = false;
    bool m_monitor = false;
    int32_t m_monitorInterval = 0;
    bool m_showUrl = true;
    TWindowState m_savedWindowState = wsNormal;
    bool m_windowActive = false;
    std::vector<std::unique_ptr<TBrowsingTabRec>> m_tabs;

    bool m_surfacePrepared = false;
    bool m_firstShow = true;
    bool m_enginesStarting = false;
    bool m_pagesOpened = false;
    bool m_destroying = false;
    bool m_closing = false;
    bool m_fullScreen = false;
    Qt::WindowStates m_stateBeforeFullScreen;
    // The tab the tab menu was opened on (it may have gone since).
    QPointer<QWidget> m_menuSheet;

    QWidget* m_header = nullptr;
    QLabel* m_urlTitleImage = nullptr;
    QLineEdit* m_address = nullptr;
    QLabel* m_pageTitle = nullptr;
    QAction* m_back = nullptr;
    QAction* m_forward = nullptr;
    QAction* m_refresh = nullptr;
    QToolButton* m_misc = nullptr;
    QToolButton* m_closeTab = nullptr;
    QTabWidget* m_pages = nullptr;
    QWidget* m_statusBar = nullptr;
    QLabel* m_engineImage = nullptr;
    QLabel* m_statusText = nullptr;
    TLabelProgressBar* m_progress = nullptr;
    TMVPopupMenu* m_pmMisc = nullptr;
    TMVPopupMenu* m_pmTabs = nullptr;
    TMVPopupMenu* m_trayMenu = nullptr;
    QSystemTrayIcon* m_trayIcon = nullptr;
};
