#include "support/TestSupport.h"
#include "support/ToolRunner.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

class CatalogCommands : public ::testing::Test
{
protected:
    QTemporaryDir m_dir;

    QString Write(const QString& name, const QByteArray& data)
    {
        const QString path = m_dir.filePath(name);
        WriteFile(path, data);
        return path;
    }

    static ToolResult Run(const QStringList& arguments) { return RunTool(arguments); }

    QString Categories()
    {
        return Write(u"categorylist.xml"_s, R"(<categories>
  <category id="1" title="Office"><category id="11" title="Mail"/><category id="12" title="Docs"/></category>
  <category id="2" title="Games"/>
</categories>)");
    }
};

} // namespace

TEST_F(CatalogCommands, CategoriesPrintsTheTreeAsLoaded)
{
    const ToolResult result = Run({u"categories"_s, Categories()});
    ASSERT_EQ(result.status, 0) << result.err.toStdString();
    const QJsonDocument expected = QJsonDocument::fromJson(R"({"categories":[
        {"ID":1,"Title":"Office","Children":[{"ID":11,"Title":"Mail"},{"ID":12,"Title":"Docs"}]},
        {"ID":2,"Title":"Games","Children":[]}]})");
    EXPECT_EQ(QJsonDocument::fromJson(result.out), expected) << result.out.toStdString();

    // A file of another kind leaves the new tree empty.
    const ToolResult other = Run({u"categories"_s, Write(u"other.xml"_s, "<webapplications/>")});
    ASSERT_EQ(other.status, 0);
    EXPECT_EQ(other.Json().value(u"categories"_s).toArray().size(), 0);
}

TEST_F(CatalogCommands, ALoadThatRaisesIsReportedWithStatusOne)
{
    const struct
    {
        QByteArray xml;
        QByteArray message;
    } cases[] = {
        {R"(<categories><category id="1" title="a"/><category id="1" title="b"/></categories>)",
         "Category already exists. ID=1"},
        {R"(<categories><category id="one" title="a"/></categories>)", "'one' is not a valid integer value"},
        {"<categories><category id=\"1\" title=\"a\">", "is not well-formed XML"},
    };
    for (const auto& c : cases) {
        const ToolResult result = Run({u"categories"_s, Write(u"bad.xml"_s, c.xml)});
        EXPECT_EQ(result.status, 1) << c.xml.toStdString();
        EXPECT_TRUE(result.out.isEmpty()) << c.xml.toStdString();
        EXPECT_TRUE(result.err.contains(c.message)) << result.err.toStdString();
    }
    EXPECT_EQ(Run({u"categories"_s, m_dir.filePath(u"missing.xml"_s)}).status, 1);
    EXPECT_EQ(Run({u"catalog"_s, Write(u"dup.xml"_s, cases[0].xml), Write(u"l.xml"_s, "<webapplications/>")})
                  .status,
              1);
    EXPECT_EQ(Run({u"catalog"_s, Categories(), m_dir.filePath(u"missing.xml"_s)}).status, 1);
    EXPECT_EQ(Run({u"version"_s, m_dir.filePath(u"missing.xml"_s)}).status, 1);
}

TEST_F(CatalogCommands, CatalogMergesTheListsInOrderWithTheirOwnTargets)
{
    const QString whatsNew = Write(u"whatsnew.xml"_s, R"(<webapplications>
  <webapp nid="30" cat_id="11">
    <description><title>Mailer</title><tagline>Fast mail</tagline><maindescription>Long</maindescription></description>
    <links><main_url>http://m/</main_url><signup_url>http://m/s</signup_url><login_url>http://m/l</login_url>
      <app_url>http://m/a</app_url></links>
    <images><thumbnail_url>http://m/t.png</thumbnail_url><screenshot_url>http://m/s.png</screenshot_url></images>
    <browser ie="True" firefox="False" opera="True" safari="false"/>
    <rating userrating="0.1" popularity="42"/>
    <price cost="Free"/>
    <options wizard="True" premium="False"/>
    <dateadded>43200</dateadded>
  </webapp>
  <webapp nid="10" cat_id="2"><description><title>Game</title></description></webapp>
  <webapp nid="20" cat_id="77"><description><title>Unknown category</title></description></webapp>
</webapplications>)");
    const QString popular = Write(u"popular.xml"_s, R"(<webapplications>
  <webapp nid="10" cat_id="99"><description><title>Renamed</title></description></webapp>
  <webapp nid="40" cat_id="1"/>
  <webapp nid="30" cat_id="12"/>
</webapplications>)");

    const ToolResult result = Run({u"catalog"_s, Categories(), whatsNew, popular});
    ASSERT_EQ(result.status, 0) << result.err.toStdString();
    const QJsonObject json = result.Json();
    EXPECT_EQ(json.value(u"lists"_s), QJsonValue(QJsonArray{QJsonArray{30, 10}, QJsonArray{10, 40, 30}}));

    const QJsonArray applications = json.value(u"applications"_s).toArray();
    ASSERT_EQ(applications.size(), 3);
    const QJsonObject mailer = applications.at(0).toObject();
    EXPECT_EQ(mailer.keys(), QStringList({u"AppURL"_s,    u"Category"_s,   u"Cost"_s,
                                          u"DateAdded"_s, u"FireFox"_s,    u"ID"_s,
                                          u"IE"_s,        u"LoginURL"_s,   u"MainDescription"_s,
                                          u"MainURL"_s,   u"Opera"_s,      u"Popularity"_s,
                                          u"Premium"_s,   u"Safari"_s,     u"ScreenshotURL"_s,
                                          u"SignupURL"_s, u"Tagline"_s,    u"ThumbnailURL"_s,
                                          u"Title"_s,     u"UserRating"_s, u"Wizard"_s}));
    const QJsonObject expectedMailer{
        {u"ID"_s, 30},
        {u"Title"_s, u"Mailer"_s},
        {u"Tagline"_s, u"Fast mail"_s},
        {u"MainDescription"_s, u"Long"_s},
        {u"MainURL"_s, u"http://m/"_s},
        {u"SignupURL"_s, u"http://m/s"_s},
        {u"LoginURL"_s, u"http://m/l"_s},
        {u"AppURL"_s, u"http://m/a"_s},
        {u"ThumbnailURL"_s, u"http://m/t.png"_s},
        {u"ScreenshotURL"_s, u"http://m/s.png"_s},
        {u"IE"_s, true},
        {u"FireFox"_s, false},
        {u"Opera"_s, true},
        {u"Safari"_s, false},
        {u"UserRating"_s, 0.1},
        {u"Popularity"_s, 42},
        {u"Cost"_s, u"Free"_s},
        {u"Wizard"_s, true},
        {u"Premium"_s, false},
        {u"DateAdded"_s, 25569.5},
        {u"Category"_s, 12},
    };
    EXPECT_EQ(mailer, expectedMailer);
    // The single 0.1 prints as its shortest text.
    EXPECT_TRUE(result.out.contains("\"UserRating\":0.1,")) << result.out.toStdString();

    const QJsonObject game = applications.at(1).toObject();
    EXPECT_EQ(game.value(u"ID"_s), QJsonValue(10));
    EXPECT_EQ(game.value(u"Title"_s), QJsonValue(u"Game"_s));
    EXPECT_EQ(game.value(u"Category"_s), QJsonValue(QJsonValue::Null));
    EXPECT_EQ(applications.at(2).toObject().value(u"ID"_s), QJsonValue(40));
    EXPECT_EQ(applications.at(2).toObject().value(u"Category"_s), QJsonValue(1));
}

TEST_F(CatalogCommands, VersionPrintsTheAnnouncedVersion)
{
    const ToolResult result = Run({u"version"_s, Write(u"version.xml"_s, R"(<products>
  <product id="morvalendesktop"><versions>
    <version major="2" minor="0" release="6" build="0"><description>Old</description></version>
    <version major="2" minor="0" release="7" build="0"><description>New things</description>
      <download_url>http://example/download</download_url></version>
  </versions></product>
</products>)")});
    ASSERT_EQ(result.status, 0) << result.err.toStdString();
    EXPECT_EQ(result.Json(), (QJsonObject{{u"found"_s, true},
                                          {u"Version"_s, u"2.0.7.0"_s},
                                          {u"Packed"_s, 0x02000700},
                                          {u"Description"_s, u"New things"_s},
                                          {u"DownloadURL"_s, u"http://example/download"_s}}));

    const ToolResult none = Run({u"version"_s, Write(u"none.xml"_s, "<products/>")});
    ASSERT_EQ(none.status, 0);
    EXPECT_EQ(none.Json(), (QJsonObject{{u"found"_s, false},
                                        {u"Version"_s, u"0.0.0.0"_s},
                                        {u"Packed"_s, 0},
                                        {u"Description"_s, u""_s},
                                        {u"DownloadURL"_s, u""_s}}));
}
