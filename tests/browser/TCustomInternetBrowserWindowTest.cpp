// The browser window on the Chromium engine: pop-ups and full screen (the tab tests of every
// engine are in TCustomInternetBrowserWindowTabsTest.cpp).

#include "BrowserTestFixture.h"

#include "browser/TBrowserNavigationBar.h"
#include "browser/TBrowserTab.h"
#include "browser/TCustomInternetBrowserWindow.h"
#include "browser/TfrmInternetBrowser.h"
#include "support/TestSupport.h"

#include <QLineEdit>
#include <QMenu>
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

TEST_F(TCustomInternetBrowserWindowTest, TheWindowsKeysWorkWhileThePageHasTheFocus)
{
    Open(Url(u"/home"_s), {Url(u"/two"_s)});
    ASSERT_TRUE(WaitUntil([&] { return m_window->TabCount() == 2; }, 30000));
    m_window->SetActiveTab(0);
    TfrmInternetBrowser& frame = *m_window->Tab(0)->Frame();
    ASSERT_TRUE(WaitForTitle(frame, u"Home page"_s));
    m_window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_window.data()));
    // Into the page, as a click would.
    ASSERT_TRUE(ClickElement(frame, u"one"_s));
    ASSERT_TRUE(WaitForTitle(frame, u"Page one"_s));
    const auto press = [&](QKeyCombination key) {
        QWidget* focused = QApplication::focusWidget();
        ASSERT_NE(focused, nullptr);
        QTest::keyClick(focused, key.key(), key.keyboardModifiers());
    };
    ASSERT_NE(QApplication::focusWidget(), m_window->NavigationBar()->AddressBox());

    ASSERT_NO_FATAL_FAILURE(press(Qt::ALT | Qt::Key_Left));
    EXPECT_TRUE(WaitForTitle(frame, u"Home page"_s));
    ASSERT_NO_FATAL_FAILURE(press(Qt::ALT | Qt::Key_Right));
    EXPECT_TRUE(WaitForTitle(frame, u"Page one"_s));

    ASSERT_NO_FATAL_FAILURE(press(Qt::CTRL | Qt::Key_Equal));
    EXPECT_DOUBLE_EQ(frame.ZoomFactor(), 1.1);
    EXPECT_TRUE(WaitUntil(
        [&] { return RunScript(frame, u"String(window.devicePixelRatio > 1.05)"_s) == u"true"_s; }));
    ASSERT_NO_FATAL_FAILURE(press(Qt::CTRL | Qt::Key_Minus));
    ASSERT_NO_FATAL_FAILURE(press(Qt::CTRL | Qt::Key_Minus));
    EXPECT_DOUBLE_EQ(frame.ZoomFactor(), 0.9);
    ASSERT_NO_FATAL_FAILURE(press(Qt::CTRL | Qt::Key_0));
    EXPECT_DOUBLE_EQ(frame.ZoomFactor(), 1.0);
    EXPECT_EQ(m_window->ActiveTabIndex(), 0); // Ctrl+0 is the zoom's, not a tab's

    ASSERT_NO_FATAL_FAILURE(press(Qt::CTRL | Qt::Key_PageDown));
    EXPECT_EQ(m_window->ActiveTabIndex(), 1);
    ASSERT_NO_FATAL_FAILURE(press(Qt::CTRL | Qt::Key_PageDown));
    EXPECT_EQ(m_window->ActiveTabIndex(), 0); // round to the first
    ASSERT_NO_FATAL_FAILURE(press(Qt::CTRL | Qt::Key_PageUp));
    EXPECT_EQ(m_window->ActiveTabIndex(), 1);

    bool quit = false;
    QObject::connect(m_window.data(), &TCustomInternetBrowserWindow::QuitRequested, [&] { quit = true; });
    ASSERT_NO_FATAL_FAILURE(press(Qt::CTRL | Qt::Key_Q));
    EXPECT_TRUE(quit);

    ASSERT_NO_FATAL_FAILURE(press(Qt::CTRL | Qt::Key_L));
    EXPECT_EQ(QApplication::focusWidget(), m_window->NavigationBar()->AddressBox());
    EXPECT_EQ(m_window->NavigationBar()->AddressBox()->selectedText(),
              m_window->NavigationBar()->AddressBox()->text());

    ASSERT_NO_FATAL_FAILURE(press(Qt::CTRL | Qt::Key_W));
    EXPECT_EQ(m_window->TabCount(), 1);

    // Each is listed in the Options menu with its key.
    const auto* keys = m_window->MiscMenu()->findChild<QMenu*>(u"pmKeys"_s);
    ASSERT_NE(keys, nullptr);
    QStringList listed;
    for (const QAction* item : keys->actions())
        listed.append(item->shortcut().toString());
    EXPECT_TRUE(listed.contains(u"Ctrl+W"_s) && listed.contains(u"Ctrl+Q"_s) &&
                listed.contains(u"Alt+Left"_s))
        << listed.join(u", "_s).toStdString();
}
