#include "sites/TSiteShortcuts.h"
#include "platform/DesktopEntry.h"
#include "sites/TMorvalenBaseClass.h"
#include "support/LauncherTestFolders.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr uint8_t kAllKinds = 1 | 2 | 4 | 8;

// Launcher folders of its own and a site to make launchers for.
struct SiteWithLaunchers
{
    SiteWithLaunchers()
    {
        site.SetElementId(u"0123456789ABCDEF0123"_s);
        site.SetTitle(u"Web Mail"_s);
        site.SetFavIconFileName(u"mail.ico"_s);
    }

    QString EntryPath(TLauncherPlace place, const QString& title) const
    {
        return folders.Folder(place) + u'/' + title + u".desktop"_s;
    }
    DesktopEntry Entry(TLauncherPlace place, const QString& title) const
    {
        const std::optional<DesktopEntry> entry = DesktopEntry::Read(EntryPath(place, title));
        EXPECT_TRUE(entry.has_value()) << EntryPath(place, title).toStdString();
        return entry.value_or(DesktopEntry{});
    }

    LauncherTestFolders folders;
    TSiteShortcuts shortcuts{folders,
                             {u"/usr/bin/morvalen-desktop"_s, u"--catalog-server=http://127.0.0.1:9"_s},
                             u"/home/u/.local/share/MorvalenDesktop/FavIcons"_s};
    TMorvalenBaseClass site;
};

} // namespace

TEST(TSiteShortcuts, AllFourKindsGiveFourEntriesAndOnlyTheStartupOneStartsMinimized)
{
    SiteWithLaunchers t;
    t.site.SetDescription(u"Mail in the browser"_s);
    t.site.SetShortcutKinds(kAllKinds);
    ASSERT_TRUE(t.shortcuts.CreateShortcuts(t.site));
    for (const TLauncherPlace place : LauncherPlaces) {
        const QString path = t.EntryPath(place, u"Web Mail"_s);
        EXPECT_EQ(DesktopFileComplaints(path), QString());
        const DesktopEntry entry = t.Entry(place, u"Web Mail"_s);
        EXPECT_EQ(entry.name, u"Web Mail"_s);
        EXPECT_EQ(entry.comment, u"Mail in the browser\nClick here to open Web Mail"_s);
        EXPECT_EQ(entry.icon, u"/home/u/.local/share/MorvalenDesktop/FavIcons/mail.ico"_s);
        EXPECT_EQ(entry.categories, u"Network;WebBrowser;"_s);
        EXPECT_EQ(entry.startupWMClass, u"MorvalenDesktop-0123456789ABCDEF0123"_s);
        const QString word = place == lpAutostart ? u"Element=0123456789ABCDEF0123 RunMinimized"_s
                                                  : u"Element=0123456789ABCDEF0123"_s;
        EXPECT_EQ(
            DesktopEntry::SplitExec(entry.exec),
            QStringList({u"/usr/bin/morvalen-desktop"_s, u"--catalog-server=http://127.0.0.1:9"_s, word}));
        // The launch argument is one quoted word, as the Exec line shows it.
        EXPECT_TRUE(entry.exec.endsWith(u'"' + word + u'"')) << entry.exec.toStdString();
    }

    TMorvalenBaseClass loaded;
    loaded.SetElementId(t.site.ElementId());
    loaded.SetTitle(t.site.Title());
    t.shortcuts.DetectShortcuts(loaded);
    EXPECT_EQ(loaded.ShortcutKinds(), kAllKinds);
}

TEST(TSiteShortcuts, ASiteWithoutDescriptionOnlyInvitesToOpenIt)
{
    SiteWithLaunchers t;
    t.site.SetShortcutKinds(8);
    ASSERT_TRUE(t.shortcuts.CreateShortcuts(t.site));
    EXPECT_EQ(t.Entry(lpApplicationsMenu, u"Web Mail"_s).comment, u"Click here to open Web Mail"_s);
    EXPECT_EQ(DesktopFileComplaints(t.EntryPath(lpApplicationsMenu, u"Web Mail"_s)), QString());
}

TEST(TSiteShortcuts, AMissingFolderFailsOnlyItsOwnKindAndIsNamed)
{
    SiteWithLaunchers t;
    QDir(t.folders.Folder(lpQuickLaunch)).removeRecursively();
    t.site.SetShortcutKinds(kAllKinds);
    QStringList errors;
    EXPECT_FALSE(t.shortcuts.CreateShortcuts(t.site, &errors));
    EXPECT_EQ(errors, QStringList{u"The folder %1 does not exist."_s.arg(t.folders.Folder(lpQuickLaunch))});
    EXPECT_TRUE(QFileInfo::exists(t.EntryPath(lpDesktop, u"Web Mail"_s)));
    EXPECT_TRUE(QFileInfo::exists(t.EntryPath(lpAutostart, u"Web Mail"_s)));
    EXPECT_TRUE(QFileInfo::exists(t.EntryPath(lpApplicationsMenu, u"Web Mail"_s)));
    EXPECT_EQ(t.site.ShortcutKinds(), kAllKinds);
}

TEST(TSiteShortcuts, ARenamedSiteMovesItsLaunchersAndIsDetectedByItsNewOnes)
{
    SiteWithLaunchers t;
    t.site.SetShortcutKinds(1 | 8);
    ASSERT_TRUE(t.shortcuts.CreateShortcuts(t.site));

    // What the site dialog does on "Ok" after a new title and only the desktop ticked.
    t.site.SetTitle(u"Post"_s);
    t.shortcuts.RemoveShortcuts(t.site);
    t.site.SetShortcutKinds(1);
    ASSERT_TRUE(t.shortcuts.CreateShortcuts(t.site));

    // The old title's entries carry the same key: they go, or the menu lists the site twice.
    EXPECT_FALSE(QFileInfo::exists(t.EntryPath(lpDesktop, u"Web Mail"_s)));
    EXPECT_FALSE(QFileInfo::exists(t.EntryPath(lpApplicationsMenu, u"Web Mail"_s)));
    EXPECT_TRUE(QFileInfo::exists(t.EntryPath(lpDesktop, u"Post"_s)));
    EXPECT_FALSE(QFileInfo::exists(t.EntryPath(lpApplicationsMenu, u"Post"_s)));

    t.site.SetShortcutKinds(0);
    t.shortcuts.DetectShortcuts(t.site);
    EXPECT_EQ(t.site.ShortcutKinds(), 1);

    // Unticking everything removes the launchers of the current title.
    t.shortcuts.RemoveShortcuts(t.site);
    t.shortcuts.DetectShortcuts(t.site);
    EXPECT_EQ(t.site.ShortcutKinds(), 0);
    EXPECT_FALSE(QFileInfo::exists(t.EntryPath(lpDesktop, u"Post"_s)));
}

TEST(TSiteShortcuts, AnotherProgramsEntryOfTheSameNameIsNeitherDetectedNorRemoved)
{
    SiteWithLaunchers t;
    WriteFile(t.EntryPath(lpAutostart, u"Web Mail"_s), "[Desktop Entry]\nType=Application\nName=x\nExec=x\n");
    t.shortcuts.DetectShortcuts(t.site);
    EXPECT_EQ(t.site.ShortcutKinds(), 0);
    t.shortcuts.RemoveShortcuts(t.site);
    EXPECT_TRUE(QFileInfo::exists(t.EntryPath(lpAutostart, u"Web Mail"_s)));
}
