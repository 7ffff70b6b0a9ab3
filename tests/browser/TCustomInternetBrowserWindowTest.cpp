// The browser window on the Chromium engine: pop-ups and full screen (the tab tests of every
// engine are in TCustomInternetBrowserWindowTabsTest.cpp).

#include "BrowserTestFixture.h"

#include "browser/TBrowserNavigationBar.h"
#include "browser/TBrowserTab.h"
#include "browser/TCustomInternetBrowserWindow.h"
#include "browser/TfrmInternetBrowser.h"
#include "support/TestSupport.h"

#include <QLineEdit>
#include <QPointer>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

using TCustomInternetBrowserWindowTest = BrowserWindowTest;

} // namespace

TEST_F(TCustomInternetBrowserWindowTest, APopUpOpensAsATabOnlyWhenLinksOpenLocally)
{
    m_settings.SetOpenLinksLocally(true);
    Open(Url(u"/opener"_s));
    ASSERT_TRUE(WaitForTitle(*m_window->Tab(0)->Frame(), u"Opener"_s));
    ASSERT_TRUE(ClickElement(*m_window->Tab(0)->Frame(), u"go"_s));
    ASSERT_TRUE(WaitUntil([&] { return m_window->TabCount() == 2; }, 30000));
    // The new tab waits for its page (the server keeps it waiting) under the site's title.
    EXPECT_EQ(m_window->TabCaption(1), u"Mail"_s);
    EXPECT_EQ(m_window->ActiveTabIndex(), 1);
    EXPECT_TRUE(WaitUntil([&] { return Server().RequestCount(u"/stall"_s) > 0; }));
    delete m_window.data();
    Server().ReleaseStalls();

    m_settings.SetOpenLinksLocally(false);
    DesktopHandler browser(u"http"_s);
    Open(Url(u"/opener-one"_s));
    ASSERT_TRUE(WaitForTitle(*m_window->Tab(0)->Frame(), u"Opener"_s));
    ASSERT_TRUE(ClickElement(*m_window->Tab(0)->Frame(), u"go"_s));
    ASSERT_TRUE(WaitUntil([&] { return !browser.Opened.isEmpty(); }, 30000));
    EXPECT_EQ(browser.Opened.constFirst(), QUrl(Url(u"/one"_s)));
    EXPECT_EQ(m_window->TabCount(), 1);
}

TEST_F(TCustomInternetBrowserWindowTest, PopUpsWithoutAClickAreBlockedAndOfferedInTheTab)
{
    m_settings.SetOpenLinksLocally(true);
    Open(Url(u"/popups"_s));
    TfrmInternetBrowser* frame = m_window->Tab(0)->Frame();
    ASSERT_TRUE(WaitForTitle(*frame, u"Pop-ups done"_s));
    ProcessEventsFor(500);
    EXPECT_EQ(m_window->TabCount(), 1);
    EXPECT_EQ(frame->BlockedPopUps(), 200);
    EXPECT_EQ(frame->BlockedPopUp(), QUrl(Url(u"/blocked?199"_s)));
    auto* bar = frame->findChild<QWidget*>(u"pnPopUpBlocked"_s);
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(Server().RequestCount(u"/blocked"_s), 0);

    // One after a click opens one, as before.
    ASSERT_TRUE(ClickElement(*frame, u"go"_s));
    ASSERT_TRUE(WaitUntil([&] { return m_window->TabCount() == 2; }, 30000));
    EXPECT_TRUE(WaitForTitle(*m_window->Tab(1)->Frame(), u"Page two"_s));

    // The bar opens the latest blocked one; allowing the site's pop-ups holds for its next page.
    frame->OpenBlockedPopUp();
    ASSERT_TRUE(WaitUntil([&] { return m_window->TabCount() == 3; }, 30000));
    EXPECT_TRUE(WaitForTitle(*m_window->Tab(2)->Frame(), u"Blocked"_s));
    EXPECT_EQ(m_window->Tab(2)->Frame()->GetLocationURL(), Url(u"/blocked?199"_s));
    EXPECT_FALSE(bar->isVisible());
    frame->Navigate(Url(u"/popup-on-load"_s));
    ASSERT_TRUE(WaitUntil([&] { return frame->BlockedPopUps() == 1; }, 30000));
    EXPECT_EQ(m_window->TabCount(), 3);
    frame->AllowSitePopUps();
    ASSERT_TRUE(WaitUntil([&] { return m_window->TabCount() == 4; }, 30000));
    frame->RefreshPage();
    EXPECT_TRUE(WaitUntil([&] { return m_window->TabCount() == 5; }, 30000));
    EXPECT_EQ(frame->BlockedPopUps(), 0);
}

TEST_F(TCustomInternetBrowserWindowTest, APageAskingForFullScreenFillsTheScreenAndEscLeavesIt)
{
    Open(Url(u"/fullscreen"_s));
    TfrmInternetBrowser& frame = *m_window->Tab(0)->Frame();
    ASSERT_TRUE(WaitForTitle(frame, u"Full screen"_s));
    m_window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_window.data()));
    // Only a user's gesture may ask for it.
    ASSERT_TRUE(ClickElement(frame, u"go"_s));
    ASSERT_TRUE(WaitUntil([&] { return m_window->isFullScreen(); }, 30000));
    EXPECT_FALSE(m_window->NavigationBar()->AddressBox()->isVisible());
    EXPECT_EQ(RunScript(frame, u"document.fullscreenElement === document.documentElement"_s), u"true"_s);

    QWidget* focused = QApplication::focusWidget();
    QTest::keyClick(focused ? focused : m_window.data(), Qt::Key_Escape);
    ASSERT_TRUE(WaitUntil([&] { return !m_window->isFullScreen(); }, 30000));
    EXPECT_TRUE(m_window->NavigationBar()->AddressBox()->isVisible());
    EXPECT_TRUE(
        WaitUntil([&] { return RunScript(frame, u"document.fullscreenElement === null"_s) == u"true"_s; }));
}
