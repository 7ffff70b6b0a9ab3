#include "catalog/TRemoteVersion.h"
#include "catalog/ProgramVersion.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

QByteArray Entry(const char* major, const char* minor, const char* release, const char* build,
                 const QByteArray& children = {})
{
    return QByteArray("<version major=\"") + major + "\" minor=\"" + minor + "\" release=\"" + release +
           "\" build=\"" + build + "\">" + children + "</version>";
}

QByteArray Product(const QByteArray& entries, const QByteArray& id = "MorvalenDesktop")
{
    return "<product id=\"" + id + "\"><versions>" + entries + "</versions></product>";
}

QByteArray Products(const QByteArray& products)
{
    return "<?xml version=\"1.0\"?>\n<products>" + products + "</products>\n";
}

class VersionFiles : public ::testing::Test
{
protected:
    QTemporaryDir m_dir;
    TRemoteVersion m_version;

    void Load(const QByteArray& xml)
    {
        const QString path = m_dir.filePath(u"version%1.xml"_s.arg(++m_files));
        WriteFile(path, xml);
        m_version.LoadFromFile(path);
    }

private:
    int m_files = 0;
};

} // namespace

TEST(ProgramVersion, PacksFourPartsIntoBytesAndPrintsThem)
{
    EXPECT_EQ(PackVersion(2, 0, 6, 0), 0x02000600u);
    EXPECT_EQ(PackVersion(1, 2, 3, 256), 0x01020300u);
    EXPECT_EQ(PackVersion(-1, 511, 0, 1), 0xFFFF0001u);
    EXPECT_EQ(VersionText(0x02000600u), u"2.0.6.0"_s);
    EXPECT_EQ(VersionText(0xFFFEFDFCu), u"255.254.253.252"_s);
    EXPECT_EQ(VersionText(0), u"0.0.0.0"_s);

    // Below 256 the program's packing is the file's; above, a part spills into the next.
    EXPECT_EQ(PackProgramVersion(2, 0, 6, 0), PackVersion(2, 0, 6, 0));
    EXPECT_EQ(PackProgramVersion(1, 256, 0, 0), 0x02000000u);
    EXPECT_EQ(PackProgramVersion(0, 0, 1, 300), 0x0000022Cu);
    EXPECT_EQ(PackProgramVersion(65535, 65535, 65535, 65535), 0xFFFFFEFFu);

    // The one CMake sets for the project, all four parts.
    ASSERT_TRUE(ProgramVersion().has_value());
    EXPECT_EQ(VersionText(*ProgramVersion()), QString::fromLatin1(MORVALEN_PROJECT_VERSION));
}

TEST_F(VersionFiles, TheHighestEntryWinsWithItsOwnDescriptionAndAddress)
{
    Load(Products(Product(
        Entry("2", "0", "6", "0", "<description>Six</description><download_url>http://six</download_url>") +
        Entry("2", "0", "7", "0",
              "<description>Seven &amp; more</description><download_url>http://seven</download_url>") +
        Entry("1", "9", "9", "9", "<description>Old</description>"))));
    ASSERT_TRUE(m_version.Found());
    EXPECT_EQ(VersionText(m_version.Version()), u"2.0.7.0"_s);
    EXPECT_EQ(m_version.Description(), u"Seven & more"_s);
    EXPECT_EQ(m_version.DownloadURL(), u"http://seven"_s);
    EXPECT_GT(m_version.Version(), PackProgramVersion(2, 0, 6, 0));
}

TEST_F(VersionFiles, OnATieTheFirstEntryStays)
{
    Load(Products(Product(
        Entry("3", "1", "0", "0", "<description>First</description>") +
        Entry("3", "1", "0", "0", "<description>Second</description><download_url>x</download_url>"))));
    ASSERT_TRUE(m_version.Found());
    EXPECT_EQ(m_version.Description(), u"First"_s);
    EXPECT_TRUE(m_version.DownloadURL().isEmpty());
}

TEST_F(VersionFiles, PartsAreDecimalBytes)
{
    // 256 counts as 0, so 2.0.7.256 is 2.0.7.0 and loses to 2.0.7.1.
    Load(Products(Product(Entry("2", "0", "7", "256", "<description>256</description>") +
                          Entry("2", "0", "7", "1", "<description>One</description>"))));
    EXPECT_EQ(VersionText(m_version.Version()), u"2.0.7.1"_s);
    EXPECT_EQ(m_version.Description(), u"One"_s);

    // Text that is not a number counts as 0; an entry without build does not count at all.
    Load(Products(Product(
        Entry("2", "1", "0", "x", "<description>x</description>") +
        "<version major=\"9\" minor=\"9\" release=\"9\"><description>No build</description></version>")));
    EXPECT_EQ(VersionText(m_version.Version()), u"2.1.0.0"_s);
    EXPECT_EQ(m_version.Description(), u"x"_s);

    Load(Products(Product(Entry("0", "0", "0", "256") + Entry("zero", "0", "0", "0"))));
    EXPECT_FALSE(m_version.Found());
}

TEST_F(VersionFiles, OnlyOurProductCountsInAnyLetterCaseAndTheLastOneWins)
{
    Load(Products(Product(Entry("5", "0", "0", "0"), "OtherProduct") +
                  Product(Entry("6", "0", "0", "0"), "") + "<product><versions>" + Entry("7", "0", "0", "0") +
                  "</versions></product>" +
                  Product(Entry("2", "0", "0", "0", "<description>Ours</description>"), "MORVALENdesktop")));
    ASSERT_TRUE(m_version.Found());
    EXPECT_EQ(VersionText(m_version.Version()), u"2.0.0.0"_s);
    EXPECT_EQ(m_version.Description(), u"Ours"_s);

    // The Kelvin sign folds to "k" in Unicode, but the id is compared in ASCII.
    Load(Products(Product(Entry("2", "0", "0", "0"), "morvalendes\xE2\x84\xAAtop")));
    EXPECT_FALSE(m_version.Found());

    // A later counting product overwrites an earlier one, even with a lower version, and
    // brings its own (here missing) description and address.
    Load(Products(Product(Entry("3", "0", "0", "0",
                                "<description>Three</description><download_url>u3</download_url>")) +
                  Product("") + Product(Entry("0", "0", "0", "0", "<description>Zero</description>")) +
                  Product(Entry("2", "5", "0", "0"), "morvalendesktop")));
    ASSERT_TRUE(m_version.Found());
    EXPECT_EQ(VersionText(m_version.Version()), u"2.5.0.0"_s);
    EXPECT_TRUE(m_version.Description().isEmpty());
    EXPECT_TRUE(m_version.DownloadURL().isEmpty());
}

TEST_F(VersionFiles, AnythingElseLeavesFoundFalse)
{
    const QByteArray notVersionFiles[] = {
        "",
        "<products>",
        "<product id=\"MorvalenDesktop\"><versions>" + Entry("2", "0", "0", "0") + "</versions></product>",
        "<root>" + Products(Product(Entry("2", "0", "0", "0"))).mid(22) + "</root>",
        Products(Product("")),
        Products("<product id=\"MorvalenDesktop\">" + Entry("2", "0", "0", "0") + "</product>"),
        Products("<product id=\"MorvalenDesktop\"><versions><Version major=\"2\" minor=\"0\" release=\"0\" "
                 "build=\"0\"/></versions></product>"),
    };
    for (const QByteArray& xml : notVersionFiles) {
        // A good file first, so that a failed load must also forget it.
        Load(Products(Product(Entry("1", "0", "0", "0", "<description>d</description>"))));
        ASSERT_TRUE(m_version.Found());
        Load(xml);
        EXPECT_FALSE(m_version.Found()) << xml.toStdString();
        EXPECT_EQ(m_version.Version(), 0u) << xml.toStdString();
        EXPECT_TRUE(m_version.Description().isEmpty()) << xml.toStdString();
    }
    m_version.LoadFromFile(m_dir.filePath(u"missing.xml"_s));
    EXPECT_FALSE(m_version.Found());
}
