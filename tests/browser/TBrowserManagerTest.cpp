// The browser manager with real windows on the stand-in frame: what it keeps, saves and says
// does not depend on the engine.

#include "browser/TBrowserManager.h"
#include "browser/TBrowserTab.h"
#include "browser/TCustomInternetBrowserWindow.h"
#include "platform/XdgAutostart.h"
#include "settings/TApplicationsSettings.h"
#include "sites/TMorvalenBaseClass.h"
#include "support/StandInFrame.h"
#include "support/TestSupport.h"

#include <QPointer>

#include <gtest/gtest.h>

#include <list>
#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

class TBrowserManagerTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        TStandInFrame::Register();
        TStandInFrame::SetPage(u"http://mail.test/home"_s, {u"Home page"_s, {}});
        TStandInFrame::SetPage(u"http://mail.test/one"_s, {u"Page one"_s, {}});
    }

    void SetUp() override
    {
        m_manager.SetSettings(&m_settings);
        QObject::connect(&m_manager, &TBrowserManager::Changed, [this] { ++m_changes; });
        QObject::connect(&m_manager, &TBrowserManager::SiteWindowChanged,
                         [this](TMorvalenBaseClass* site, bool open) {
                             m_marks.append({site, open});
                         });
    }

    // A site that outlives the manager, as the installed sites do in the program.
    TMorvalenBaseClass& AddSite(const QString& title, const QString& path)
    {
        auto& site = *m_sites.emplace_back(std::make_unique<TMorvalenBaseClass>());
        site.SetTitle(title);
        site.SetURL(u"http://mail.test"_s + path);
        return site;
    }

    static bool WaitForTitle(const TCustomInternetBrowserWindow& window, const QString& title)
    {
        return WaitUntil([&] { return window.TabCount() == 1 && window.Tab(0)->Frame()->Title() == title; });
    }

    XdgAutostart m_autostart{u"/opt/morvalen/morvalen-desktop"_s};
    TApplicationsSettings m_settings{m_autostart};
    std::list<std::unique_ptr<TMorvalenBaseClass>> m_sites;
    int m_changes = 0;
    QList<std::pair<TMorvalenBaseClass*, bool>> m_marks;
    // Last: it closes its windows, and says so, before what it tells goes.
    TBrowserManager m_manager;
};

} // namespace

TEST_F(TBrowserManagerTest, OpeningATileTwiceGivesOneWindowAndClosingItClearsTheMark)
{
    TMorvalenBaseClass& site = AddSite(u"Mail"_s, u"/home"_s);
    int saves = 0;
    site.OnChange = [&](TMorvalenBaseClass&) {
        ++saves;
    };

    QPointer<TCustomInternetBrowserWindow> window = m_manager.OpenBrowser(site, QIcon(), false);
    ASSERT_TRUE(window);
    EXPECT_TRUE(m_manager.HasBrowser(&site));
    EXPECT_EQ(m_marks, (QList<std::pair<TMorvalenBaseClass*, bool>>{{&site, true}}));
    EXPECT_EQ(window->windowTitle(), u"Morvalen Desktop: Mail"_s);
    EXPECT_EQ(m_changes, 1);
    // The second run only brings the window back, also when asked to run minimized.
    EXPECT_EQ(m_manager.OpenBrowser(site, QIcon(), true), window.data());
    EXPECT_EQ(m_manager.Count(), 1);
    EXPECT_EQ(m_changes, 1);
    EXPECT_FALSE(window->isMinimized());
    ASSERT_TRUE(WaitForTitle(*window, u"Home page"_s));

    // The last tab closing closes the window; the manager lets go of it and saves where it was.
    window->CloseTab(window->Tab(0));
    EXPECT_EQ(m_manager.Count(), 0);
    EXPECT_FALSE(m_manager.HasBrowser(&site));
    EXPECT_EQ(m_marks.size(), 2);
    EXPECT_EQ(m_marks.last(), std::make_pair(&site, false));
    EXPECT_EQ(m_changes, 2);
    EXPECT_EQ(saves, 1);
    EXPECT_TRUE(WaitUntil([&] { return window.isNull(); }));
}

TEST_F(TBrowserManagerTest, AnUnchangedPlacementIsNotSavedAgain)
{
    TMorvalenBaseClass& site = AddSite(u"Mail"_s, u"/home"_s);
    site.SetWindowPlacement(40, 30, 700, 500, wsNormal);
    int saves = 0;
    site.OnChange = [&](TMorvalenBaseClass&) {
        ++saves;
    };

    TCustomInternetBrowserWindow* window = m_manager.OpenBrowser(site, QIcon(), false);
    ASSERT_TRUE(window);
    EXPECT_EQ(window->size(), QSize(700, 500));
    EXPECT_TRUE(m_manager.CloseBrowser(site));
    EXPECT_EQ(saves, 0);
    EXPECT_EQ(site.WindowPlacement(), (TWindowPlacementRec{40, 30, 700, 500, wsNormal}));
    EXPECT_FALSE(m_manager.CloseBrowser(site));
    EXPECT_EQ(m_changes, 2);
}

TEST_F(TBrowserManagerTest, AWindowMinimizedFromMaximizedIsStoredAsMaximized)
{
    TMorvalenBaseClass& site = AddSite(u"Mail"_s, u"/home"_s);
    site.SetWindowPlacement(10, 20, 600, 400, wsMaximized);
    TCustomInternetBrowserWindow* window = m_manager.OpenBrowser(site, QIcon(), false);
    ASSERT_TRUE(window);
    ASSERT_TRUE(WaitUntil([&] { return window->isMaximized(); }));
    window->setWindowState(window->windowState() | Qt::WindowMinimized);
    ASSERT_TRUE(WaitUntil([&] { return window->isMinimized(); }));
    EXPECT_EQ(window->SavedWindowState(), wsMaximized);
    m_manager.CloseAll();
    EXPECT_EQ(site.WindowPlacement().WindowState, wsMaximized);
    EXPECT_EQ(site.WindowPlacement().Width, 600);
    EXPECT_FALSE(m_manager.HasBrowser(&site));
}

TEST_F(TBrowserManagerTest, CloseAllWithoutWindowsReportsOnce)
{
    m_manager.CloseAll();
    EXPECT_EQ(m_changes, 1);
}

TEST_F(TBrowserManagerTest, RunMinimizedGoesToTheTrayOnlyForTraySites)
{
    TMorvalenBaseClass& tray = AddSite(u"Tray"_s, u"/one"_s);
    tray.SetRunAsTrayIcon(true);
    TMorvalenBaseClass& plain = AddSite(u"Plain"_s, u"/two"_s);
    TCustomInternetBrowserWindow* trayWindow = m_manager.OpenBrowser(tray, QIcon(), true);
    TCustomInternetBrowserWindow* plainWindow = m_manager.OpenBrowser(plain, QIcon(), true);
    ASSERT_TRUE(trayWindow && plainWindow);
    EXPECT_TRUE(trayWindow->isHidden());
    EXPECT_TRUE(plainWindow->isMinimized());
    // Both load their pages all the same.
    ASSERT_TRUE(WaitUntil([&] { return trayWindow->TabCount() == 1 && plainWindow->TabCount() == 1; }));
    EXPECT_TRUE(WaitForTitle(*trayWindow, u"Page one"_s));

    // A notification of a window that has gone since does nothing.
    const uint64_t trayId = m_manager.FindBySite(&tray)->Id;
    m_manager.CloseBrowser(tray);
    m_manager.HandleNotifyClick(trayId);
    EXPECT_EQ(m_manager.Count(), 1);
    m_manager.HandleNotifyClick(m_manager.FindBySite(&plain)->Id);
    EXPECT_FALSE(plainWindow->isMinimized());
}

TEST_F(TBrowserManagerTest, RememberedPagesAndARemovedSiteEachGoThroughTheSitesOneChangeSignal)
{
    TMorvalenBaseClass& site = AddSite(u"Mail"_s, u"/home"_s);
    int saves = 0;
    site.OnChange = [&](TMorvalenBaseClass&) {
        ++saves;
    };
    QPointer<TCustomInternetBrowserWindow> window = m_manager.OpenBrowser(site, QIcon(), false);
    ASSERT_TRUE(window && WaitForTitle(*window, u"Home page"_s));
    window->NewTab()->Frame()->Navigate(u"http://mail.test/one"_s);
    ASSERT_TRUE(WaitUntil([&] { return window->Tab(1)->Frame()->Title() == u"Page one"_s; }));

    window->RememberPages();
    EXPECT_EQ(site.TabURLs(), QStringList{u"http://mail.test/one"_s});
    EXPECT_EQ(saves, 1);

    // The site goes: its window closes without writing its placement into it.
    window->move(window->pos() + QPoint(37, 11));
    m_manager.DiscardBrowser(site);
    EXPECT_TRUE(window.isNull());
    EXPECT_EQ(saves, 1);
    EXPECT_FALSE(m_manager.HasBrowser(&site));
}

TEST_F(TBrowserManagerTest, ARunningEngineLoadsThePageWhileTheWindowIsFirstDrawnAndShowsItOnceDrawn)
{
    TMorvalenBaseClass& site = AddSite(u"Mail"_s, u"/home"_s);
    QPointer<TCustomInternetBrowserWindow> window = m_manager.OpenBrowser(site, QIcon(), false);
    ASSERT_TRUE(window);
    // The page loads before the window has been drawn; its tab waits for the drawing.
    ASSERT_EQ(window->TabCount(), 1);
    TBrowserTab* tab = window->Tab(0);
    EXPECT_FALSE(tab->isVisible());
    EXPECT_EQ(TStandInFrame::Frames().back()->GetLocationURL(), u"http://mail.test/home"_s);
    ASSERT_TRUE(WaitForTitle(*window, u"Home page"_s));
    EXPECT_TRUE(WaitUntil([&] { return tab->isVisible(); }));

    // Minimized at its start, a window opens its pages as before: once it has gone from the screen.
    TMorvalenBaseClass& other = AddSite(u"Other"_s, u"/one"_s);
    QPointer<TCustomInternetBrowserWindow> minimized = m_manager.OpenBrowser(other, QIcon(), true);
    ASSERT_TRUE(minimized);
    ASSERT_TRUE(WaitForTitle(*minimized, u"Page one"_s));
    minimized->ShowRestored();
    EXPECT_TRUE(WaitUntil([&] { return minimized->Tab(0)->isVisible(); }));
}
