#include "platform/SiteLaunchers.h"
#include "platform/DesktopEntry.h"
#include "platform/XdgLauncherFolders.h"
#include "support/LauncherTestFolders.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

SiteLauncher Launcher(const QString& title, const QString& siteId)
{
    SiteLauncher launcher;
    launcher.title = title;
    launcher.comment = u"Click here to open "_s + title;
    launcher.command = {u"/opt/morvalen/morvalen-desktop"_s, u"--data-folder=/home/u/100% sites"_s};
    launcher.launchWord = u"Element="_s + siteId;
    launcher.icon = u"/home/u/100% sites/FavIcons/default_favicon.ico"_s;
    launcher.windowClass = u"MorvalenDesktop-"_s + siteId;
    launcher.siteId = siteId;
    return launcher;
}

QStringList Files(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

} // namespace

TEST(SiteLaunchers, SafeFileNamesStayInTheirFolderAndVisible)
{
    EXPECT_EQ(SiteLaunchers::SafeFileName(u"../../etc/passwd"_s), u"-..-etc-passwd"_s);
    EXPECT_EQ(SiteLaunchers::SafeFileName(u".hidden"_s), u"hidden"_s);
    EXPECT_EQ(SiteLaunchers::SafeFileName(u" . .. "_s), u"Site"_s);
    EXPECT_EQ(SiteLaunchers::SafeFileName(u"a\tb\nc\u0085d\u007F"_s), u"abcd"_s);
    EXPECT_EQ(SiteLaunchers::SafeFileName(u"Почта \"100%\" 日本"_s), u"Почта \"100%\" 日本"_s);
    EXPECT_EQ(SiteLaunchers::SafeFileName(QString()), u"Site"_s);

    // Cut at a whole character: 3-byte and 4-byte (surrogate pair) characters.
    const QString han = QString(100, QChar(0x65E5));
    const QString cutHan = SiteLaunchers::SafeFileName(han);
    EXPECT_EQ(cutHan, QString(66, QChar(0x65E5)));
    QString emoji;
    for (int i = 0; i < 80; ++i)
        emoji += QString::fromUcs4(U"\U0001F600", 1);
    const QString cutEmoji = SiteLaunchers::SafeFileName(emoji);
    EXPECT_EQ(cutEmoji.toUtf8().size(), 200);
    EXPECT_FALSE(cutEmoji.back().isHighSurrogate());
    EXPECT_EQ(QString::fromUtf8(cutEmoji.toUtf8()), cutEmoji);
}

TEST(SiteLaunchers, AwkwardTitlesGiveValidEntriesInsideTheFolder)
{
    LauncherTestFolders folders;
    const SiteLaunchers launchers(folders);
    const QStringList titles = {u"News/Weather"_s,  u".profile"_s, u"\"Quoted\" 'mail'"_s,
                                u"100% Free"_s,     u"Почта"_s,    u"日本のニュース"_s,
                                u"a\\b $HOME `x`"_s};
    int id = 0;
    for (const QString& title : titles) {
        const QString siteId = u"SITE%1"_s.arg(++id);
        ASSERT_TRUE(launchers.Create(lpApplicationsMenu, Launcher(title, siteId))) << title.toStdString();
        const QString path = launchers.Find(lpApplicationsMenu, title, siteId);
        ASSERT_FALSE(path.isEmpty()) << title.toStdString();
        EXPECT_EQ(QFileInfo(path).absolutePath(), folders.Folder(lpApplicationsMenu));
        EXPECT_FALSE(QFileInfo(path).fileName().startsWith(u'.'));
        EXPECT_EQ(DesktopFileComplaints(path), QString()) << title.toStdString();

        const std::optional<DesktopEntry> entry = DesktopEntry::Read(path);
        ASSERT_TRUE(entry.has_value());
        EXPECT_EQ(entry->name, title);
        // The Exec line gives back the program, its options and the launch word, "%" and all.
        QString exec = entry->exec;
        const std::optional<QStringList> arguments = DesktopEntry::SplitExec(exec.replace(u"%%"_s, u"%"_s));
        ASSERT_TRUE(arguments.has_value());
        EXPECT_EQ(*arguments, Launcher(title, siteId).command + QStringList{u"Element="_s + siteId});
    }
    EXPECT_EQ(Files(folders.Folder(lpApplicationsMenu)).size(), titles.size());
    EXPECT_TRUE(Files(folders.Root()).isEmpty()) << "nothing lands beside the folders";
}

TEST(SiteLaunchers, ForeignEntriesAndOtherSitesOfTheSameTitleAreLeftAlone)
{
    LauncherTestFolders folders;
    const SiteLaunchers launchers(folders);
    const QString desktop = folders.Folder(lpDesktop);
    WriteFile(desktop + u"/Mail.desktop"_s,
              "[Desktop Entry]\nType=Application\nName=Mail\nExec=thunderbird\n");

    ASSERT_TRUE(launchers.Create(lpDesktop, Launcher(u"Mail"_s, u"AAAA"_s)));
    ASSERT_TRUE(launchers.Create(lpDesktop, Launcher(u"Mail"_s, u"BBBB"_s)));
    // Creating again replaces the site's own entry instead of adding one.
    ASSERT_TRUE(launchers.Create(lpDesktop, Launcher(u"Mail"_s, u"AAAA"_s)));
    EXPECT_EQ(Files(desktop), QStringList({u"Mail (2).desktop"_s, u"Mail (3).desktop"_s, u"Mail.desktop"_s}));
    EXPECT_EQ(DesktopEntry::Read(desktop + u"/Mail.desktop"_s)->exec, u"thunderbird"_s);
    EXPECT_EQ(launchers.Find(lpDesktop, u"Mail"_s, u"AAAA"_s), desktop + u"/Mail (2).desktop"_s);
    EXPECT_EQ(launchers.Find(lpDesktop, u"Mail"_s, u"BBBB"_s), desktop + u"/Mail (3).desktop"_s);
    EXPECT_EQ(launchers.Find(lpDesktop, u"Mail"_s, u"CCCC"_s), QString());
    // Launchers on the desktop run only when executable.
    EXPECT_TRUE(QFileInfo(desktop + u"/Mail (2).desktop"_s).isExecutable());

    launchers.Remove(lpDesktop, u"Mail"_s, u"AAAA"_s);
    EXPECT_EQ(Files(desktop), QStringList({u"Mail (3).desktop"_s, u"Mail.desktop"_s}));
    // With its first candidate free again, the other site still finds its own entry.
    EXPECT_EQ(launchers.Find(lpDesktop, u"Mail"_s, u"BBBB"_s), desktop + u"/Mail (3).desktop"_s);
}

TEST(SiteLaunchers, AMenuEntryNeverHidesTheSystemsEntryOrTheProgramsOwn)
{
    LauncherTestFolders folders;
    const SiteLaunchers launchers(folders);
    WriteFile(folders.SystemApplications() + u"/firefox.desktop"_s,
              "[Desktop Entry]\nType=Application\nName=Firefox\nExec=firefox\n");
    ASSERT_TRUE(launchers.Create(lpApplicationsMenu, Launcher(u"firefox"_s, u"AAAA"_s)));
    ASSERT_TRUE(launchers.Create(lpAutostart, Launcher(u"morvalen-desktop"_s, u"BBBB"_s)));
    EXPECT_EQ(Files(folders.Folder(lpApplicationsMenu)), QStringList{u"firefox (2).desktop"_s});
    EXPECT_EQ(Files(folders.Folder(lpAutostart)), QStringList{u"morvalen-desktop (2).desktop"_s});
}

TEST(SiteLaunchers, AMissingFolderIsMadeOnlyWhenThePlaceAllowsIt)
{
    LauncherTestFolders strict;
    QDir(strict.Folder(lpQuickLaunch)).removeRecursively();
    EXPECT_FALSE(SiteLaunchers(strict).Create(lpQuickLaunch, Launcher(u"Mail"_s, u"AAAA"_s)));
    EXPECT_FALSE(QFileInfo::exists(strict.Folder(lpQuickLaunch)));

    LauncherTestFolders lenient(true);
    QDir(lenient.Folder(lpAutostart)).removeRecursively();
    EXPECT_TRUE(SiteLaunchers(lenient).Create(lpAutostart, Launcher(u"Mail"_s, u"AAAA"_s)));
    EXPECT_TRUE(QFileInfo::exists(lenient.Folder(lpAutostart) + u"/Mail.desktop"_s));
}

TEST(XdgLauncherFolders, FollowTheUsersFolderSettings)
{
    QTemporaryDir home;
    QDir().mkpath(home.filePath(u"config"_s));
    WriteFile(home.filePath(u"config/user-dirs.dirs"_s), "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n");
    ScopedEnvironment homeVariable("HOME", home.path().toUtf8());
    ScopedEnvironment config("XDG_CONFIG_HOME", home.filePath(u"config"_s).toUtf8());
    ScopedEnvironment data("XDG_DATA_HOME", home.filePath(u"data"_s).toUtf8());
    ScopedEnvironment dataDirs("XDG_DATA_DIRS", "/usr/share:/opt/share");
    const XdgLauncherFolders folders;
    EXPECT_EQ(folders.Folder(lpDesktop), home.filePath(u"Schreibtisch"_s));
    EXPECT_EQ(folders.Folder(lpQuickLaunch), home.filePath(u"data/MorvalenDesktop/QuickLaunch"_s));
    EXPECT_EQ(folders.Folder(lpAutostart), home.filePath(u"config/autostart"_s));
    EXPECT_EQ(folders.Folder(lpApplicationsMenu), home.filePath(u"data/applications"_s));
    EXPECT_EQ(folders.ShadowedFolders(lpApplicationsMenu),
              QStringList({u"/usr/share/applications"_s, u"/opt/share/applications"_s}));
    EXPECT_TRUE(folders.MakeWhenMissing(lpApplicationsMenu));
    // A new home has no desktop folder yet: the launcher makes the one the settings name.
    EXPECT_TRUE(folders.MakeWhenMissing(lpDesktop));
    const SiteLaunchers launchers(folders);
    ASSERT_TRUE(launchers.Create(lpDesktop, Launcher(u"Mail"_s, u"AAAA"_s)))
        << launchers.LastError().toStdString();
    EXPECT_TRUE(QFileInfo::exists(home.filePath(u"Schreibtisch/Mail.desktop"_s)));
    EXPECT_TRUE(launchers.LastError().isEmpty());
}

TEST(SiteLaunchers, RemoveAllTakesEveryEntryOfTheSiteWhateverItsNameAndNoOther)
{
    LauncherTestFolders folders;
    const SiteLaunchers launchers(folders);
    const QString menu = folders.Folder(lpApplicationsMenu);
    ASSERT_TRUE(launchers.Create(lpApplicationsMenu, Launcher(u"Loopback"_s, u"AAAA"_s)));
    ASSERT_TRUE(launchers.Create(lpApplicationsMenu, Launcher(u"Loop Mail"_s, u"AAAA"_s)));
    ASSERT_TRUE(launchers.Create(lpApplicationsMenu, Launcher(u"Loopback"_s, u"BBBB"_s)));
    // Someone else's entry of the same name stays as well.
    WriteFile(menu + u"/Other.desktop"_s, "[Desktop Entry]\nType=Application\nName=Other\nExec=other\n");
    launchers.RemoveAll(lpApplicationsMenu, u"AAAA"_s);
    EXPECT_EQ(QDir(menu).entryList(QDir::Files, QDir::Name),
              (QStringList{u"Loopback (2).desktop"_s, u"Other.desktop"_s}));
    EXPECT_EQ(launchers.Find(lpApplicationsMenu, u"Loopback"_s, u"BBBB"_s),
              menu + u"/Loopback (2).desktop"_s);
}
