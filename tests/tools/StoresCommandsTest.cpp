#include "stores/CacheIndexFile.h"
#include "stores/NamePairIndexFile.h"
#include "support/TestSupport.h"
#include "support/ToolRunner.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

class StoresCommandsTest : public ::testing::Test
{
protected:
    StoresCommandsTest() { QDir().mkpath(Path(u"Cache"_s)); }

    QString Path(const QString& name) const { return m_dir.filePath(name); }

    ToolResult Run(const QStringList& arguments) const { return RunTool(arguments); }

    QTemporaryDir m_dir;
};

} // namespace

TEST_F(StoresCommandsTest, CachePrintsTheEntriesTheProgramKeeps)
{
    std::vector<TCacheImageItemRec> entries(2);
    entries[0].URL = u"http://catalog/xmlcache/popular.xml"_s;
    entries[0].FileName = u"Cache00001.tmp"_s;
    entries[0].Updated = 45000.5;
    entries[0].AgeBase = 45000.25;
    entries[0].Keep = true;
    entries[0].Size = 5;
    entries[1].URL = u"http://catalog/gone.png"_s;
    entries[1].FileName = u"gone.png"_s;
    WriteFile(Path(u"Cache/Cache00001.tmp"_s), "12345");
    WriteFile(Path(u"Cache/Cache.dat"_s), CacheIndexFile::Serialize(entries));

    const ToolResult result = Run({u"cache"_s, Path(u"Cache"_s)});
    ASSERT_EQ(result.status, 0) << result.err.toStdString();
    const QJsonArray printed = QJsonDocument::fromJson(result.out).object().value(u"entries"_s).toArray();
    ASSERT_EQ(printed.size(), 1);
    const QJsonObject entry = printed.at(0).toObject();
    EXPECT_EQ(entry.keys(),
              (QStringList{u"AgeBase"_s, u"FileName"_s, u"Keep"_s, u"Size"_s, u"URL"_s, u"Updated"_s}));
    EXPECT_EQ(entry.value(u"URL"_s).toString(), entries[0].URL);
    EXPECT_EQ(entry.value(u"FileName"_s).toString(), u"Cache00001.tmp"_s);
    EXPECT_EQ(entry.value(u"Updated"_s).toDouble(), 45000.5);
    EXPECT_EQ(entry.value(u"AgeBase"_s).toDouble(), 45000.25);
    EXPECT_EQ(entry.value(u"Keep"_s).toBool(false), true);
    EXPECT_EQ(entry.value(u"Size"_s).toInt(), 5);
}

TEST_F(StoresCommandsTest, CacheWithoutAnIndexPrintsNoEntriesAndAWrongHeaderFails)
{
    ToolResult result = Run({u"cache"_s, Path(u"Cache"_s)});
    ASSERT_EQ(result.status, 0) << result.err.toStdString();
    EXPECT_EQ(result.out.trimmed(), R"({"entries":[]})");

    WriteFile(Path(u"Cache/Cache.dat"_s), "Cache Items data!\0\0\0\0");
    result = Run({u"cache"_s, Path(u"Cache"_s)});
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(result.err.contains("Invalid cache file format.")) << result.err.toStdString();
    EXPECT_TRUE(result.out.isEmpty());
}

TEST_F(StoresCommandsTest, ThumbnailsPrintsTheEntriesWhosePictureIsPresent)
{
    WriteFile(Path(u"Cache/Thumbnail0002.png"_s), "png");
    WriteFile(Path(u"Cache/Thumbnails.dat"_s),
              NamePairIndexFile::Serialize({{u"http://gone.example/"_s, u"Thumbnail0001.png"_s},
                                            {u"http://kept.example/"_s, u"Thumbnail0002.png"_s}}));
    const ToolResult result = Run({u"thumbnails"_s, Path(u"Cache"_s)});
    ASSERT_EQ(result.status, 0) << result.err.toStdString();
    EXPECT_EQ(result.out.trimmed(),
              R"({"entries":[{"FileName":"Thumbnail0002.png","URL":"http://kept.example/"}]})");
}

TEST_F(StoresCommandsTest, FaviconsPrintsTheDefaultEntryFirst)
{
    WriteFile(Path(u"Cache/example.ico"_s), "icon");
    WriteFile(Path(u"Cache/FavIcons.dat"_s),
              NamePairIndexFile::Serialize({{u"example"_s, u"example.ico"_s}, {u"gone"_s, u"gone.ico"_s}}));
    const ToolResult result = Run({u"favicons"_s, Path(u"Cache"_s)});
    ASSERT_EQ(result.status, 0) << result.err.toStdString();
    EXPECT_EQ(result.out.trimmed(), R"({"entries":[{"FileName":"default_favicon.ico","Name":"Web"},)"
                                    R"({"FileName":"example.ico","Name":"example"}]})");
    EXPECT_TRUE(QFile::exists(Path(u"Cache/default_favicon.ico"_s)));
}
