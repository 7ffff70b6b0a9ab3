#include "platform/DataFolder.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

class DataFolderTest : public ::testing::Test
{
protected:
    QTemporaryDir m_home;
    ScopedEnvironment m_data{"XDG_DATA_HOME", m_home.filePath(u"data"_s).toUtf8()};

    // A writable folder the program runs from, as a build tree is.
    QString ProgramFolder()
    {
        const QString folder = m_home.filePath(u"build/bin"_s);
        QDir().mkpath(folder);
        return folder;
    }
};

} // namespace

TEST_F(DataFolderTest, AWritableProgramFolderIsNotTheDataFolder)
{
    const QString expected = m_home.filePath(u"data/MorvalenDesktop/"_s);
    EXPECT_EQ(DataFolder::Resolve(QString(), ProgramFolder()), expected);
    EXPECT_TRUE(QFileInfo(expected).isDir());
}

TEST_F(DataFolderTest, OnlyAPortableMarkKeepsTheFilesBesideTheProgram)
{
    const QString program = ProgramFolder();
    // A folder of that name marks nothing.
    QDir(program).mkdir(u"portable"_s);
    EXPECT_EQ(DataFolder::Resolve(QString(), program), m_home.filePath(u"data/MorvalenDesktop/"_s));
    QDir(program).rmdir(u"portable"_s);
    WriteFile(program + u"/portable"_s, "");
    EXPECT_EQ(DataFolder::Resolve(QString(), program), program + u'/');
}

TEST_F(DataFolderTest, TheOptionWinsAndIsCreated)
{
    const QString program = ProgramFolder();
    WriteFile(program + u"/portable"_s, "");
    const QString chosen = m_home.filePath(u"chosen/deeper"_s);
    EXPECT_EQ(DataFolder::Resolve(chosen, program), chosen + u'/');
    EXPECT_TRUE(QFileInfo(chosen).isDir());
}
