// Muted sites and do not disturb, with site windows on the stand-in frame and a notification
// service on a bus of the test's own: what reaches the service and the tray window.

#include "notify/TNotificationQuiet.h"
#include "browser/TBrowserManager.h"
#include "browser/TfrmInternetBrowser.h"
#include "notify/TSiteNotifications.h"
#include "notify/TfTrayNotifyWin.h"
#include "platform/XdgAutostart.h"
#include "settings/TApplicationsSettings.h"
#include "sites/TMorvalenBaseClass.h"
#include "sites/TSiteSettings.h"
#include "support/StandInFrame.h"
#include "support/TestNotificationService.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <list>
#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr uint32_t kNever = 3'600'000;
const QString kMail = u"http://127.0.0.1:8001/inbox"_s;
const QString kChat = u"http://127.0.0.1:8002/chat"_s;

class TNotificationQuietTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        TStandInFrame::Register();
        TStandInFrame::SetPage(kMail, {u"Inbox"_s, {}});
        TStandInFrame::SetPage(kChat, {u"Chat"_s, {}});
    }

    void SetUp() override { m_manager.SetSettings(&m_settings); }

    TMorvalenBaseClass& OpenSite(const QString& title, const QString& address)
    {
        auto& site = *m_sites.emplace_back(std::make_unique<TMorvalenBaseClass>());
        site.SetTitle(title);
        site.SetURL(address);
        site.SetElementId(TMorvalenBaseClass::NewElementId());
        EXPECT_TRUE(m_manager.OpenBrowser(site, QIcon(), false));
        return site;
    }

    static TSiteNotificationOptions Options(const QString& bus)
    {
        TSiteNotificationOptions options;
        options.Tray.FadeStepMs = kNever;
        options.Tray.DisplayMs = kNever;
        options.BusConnection = bus;
        return options;
    }

    static TWebNotificationRec Message(const QString& origin, const QString& title)
    {
        TWebNotificationRec notification;
        notification.Origin = QUrl(origin).adjusted(QUrl::RemovePath);
        notification.Title = title;
        return notification;
    }

    XdgAutostart m_autostart{u"/opt/morvalen/morvalen-desktop"_s};
    TApplicationsSettings m_settings{m_autostart};
    std::list<std::unique_ptr<TMorvalenBaseClass>> m_sites;
    TBrowserManager m_manager;
};

} // namespace

TEST_F(TNotificationQuietTest, AMutedSiteNeverReachesTheServiceAndDoNotDisturbHoldsEverySiteUntilItEnds)
{
    TestNotificationService service;
    if (!service.Running())
        GTEST_SKIP() << "dbus-daemon is not installed";
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    TSiteSettings siteSettings(folder.filePath(u"SiteSettings.ini"_s));
    TNotificationQuiet quiet(&siteSettings);
    TSiteNotifications notifications(m_manager, Options(service.ClientConnection().name()));
    notifications.SetQuiet(&quiet);
    TMorvalenBaseClass& mail = OpenSite(u"Mail"_s, kMail);
    OpenSite(u"Chat"_s, kChat);
    ASSERT_TRUE(WaitUntil(
        [] { return TStandInFrame::Frames().size() == 2 && TStandInFrame::Frames().back()->Loads() > 0; }));

    // The muted site's message goes nowhere; the other site's after it arrives.
    ASSERT_TRUE(quiet.SetMuted(mail.ElementId(), true));
    notifications.WebNotification(Message(kMail, u"New mail"_s));
    notifications.WebNotification(Message(kChat, u"New message"_s));
    ASSERT_TRUE(WaitUntil([&] { return service.Notifications().size() == 1; }));
    QTest::qWait(200);
    ASSERT_EQ(service.Notifications().size(), 1U);
    EXPECT_EQ(service.Notifications().front().AppName, u"Chat"_s);
    EXPECT_EQ(service.Notifications().front().Summary, u"New message"_s);
    // The switch lives in the settings file, for the next run.
    EXPECT_TRUE(TNotificationQuiet(&siteSettings).Muted(mail.ElementId()));
    EXPECT_TRUE(TSiteSettings(siteSettings.FileName()).Value(mail.ElementId(), u"Muted"_s) == u"true"_s);

    // While do not disturb is on nothing shows, neither on the bus nor in the tray window.
    ASSERT_TRUE(quiet.SetMuted(mail.ElementId(), false));
    ASSERT_TRUE(quiet.SetDoNotDisturb(true));
    EXPECT_TRUE(quiet.Quiet());
    notifications.WebNotification(Message(kMail, u"Second mail"_s));
    notifications.WebNotification(Message(kChat, u"Second message"_s));
    notifications.WebNotification(Message(kChat, u"Third message"_s));
    QTest::qWait(300);
    EXPECT_EQ(service.Notifications().size(), 1U);
    EXPECT_EQ(notifications.TrayNotifications().NotifyWindow(), nullptr);
    ASSERT_EQ(quiet.Held().size(), 2U);

    // Once it ends: one summary line per site in the tray window, nothing more on the bus.
    ASSERT_TRUE(quiet.SetDoNotDisturb(false));
    TfTrayNotifyWin* window = notifications.TrayNotifications().NotifyWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(window->Sites().size(), 2U);
    EXPECT_EQ(window->Sites()[0]->SiteTitle, u"Mail"_s);
    EXPECT_EQ(window->Sites()[0]->PageTitle, TNotificationQuiet::SummaryLine(1));
    EXPECT_EQ(window->Sites()[1]->SiteTitle, u"Chat"_s);
    EXPECT_EQ(window->Sites()[1]->PageTitle, TNotificationQuiet::SummaryLine(2));
    EXPECT_TRUE(quiet.Held().empty());
    QTest::qWait(200);
    EXPECT_EQ(service.Notifications().size(), 1U);
}

TEST_F(TNotificationQuietTest, TheDailyQuietTimeRunsOverMidnightAndANonsenseTimeIsNone)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    TSiteSettings siteSettings(folder.filePath(u"SiteSettings.ini"_s));
    TNotificationQuiet quiet(&siteSettings);
    const QString general = QString::fromUtf16(TSiteSettings::kGeneralGroup);
    const auto at = [](int hour, int minute) {
        return QDateTime(QDate(2026, 12, 10), QTime(hour, minute));
    };

    ASSERT_TRUE(siteSettings.SetValue(general, u"QuietFrom"_s, u"22:00"_s));
    ASSERT_TRUE(siteSettings.SetValue(general, u"QuietUntil"_s, u"7:30"_s));
    EXPECT_TRUE(quiet.Quiet(at(23, 15)));
    EXPECT_TRUE(quiet.Quiet(at(3, 0)));
    EXPECT_FALSE(quiet.Quiet(at(7, 30)));
    EXPECT_FALSE(quiet.Quiet(at(12, 0)));

    ASSERT_TRUE(siteSettings.SetValue(general, u"QuietFrom"_s, u"12:00"_s));
    ASSERT_TRUE(siteSettings.SetValue(general, u"QuietUntil"_s, u"13:00"_s));
    EXPECT_TRUE(quiet.Quiet(at(12, 30)));
    EXPECT_FALSE(quiet.Quiet(at(23, 15)));

    // What the user wrote by hand and this version cannot read means no quiet time.
    ASSERT_TRUE(siteSettings.SetValue(general, u"QuietUntil"_s, u"lunch"_s));
    EXPECT_FALSE(quiet.QuietTime().has_value());
    EXPECT_FALSE(quiet.Quiet(at(12, 30)));

    // Held notifications are handed over when the clock leaves the quiet time.
    ASSERT_TRUE(siteSettings.SetValue(general, u"QuietUntil"_s, u"13:00"_s));
    std::vector<TNotificationQuiet::THeld> handed;
    quiet.OnQuietEnded = [&](const std::vector<TNotificationQuiet::THeld>& held) {
        handed = held;
    };
    quiet.Check(at(12, 30));
    quiet.Hold(7, u"site"_s, u"Mail"_s, QString());
    quiet.Check(at(12, 59));
    EXPECT_TRUE(handed.empty());
    quiet.Check(at(13, 1));
    ASSERT_EQ(handed.size(), 1U);
    EXPECT_EQ(handed.front().EntryId, 7U);
    EXPECT_EQ(handed.front().Count, 1);
}
