// What a user learns of sites in the background, with real windows, the real engine, pages
// of a loopback server and a notification service on a bus of the test's own.

#include "browser/BrowserTestFixture.h"

#include "browser/TBrowserManager.h"
#include "browser/TBrowserTab.h"
#include "browser/TCustomInternetBrowserWindow.h"
#include "browser/TWindowChangeMonitor.h"
#include "browser/TfrmInternetBrowser.h"
#include "markup/HtmlLabel.h"
#include "notify/TSiteNotifications.h"
#include "support/TestNotificationService.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QPointer>
#include <QTest>

#include <list>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr uint32_t kNever = 3'600'000;

class TSiteNotificationsTest : public BrowserTest
{
protected:
    static void SetUpTestSuite()
    {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
        BrowserTest::SetUpTestSuite();
        const QByteArray html = "text/html; charset=utf-8";
        Server().Serve(u"/watched-a"_s,
                       "<html><head><title>Inbox</title></head><body><p id='text'>one</p>"
                       "<iframe id='inner' src='/inner'></iframe></body></html>",
                       html);
        Server().Serve(
            u"/watched-b"_s,
            "<html><head><title>Front page</title></head><body><p id='text'>news</p></body></html>", html);
        Server().Serve(u"/inner"_s, "<html><body><p id='text'>inner</p></body></html>", html);
    }

    void SetUp() override { m_manager.SetSettings(&m_settings); }

    TSite& AddWatchedSite(const QString& title, const QString& address)
    {
        m_sites.push_back(MakeSite(title, address));
        m_sites.back().Record->SetMonitorChanges(true);
        return m_sites.back();
    }

    TSiteNotificationOptions Options(const QString& bus = QString())
    {
        TSiteNotificationOptions options;
        options.Tray.FadeStepMs = kNever;
        options.Tray.DisplayMs = kNever;
        options.MonitorBaselineDelayMs = 1;
        options.MonitorIntervalMs = kNever;
        options.BusConnection = bus.isEmpty() ? u"no-bus"_s : bus;
        return options;
    }

    // Opens the site's window and waits until its monitor watches the loaded page.
    static TBrowserChangeMonitor* OpenWatched(TBrowserManager& manager, TSite& site)
    {
        TCustomInternetBrowserWindow* window = manager.OpenBrowser(*site.Record, QIcon(), false);
        if (!window)
            return nullptr;
        auto* attached = window->findChild<TWindowChangeMonitor*>();
        if (!attached)
            return nullptr;
        TBrowserChangeMonitor* monitor = &attached->Monitor();
        if (!WaitUntil([&] { return monitor->MonitorState() == TBrowserChangeMonitor::msWatching; }, 30000))
            return nullptr;
        // The page's answer to the baseline's measure has come.
        return WaitUntil([&] { return monitor->BaselineLength() > 0; }, 30000) ? monitor : nullptr;
    }

    // Opens the site's window and waits until its one tab shows the front page; none when
    // that does not happen.
    TCustomInternetBrowserWindow* OpenFrontPage(TSite& site)
    {
        TCustomInternetBrowserWindow* window = m_manager.OpenBrowser(*site.Record, QIcon(), false);
        if (!window || !WaitUntil(
                           [&] {
                               return window->TabCount() == 1 &&
                                      window->Tab(0)->Frame()->Title() == u"Front page"_s;
                           },
                           30000))
            return nullptr;
        return window;
    }

    static void Activate(TCustomInternetBrowserWindow& window, bool active)
    {
        // What the window system reports when the user switches windows.
        emit window.ActivationChanged(active);
    }

    // Changes the page's text by script; the monitor measures it at its next check.
    static void Change(TCustomInternetBrowserWindow& window, const QString& script)
    {
        RunScript(*window.MonitoredTab()->Frame(), script);
    }

    static bool Measured(TBrowserChangeMonitor& monitor, int64_t from)
    {
        monitor.CheckForChange();
        return WaitUntil([&] { return monitor.BaselineLength() != from; }, 30000);
    }

    static void ClickLine(TfTrayNotifyWin& window, size_t line)
    {
        THtmlLabel* label = window.Sites().at(line)->LineLabel;
        QTest::mouseClick(label, Qt::LeftButton, {}, label->LinkRegions().front().Bounds.center());
    }

    std::list<TSite> m_sites;
    TBrowserManager m_manager;
};

} // namespace

TEST_F(TSiteNotificationsTest, AChangeWhileAnotherWindowIsActiveIsOneLineAndAClickShowsThatSite)
{
    TSiteNotifications notifications(m_manager, Options());
    TSite& mail = AddWatchedSite(u"Mail"_s, Url(u"/watched-a"_s));
    TSite& news = AddWatchedSite(u"News"_s, Url(u"/watched-b"_s));
    TBrowserChangeMonitor* mailMonitor = OpenWatched(m_manager, mail);
    ASSERT_NE(mailMonitor, nullptr);
    TCustomInternetBrowserWindow* mailWindow = m_manager.WindowOfSite(mail.Record.get());

    // Changed while the user is in the window: nothing to announce.
    Activate(*mailWindow, true);
    int64_t length = mailMonitor->BaselineLength();
    Change(*mailWindow, u"document.getElementById('text').textContent = 'one two'"_s);
    ASSERT_TRUE(Measured(*mailMonitor, length));
    EXPECT_EQ(notifications.TrayNotifications().NotifyWindow(), nullptr);

    // The user went to another window; the change is inside the page's iframe.
    Activate(*mailWindow, false);
    length = mailMonitor->BaselineLength();
    Change(
        *mailWindow,
        u"document.getElementById('inner').contentDocument.getElementById('text').textContent = 'inner, changed'"_s);
    ASSERT_TRUE(Measured(*mailMonitor, length));
    TfTrayNotifyWin* tray = notifications.TrayNotifications().NotifyWindow();
    ASSERT_NE(tray, nullptr);
    ASSERT_EQ(tray->Sites().size(), 1u);
    EXPECT_EQ(tray->Sites()[0]->SiteTitle, u"Mail"_s);
    EXPECT_EQ(tray->Sites()[0]->PageTitle, u"Inbox"_s);
    // A second check without a change adds nothing.
    mailMonitor->CheckForChange();
    ProcessEventsFor(200);
    EXPECT_EQ(tray->Sites().size(), 1u);

    // The second site changes within the display time: a second line of the same window.
    TBrowserChangeMonitor* newsMonitor = OpenWatched(m_manager, news);
    ASSERT_NE(newsMonitor, nullptr);
    TCustomInternetBrowserWindow* newsWindow = m_manager.WindowOfSite(news.Record.get());
    // The user went back to the other window.
    Activate(*newsWindow, false);
    length = newsMonitor->BaselineLength();
    Change(*newsWindow, u"document.getElementById('text').textContent = 'breaking news'"_s);
    ASSERT_TRUE(Measured(*newsMonitor, length));
    ASSERT_EQ(notifications.TrayNotifications().NotifyWindow(), tray);
    ASSERT_EQ(tray->Sites().size(), 2u);

    newsWindow->showMinimized();
    mailWindow->showMinimized();
    QPointer<TfTrayNotifyWin> closing(tray);
    ClickLine(*tray, 1);
    EXPECT_FALSE(newsWindow->isMinimized());
    EXPECT_TRUE(mailWindow->isMinimized());
    EXPECT_EQ(notifications.TrayNotifications().NotifyWindow(), nullptr);
    EXPECT_TRUE(WaitUntil([&] { return closing.isNull(); }));

    // A site window that is on screen but behind another window comes to the front too.
    mailWindow->showNormal();
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(WaitUntil([&] { return QApplication::activeWindow() == &other; }));
    for (int i = 0; i < m_manager.Count(); ++i)
        if (m_manager.Entry(i)->Window == mailWindow)
            m_manager.HandleNotifyClick(m_manager.Entry(i)->Id);
    EXPECT_TRUE(WaitUntil([&] { return QApplication::activeWindow() == mailWindow; }));
    m_manager.CloseAll();
}

TEST_F(TSiteNotificationsTest, AClickNeverReachesAWindowClosedSinceNorTheSitesNextWindow)
{
    TSiteNotifications notifications(m_manager, Options());
    TSite& mail = AddWatchedSite(u"Mail"_s, Url(u"/watched-b"_s));
    TBrowserChangeMonitor* monitor = OpenWatched(m_manager, mail);
    ASSERT_NE(monitor, nullptr);
    TCustomInternetBrowserWindow* first = m_manager.WindowOfSite(mail.Record.get());
    Activate(*first, false);
    const int64_t length = monitor->BaselineLength();
    Change(*first, u"document.getElementById('text').textContent = 'a new message'"_s);
    ASSERT_TRUE(Measured(*monitor, length));
    TfTrayNotifyWin* tray = notifications.TrayNotifications().NotifyWindow();
    ASSERT_NE(tray, nullptr);

    // The window closes and the site opens a new one before the user clicks the old line.
    ASSERT_TRUE(m_manager.CloseBrowser(*mail.Record));
    TCustomInternetBrowserWindow* second = m_manager.OpenBrowser(*mail.Record, QIcon(), false);
    ASSERT_NE(second, nullptr);
    second->showMinimized();
    ClickLine(*tray, 0);
    EXPECT_TRUE(second->isMinimized());
    EXPECT_EQ(notifications.TrayNotifications().NotifyWindow(), nullptr);
    m_manager.CloseAll();
}

TEST_F(TSiteNotificationsTest, ASitesOwnNotificationGoesToTheDesktopAndItsClickBringsTheSiteForward)
{
    TestNotificationService service;
    if (!service.Running())
        GTEST_SKIP() << "dbus-daemon is not installed";
    TSiteNotifications notifications(m_manager, Options(service.ClientConnection().name()));
    TSite& mail = AddWatchedSite(u"Mail"_s, Url(u"/watched-b"_s));
    TCustomInternetBrowserWindow* window = OpenFrontPage(mail);
    ASSERT_NE(window, nullptr);
    TfrmInternetBrowser& frame = *window->Tab(0)->Frame();

    // The site asks first; the user allows it in the window.
    RunScript(frame, u"Notification.requestPermission(); 0"_s);
    ASSERT_TRUE(WaitUntil([&] { return !frame.PendingPermission().isEmpty(); }, 30000));
    frame.AnswerPermission(true);
    RunScript(frame, u"window.clicked = false;"
                     u"var n = new Notification('New mail', {body: 'From Ann'});"
                     u"n.onclick = function () { window.clicked = true; }; 0"_s);
    ASSERT_TRUE(WaitUntil([&] { return !service.Notifications().empty(); }, 30000));
    const TestNotificationService::Shown shown = service.Notifications().front();
    EXPECT_EQ(shown.AppName, u"Mail"_s);
    EXPECT_EQ(shown.Summary, u"New mail"_s);
    EXPECT_EQ(shown.Body, u"From Ann"_s);
    EXPECT_EQ(notifications.TrayNotifications().NotifyWindow(), nullptr);

    window->showMinimized();
    service.Click(shown.Id);
    ASSERT_TRUE(WaitUntil([&] { return !window->isMinimized(); }));
    EXPECT_TRUE(WaitUntil([&] { return RunScript(frame, u"String(window.clicked)"_s) == u"true"_s; }));
    m_manager.CloseAll();
}

TEST_F(TSiteNotificationsTest, WithoutANotificationServiceASitesNotificationBecomesATrayLine)
{
    TestNotificationService bus(false);
    if (!bus.Running())
        GTEST_SKIP() << "dbus-daemon is not installed";
    TSiteNotifications notifications(m_manager, Options(bus.ClientConnection().name()));
    TSite& mail = AddWatchedSite(u"Mail"_s, Url(u"/watched-b"_s));
    TCustomInternetBrowserWindow* window = OpenFrontPage(mail);
    ASSERT_NE(window, nullptr);
    TfrmInternetBrowser& frame = *window->Tab(0)->Frame();
    RunScript(frame, u"Notification.requestPermission(); 0"_s);
    if (WaitUntil([&] { return !frame.PendingPermission().isEmpty(); }, 5000))
        frame.AnswerPermission(true);
    RunScript(frame, u"new Notification('New mail', {body: 'From Ann'}); 0"_s);
    ASSERT_TRUE(
        WaitUntil([&] { return notifications.TrayNotifications().NotifyWindow() != nullptr; }, 30000));
    TfTrayNotifyWin* tray = notifications.TrayNotifications().NotifyWindow();
    ASSERT_EQ(tray->Sites().size(), 1u);
    EXPECT_EQ(tray->Sites()[0]->SiteTitle, u"Mail"_s);
    EXPECT_EQ(tray->Sites()[0]->PageTitle, u"New mail: From Ann"_s);
    m_manager.CloseAll();
}
