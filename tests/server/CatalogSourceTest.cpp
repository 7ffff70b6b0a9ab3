#include "CatalogSource.h"
#include "CatalogXmlWriter.h"
#include "RequestTarget.h"
#include "ServerProcess.h"
#include "TestCatalog.h"

#include "catalog/TWebApplicationList.h"
#include "catalog/TWebCategoryTree.h"
#include "common/Errors.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSet>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// The test catalog with one application changed.
QByteArray WithApplication(const char* key, const QJsonValue& value, int index = 0)
{
    QJsonObject root = QJsonDocument::fromJson(kTestCatalog).object();
    QJsonArray applications = root[u"applications"_s].toArray();
    QJsonObject application = applications[index].toObject();
    if (value.isUndefined())
        application.remove(QString::fromLatin1(key));
    else
        application[QString::fromLatin1(key)] = value;
    applications[index] = application;
    root[u"applications"_s] = applications;
    return QJsonDocument(root).toJson();
}

std::string Complaint(const QByteArray& json)
{
    try {
        CatalogSource::LoadFromJson(json, u"catalog.json"_s);
    } catch (const EMorvalenError& error) {
        return error.what();
    }
    return "accepted";
}

TEST(CatalogSourceFile, FaultsAreRefusedWithTheEntryNamed)
{
    EXPECT_EQ(Complaint(kTestCatalog), "accepted");
    const struct
    {
        QByteArray json;
        const char* expected;
    } cases[] = {
        {"{", "not valid JSON"},
        {"[]", "must be a JSON object"},
        {R"({"categories": [], "applications": []})", "no categories"},
        {WithApplication("nid", 2, 0), "nid 2 is used twice"},
        {WithApplication("cat", 77), "category 77 does not exist"},
        {WithApplication("title", u"  "_s), "application 1 (nid 1): \"title\" must not be empty"},
        {WithApplication("tagline", u"a\u0001b"_s), "control character"},
        {WithApplication("main", u"javascript:alert(1)"_s), "\"main\" must be an http or https address"},
        {WithApplication("signup", u"https://x.example/a b"_s), "\"signup\" must be an http"},
        {WithApplication("rating", 5.5), "\"rating\" must be a number from 0 to 5"},
        {WithApplication("popularity", u"high"_s), "\"popularity\" must be a number"},
        {WithApplication("added", u"2024-02-30"_s), "\"added\" must be a date"},
        {WithApplication("nid", -4), "\"nid\" must be a whole number"},
        {WithApplication("nid", 1.5), "\"nid\" must be a whole number"},
        {WithApplication("picture", u"bmp"_s), "\"picture\" must be jpg, png or gif"},
        {WithApplication("browsers", u"ie netscape"_s), "not \"netscape\""},
        {WithApplication("recommended", u"yes"_s), "\"recommended\" must be true or false"},
        {WithApplication("description", QJsonValue::Undefined), "\"description\" is missing"},
        {R"({"categories": [{"id": 1, "title": "A", "sub": [{"id": 1, "title": "B"}]}], "applications": []})",
         "category id 1 is used twice"},
        {R"({"categories": [{"id": 1, "title": "A"}], "applications": [],
             "versions": [{"version": "1.256.0.0", "description": ""}]})",
         "at most 255"},
    };
    for (const auto& entry : cases) {
        const std::string complaint = Complaint(entry.json);
        EXPECT_NE(complaint.find(entry.expected), std::string::npos) << complaint << " / " << entry.expected;
    }
}

TEST(CatalogSourceFile, ServerRefusesToStartOnABrokenCatalog)
{
    QTemporaryDir dir;
    WriteFile(dir.filePath(u"catalog.json"_s), WithApplication("cat", 77));
    const ServerRun broken =
        RunServerToEnd({u"--catalog"_s, dir.path(), u"--port"_s, u"0"_s, u"--db"_s, u":memory:"_s});
    EXPECT_EQ(broken.exitCode, 1);
    EXPECT_TRUE(broken.errorOutput.contains(u"category 77 does not exist"_s))
        << broken.errorOutput.toStdString();

    const ServerRun missing =
        RunServerToEnd({u"--catalog"_s, dir.filePath(u"none"_s), u"--db"_s, u":memory:"_s});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.errorOutput.contains(u"Cannot read the catalog"_s));

    for (const QStringList& arguments :
         {QStringList{u"--port"_s, u"70000"_s}, QStringList{u"--port"_s, u"x"_s},
          QStringList{u"--frobnicate"_s, u"1"_s}, QStringList{u"--port"_s}}) {
        const ServerRun run = RunServerToEnd(QStringList{u"--catalog"_s, dir.path()} + arguments);
        EXPECT_EQ(run.exitCode, 1) << arguments.join(u' ').toStdString();
        EXPECT_FALSE(run.errorOutput.isEmpty());
    }
}

TEST(CatalogSourceFile, NumbersAreWrittenWithAPointWhateverTheValue)
{
    EXPECT_EQ(CatalogXmlWriter::FormatNumber(4.5), u"4.5"_s);
    EXPECT_EQ(CatalogXmlWriter::FormatNumber(3.0), u"3"_s);
    EXPECT_EQ(CatalogXmlWriter::FormatNumber(10.0 / 3.0), u"3.33"_s);
    EXPECT_EQ(CatalogXmlWriter::FormatNumber(0.0), u"0"_s);
    EXPECT_EQ(CatalogXmlWriter::FormatNumber(87.255), u"87.26"_s);
}

TEST(RequestTargets, SearchTextAndPathsAreTakenApartSafely)
{
    EXPECT_EQ(RequestTarget::SearchText("query=%22a%20b%22&action=search"), u"a b"_s);
    EXPECT_EQ(RequestTarget::SearchText("query=\"a&b\"&action=search"), u"a&b"_s);
    EXPECT_EQ(RequestTarget::SearchText("query=\"c++\"&action=search"), u"c++"_s);
    EXPECT_EQ(RequestTarget::SearchText("action=search&query=%22x%22"), u"x"_s);
    EXPECT_EQ(RequestTarget::SearchText("action=search"), QString());
    EXPECT_EQ(RequestTarget::PercentDecode("%41%4a%2"), QByteArray("AJ%2"));
    EXPECT_EQ(RequestTarget::PercentDecode("100%"), QByteArray("100%"));
    EXPECT_FALSE(RequestTarget::SafePath("/a/%2E./b").has_value());
    EXPECT_FALSE(RequestTarget::SafePath("noslash").has_value());
    EXPECT_EQ(RequestTarget::SafePath("/a/b..c?x=..").value_or("refused"), QByteArray("/a/b..c"));
}

// The catalog the project ships: big enough to show, read back whole by the program's model.
TEST(SampleCatalog, IsCompleteAndEveryCategoryFileReadsBack)
{
    const CatalogSource source =
        CatalogSource::LoadFromFile(QString::fromUtf8(MORVALEN_SAMPLE_CATALOG) + u"/catalog.json"_s);
    EXPECT_GE(source.Applications().size(), 120u);
    EXPECT_GE(source.Categories().size(), 8u);
    QSet<QString> formats;
    QSet<int32_t> usedCategories;
    for (const SourceApplication& application : source.Applications()) {
        formats.insert(application.pictureFormat);
        usedCategories.insert(application.categoryId);
        EXPECT_GE(application.description.size(), 60) << application.title.toStdString();
    }
    EXPECT_EQ(formats, (QSet<QString>{u"jpg"_s, u"png"_s, u"gif"_s}));
    for (const SourceCategory& category : source.Categories()) {
        EXPECT_FALSE(category.children.empty()) << category.title.toStdString();
        for (const SourceCategory& child : category.children)
            EXPECT_TRUE(usedCategories.contains(child.id)) << child.title.toStdString() << " is empty";
    }

    QTemporaryDir dir;
    ServerProcess server(QString::fromUtf8(MORVALEN_SAMPLE_CATALOG), u":memory:"_s);
    ASSERT_GT(server.Port(), 0);
    WriteFile(dir.filePath(u"categories.xml"_s), server.Get("/xmlcache/categorylist.xml").body);
    TWebCategoryTree tree;
    tree.LoadFromFile(dir.filePath(u"categories.xml"_s));
    EXPECT_EQ(size_t(tree.Count()), source.Categories().size());
    TWebApplicationList list;
    list.OnGetCategory = [&](TWebApplicationList&, int32_t id) {
        return tree.FindById(id);
    };
    for (const SourceCategory& category : source.Categories()) {
        const QString file = dir.filePath(u"category%1.xml"_s.arg(category.id));
        WriteFile(file, server.Get("/xmlcache/category" + QByteArray::number(category.id) + ".xml").body);
        list.LoadFromFile(file);
    }
    EXPECT_EQ(size_t(list.Count()), source.Applications().size());
}

} // namespace

namespace {

TEST(CatalogGenerator, WritesTheAskedSizeTheSameWayEachTime)
{
    QTemporaryDir dir;
    const auto generate = [&](const QString& folder, const QString& seed) {
        QProcess process;
        process.start(QString::fromUtf8(MORVALEN_GENERATOR_PATH),
                      {u"--applications"_s, u"250"_s, u"--categories"_s, u"4"_s, u"--sub-categories"_s,
                       u"2"_s, u"--seed"_s, seed, u"--output"_s, dir.filePath(folder)});
        EXPECT_TRUE(process.waitForFinished(60000));
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
        return ReadFile(dir.filePath(folder + u"/catalog.json"_s));
    };
    const QByteArray first = generate(u"a"_s, u"7"_s);
    const CatalogSource source = CatalogSource::LoadFromJson(first, u"generated"_s);
    EXPECT_EQ(source.Applications().size(), 250u);
    ASSERT_EQ(source.Categories().size(), 4u);
    EXPECT_EQ(source.Categories()[3].children.size(), 2u);
    EXPECT_EQ(generate(u"b"_s, u"7"_s), first);
    EXPECT_NE(generate(u"c"_s, u"8"_s), first);
}

} // namespace
