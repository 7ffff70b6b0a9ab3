// The browser window's header, status bar and tabs on the stand-in frame: what they show and
// do does not depend on the engine.

#include "browser/TBrowserNavigationBar.h"
#include "browser/TBrowserStatusBar.h"
#include "browser/TBrowserTab.h"
#include "browser/TBrowserTray.h"
#include "browser/TCustomInternetBrowserWindow.h"
#include "platform/XdgAutostart.h"
#include "settings/TApplicationsSettings.h"
#include "sites/TSiteSettings.h"
#include "support/StandInFrame.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QPixmap>
#include <QPointer>
#include <QSignalSpy>
#include <QStatusTipEvent>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

class TCustomInternetBrowserWindowPartsTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        TStandInFrame::Register();
        TStandInFrame::SetPage(u"http://mail.test/inbox"_s, {u"Inbox"_s, {}});
        TStandInFrame::SetPage(u"http://mail.test/folders"_s, {u"Folders"_s, {}});
        TStandInFrame::SetPage(u"http://mail.test/popup"_s, {u"Pop-up"_s, {}});
    }

    TCustomInternetBrowserWindow& Open(const QStringList& tabs = {}, TSiteSettings* siteSettings = nullptr,
                                       bool monitor = false)
    {
        m_window = new TCustomInternetBrowserWindow;
        m_window->SetSettings(&m_settings);
        if (siteSettings)
            m_window->SetSiteSettings(siteSettings, u"MAIL"_s);
        m_window->SetMonitor(monitor);
        m_window->SetSiteTitle(u"Mail"_s);
        m_window->SetStartURL(u"http://mail.test/inbox"_s);
        m_window->SetTabURLs(tabs);
        m_window->show();
        EXPECT_TRUE(WaitUntil([&] { return m_window->PagesOpened(); }));
        return *m_window;
    }

    static TfrmInternetBrowser& FrameOf(const TCustomInternetBrowserWindow& window, int index)
    {
        return *window.Tab(index)->Frame();
    }

    void TearDown() override { delete m_window.data(); }

    XdgAutostart m_autostart{u"/opt/morvalen/morvalen-desktop"_s};
    TApplicationsSettings m_settings{m_autostart};
    QPointer<TCustomInternetBrowserWindow> m_window;
};

} // namespace

TEST_F(TCustomInternetBrowserWindowPartsTest, TheHeaderFollowsTheCurrentTabOnly)
{
    TCustomInternetBrowserWindow& window = Open({u"http://mail.test/folders"_s});
    TBrowserNavigationBar& header = *window.NavigationBar();
    ASSERT_TRUE(WaitUntil([&] { return FrameOf(window, 1).Title() == u"Folders"_s; }));
    ASSERT_TRUE(WaitUntil([&] { return FrameOf(window, 0).Title() == u"Inbox"_s; }));
    EXPECT_EQ(header.AddressBox()->text(), u"http://mail.test/inbox"_s);
    EXPECT_EQ(header.PageTitle(), u"Inbox"_s);

    // A page of the tab in the background changes nothing in the header.
    FrameOf(window, 1).Navigate(u"http://mail.test/popup"_s);
    ASSERT_TRUE(WaitUntil([&] { return FrameOf(window, 1).Title() == u"Pop-up"_s; }));
    EXPECT_EQ(header.PageTitle(), u"Inbox"_s);
    EXPECT_FALSE(header.BackEnabled());

    // The new current tab brings its own state, and its later changes reach the header.
    window.SetActiveTab(1);
    EXPECT_EQ(header.PageTitle(), u"Pop-up"_s);
    EXPECT_TRUE(header.BackEnabled());
    FrameOf(window, 1).GoBack();
    ASSERT_TRUE(WaitUntil([&] { return header.PageTitle() == u"Folders"_s; }));
    EXPECT_FALSE(header.BackEnabled());
    EXPECT_TRUE(header.ForwardEnabled());
    EXPECT_EQ(header.AddressBox()->text(), u"http://mail.test/folders"_s);
}

TEST_F(TCustomInternetBrowserWindowPartsTest, APageOpensTabsOnlyWhenLinksOpenLocallyAndClosesItsOwnTab)
{
    TCustomInternetBrowserWindow& window = Open();
    ASSERT_TRUE(WaitUntil([&] { return FrameOf(window, 0).Title() == u"Inbox"_s; }));
    auto& page = static_cast<TStandInFrame&>(FrameOf(window, 0));
    m_settings.SetOpenLinksLocally(false);
    page.OpenWindow(u"http://mail.test/popup"_s);
    EXPECT_EQ(window.TabCount(), 1);

    m_settings.SetOpenLinksLocally(true);
    page.OpenWindow(u"http://mail.test/popup"_s);
    ASSERT_EQ(window.TabCount(), 2);
    EXPECT_EQ(window.ActiveTabIndex(), 1);
    ASSERT_TRUE(WaitUntil([&] { return window.TabCaption(1) == u"Pop-up"_s; }));
    EXPECT_TRUE(window.NavigationBar()->CloseTabVisible());

    // The pop-up closes itself: its tab goes once the page's call has returned.
    static_cast<TStandInFrame&>(FrameOf(window, 1)).AskToClose();
    EXPECT_EQ(window.TabCount(), 2);
    ASSERT_TRUE(WaitUntil([&] { return window.TabCount() == 1; }));
    EXPECT_FALSE(window.NavigationBar()->CloseTabVisible());
    EXPECT_EQ(window.NavigationBar()->PageTitle(), u"Inbox"_s);
}

TEST_F(TCustomInternetBrowserWindowPartsTest, HintsOfTheWindowsControlsShowInItsStatusLine)
{
    TCustomInternetBrowserWindow& window = Open();
    auto* toggle = window.findChild<QWidget*>(u"imgURLTitle"_s);
    ASSERT_NE(toggle, nullptr);
    QStatusTipEvent hint(toggle->statusTip());
    QCoreApplication::sendEvent(toggle, &hint);
    EXPECT_EQ(window.StatusBar()->Text(), u"Click to view Page Title"_s);
    // No tooltip of its own besides.
    EXPECT_TRUE(toggle->toolTip().isEmpty());
}

TEST_F(TCustomInternetBrowserWindowPartsTest, TheWatchedTabAndATabPlayingSoundStayAwake)
{
    QTemporaryDir folder;
    TSiteSettings settings(folder.filePath(u"SiteSettings.ini"_s));
    settings.SetValue(u"General"_s, u"HibernateAfterMinutes"_s, u"0.001"_s);
    TCustomInternetBrowserWindow& window =
        Open({u"http://mail.test/folders"_s, u"http://mail.test/popup"_s}, &settings, true);
    ASSERT_EQ(window.TabCount(), 3);
    auto& sounding = static_cast<TStandInFrame&>(FrameOf(window, 2));
    sounding.SetKeepsAwake(true);
    window.hide();
    ASSERT_TRUE(WaitUntil([&] { return FrameOf(window, 1).Sleeping(); }));
    EXPECT_FALSE(FrameOf(window, 0).Sleeping()) << "the change monitor reads the watched tab";
    EXPECT_FALSE(sounding.Sleeping());
    // Once the sound stops, the tab sleeps at the next end of the delay.
    sounding.SetKeepsAwake(false);
    EXPECT_TRUE(WaitUntil([&] { return sounding.Sleeping(); }));
    EXPECT_FALSE(FrameOf(window, 0).Sleeping());
}

TEST_F(TCustomInternetBrowserWindowPartsTest, TheSleepDelayComesFromTheSiteSettings)
{
    using std::chrono::milliseconds;
    using std::chrono::minutes;
    QTemporaryDir folder;
    TSiteSettings settings(folder.filePath(u"SiteSettings.ini"_s));
    EXPECT_EQ(TCustomInternetBrowserWindow::HibernateDelay(&settings, u"MAIL"_s), minutes(30));
    EXPECT_EQ(TCustomInternetBrowserWindow::HibernateDelay(nullptr, u"MAIL"_s), minutes(30));
    EXPECT_EQ(TCustomInternetBrowserWindow::HibernateDelay(&settings, {}), std::nullopt) << "standalone";
    // Values the program cannot use fall back to the default rather than to "at once".
    for (const QString& unusable : {u"soon"_s, u"-5"_s, u"nan"_s, u"inf"_s}) {
        settings.SetValue(u"General"_s, u"HibernateAfterMinutes"_s, unusable);
        EXPECT_EQ(TCustomInternetBrowserWindow::HibernateDelay(&settings, u"MAIL"_s), minutes(30))
            << unusable.toStdString();
    }
    settings.SetValue(u"General"_s, u"HibernateAfterMinutes"_s, u"1e12"_s);
    EXPECT_EQ(TCustomInternetBrowserWindow::HibernateDelay(&settings, u"MAIL"_s), minutes(7 * 24 * 60));
    settings.SetValue(u"General"_s, u"HibernateAfterMinutes"_s, u" 2.5 "_s);
    EXPECT_EQ(TCustomInternetBrowserWindow::HibernateDelay(&settings, u"MAIL"_s), milliseconds(150000));

    // Never: neither 0 for every site nor the site's own "never" lets a hidden window sleep.
    settings.SetValue(u"General"_s, u"HibernateAfterMinutes"_s, u"0.001"_s);
    settings.SetValue(u"MAIL"_s, u"Hibernate"_s, u"never"_s);
    TCustomInternetBrowserWindow& window = Open({u"http://mail.test/folders"_s}, &settings);
    window.hide();
    QTest::qWait(400);
    EXPECT_FALSE(window.Sleeping());
    window.show();
    settings.SetValue(u"MAIL"_s, u"Hibernate"_s, {});
    settings.SetValue(u"General"_s, u"HibernateAfterMinutes"_s, u"0"_s);
    window.hide();
    QTest::qWait(400);
    EXPECT_FALSE(window.Sleeping());
    // The same window with a delay does sleep: the waits above were long enough to tell. Its
    // tray icon is greyed while it sleeps.
    QPixmap red(32, 32);
    red.fill(Qt::red);
    window.SetSiteIcon(QIcon(red));
    const auto trayPixel = [&] {
        return window.Tray()->Icon()->icon().pixmap(32).toImage().pixelColor(8, 8);
    };
    window.show();
    settings.SetValue(u"General"_s, u"HibernateAfterMinutes"_s, u"0.001"_s);
    QSignalSpy marked(&window, &TCustomInternetBrowserWindow::SleepingChanged);
    window.hide();
    ASSERT_TRUE(WaitUntil([&] { return window.Sleeping(); }));
    EXPECT_EQ(marked.count(), 1);
    const QColor greyed = trayPixel();
    EXPECT_EQ(greyed.red(), greyed.green()) << "greyed, not red";
    window.show();
    EXPECT_TRUE(WaitUntil([&] { return !FrameOf(window, 0).Sleeping(); }));
    EXPECT_EQ(FrameOf(window, 0).GetLocationURL(), u"http://mail.test/inbox"_s);
    EXPECT_FALSE(window.Sleeping());
    EXPECT_EQ(trayPixel(), QColor(Qt::red));
    EXPECT_EQ(marked.count(), 2);
}
