// The browser window's header, status bar and tabs on the stand-in frame: what they show and
// do does not depend on the engine.

#include "browser/TBrowserNavigationBar.h"
#include "browser/TBrowserStatusBar.h"
#include "browser/TBrowserTab.h"
#include "browser/TCustomInternetBrowserWindow.h"
#include "platform/XdgAutostart.h"
#include "settings/TApplicationsSettings.h"
#include "support/StandInFrame.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QPointer>
#include <QStatusTipEvent>

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

    TCustomInternetBrowserWindow& Open(const QStringList& tabs = {})
    {
        m_window = new TCustomInternetBrowserWindow;
        m_window->SetSettings(&m_settings);
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
