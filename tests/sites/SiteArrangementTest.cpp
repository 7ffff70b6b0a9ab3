#include "sites/SiteArrangement.h"
#include "common/Errors.h"
#include "sites/SitesDataFile.h"
#include "sites/TMorvalenBaseClass.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

SiteArrangement::TSiteList Sites(std::initializer_list<std::pair<int, const char16_t*>> entries)
{
    SiteArrangement::TSiteList list;
    for (const auto& [runs, title] : entries) {
        auto site = std::make_unique<TMorvalenBaseClass>();
        site->SetRunCount(runs);
        site->SetTitle(QString::fromUtf16(title));
        list.push_back(std::move(site));
    }
    return list;
}

QStringList Titles(const SiteArrangement::TSiteList& list)
{
    QStringList titles;
    for (const auto& site : list)
        titles << site->Title();
    return titles;
}

} // namespace

TEST(SiteArrangement, RowsHoldATileOnlyWhileItsRightEdgePlusTheMarginFits)
{
    const QSize tile(100, 90);
    // 350 pixels: three tiles a row, at 10, 120 and 230; the next row 10 below the first.
    const auto wide = SiteArrangement::Place(4, tile, 350);
    ASSERT_EQ(wide.Positions.size(), 4u);
    EXPECT_EQ(wide.Positions[0], QPoint(10, 20));
    EXPECT_EQ(wide.Positions[1], QPoint(120, 20));
    EXPECT_EQ(wide.Positions[2], QPoint(230, 20));
    EXPECT_EQ(wide.Positions[3], QPoint(10, 120));
    EXPECT_EQ(wide.Extent, QSize(340, 220));
    // 340 pixels: a third tile would end at 330 + 10, which is no longer left of the edge.
    const auto narrow = SiteArrangement::Place(3, tile, 340);
    EXPECT_EQ(narrow.Positions[1], QPoint(120, 20));
    EXPECT_EQ(narrow.Positions[2], QPoint(10, 120));
    // A box narrower than one tile still shows each tile, one per row.
    const auto tight = SiteArrangement::Place(2, QSize(280, 90), 100);
    EXPECT_EQ(tight.Positions[0], QPoint(10, 20));
    EXPECT_EQ(tight.Positions[1], QPoint(10, 120));
    EXPECT_EQ(SiteArrangement::Place(0, tile, 350).Positions.size(), 0u);
}

TEST(SiteArrangement, MovingLandsAfterAForwardTargetAndBeforeABackwardOne)
{
    auto sites = Sites({{0, u"1"}, {0, u"2"}, {0, u"3"}, {0, u"4"}});
    SiteArrangement::Move(sites, 2, 0);
    EXPECT_EQ(Titles(sites), QStringList({u"2"_s, u"3"_s, u"1"_s, u"4"_s}));

    sites = Sites({{0, u"1"}, {0, u"2"}, {0, u"3"}, {0, u"4"}});
    SiteArrangement::Move(sites, 1, 3);
    EXPECT_EQ(Titles(sites), QStringList({u"1"_s, u"4"_s, u"2"_s, u"3"_s}));

    // Positions outside the list change nothing.
    SiteArrangement::Move(sites, 7, 0);
    SiteArrangement::Move(sites, 0, -1);
    EXPECT_EQ(Titles(sites), QStringList({u"1"_s, u"4"_s, u"2"_s, u"3"_s}));
}

TEST(SiteArrangement, SortsByPopularityThenNameAndByNameCaseSensitively)
{
    auto sites = Sites({{3, u"b"}, {5, u"a"}, {3, u"a"}});
    SiteArrangement::Sort(sites, amByPopularity);
    EXPECT_EQ(Titles(sites), QStringList({u"a"_s, u"a"_s, u"b"_s}));
    EXPECT_EQ(sites[0]->RunCount(), 5);
    EXPECT_EQ(sites[1]->RunCount(), 3);

    sites = Sites({{9, u"Notes"}, {1, u"mail"}, {4, u"Atlas"}});
    SiteArrangement::Sort(sites, amByName);
    EXPECT_EQ(Titles(sites).first(), u"Atlas"_s);
    // Case counts: titles that differ only in case come out in one order, however they came in.
    auto lowerFirst = Sites({{0, u"mail"}, {0, u"Mail"}});
    auto upperFirst = Sites({{0, u"Mail"}, {0, u"mail"}});
    SiteArrangement::Sort(lowerFirst, amByName);
    SiteArrangement::Sort(upperFirst, amByName);
    EXPECT_EQ(Titles(lowerFirst), Titles(upperFirst));

    sites = Sites({{1, u"z"}, {2, u"a"}});
    SiteArrangement::Sort(sites, amManual);
    EXPECT_EQ(Titles(sites), QStringList({u"z"_s, u"a"_s}));
}

TEST(SiteArrangement, SameSiteURLIgnoresCaseBlanksOneSlashAndPlainHttp)
{
    const QString stored = u"http://Mail.Example.com/"_s;
    EXPECT_TRUE(SiteArrangement::SameSiteURL(stored, u"  mail.example.COM "_s));
    EXPECT_TRUE(SiteArrangement::SameSiteURL(stored, u"http://mail.example.com"_s));
    EXPECT_TRUE(
        SiteArrangement::SameSiteURL(u"mail.example.com/inbox/"_s, u"HTTP://mail.example.com/inbox"_s));
    // A secure address is another site, and only one slash goes.
    EXPECT_FALSE(SiteArrangement::SameSiteURL(u"https://mail.example.com"_s, u"http://mail.example.com"_s));
    EXPECT_FALSE(SiteArrangement::SameSiteURL(u"mail.example.com//"_s, u"mail.example.com"_s));
    // Nothing matches an empty address, not even another empty one.
    EXPECT_FALSE(SiteArrangement::SameSiteURL(u"  "_s, u""_s));
}

TEST(SitesDataFile, KeepDamagedCopyNeverReplacesAnEarlierCopy)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(u"MorvalenDesktop.dat"_s);
    WriteFile(path, "first damage");
    const QDateTime now(QDate(2026, 3, 4), QTime(5, 6, 7));
    const QString first = SitesDataFile::KeepDamagedCopy(path, now);
    EXPECT_EQ(first, path + u".damaged-20260304-050607"_s);
    WriteFile(path, "second damage");
    const QString second = SitesDataFile::KeepDamagedCopy(path, now);
    EXPECT_EQ(second, first + u"-2"_s);
    EXPECT_EQ(ReadFile(first), QByteArray("first damage"));
    EXPECT_EQ(ReadFile(second), QByteArray("second damage"));
    EXPECT_THROW(SitesDataFile::KeepDamagedCopy(folder.filePath(u"missing.dat"_s), now), EMorvalenError);
}
