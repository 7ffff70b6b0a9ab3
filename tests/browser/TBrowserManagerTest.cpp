// The browser manager with real windows and the real engine.

#include "BrowserTestFixture.h"

#include "browser/TBrowserManager.h"
#include "browser/TCustomInternetBrowserWindow.h"
#include "support/TestSupport.h"

#include <QPointer>

#include <list>

using namespace Qt::Literals::StringLiterals;

namespace {

class TBrowserManagerTest : public BrowserTest
{
protected:
    void SetUp() override
    {
        m_manager.SetSettings(&m_settings);
        m_manager.OnChange = [this](TBrowserManager&) {
            ++m_changes;
        };
    }

    // A site that outlives the manager, as the installed sites do in the program.
    TSite& AddSite(const QString& title, const QString& address)
    {
        m_sites.push_back(MakeSite(title, address));
        return m_sites.back();
    }

    std::list<TSite> m_sites;
    TBrowserManager m_manager;
    int m_changes = 0;
};

} // namespace

TEST_F(TBrowserManagerTest, OpeningATileTwiceGivesOneWindowAndClosingItClearsTheMark)
{
    TSite& site = AddSite(u"Mail"_s, Url(u"/home"_s));
    int saves = 0;
    site.Record->OnChange = [&](TMorvalenBaseClass&) {
        ++saves;
    };

    QPointer<TCustomInternetBrowserWindow> window = m_manager.OpenBrowser(*site.Tile, false);
    ASSERT_TRUE(window);
    EXPECT_TRUE(site.Tile->HasBrowser());
    EXPECT_EQ(window->windowTitle(), u"Morvalen Desktop: Mail"_s);
    EXPECT_EQ(m_changes, 1);
    // The second run only brings the window back, also when asked to run minimized.
    EXPECT_EQ(m_manager.OpenBrowser(*site.Tile, true), window.data());
    EXPECT_EQ(m_manager.Count(), 1);
    EXPECT_EQ(m_changes, 1);
    EXPECT_FALSE(window->isMinimized());
    ASSERT_TRUE(WaitUntil([&] { return window->TabCount() == 1; }));
    ASSERT_TRUE(WaitForTitle(*window->Tab(0)->Frame, u"Home page"_s));

    // The last tab closing closes the window; the manager lets go of it and saves where it was.
    window->CloseTab(window->Tab(0)->Sheet);
    EXPECT_EQ(m_manager.Count(), 0);
    EXPECT_FALSE(site.Tile->HasBrowser());
    EXPECT_EQ(m_changes, 2);
    EXPECT_EQ(saves, 1);
    EXPECT_TRUE(WaitUntil([&] { return window.isNull(); }));
}

TEST_F(TBrowserManagerTest, AnUnchangedPlacementIsNotSavedAgain)
{
    TSite& site = AddSite(u"Mail"_s, Url(u"/home"_s));
    site.Record->SetWindowPlacement(40, 30, 700, 500, wsNormal);
    int saves = 0;
    site.Record->OnChange = [&](TMorvalenBaseClass&) {
        ++saves;
    };

    TCustomInternetBrowserWindow* window = m_manager.OpenBrowser(*site.Tile, false);
    ASSERT_TRUE(window);
    EXPECT_EQ(window->size(), QSize(700, 500));
    EXPECT_TRUE(m_manager.CloseBrowser(*site.Tile));
    EXPECT_EQ(saves, 0);
    EXPECT_EQ(site.Record->WindowPlacement(), (TWindowPlacementRec{40, 30, 700, 500, wsNormal}));
    EXPECT_FALSE(m_manager.CloseBrowser(*site.Tile));
    EXPECT_EQ(m_changes, 2);
}

TEST_F(TBrowserManagerTest, AWindowMinimizedFromMaximizedIsStoredAsMaximized)
{
    TSite& site = AddSite(u"Mail"_s, Url(u"/home"_s));
    site.Record->SetWindowPlacement(10, 20, 600, 400, wsMaximized);
    TCustomInternetBrowserWindow* window = m_manager.OpenBrowser(*site.Tile, false);
    ASSERT_TRUE(window);
    ASSERT_TRUE(WaitUntil([&] { return window->isMaximized(); }));
    window->setWindowState(window->windowState() | Qt::WindowMinimized);
    ASSERT_TRUE(WaitUntil([&] { return window->isMinimized(); }));
    EXPECT_EQ(window->SavedWindowState(), wsMaximized);
    m_manager.CloseAll();
    EXPECT_EQ(site.Record->WindowPlacement().WindowState, wsMaximized);
    EXPECT_EQ(site.Record->WindowPlacement().Width, 600);
    EXPECT_FALSE(site.Tile->HasBrowser());
}

TEST_F(TBrowserManagerTest, CloseAllWithoutWindowsReportsOnce)
{
    m_manager.CloseAll();
    EXPECT_EQ(m_changes, 1);
}

TEST_F(TBrowserManagerTest, RunMinimizedGoesToTheTrayOnlyForTraySites)
{
    TSite& tray = AddSite(u"Tray"_s, Url(u"/one"_s));
    tray.Record->SetRunAsTrayIcon(true);
    TSite& plain = AddSite(u"Plain"_s, Url(u"/two"_s));
    TCustomInternetBrowserWindow* trayWindow = m_manager.OpenBrowser(*tray.Tile, true);
    TCustomInternetBrowserWindow* plainWindow = m_manager.OpenBrowser(*plain.Tile, true);
    ASSERT_TRUE(trayWindow && plainWindow);
    EXPECT_TRUE(trayWindow->isHidden());
    EXPECT_TRUE(plainWindow->isMinimized());
    // Both load their pages all the same.
    ASSERT_TRUE(WaitUntil([&] { return trayWindow->TabCount() == 1 && plainWindow->TabCount() == 1; }));
    EXPECT_TRUE(WaitForTitle(*trayWindow->Tab(0)->Frame, u"Page one"_s));

    // A notification of a window that has gone since does nothing.
    const uint64_t trayId = m_manager.FindByTile(tray.Tile.get())->Id;
    m_manager.CloseBrowser(*tray.Tile);
    m_manager.HandleNotifyClick(trayId);
    EXPECT_EQ(m_manager.Count(), 1);
    m_manager.HandleNotifyClick(m_manager.FindByTile(plain.Tile.get())->Id);
    EXPECT_FALSE(plainWindow->isMinimized());
}
