// The browser window on the Chromium engine: pop-ups and full screen (the tab tests of every
// engine are in TCustomInternetBrowserWindowTabsTest.cpp).

#include "BrowserTestFixture.h"

#include "browser/TBrowserNavigationBar.h"
#include "browser/TBrowserTab.h"
#include "browser/TCustomInternetBrowserWindow.h"
#include "browser/TfrmInternetBrowser.h"
#include "sites/TSiteSettings.h"
#include "support/RenderSupport.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEnginePage>

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

TEST_F(TCustomInternetBrowserWindowTest, TheSitesZoomHoldsForEveryTabAndIsRemembered)
{
    QTemporaryDir folder;
    TSiteSettings settings(folder.filePath(u"SiteSettings.ini"_s));
    settings.SetZoom(u"ZOOMED"_s, 1.5);
    Open(Url(u"/one"_s), {Url(u"/two"_s)}, 0, &settings, u"ZOOMED"_s);
    ASSERT_TRUE(m_window->PagesOpened());
    ASSERT_EQ(m_window->TabCount(), 2);
    for (int i = 0; i < 2; ++i)
        EXPECT_DOUBLE_EQ(m_window->Tab(i)->Frame()->ZoomFactor(), 1.5) << i;
    TfrmInternetBrowser& home = *m_window->Tab(0)->Frame();
    m_window->SetActiveTab(0);
    ASSERT_TRUE(WaitForTitle(home, u"Page one"_s));
    EXPECT_TRUE(WaitUntil(
        [&] { return std::abs(RunScript(home, u"window.innerWidth"_s).toInt() - home.width() / 1.5) <= 2; }));

    // The Options menu's items, as the keys reach them.
    QAction* zoomIn = m_window->MiscMenu()->findChild<QAction*>(u"Zoom in"_s);
    ASSERT_NE(zoomIn, nullptr);
    zoomIn->trigger();
    EXPECT_DOUBLE_EQ(m_window->Tab(1)->Frame()->ZoomFactor(), 1.75);
    EXPECT_DOUBLE_EQ(TSiteSettings(settings.FileName()).Zoom(u"ZOOMED"_s), 1.75) << "kept for the next run";
    TBrowserTab* added = m_window->NewTab();
    ASSERT_NE(added, nullptr);
    EXPECT_DOUBLE_EQ(added->Frame()->ZoomFactor(), 1.75) << "a new tab of the site comes zoomed";
    m_window->ResetZoom();
    EXPECT_DOUBLE_EQ(m_window->Tab(0)->Frame()->ZoomFactor(), 1.0);
    EXPECT_TRUE(settings.Value(u"ZOOMED"_s, u"Zoom"_s).isEmpty());
    // The site dialog's change reaches the open window.
    settings.SetZoom(u"ZOOMED"_s, 0.5);
    EXPECT_DOUBLE_EQ(m_window->Tab(2)->Frame()->ZoomFactor(), 0.5);
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
                listed.contains(u"Alt+Left"_s) && listed.contains(u"F3"_s))
        << listed.join(u", "_s).toStdString();
    // Once: a key with an item of its own shows there and not in the list again.
    for (const QAction* item : m_window->MiscMenu()->actions()) {
        if (item->shortcut().isEmpty())
            continue;
        listed.append(item->shortcut().toString());
        EXPECT_EQ(listed.count(item->shortcut().toString()), 1) << item->text().toStdString();
    }
    EXPECT_TRUE(listed.contains(u"Ctrl+F"_s) && listed.contains(u"Ctrl++"_s) && listed.contains(u"Ctrl+N"_s))
        << listed.join(u", "_s).toStdString();
}

TEST_F(TCustomInternetBrowserWindowTest, AnIdleWindowsTabsSleepAndComeBackAtTheirAddressesAndScrollPositions)
{
    QTemporaryDir folder;
    TSiteSettings settings(folder.filePath(u"SiteSettings.ini"_s));
    // Fractional minutes: a fifth of a second.
    settings.SetValue(u"General"_s, u"HibernateAfterMinutes"_s, u"0.0033"_s);
    Open(Url(u"/long"_s), {Url(u"/two"_s)}, 0, &settings, u"IDLE"_s);
    ASSERT_TRUE(m_window->PagesOpened());
    m_window->ShowRestored();
    TfrmInternetBrowser& home = *m_window->Tab(0)->Frame();
    TfrmInternetBrowser& behind = *m_window->Tab(1)->Frame();
    ASSERT_TRUE(WaitForTitle(home, u"Long page"_s));
    ASSERT_TRUE(WaitForTitle(behind, u"Page two"_s));
    ASSERT_EQ(m_window->ActiveTab()->Frame(), &home);
    const auto scrolled = [&] {
        return RunScript(home, u"String(window.scrollY)"_s);
    };
    ASSERT_TRUE(WaitUntil([&] {
        RunScript(home, u"window.scrollTo(0, 1200)"_s);
        return scrolled() == u"1200"_s;
    }));

    // Another window takes the focus: the tab behind sleeps, the one on screen stays.
    QWidget other;
    other.resize(200, 100);
    other.show();
    other.activateWindow();
    ASSERT_TRUE(WaitUntil([&] { return behind.EngineAsleep(); }, 10000));
    EXPECT_EQ(PageOf(behind)->lifecycleState(), QWebEnginePage::LifecycleState::Discarded);
    EXPECT_FALSE(home.Sleeping());
    EXPECT_EQ(PageOf(home)->lifecycleState(), QWebEnginePage::LifecycleState::Active);
    EXPECT_FALSE(m_window->Sleeping()) << "what the window shows is awake";

    // Hidden, the window's current tab sleeps too, and with every page asleep the window lets
    // go of its native window and what draws it.
    m_window->hide();
    ASSERT_TRUE(WaitUntil([&] { return home.EngineAsleep(); }, 10000));
    EXPECT_EQ(PageOf(home)->lifecycleState(), QWebEnginePage::LifecycleState::Discarded);
    EXPECT_TRUE(m_window->Sleeping());
    EXPECT_TRUE(WaitUntil([&] { return !m_window->internalWinId(); }, 5000));

    // Back in use, the tab the user sees loads again where it was, scrolled as it was; the
    // other waits to be chosen.
    m_window->ShowRestored();
    ASSERT_TRUE(WaitUntil([&] { return !home.Sleeping(); }, 10000));
    EXPECT_EQ(PageOf(home)->lifecycleState(), QWebEnginePage::LifecycleState::Active);
    EXPECT_TRUE(WaitUntil([&] { return RunScript(home, u"document.title"_s) == u"Long page"_s; }));
    EXPECT_EQ(home.GetLocationURL(), Url(u"/long"_s));
    EXPECT_TRUE(WaitUntil([&] { return scrolled() == u"1200"_s; })) << scrolled().toStdString();
    // On screen again, in a native window of its own.
    RunScript(home, u"document.documentElement.style.background = '#c00000'"_s);
    const auto shown = [&] {
        return ShownOnScreen(home, home.rect().center());
    };
    EXPECT_TRUE(WaitUntil([&] { return shown() == 0xc00000; })) << std::hex << shown();
    EXPECT_TRUE(behind.Sleeping());
    m_window->SetActiveTab(1);
    EXPECT_FALSE(behind.Sleeping());
    EXPECT_TRUE(WaitUntil([&] { return RunScript(behind, u"document.title"_s) == u"Page two"_s; }));
    EXPECT_EQ(behind.GetLocationURL(), Url(u"/two"_s));
    EXPECT_FALSE(m_window->Sleeping());
}
