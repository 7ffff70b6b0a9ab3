#include "common/FileUtils.h"
#include "common/Errors.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>

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
