// The main window's browser commands with real windows on the stand-in frame.

#include "mainwindow/TSiteBrowsers.h"
#include "browser/TBrowserManager.h"
#include "browser/TBrowserTab.h"
#include "browser/TCustomInternetBrowserWindow.h"
#include "browser/TfrmInternetBrowser.h"
#include "platform/XdgAutostart.h"
#include "settings/TApplicationsSettings.h"
#include "sites/TMVWebElement.h"
#include "sites/TMorvalenBaseClass.h"
#include "support/StandInFrame.h"
#include "support/TestSupport.h"

#include <QPointer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

TEST(TSiteBrowsers, OpeningCountsNothingAndARemovedSiteIsNotWrittenInto)
{
    TStandInFrame::Register();
    TStandInFrame::SetPage(u"http://site.test/"_s, {u"Site"_s, {}});
    QTemporaryDir data;
    XdgAutostart autostart(u"/opt/morvalen/morvalen-desktop"_s);
    TApplicationsSettings settings(autostart);
    TMorvalenBaseClass record;
    record.SetTitle(u"Site"_s);
    record.SetURL(u"http://site.test/"_s);
    TMVWebElement tile;
    tile.SetMorvalenItem(&record);
    int recordChanges = 0;
    record.OnChange = [&](TMorvalenBaseClass&) {
        ++recordChanges;
    };

    TSiteBrowsers browsers(settings, data.path());
    QList<int> counts;
    QObject::connect(&browsers.Manager(), &TBrowserManager::Changed,
                     [&] { counts.append(browsers.OpenBrowserCount()); });

    // Opening twice: one window, and the launch count is not this class's to keep.
    QPointer<TCustomInternetBrowserWindow> window = browsers.OpenSite(tile);
    EXPECT_EQ(browsers.OpenSite(tile), window.data());
    EXPECT_EQ(record.RunCount(), 0);
    EXPECT_TRUE(browsers.HasBrowser(&tile));
    ASSERT_TRUE(window);
    ASSERT_TRUE(
        WaitUntil([&] { return window->TabCount() == 1 && window->Tab(0)->Frame()->Title() == u"Site"_s; }));

    // An edited title reaches the open window.
    record.SetTitle(u"Renamed"_s);
    browsers.SiteTitleChanged(tile);
    EXPECT_EQ(window->windowTitle(), u"Morvalen Desktop: Renamed"_s);

    // The site goes: its window closes first and writes nothing into it.
    window->move(window->pos() + QPoint(37, 11));
    browsers.SiteRemoving(tile);
    EXPECT_TRUE(window.isNull());
    EXPECT_FALSE(browsers.HasBrowser(&tile));
    EXPECT_EQ(recordChanges, 0);
    EXPECT_EQ(counts, (QList<int>{1, 0}));
}
