// Page changes the monitor finds, with site windows on the stand-in frame and a notification
// service on a bus of the test's own: they count as unread until the window is activated, go
// to the desktop's service (once while shown), or to one line of the tray window.

#include "browser/TBrowserManager.h"
#include "browser/TBrowserStatusBar.h"
#include "browser/TCustomInternetBrowserWindow.h"
#include "browser/TUnreadCounts.h"
#include "notify/TSiteNotifications.h"
#include "notify/TfTrayNotifyWin.h"
#include "platform/XdgAutostart.h"
#include "settings/TApplicationsSettings.h"
#include "sites/TMorvalenBaseClass.h"
#include "sites/TSiteSettings.h"
#include "support/StandInFrame.h"
#include "support/TestNotificationService.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString kWatched = u"http://127.0.0.1:8003/news"_s;

class TSiteNotificationsChanges : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { TStandInFrame::Register(); }

    void SetUp() override
    {
        TStandInFrame::SetPage(kWatched, {u"News"_s, u"one"_s});
        m_manager.SetSettings(&m_settings);
        m_site.SetTitle(u"News"_s);
        m_site.SetURL(kWatched);
        m_site.SetElementId(TMorvalenBaseClass::NewElementId());
        m_site.SetMonitorChanges(true);
    }

    static TSiteNotificationOptions Options(const QString& bus)
    {
        TSiteNotificationOptions options;
        options.Tray.FadeStepMs = 3'600'000;
        options.Tray.DisplayMs = 3'600'000;
        options.BusConnection = bus;
        options.MonitorBaselineDelayMs = 1;
        options.MonitorIntervalMs = 40;
        return options;
    }

    // The page's text changes; the monitor's next check finds it.
    static void ChangePage(const QString& text) { TStandInFrame::SetPage(kWatched, {u"News"_s, text}); }

    // Opens the site's window; the user then works in another window. None when that fails.
    TCustomInternetBrowserWindow* OpenBehind()
    {
        TCustomInternetBrowserWindow* window = m_manager.OpenBrowser(m_site, QIcon(), false);
        if (!window || !WaitUntil([] {
                return !TStandInFrame::Frames().isEmpty() && TStandInFrame::Frames().back()->Loads() > 0;
            }))
            return nullptr;
        // The page may be there before the window has come to the front.
        if (!QTest::qWaitForWindowActive(window))
            return nullptr;
        m_elsewhere.show();
        m_elsewhere.activateWindow();
        if (!WaitUntil([&] { return !window->WindowActive(); }))
            return nullptr;
        // The monitor takes its baseline as the window goes to the background.
        QTest::qWait(100);
        return window;
    }

    QTemporaryDir m_folder;
    TSiteSettings m_siteSettings{m_folder.filePath(u"SiteSettings.ini"_s)};
    QWidget m_elsewhere;
    XdgAutostart m_autostart{u"/opt/morvalen/morvalen-desktop"_s};
    TApplicationsSettings m_settings{m_autostart};
    TMorvalenBaseClass m_site;
    TBrowserManager m_manager;
};

} // namespace

TEST_F(TSiteNotificationsChanges, AChangeCountsUntilTheWindowIsActivatedAndReachesTheServiceOnceWhileShown)
{
    TestNotificationService service;
    if (!service.Running())
        GTEST_SKIP() << "dbus-daemon is not installed";
    TSiteNotifications notifications(m_manager, Options(service.ClientConnection().name()));
    notifications.SetSiteSettings(&m_siteSettings);
    TUnreadCounts counts(m_manager);
    TCustomInternetBrowserWindow* window = OpenBehind();
    ASSERT_NE(window, nullptr);

    ChangePage(u"one two"_s);
    ASSERT_TRUE(WaitUntil([&] { return service.Notifications().size() == 1; }));
    EXPECT_EQ(service.Notifications().front().Summary, u"News changed"_s);
    EXPECT_EQ(service.Notifications().front().Body, u"News"_s);
    EXPECT_EQ(counts.Count(m_site.ElementId()).Count, 1);
    EXPECT_EQ(notifications.TrayNotifications().NotifyWindow(), nullptr);

    // A page that goes on changing counts on, with no second notification beside the first.
    ChangePage(u"one two three"_s);
    ASSERT_TRUE(WaitUntil([&] { return counts.Count(m_site.ElementId()).Count == 2; }));
    QTest::qWait(150);
    EXPECT_EQ(service.Notifications().size(), 1U);
    EXPECT_EQ(counts.Total(), 2);

    // The user looks at the window: nothing is unseen any more, and the desktop's list
    // drops the change.
    window->activateWindow();
    ASSERT_TRUE(WaitUntil([&] { return window->WindowActive(); }));
    EXPECT_TRUE(WaitUntil([&] { return counts.Count(m_site.ElementId()).Count == 0; }));
    const uint32_t shownId = service.Notifications().front().Id;
    EXPECT_TRUE(WaitUntil([&] {
        const std::vector<uint32_t> closed = service.Closed();
        return std::find(closed.begin(), closed.end(), shownId) != closed.end();
    }));

    // "Check for changes now" says what it found in the status bar.
    auto* check = window->MiscMenu()->findChild<QAction*>(u"miCheckForChanges"_s);
    ASSERT_NE(check, nullptr);
    check->trigger();
    EXPECT_TRUE(
        WaitUntil([&] { return window->StatusBar()->Text() == u"No change since the last check."_s; }));
    ChangePage(u"four"_s);
    check->trigger();
    EXPECT_TRUE(WaitUntil(
        [&] { return window->StatusBar()->Text() == u"The page changed since the last check."_s; }));
}

TEST_F(TSiteNotificationsChanges, WhoPrefersTheProgramsWindowGetsOneLinePerSiteHoweverOftenItChanges)
{
    TestNotificationService service;
    if (!service.Running())
        GTEST_SKIP() << "dbus-daemon is not installed";
    ASSERT_TRUE(m_siteSettings.SetValue(QString::fromUtf16(TSiteSettings::kGeneralGroup),
                                        QString::fromUtf16(TSiteNotifications::kChangeAlertsOnDesktop),
                                        u"false"_s));
    TSiteNotifications notifications(m_manager, Options(service.ClientConnection().name()));
    notifications.SetSiteSettings(&m_siteSettings);
    TUnreadCounts counts(m_manager);
    TCustomInternetBrowserWindow* window = OpenBehind();
    ASSERT_NE(window, nullptr);

    QString text = u"x"_s;
    // Each change is found (and counted) before the next.
    for (int change = 1; change <= 5; ++change) {
        text += u" more"_s;
        ChangePage(text);
        ASSERT_TRUE(WaitUntil([&] { return counts.Count(m_site.ElementId()).Count == change; }));
    }
    TfTrayNotifyWin* tray = notifications.TrayNotifications().NotifyWindow();
    ASSERT_NE(tray, nullptr);
    EXPECT_EQ(tray->Sites().size(), 1U);
    EXPECT_EQ(tray->Sites().front()->SiteTitle, u"News"_s);
    EXPECT_TRUE(service.Notifications().empty());
}
