// The main window's browser commands with real windows and the real engine.

#include "mainwindow/TSiteBrowsers.h"
#include "browser/TBrowserManager.h"
#include "browser/TCustomInternetBrowserWindow.h"
#include "browser/TfrmInternetBrowser.h"
#include "platform/XdgAutostart.h"
#include "settings/TApplicationsSettings.h"
#include "sites/TMVWebElement.h"
#include "sites/TMorvalenBaseClass.h"
#include "support/TestHttpServer.h"
#include "support/TestSupport.h"

#include <QPointer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

TEST(TSiteBrowsers, RunningCountsAndSavesAShortcutDoesNotAndARemovedSiteIsNotWrittenInto)
{
    TestHttpServer server;
    server.Serve(u"/site"_s, "<html><head><title>Site</title></head></html>", "text/html");
    QTemporaryDir data;
    XdgAutostart autostart(u"/opt/morvalen/morvalen-desktop"_s);
    TApplicationsSettings settings(autostart);
    TMorvalenBaseClass record;
    record.SetTitle(u"Site"_s);
    record.SetURL(server.Url(u"/site"_s));
    TMVWebElement tile;
    tile.SetMorvalenItem(&record);
    int recordChanges = 0;
    record.OnChange = [&](TMorvalenBaseClass&) {
        ++recordChanges;
    };

    TSiteBrowsers browsers(settings, data.path());
    int saves = 0;
    QList<int> counts;
    browsers.SaveSites = [&] {
        ++saves;
    };
    browsers.OnCountChanged = [&](int count) {
        counts.append(count);
    };

    // A shortcut opens the site without counting a launch.
    browsers.OpenElement(tile, false);
    EXPECT_EQ(record.RunCount(), 0);
    EXPECT_EQ(saves, 0);
    EXPECT_TRUE(browsers.HasBrowser(&tile));
    // Running it from its tile twice: one window, two launches, each saved.
    browsers.RunSite(tile);
    browsers.RunSite(tile);
    EXPECT_EQ(record.RunCount(), 2);
    EXPECT_EQ(saves, 2);
    EXPECT_EQ(browsers.OpenBrowserCount(), 1);
    QPointer<TCustomInternetBrowserWindow> window = browsers.Manager().WindowOfTile(&tile);
    ASSERT_TRUE(window);
    ASSERT_TRUE(WaitUntil(
        [&] { return window->TabCount() == 1 && window->Tab(0)->Frame->Title() == u"Site"_s; }, 30000));

    // An edited title reaches the open window.
    record.SetTitle(u"Renamed"_s);
    browsers.SiteTitleChanged(tile);
    EXPECT_EQ(window->windowTitle(), u"Morvalen Desktop: Renamed"_s);

    // The site goes: its window closes first and writes nothing into it.
    window->move(window->pos() + QPoint(37, 11));
    browsers.SiteRemoving(tile);
    EXPECT_TRUE(window.isNull());
    EXPECT_FALSE(tile.HasBrowser());
    EXPECT_EQ(recordChanges, 0);
    EXPECT_EQ(counts, (QList<int>{1, 0}));
}
