// The main window's site launchers: found again for every site read at start, and written
// with the options of this run.

#include "mainwindow/TfMain.h"
#include "platform/DesktopEntry.h"
#include "platform/XdgLauncherFolders.h"
#include "sites/SitesDataFile.h"
#include "sites/TInstalledSites.h"
#include "sites/TMVVisualManager.h"
#include "sites/TMorvalenBaseClass.h"
#include "sites/TSiteShortcuts.h"
#include "stores/TFavoriteIconManager.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// Mail and News at example.com, with the launcher kinds given.
SiteArrangement::TSiteList MailAndNews(uint8_t kinds)
{
    SiteArrangement::TSiteList sites;
    for (const char16_t* title : {u"Mail", u"News"}) {
        auto site = std::make_unique<TMorvalenBaseClass>();
        site->SetTitle(QString::fromUtf16(title));
        site->SetURL(u"http://example.com/"_s + site->Title());
        site->SetShortcutKinds(kinds);
        sites.push_back(std::move(site));
    }
    return sites;
}

} // namespace

TEST(TfMain, FindsEachLoadedSitesLaunchersAndWritesNewOnesForThisRun)
{
    QTemporaryDir home;
    ScopedEnvironment config("XDG_CONFIG_HOME", home.filePath(u"config"_s).toUtf8());
    ScopedEnvironment data("XDG_DATA_HOME", home.filePath(u"data"_s).toUtf8());
    const QString dataFolder = home.filePath(u"data-folder"_s);
    QDir().mkpath(dataFolder);

    SiteArrangement::TSiteList sites = MailAndNews(0);
    // Launchers of an earlier run: Mail in the menu and at login; News has none, although
    // another program's entry carries its name.
    const XdgLauncherFolders folders;
    const TSiteShortcuts earlier(folders, {u"/usr/bin/morvalen-desktop"_s}, QString());
    sites[0]->SetShortcutKinds(4 | 8);
    ASSERT_TRUE(earlier.CreateShortcuts(*sites[0]));
    sites[0]->SetShortcutKinds(0);
    WriteFile(folders.Folder(lpApplicationsMenu) + u"/News.desktop"_s,
              "[Desktop Entry]\nType=Application\nName=News\nExec=newsreader\n");
    SitesDataFile::Save(dataFolder + u"/MorvalenDesktop.dat"_s, sites);

    ProgramOptions options;
    options.dataFolder = dataFolder;
    TfMain window(options, TfMain::TrayMode::Unavailable);
    const auto& loaded = window.InstalledSites().Manager().Items();
    ASSERT_EQ(loaded.size(), 2u);
    EXPECT_EQ(loaded[0]->ShortcutKinds(), 4 | 8);
    EXPECT_EQ(loaded[1]->ShortcutKinds(), 0);

    // A launcher written now starts this program with this run's data folder.
    loaded[1]->SetShortcutKinds(8);
    ASSERT_TRUE(window.SiteShortcuts().CreateShortcuts(*loaded[1]));
    const std::optional<DesktopEntry> entry =
        DesktopEntry::Read(folders.Folder(lpApplicationsMenu) + u"/News (2).desktop"_s);
    ASSERT_TRUE(entry.has_value());
    EXPECT_EQ(DesktopEntry::SplitExec(entry->exec),
              QStringList({QCoreApplication::applicationFilePath(), u"--data-folder="_s + dataFolder,
                           u"Element="_s + loaded[1]->ElementId()}));
    EXPECT_EQ(entry->icon, window.FavoriteIconManager().Folder() + u"default_favicon.ico"_s);
}

TEST(TfMain, RemovingASiteRemovesItsLaunchersAndNoOthers)
{
    QTemporaryDir home;
    ScopedEnvironment config("XDG_CONFIG_HOME", home.filePath(u"config"_s).toUtf8());
    ScopedEnvironment data("XDG_DATA_HOME", home.filePath(u"data"_s).toUtf8());
    const QString dataFolder = home.filePath(u"data-folder"_s);
    QDir().mkpath(dataFolder);
    const SiteArrangement::TSiteList sites = MailAndNews(4 | 8);
    const XdgLauncherFolders folders;
    const TSiteShortcuts earlier(folders, {u"/usr/bin/morvalen-desktop"_s}, QString());
    for (const auto& site : sites)
        ASSERT_TRUE(earlier.CreateShortcuts(*site));
    SitesDataFile::Save(dataFolder + u"/MorvalenDesktop.dat"_s, sites);

    ProgramOptions options;
    options.dataFolder = dataFolder;
    TfMain window(options, TfMain::TrayMode::Unavailable);
    window.InstalledSites().Hooks().Confirm = [](const QString&, const QString&, const QImage&) {
        return true;
    };
    TMVWebElement* mail =
        window.InstalledSites().Manager().TileOf(window.InstalledSites().Manager().Items()[0].get());
    ASSERT_NE(mail, nullptr);
    window.InstalledSites().RemoveSite(*mail);
    // Left behind, they would start the program for a site that is gone.
    for (const TLauncherPlace place : {lpAutostart, lpApplicationsMenu}) {
        EXPECT_FALSE(QFileInfo::exists(folders.Folder(place) + u"/Mail.desktop"_s)) << place;
        EXPECT_TRUE(QFileInfo::exists(folders.Folder(place) + u"/News.desktop"_s)) << place;
    }
}
