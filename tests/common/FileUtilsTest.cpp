#include "common/FileUtils.h"
#include "common/Errors.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

TEST(FileUtils, WriteReplacesTheWholeFileAndLeavesNoTemporaryBehind)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"data.dat"_s);
    WriteFile(path, QByteArray(1000, 'x'));
    FileUtils::WriteFileAtomically(path, "short");
    EXPECT_EQ(ReadFile(path), "short");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{u"data.dat"_s});
}

TEST(FileUtils, AFileThatCannotBeCreatedIsAnError)
{
    QTemporaryDir dir;
    try {
        FileUtils::WriteFileAtomically(dir.filePath(u"missing/data.dat"_s), "x");
        FAIL() << "no error";
    } catch (const EFileError& error) {
        EXPECT_TRUE(error.Message().contains(u"missing/data.dat"_s)) << error.what();
    }
}

TEST(FileUtils, ReadingAMissingFileGivesNothing)
{
    QTemporaryDir dir;
    EXPECT_FALSE(FileUtils::ReadWholeFile(dir.filePath(u"missing"_s)).has_value());
}

TEST(FileUtils, WriteKeepsTheOldFilesPermissionsAndFollowsALink)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"shortcut.desktop"_s);
    WriteFile(path, "old");
    const QFile::Permissions executable = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                          QFile::ReadUser | QFile::WriteUser | QFile::ExeUser;
    ASSERT_TRUE(QFile::setPermissions(path, executable));
    const QString link = dir.filePath(u"link.desktop"_s);
    ASSERT_TRUE(QFile::link(path, link));

    FileUtils::WriteFileAtomically(link, "new");
    EXPECT_EQ(ReadFile(path), "new");
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(QFile::permissions(path), executable);
}

TEST(FileUtils, StaleTemporariesOfOwnedFilesGoAndNothingElse)
{
    QTemporaryDir dir;
    const QStringList stale = {u"MorvalenDesktop.cfg.saving-AbCdEf"_s,
                               u"MorvalenDesktop.dat.saving-x1Y2z3"_s};
    // Not the writer's names, the writer's name for a file it does not own, or not a file.
    const QStringList foreign = {u"MorvalenDesktop.cfg"_s,
                                 u"MorvalenDesktop.dat.backup"_s,
                                 u"MorvalenDesktop.cfg.saving-abc"_s,
                                 u"MorvalenDesktop.cfg.saving-abcdefg"_s,
                                 u"MorvalenDesktop.cfg.saving-ab-de"_s,
                                 u"Other.cfg.saving-AbCdEf"_s,
                                 u".saving-AbCdEf"_s,
                                 u"MorvalenDesktop.cfgX.saving-AbCdEf"_s};
    for (const QString& name : stale + foreign)
        WriteFile(dir.filePath(name), "x");
    ASSERT_TRUE(QDir(dir.path()).mkdir(u"MorvalenDesktop.dat.saving-Folder"_s));
    const QString outside = dir.filePath(u"precious"_s);
    WriteFile(outside, "keep");
    ASSERT_TRUE(QFile::link(outside, dir.filePath(u"MorvalenDesktop.cfg.saving-Linked"_s)));

    EXPECT_EQ(FileUtils::RemoveStaleTemporaryFiles(dir.path(),
                                                   {u"MorvalenDesktop.cfg"_s, u"MorvalenDesktop.dat"_s}),
              2);
    for (const QString& name : stale)
        EXPECT_FALSE(QFileInfo::exists(dir.filePath(name))) << name.toStdString();
    for (const QString& name : foreign)
        EXPECT_TRUE(QFileInfo::exists(dir.filePath(name))) << name.toStdString();
    EXPECT_TRUE(QFileInfo(dir.filePath(u"MorvalenDesktop.dat.saving-Folder"_s)).isDir());
    EXPECT_TRUE(QFileInfo(dir.filePath(u"MorvalenDesktop.cfg.saving-Linked"_s)).isSymLink());
    EXPECT_EQ(ReadFile(outside), "keep");

    // A folder its owner alone writes loses every temporary of the writer, and only those.
    EXPECT_EQ(FileUtils::RemoveStaleTemporaryFiles(dir.path()), 2);
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(u"Other.cfg.saving-AbCdEf"_s)));
    EXPECT_TRUE(QFileInfo::exists(dir.filePath(u"MorvalenDesktop.dat.backup"_s)));
    EXPECT_TRUE(QFileInfo::exists(dir.filePath(u".saving-AbCdEf"_s)));
}
