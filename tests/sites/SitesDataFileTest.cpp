#include "sites/SitesDataFile.h"
#include "common/BinaryStream.h"
#include "sites/TMorvalenBaseClass.h"
#include "support/TestSupport.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

std::vector<std::unique_ptr<TMorvalenBaseClass>> Sites(int count)
{
    std::vector<std::unique_ptr<TMorvalenBaseClass>> sites;
    for (int i = 0; i < count; ++i) {
        auto site = std::make_unique<TMorvalenBaseClass>();
        site->SetTitle(u"Site %1"_s.arg(i));
        site->SetURL(u"http://site%1.example/"_s.arg(i));
        site->SetTabURLs({u"http://tab.example/%1"_s.arg(i)});
        site->SetRunCount(i);
        sites.push_back(std::move(site));
    }
    return sites;
}

QStringList Titles(const SitesDataFile::LoadResult& result)
{
    QStringList titles;
    for (const auto& record : result.records)
        titles.append(record->Title());
    return titles;
}

} // namespace

TEST(SitesDataFile, HeaderCountAndRecordsInDisplayOrder)
{
    const auto sites = Sites(3);
    const QByteArray data = SitesDataFile::Serialize(sites);
    EXPECT_TRUE(data.startsWith("MorvalenDesktop Data. \x03\0\0\0"_qba));

    const SitesDataFile::LoadResult loaded = SitesDataFile::Parse(data);
    EXPECT_TRUE(loaded.headerValid);
    EXPECT_EQ(loaded.skipped, 0);
    EXPECT_EQ(Titles(loaded), QStringList({u"Site 0"_s, u"Site 1"_s, u"Site 2"_s}));
    EXPECT_EQ(loaded.records[1]->ElementId(), sites[1]->ElementId());
}

TEST(SitesDataFile, HeaderAndZeroCountLoadsNothing)
{
    const SitesDataFile::LoadResult loaded = SitesDataFile::Parse("MorvalenDesktop Data. \0\0\0\0"_qba);
    EXPECT_TRUE(loaded.headerValid);
    EXPECT_TRUE(loaded.records.empty());
    EXPECT_EQ(loaded.skipped, 0);
}

TEST(SitesDataFile, WrongHeaderLoadsNothing)
{
    QByteArray data = SitesDataFile::Serialize(Sites(2));
    data[0] = 'm';
    const SitesDataFile::LoadResult loaded = SitesDataFile::Parse(data);
    EXPECT_FALSE(loaded.headerValid);
    EXPECT_TRUE(loaded.records.empty());
    // The header text without its trailing space is wrong too.
    EXPECT_FALSE(SitesDataFile::Parse("MorvalenDesktop Data.").headerValid);
}

TEST(SitesDataFile, RecordWithABadChecksumIsSkippedAndTheOthersLoad)
{
    const auto sites = Sites(3);
    QByteArray data = SitesDataFile::Serialize(sites);
    BinaryWriter first;
    sites[0]->SaveToStream(first);
    // The last payload byte of the first record.
    const qsizetype offset = 26 + first.Size() - 1;
    data[offset] = char(data[offset] ^ 0x40);

    const SitesDataFile::LoadResult loaded = SitesDataFile::Parse(data);
    EXPECT_EQ(Titles(loaded), QStringList({u"Site 1"_s, u"Site 2"_s}));
    EXPECT_EQ(loaded.skipped, 1);
}

TEST(SitesDataFile, EveryTruncationLoadsTheWholeRecordsBeforeIt)
{
    const auto sites = Sites(3);
    const QByteArray data = SitesDataFile::Serialize(sites);
    std::vector<qsizetype> recordEnds;
    qsizetype end = 26;
    for (const auto& site : sites) {
        BinaryWriter writer;
        site->SaveToStream(writer);
        end += writer.Size();
        recordEnds.push_back(end);
    }

    for (qsizetype length = 0; length <= data.size(); ++length) {
        const SitesDataFile::LoadResult loaded = SitesDataFile::Parse(QByteArrayView(data).first(length));
        const auto whole =
            std::count_if(recordEnds.begin(), recordEnds.end(), [&](qsizetype e) { return e <= length; });
        ASSERT_EQ(qsizetype(loaded.records.size()), whole) << length;
        EXPECT_EQ(loaded.headerValid, length >= 22) << length;
        if (length >= 26) {
            EXPECT_EQ(loaded.skipped, 3 - whole) << length;
        }
    }
}

TEST(SitesDataFile, RandomBytesAndHugeCountsLoadWithoutFailing)
{
    QRandomGenerator random(42);
    const QByteArray valid = SitesDataFile::Serialize(Sites(4));
    for (int round = 0; round < 500; ++round) {
        QByteArray data = valid;
        // Damage a few bytes anywhere after the header, or append noise.
        const int damage = 1 + random.bounded(8);
        for (int i = 0; i < damage; ++i)
            data[22 + random.bounded(data.size() - 22)] = char(random.bounded(256));
        const SitesDataFile::LoadResult loaded = SitesDataFile::Parse(data);
        EXPECT_LE(loaded.records.size(), 4u);
    }

    // A count of 2^31-1 over a short file: stops at the end of the bytes.
    QByteArray huge = "MorvalenDesktop Data. \xFF\xFF\xFF\x7F"_qba + QByteArray(30, '\0');
    const SitesDataFile::LoadResult loaded = SitesDataFile::Parse(huge);
    EXPECT_TRUE(loaded.records.empty());
    EXPECT_EQ(loaded.skipped, 0x7FFFFFFF);
}

TEST(SitesDataFile, SaveReplacesTheFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"MorvalenDesktop.dat"_s);
    SitesDataFile::Save(path, Sites(5));
    SitesDataFile::Save(path, Sites(2));
    const SitesDataFile::LoadResult loaded = SitesDataFile::Parse(ReadFile(path));
    EXPECT_EQ(loaded.records.size(), 2u);
}
