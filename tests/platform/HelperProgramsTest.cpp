// An install unpacked into a temporary prefix, laid out by the same GNUInstallDirs folders as
// the build's install rules, and a program in its bin folder looking for what came with it.

#include "platform/HelperPrograms.h"
#include "platform/InstallLayout.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

class InstallPrefix : public ::testing::Test
{
protected:
    QTemporaryDir m_prefix;

    void SetUp() override
    {
        if (QDir::isAbsolutePath(QStringLiteral(MORVALEN_TEST_BINDIR)) ||
            QDir::isAbsolutePath(QStringLiteral(MORVALEN_TEST_HELPERDIR)) ||
            QDir::isAbsolutePath(QStringLiteral(MORVALEN_TEST_MODULEDIR)))
            GTEST_SKIP() << "the install folders are configured as absolute paths";
        ASSERT_TRUE(QDir().mkpath(ProgramFolder()));
    }

    QString ProgramFolder() const { return m_prefix.filePath(QStringLiteral(MORVALEN_TEST_BINDIR)); }
    QString HelperFolder() const { return m_prefix.filePath(QStringLiteral(MORVALEN_TEST_HELPERDIR)); }
    QString DataFolder() const { return m_prefix.filePath(QStringLiteral(MORVALEN_TEST_DATADIR)); }

    static QString Place(const QString& folder, const QString& name, bool executable)
    {
        EXPECT_TRUE(QDir().mkpath(folder));
        const QString path = folder + u'/' + name;
        WriteFile(path, "#!/bin/sh\n");
        QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner;
        if (executable)
            permissions |= QFile::ExeOwner;
        EXPECT_TRUE(QFile::setPermissions(path, permissions));
        return path;
    }
};

// Unique, so that no helper of a real install on this machine is found instead.
const QString kHelper = u"morvalen-test-helper-7f3a"_s;

} // namespace

TEST_F(InstallPrefix, HelperProgramsAreFoundInTheInstallsHelperFolderAndBesideTheProgramFirst)
{
    EXPECT_EQ(HelperPrograms::Find(kHelper, ProgramFolder()), QString());
    EXPECT_EQ(InstallLayout::HelperFolder(ProgramFolder()), QDir::cleanPath(HelperFolder()));
    EXPECT_EQ(InstallLayout::ModuleFolder(ProgramFolder()),
              QDir::cleanPath(m_prefix.filePath(QStringLiteral(MORVALEN_TEST_MODULEDIR))));

    const QString installed = Place(HelperFolder(), kHelper, true);
    EXPECT_EQ(HelperPrograms::Find(kHelper, ProgramFolder()), installed);

    // A build tree or a portable copy keeps its helpers beside the program.
    const QString beside = Place(ProgramFolder(), kHelper, true);
    EXPECT_EQ(HelperPrograms::Find(kHelper, ProgramFolder()), beside);
}

TEST_F(InstallPrefix, OnlyExecutableFilesWithPlainNamesCountAsHelperPrograms)
{
    Place(ProgramFolder(), kHelper, false);
    EXPECT_EQ(HelperPrograms::Find(kHelper, ProgramFolder()), QString());

    ASSERT_TRUE(QDir().mkpath(HelperFolder() + u'/' + kHelper + u"-folder"_s));
    EXPECT_EQ(HelperPrograms::Find(kHelper + u"-folder"_s, ProgramFolder()), QString());

    // A name that walks out of the folders finds nothing, even where the file it names exists.
    const QString elsewhere = Place(m_prefix.filePath(u"elsewhere"_s), kHelper, true);
    EXPECT_EQ(HelperPrograms::Find(u"../elsewhere/"_s + kHelper, ProgramFolder()), QString());
    EXPECT_EQ(HelperPrograms::Find(elsewhere, ProgramFolder()), QString());
    EXPECT_EQ(HelperPrograms::Find(QString(), ProgramFolder()), QString());
}

TEST_F(InstallPrefix, TheSampleCatalogIsTheInstalledFolderThatHoldsACatalog)
{
    const QString catalog = DataFolder() + u"/catalog"_s;
    ASSERT_TRUE(QDir().mkpath(catalog));
    // An empty folder is no catalog: the server then asks for --catalog instead of failing later.
    EXPECT_NE(InstallLayout::SampleCatalogFolder(ProgramFolder()), QDir::cleanPath(catalog));

    WriteFile(catalog + u"/catalog.json"_s, "{}");
    EXPECT_EQ(InstallLayout::SampleCatalogFolder(ProgramFolder()), QDir::cleanPath(catalog));

    // A program outside the install does not find this one.
    const QString other = m_prefix.filePath(u"other/bin"_s);
    ASSERT_TRUE(QDir().mkpath(other));
    EXPECT_NE(InstallLayout::SampleCatalogFolder(other), QDir::cleanPath(catalog));
}
