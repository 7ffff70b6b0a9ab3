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
    ASSERT_TRUE(WaitUntil([&] { return !browser.Opened.isEmpty(); }, 30000));
    EXPECT_EQ(browser.Opened.constFirst(), QUrl(Url(u"/one"_s)));
    EXPECT_EQ(m_window->TabCount(), 1);
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
