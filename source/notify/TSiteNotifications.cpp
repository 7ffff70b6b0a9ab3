#include "TSiteNotifications.h"
#include "TNotificationQuiet.h"

#include "browser/TBrowserManager.h"
#include "browser/TBrowserStatusBar.h"
#include "browser/TBrowserTab.h"
#include "browser/TCustomInternetBrowserWindow.h"
#include "browser/TWindowChangeMonitor.h"
#include "browser/TfrmInternetBrowser.h"
#include "menus/MVMenus.h"
#include "platform/DesktopNotifier.h"
#include "sites/TMorvalenBaseClass.h"
#include "sites/TSiteSettings.h"

#include <QAction>
#include <QDir>
#include <QImage>
#include <QLoggingCategory>
#include <QMenu>
#include <QPointer>

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace {

Q_LOGGING_CATEGORY(lcNotify, "morvalen.notify", QtWarningMsg)

QString SiteTitle(const TBrowserEntry& entry)
{
    return entry.Site ? entry.Site->Title() : QString();
}

} // namespace

QString TSiteNotifications::IconFile(const TBrowserEntry& entry) const
{
    if (!entry.Site || m_options.IconFolder.isEmpty() || entry.Site->FavIconFileName().isEmpty())
        return {};
    return QDir(m_options.IconFolder).filePath(entry.Site->FavIconFileName());
}

TSiteNotifications::TSiteNotifications(TBrowserManager& browsers, const TSiteNotificationOptions& options)
    : m_browsers(browsers), m_options(options), m_tray(options.Tray)
{
    m_tray.OnItemClick = [this](uint64_t entryId) {
        qCDebug(lcNotify) << "line clicked:" << entryId;
        m_browsers.HandleNotifyClick(entryId);
    };
    connect(&m_browsers, &TBrowserManager::SiteChanged, this, &TSiteNotifications::SiteChanged);
    connect(&m_browsers, &TBrowserManager::WindowCreated, this, [this](TCustomInternetBrowserWindow* window) {
        if (TWindowChangeMonitor* monitor = TWindowChangeMonitor::Attach(
                *window, {m_options.MonitorBaselineDelayMs, m_options.MonitorIntervalMs}))
            AddCheckItem(*window, *monitor);
        // The user looks at the site: its change on the desktop's list is old news.
        connect(window, &TCustomInternetBrowserWindow::ActivationChanged, this, [this, window](bool active) {
            if (const TBrowserEntry* entry = active ? m_browsers.FindByWindow(window) : nullptr)
                WithdrawChange(entry->Id);
        });
    });
    TfrmInternetBrowser::OnWebNotification = [this](const TWebNotificationRec& notification) {
        WebNotification(notification);
    };
}

TSiteNotifications::~TSiteNotifications()
{
    TfrmInternetBrowser::OnWebNotification = nullptr;
}

void TSiteNotifications::AddCheckItem(TCustomInternetBrowserWindow& window, TWindowChangeMonitor& monitor)
{
    QMenu* options = window.MiscMenu();
    if (!options)
        return;
    QAction* check = options->addAction(u"Check for changes now"_s);
    check->setObjectName(u"miCheckForChanges"_s);
    connect(check, &QAction::triggered, &monitor, [&monitor, window = QPointer(&window)] {
        monitor.Monitor().CheckNow([window](bool changed) {
            if (window && window->StatusBar())
                window->StatusBar()->SetText(changed ? u"The page changed since the last check."_s
                                                     : u"No change since the last check."_s);
        });
    });
    if (auto* menu = qobject_cast<TMVPopupMenu*>(options))
        menu->PrepareItems();
}

TBrowserEntry* TSiteNotifications::EntryOfOrigin(const QUrl& origin) const
{
    const auto sameOrigin = [&origin](const QUrl& url) {
        return url.scheme() == origin.scheme() && url.host() == origin.host() &&
               url.port(-1) == origin.port(-1);
    };
    for (int i = 0; i < m_browsers.Count(); ++i) {
        TBrowserEntry* entry = m_browsers.Entry(i);
        if (!entry->Window)
            continue;
        for (int tab = 0; tab < entry->Window->TabCount(); ++tab) {
            const TfrmInternetBrowser* frame = entry->Window->Tab(tab)->Frame();
            if (sameOrigin(QUrl(frame->GetLocationURL())))
                return entry;
        }
    }
    return nullptr;
}

void TSiteNotifications::SetQuiet(TNotificationQuiet* quiet)
{
    m_quiet = quiet;
    if (!quiet)
        return;
    quiet->OnQuietEnded = [this](const std::vector<TNotificationQuiet::THeld>& held) {
        for (const TNotificationQuiet::THeld& site : held)
            m_tray.Notify(site.EntryId, site.SiteTitle, TNotificationQuiet::SummaryLine(site.Count),
                          site.IconFile);
    };
}

bool TSiteNotifications::MayShow(const TBrowserEntry* entry, const QString& siteTitle,
                                 const QString& iconFile)
{
    if (!m_quiet)
        return true;
    const QString elementId = entry && entry->Site ? entry->Site->ElementId() : QString();
    if (m_quiet->Muted(elementId)) {
        qCDebug(lcNotify) << "muted:" << siteTitle;
        return false;
    }
    if (!m_quiet->Quiet())
        return true;
    qCDebug(lcNotify) << "held while quiet:" << siteTitle;
    m_quiet->Hold(entry ? entry->Id : 0, elementId, siteTitle, iconFile);
    return false;
}

bool TSiteNotifications::ChangeAlertsOnDesktop(const TSiteSettings* settings)
{
    const QString value = settings ? settings->Value(QString::fromUtf16(TSiteSettings::kGeneralGroup),
                                                     QString::fromUtf16(kChangeAlertsOnDesktop))
                                   : QString();
    return value != u"false"_s;
}

void TSiteNotifications::SiteChanged(const TBrowserEntry& entry)
{
    const QString pageTitle = entry.Window ? entry.Window->MonitoredPageTitle() : QString();
    const QString siteTitle = SiteTitle(entry);
    const QString iconFile = IconFile(entry);
    qCDebug(lcNotify) << "site changed:" << siteTitle;
    if (!MayShow(&entry, siteTitle, iconFile))
        return;
    if (!ChangeAlertsOnDesktop(m_settings) && TDesktopNotifier::OwnWindowPlaceable()) {
        m_tray.NotifyChanged(entry.Id, siteTitle, pageTitle, iconFile);
        return;
    }
    ShowOnDesktop(entry.Id, u"Morvalen Desktop"_s, u"%1 changed"_s.arg(siteTitle), pageTitle,
                  iconFile.isEmpty() ? QImage() : QImage(iconFile), siteTitle, pageTitle, iconFile, {}, true);
}

void TSiteNotifications::WebNotification(const TWebNotificationRec& notification)
{
    TBrowserEntry* entry = EntryOfOrigin(notification.Origin);
    const uint64_t entryId = entry ? entry->Id : 0;
    const QString siteTitle = entry ? SiteTitle(*entry) : notification.Origin.host();
    const QString iconFile = entry ? IconFile(*entry) : QString();
    const QString line = notification.Message.isEmpty() ? notification.Title
                                                        : notification.Title + u": "_s + notification.Message;
    // It counts as unread also when it does not show.
    if (entry && entry->Site)
        emit WebNotificationArrived(entry->Site);
    if (!MayShow(entry, siteTitle, iconFile))
        return;
    ShowOnDesktop(entryId, siteTitle, notification.Title, notification.Message, notification.Icon, siteTitle,
                  line, iconFile, notification.Click, false);
}

void TSiteNotifications::ShowOnDesktop(uint64_t entryId, const QString& appName, const QString& summary,
                                       const QString& body, const QImage& icon, const QString& siteTitle,
                                       const QString& line, const QString& iconFile,
                                       const std::function<void()>& click, bool pageChange)
{
    // A page that changes at every check has one notification on the desktop, not one a check.
    if (pageChange && std::any_of(m_shown.begin(), m_shown.end(), [entryId](const auto& shown) {
            return shown.second.PageChange && shown.second.EntryId == entryId;
        }))
        return;
    // The bus is reached with the first notification, not at the program's start.
    if (!m_desktop) {
        m_desktop = std::make_unique<TDesktopNotifier>(m_options.BusConnection);
        m_desktop->OnActivated = [this](uint32_t id) {
            DesktopNotificationClicked(id);
        };
        m_desktop->OnClosed = [this](uint32_t id) {
            m_shown.erase(id);
        };
    }
    m_desktop->Show(appName, summary, body, icon,
                    [this, entryId, siteTitle, iconFile, line, click, pageChange](uint32_t id) {
                        if (id != 0) {
                            qCDebug(lcNotify) << "desktop notification shown:" << id;
                            m_shown[id] = {entryId, click, pageChange};
                            return;
                        }
                        // No service took it: the program's own notification window shows it.
                        if (pageChange)
                            m_tray.NotifyChanged(entryId, siteTitle, line, iconFile);
                        else
                            m_tray.Notify(entryId, siteTitle, line, iconFile);
                    });
}

void TSiteNotifications::WithdrawChange(uint64_t entryId)
{
    for (const auto& [id, shown] : m_shown)
        if (shown.PageChange && shown.EntryId == entryId && m_desktop)
            m_desktop->Close(id);
}

void TSiteNotifications::DesktopNotificationClicked(uint32_t id)
{
    const auto found = m_shown.find(id);
    if (found == m_shown.end())
        return;
    const TShown shown = found->second;
    m_shown.erase(found);
    TBrowserEntry* entry = m_browsers.FindById(shown.EntryId);
    if (!entry || !entry->Window)
        return;
    qCDebug(lcNotify) << "desktop notification clicked:" << id;
    entry->Window->BringToFront();
    if (shown.Click)
        shown.Click();
}
