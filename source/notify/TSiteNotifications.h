#pragma once

#include "TMVTrayNotifyManager.h"

#include <QObject>
#include <QString>
#include <QUrl>

#include <cstdint>
#include <map>
#include <memory>

class QImage;
class TBrowserManager;
class TDesktopNotifier;
class TMorvalenBaseClass;
class TNotificationQuiet;
class TSiteSettings;
class TCustomInternetBrowserWindow;
class TWindowChangeMonitor;
struct TBrowserEntry;
struct TWebNotificationRec;

// Tests shorten the waits and bring a D-Bus connection of their own (by name).
struct TSiteNotificationOptions
{
    TTrayNotifyTimings Tray;
    uint32_t MonitorBaselineDelayMs = 0;
    uint32_t MonitorIntervalMs = 0;
    QString BusConnection;
    // Where the sites' favorite icons are, for the icons the notifications show.
    QString IconFolder;
};

// What the user learns about the sites: a watched site that changed while its window was in
// the background, and a site's own web notification (a mail or chat site's "new message"), go
// to the desktop's notification service, or into the tray notification window where no
// service answers. Page changes go to the tray notification window also when the user prefers
// it ("[General] ChangeAlertsOnDesktop" false), except where the program cannot place that
// window (Wayland). A click shows the site's window, as long as that very window is still open.
class TSiteNotifications final : public QObject
{
    Q_OBJECT

public:
    // Watches the manager's windows of watched sites and shows what they and the sites'
    // pages report.
    explicit TSiteNotifications(TBrowserManager& browsers,
                                const TSiteNotificationOptions& options = TSiteNotificationOptions());
    ~TSiteNotifications() override;

    TSiteNotifications(const TSiteNotifications&) = delete;
    TSiteNotifications& operator=(const TSiteNotifications&) = delete;

    static constexpr char16_t kChangeAlertsOnDesktop[] = u"ChangeAlertsOnDesktop";
    // Whether page changes go to the desktop's notification service (when one runs).
    static bool ChangeAlertsOnDesktop(const TSiteSettings* settings);

    TMVTrayNotifyManager& TrayNotifications() { return m_tray; }
    // Where the user's choice of ChangeAlertsOnDesktop is; none: the default.
    void SetSiteSettings(TSiteSettings* settings) { m_settings = settings; }
    // Muted sites and do not disturb; none: every notification shows.
    void SetQuiet(TNotificationQuiet* quiet);

    // A watched site's page changed while its window was inactive.
    void SiteChanged(const TBrowserEntry& entry);
    // A page asks to show a notification; it belongs to the open site window showing a page
    // of its origin, if any.
    void WebNotification(const TWebNotificationRec& notification);

signals:
    // A page of the open window of site sent a web notification (shown or not).
    void WebNotificationArrived(TMorvalenBaseClass* site);

private:
    // The window's Options menu gets "Check for changes now".
    void AddCheckItem(TCustomInternetBrowserWindow& window, TWindowChangeMonitor& monitor);
    // To the desktop's service; where none takes it, line goes to the tray notification window.
    void ShowOnDesktop(uint64_t entryId, const QString& appName, const QString& summary, const QString& body,
                       const QImage& icon, const QString& siteTitle, const QString& line,
                       const QString& iconFile, const std::function<void()>& click, bool pageChange);
    TBrowserEntry* EntryOfOrigin(const QUrl& origin) const;
    QString IconFile(const TBrowserEntry& entry) const;
    void DesktopNotificationClicked(uint32_t id);
    // Closes the desktop notification of the entry's page change, if one shows.
    void WithdrawChange(uint64_t entryId);
    // Whether a notification of the entry's site (none: of no site window) may show now;
    // one that may not is dropped (muted) or held until the quiet ends.
    bool MayShow(const TBrowserEntry* entry, const QString& siteTitle, const QString& iconFile);

    TBrowserManager& m_browsers;
    TSiteNotificationOptions m_options;
    TMVTrayNotifyManager m_tray;
    TNotificationQuiet* m_quiet = nullptr;
    TSiteSettings* m_settings = nullptr;
    std::unique_ptr<TDesktopNotifier> m_desktop;
    // The browser entry and the page's click of each desktop notification on show.
    struct TShown
    {
        uint64_t EntryId = 0;
        std::function<void()> Click;
        bool PageChange = false;
    };
    std::map<uint32_t, TShown> m_shown;
};
