// Unread counts read from site windows' page titles (on the stand-in frame), and the dock
// badge they drive, seen on the test's own session bus.

#include "browser/TUnreadCounts.h"
#include "browser/TBrowserManager.h"
#include "browser/TBrowserTab.h"
#include "browser/TBrowserTray.h"
#include "browser/TCustomInternetBrowserWindow.h"
#include "browser/UnreadCount.h"
#include "platform/LauncherBadge.h"
#include "platform/XdgAutostart.h"
#include "settings/TApplicationsSettings.h"
#include "sites/TMorvalenBaseClass.h"
#include "support/LauncherListener.h"
#include "support/StandInFrame.h"
#include "support/TestNotificationService.h"
#include "support/TestSupport.h"

#include <QDBusConnection>
#include <QPointer>

#include <gtest/gtest.h>

#include <list>
#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString kInbox = u"http://127.0.0.1/inbox"_s;
const QString kRead = u"http://127.0.0.1/read"_s;
const QString kChat = u"http://127.0.0.1/chat"_s;

class TUnreadCountsTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        TStandInFrame::Register();
        TStandInFrame::SetPage(kInbox, {u"(3) Inbox"_s, {}});
        TStandInFrame::SetPage(kRead, {u"Inbox"_s, {}});
        TStandInFrame::SetPage(kChat, {u"Chat (12)"_s, {}});
    }

    void SetUp() override
    {
        m_manager.SetSettings(&m_settings);
        QObject::connect(&m_counts, &TUnreadCounts::CountChanged,
                         [this](TMorvalenBaseClass* site, const TUnreadCounts::TCount& count) {
                             m_changes.append({site, count});
                         });
    }

    TMorvalenBaseClass& AddSite(const QString& title, const QString& address)
    {
        auto& site = *m_sites.emplace_back(std::make_unique<TMorvalenBaseClass>());
        site.SetTitle(title);
        site.SetURL(address);
        site.SetElementId(TMorvalenBaseClass::NewElementId());
        return site;
    }

    XdgAutostart m_autostart{u"/opt/morvalen/morvalen-desktop"_s};
    TApplicationsSettings m_settings{m_autostart};
    std::list<std::unique_ptr<TMorvalenBaseClass>> m_sites;
    QList<std::pair<TMorvalenBaseClass*, TUnreadCounts::TCount>> m_changes;
    TBrowserManager m_manager;
    TUnreadCounts m_counts{m_manager};
};

} // namespace

TEST_F(TUnreadCountsTest, ASiteCountsWhatItsPageTitleSaysAndKeepsItMarkedOldWhenItsWindowCloses)
{
    TMorvalenBaseClass& mail = AddSite(u"Mail"_s, kInbox);
    QPointer<TCustomInternetBrowserWindow> window = m_manager.OpenBrowser(mail, QIcon(), false);
    ASSERT_TRUE(window);
    ASSERT_TRUE(WaitUntil([&] { return m_counts.Count(mail.ElementId()).Count == 3; }));
    EXPECT_FALSE(m_counts.Count(mail.ElementId()).Old);
    EXPECT_EQ(window->windowTitle(), u"(3) Morvalen Desktop: Mail"_s);
    EXPECT_EQ(UnreadCount::FromTitle(window->TrayHint()), 3);

    // A second site adds to the total; closing a window keeps its count, as old.
    TMorvalenBaseClass& chat = AddSite(u"Chat"_s, kChat);
    ASSERT_TRUE(m_manager.OpenBrowser(chat, QIcon(), false));
    ASSERT_TRUE(WaitUntil([&] { return m_counts.Total() == 15; }));
    m_changes.clear();
    ASSERT_TRUE(m_manager.CloseBrowser(chat));
    EXPECT_EQ(m_counts.Count(chat.ElementId()), (TUnreadCounts::TCount{12, true}));
    ASSERT_EQ(m_changes.size(), 1);
    EXPECT_EQ(m_changes.front().first, &chat);
    EXPECT_EQ(m_counts.Total(), 15);

    // Reading the mail clears its count and caption; the site that went takes its count along.
    window->Tab(0)->Frame()->Navigate(kRead);
    ASSERT_TRUE(WaitUntil([&] { return m_counts.Count(mail.ElementId()).Count == 0; }));
    EXPECT_EQ(window->windowTitle(), u"Morvalen Desktop: Mail"_s);
    m_counts.Forget(chat.ElementId());
    EXPECT_EQ(m_counts.Total(), 0);
}

TEST_F(TUnreadCountsTest, TheDockBadgeOfTheProgramsEntryFollowsALoopbackPagesTitle)
{
    TestNotificationService bus(false);
    if (!bus.Running())
        GTEST_SKIP() << "dbus-daemon is not installed";
    TestLauncherListener listener(bus.Address());
    const QDBusConnection client = bus.ClientConnection();
    const std::unique_ptr<TLauncherBadge> badge =
        TLauncherBadge::ForDesktopEntry(u"morvalen-desktop.desktop"_s, client.name());
    QObject::connect(&m_counts, &TUnreadCounts::TotalChanged, [&](int total) { badge->SetCount(total); });

    TMorvalenBaseClass& mail = AddSite(u"Mail"_s, kInbox);
    TCustomInternetBrowserWindow* window = m_manager.OpenBrowser(mail, QIcon(), false);
    ASSERT_TRUE(window);
    ASSERT_TRUE(WaitUntil([&] { return !listener.Updates.isEmpty(); }));
    EXPECT_EQ(listener.Updates.back().AppUri, u"application://morvalen-desktop.desktop"_s);
    EXPECT_EQ(listener.Updates.back().Count, 3);
    EXPECT_TRUE(listener.Updates.back().Visible);

    window->Tab(0)->Frame()->Navigate(kRead);
    ASSERT_TRUE(WaitUntil([&] { return listener.Updates.size() == 2; }));
    EXPECT_EQ(listener.Updates.back().Count, 0);
    EXPECT_FALSE(listener.Updates.back().Visible);
}
