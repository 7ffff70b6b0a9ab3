// The browser window's tabs and remembered pages, the same for every engine: each test
// program that starts an engine runs them against it (MORVALEN_TEST_WINDOW_ENGINE).

#include "BrowserTestFixture.h"

#include "browser/TBrowserNavigationBar.h"
#include "browser/TBrowserStatusBar.h"
#include "browser/TBrowserTab.h"
#include "browser/TCustomInternetBrowserWindow.h"
#include "browser/TWebKitHost.h"
#include "browser/TWindowChangeMonitor.h"
#include "browser/TfrmInternetBrowser.h"
#include "support/TestSupport.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPointer>

#include <cstdint>

using namespace Qt::Literals::StringLiterals;

namespace {

class TCustomInternetBrowserWindowTabsTest : public BrowserWindowTest,
                                             public ::testing::WithParamInterface<int>
{
protected:
    void SetUp() override
    {
        if (GetParam() == 1) {
            if (QGuiApplication::platformName() != u"xcb"_s)
                GTEST_SKIP() << "no X server for the WebKit engine (MORVALEN_TEST_X11_DISPLAY is not set)";
            if (!QFileInfo(TWebKitHost::DefaultProgram()).isExecutable())
                GTEST_SKIP() << "morvalen-webkit-host is not built (WebKitGTK development files missing)";
        }
    }

    // A shown site window titled Mail on the engine under test whose pages are loading.
    TCustomInternetBrowserWindow* Open(const QString& start, const QStringList& tabs = {})
    {
        return BrowserWindowTest::Open(start, tabs, uint8_t(GetParam()));
    }
};

std::string EngineName(const ::testing::TestParamInfo<int>& info)
{
    return info.param == 0 ? "Chromium" : info.param == 1 ? "WebKit" : "Engine" + std::to_string(info.param);
}

} // namespace

TEST_P(TCustomInternetBrowserWindowTabsTest, ASiteWithTwoRememberedPagesOpensThreeTabsTheFirstActive)
{
    Open(Url(u"/home"_s), {Url(u"/one"_s), Url(u"/two"_s)});
    EXPECT_EQ(m_window->windowTitle(), u"Morvalen Desktop: Mail"_s);
    ASSERT_EQ(m_window->TabCount(), 3);
    EXPECT_EQ(m_window->ActiveTabIndex(), 0);
    EXPECT_TRUE(m_window->NavigationBar()->CloseTabVisible());
    EXPECT_TRUE(m_window->Tab(0)->IsHome());
    EXPECT_FALSE(m_window->Tab(1)->IsHome());
    EXPECT_EQ(m_window->Tab(2)->StartURL(), Url(u"/two"_s));
    ASSERT_TRUE(WaitForTitle(*m_window->Tab(1)->Frame(), u"Page one"_s));
    ASSERT_TRUE(WaitForTitle(*m_window->Tab(0)->Frame(), u"Home page"_s));
    EXPECT_EQ(m_window->TabCaption(1), u"Page one"_s);
    EXPECT_EQ(m_window->NavigationBar()->AddressBox()->text(), Url(u"/home"_s));

    // Closing the middle tab activates the new second one.
    ASSERT_TRUE(WaitForTitle(*m_window->Tab(2)->Frame(), u"Page two"_s));
    m_window->SetActiveTab(1);
    m_window->CloseTab(m_window->Tab(1));
    ASSERT_EQ(m_window->TabCount(), 2);
    EXPECT_EQ(m_window->ActiveTabIndex(), 1);
    EXPECT_EQ(m_window->TabCaption(1), u"Page two"_s);
    // The header follows the new active tab.
    EXPECT_EQ(m_window->NavigationBar()->AddressBox()->text(), Url(u"/two"_s));
    m_window->CloseTab(m_window->Tab(1));
    EXPECT_FALSE(m_window->NavigationBar()->CloseTabVisible());

    // The tray hint with one tab left: the page title does not name the site.
    EXPECT_EQ(m_window->TrayHint(), u"Mail: Home page"_s);
}

TEST_P(TCustomInternetBrowserWindowTabsTest, APageThatClosesItselfClosesItsTabAndTheLastTabTheWindow)
{
    Open(Url(u"/home"_s), {Url(u"/closer"_s)});
    ASSERT_TRUE(WaitUntil([&] { return m_window->TabCount() == 1; }, 30000));
    EXPECT_TRUE(m_window->Tab(0)->IsHome());

    bool closed = false;
    QObject::connect(m_window, &TCustomInternetBrowserWindow::WindowClosed, [&] { closed = true; });
    m_window->CloseTab(m_window->Tab(0));
    EXPECT_TRUE(closed);
    // The window frees itself.
    EXPECT_TRUE(WaitUntil([&] { return m_window.isNull(); }));
}

TEST_P(TCustomInternetBrowserWindowTabsTest,
       RememberingWithOnlyTheHomeTabStoresNoPagesAndCaptureHasTheFrameSize)
{
    Open(Url(u"/home"_s));
    ASSERT_TRUE(WaitForTitle(*m_window->Tab(0)->Frame(), u"Home page"_s));
    QStringList remembered{u"stale"_s};
    QObject::connect(m_window, &TCustomInternetBrowserWindow::PagesRemembered,
                     [&](const QStringList& pages) { remembered = pages; });
    m_window->RememberPages();
    EXPECT_TRUE(remembered.isEmpty());

    // A tab typed into is remembered; the home tab never is.
    m_window->NewTab();
    EXPECT_EQ(m_window->TabCaption(1), u"Mail (empty)"_s);
    m_window->NavigationBar()->AddressBox()->setText(Url(u"/two"_s));
    m_window->NavigateTyped();
    ASSERT_TRUE(WaitForTitle(*m_window->Tab(1)->Frame(), u"Page two"_s));
    m_window->RememberPages();
    EXPECT_EQ(remembered, QStringList{Url(u"/two"_s)});
    // The user sees that it did something.
    EXPECT_EQ(m_window->StatusBar()->Text(),
              u"1 page remembered: it opens beside the start page next time."_s);

    QImage captured;
    QObject::connect(m_window, &TCustomInternetBrowserWindow::ThumbnailCaptured,
                     [&](const QImage& bitmap) { captured = bitmap; });
    m_window->CaptureThumbnail();
    EXPECT_EQ(captured.size(), m_window->Tab(1)->Frame()->size());
    EXPECT_FALSE(captured.isNull());
}

TEST_P(TCustomInternetBrowserWindowTabsTest, TabCaptionsShortenLongTitlesAndTheTrayHintCountsTabs)
{
    Open(Url(u"/title60"_s), {Url(u"/title80"_s), Url(u"/mail"_s)});
    ASSERT_TRUE(WaitForTitle(*m_window->Tab(0)->Frame(),
                             u"Sixty characters of a page title that is not cut at all, ok!"_s));
    ASSERT_TRUE(
        WaitForTitle(*m_window->Tab(1)->Frame(),
                     u"Weekly report of the project: open tasks!Andwhatisdueinthecomingweeksforeveryone"_s));
    ASSERT_TRUE(WaitForTitle(*m_window->Tab(2)->Frame(), u"Mail"_s));
    EXPECT_EQ(m_window->TabCaption(0), u"Sixty characters of a page title that is not cut at all, ok!"_s);
    EXPECT_EQ(m_window->TabCaption(1), u"Weekly report of the project: open tasks!..."_s);
    EXPECT_EQ(m_window->TrayHint(), u"Mail (3 windows)"_s);

    // One tab left: its page's title starts with the site's and is the hint.
    m_window->CloseTab(m_window->Tab(1));
    m_window->CloseTab(m_window->Tab(0));
    EXPECT_EQ(m_window->TrayHint(), u"Mail"_s);
}

TEST_P(TCustomInternetBrowserWindowTabsTest, AWatchedPageThatChangesWhileTheWindowIsInactiveIsReported)
{
    m_window = new TCustomInternetBrowserWindow;
    m_window->SetSettings(&m_settings);
    m_window->SetBrowserEngine(uint8_t(GetParam()));
    m_window->SetSiteTitle(u"Mail"_s);
    m_window->SetStartURL(Url(u"/growing"_s));
    m_window->SetMonitor(true);
    TWindowChangeMonitor* monitor = TWindowChangeMonitor::Attach(*m_window, {300, 400});
    ASSERT_NE(monitor, nullptr);
    int changes = 0;
    QObject::connect(m_window, &TCustomInternetBrowserWindow::SiteChanged, [&] { ++changes; });
    m_window->resize(640, 480);
    m_window->show();
    ASSERT_TRUE(WaitUntil([&] { return m_window->TabCount() == 1; }, 30000));
    ASSERT_TRUE(WaitForTitle(*m_window->Tab(0)->Frame(), u"Growing"_s));
    // The user goes to another window.
    QWidget elsewhere;
    elsewhere.resize(200, 100);
    elsewhere.show();
    elsewhere.activateWindow();
    ASSERT_TRUE(WaitUntil([&] { return !m_window->WindowActive(); }, 30000));
    // The page adds a line every 200 ms: measured at each check, it has changed.
    ASSERT_TRUE(WaitUntil([&] { return changes >= 2; }, 30000));
    EXPECT_GT(monitor->Monitor().BaselineLength(), 0);
}

INSTANTIATE_TEST_SUITE_P(Engine, TCustomInternetBrowserWindowTabsTest,
                         ::testing::Values(MORVALEN_TEST_WINDOW_ENGINE), EngineName);
