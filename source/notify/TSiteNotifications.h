#pragma once

#include "TMVTrayNotifyManager.h"

#include <QObject>
#include <QString>
#include <QUrl>

#include <cstdint>
#include <map>
#include <memory>

class TBrowserManager;
class TDesktopNotifier;
class TNotificationQuiet;
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
// the background becomes a line of the tray notification window; a site's own web
// notification (a mail or chat site's "new message") goes to the desktop's notification
// service, or into the tray notification window where no service answers. A click shows the
// site's window, as long as that very window is still open.
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

    TMVTrayNotifyManager& TrayNotifications() { return m_tray; }
    // Muted sites and do not disturb; none: every notification shows.
    void SetQuiet(TNotificationQuiet* quiet);

    // A watched site's page changed while its window was inactive.
    void SiteChanged(const TBrowserEntry& entry);
    // A page asks to show a notification; it belongs to the open site window showing a page
    // of its origin, if any.
    void WebNotification(const TWebNotificationRec& notification);

private:
    TBrowserEntry* EntryOfOrigin(const QUrl& origin) const;
    QString IconFile(const TBrowserEntry& entry) const;
    void DesktopNotificationClicked(uint32_t id);
    // Whether a notification of the entry's site (none: of no site window) may show now;
    // one that may not is dropped (muted) or held until the quiet ends.
    bool MayShow(const TBrowserEntry* entry, const QString& siteTitle, const QString& iconFile);

    TBrowserManager& m_browsers;
    TSiteNotificationOptions m_options;
    TMVTrayNotifyManager m_tray;
    TNotificationQuiet* m_quiet = nullptr;
    std::unique_ptr<TDesktopNotifier> m_desktop;
    // The browser entry and the page's click of each desktop notification on show.
    struct TShown
    {
        uint64_t EntryId = 0;
        std::function<void()> Click;
    };
    std::map<uint32_t, TShown> m_shown;
};
