#include "CatalogServerFixture.h"

#include "catalog/ProgramVersion.h"
#include "catalog/TRemoteVersion.h"
#include "catalog/TWebApplicationClass.h"
#include "catalog/TWebApplicationList.h"
#include "catalog/TWebCategoryClass.h"
#include "catalog/TWebCategoryList.h"
#include "catalog/TWebCategoryNode.h"
#include "catalog/TWebCategoryTree.h"
#include "support/TestSupport.h"

#include <QImage>

#include <gtest/gtest.h>

#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

TEST_F(CatalogServer, CategoryListGivesBothLevelsInCatalogOrder)
{
    ASSERT_EQ(m_tree.Count(), 3);
    EXPECT_EQ(m_tree.Nodes(0).Category().Title(), u"Office"_s);
    ASSERT_EQ(m_tree.Nodes(0).Children().Count(), 2);
    EXPECT_EQ(m_tree.Nodes(0).Children().Items(1).ID(), 12);
    EXPECT_EQ(m_tree.Nodes(1).Children().Items(0).Title(), u"Mail & Chat"_s);
    EXPECT_EQ(m_tree.Nodes(2).Category().ID(), 30);
    EXPECT_EQ(m_tree.Nodes(2).Children().Count(), 0);
}

TEST_F(CatalogServer, ListsAreOrderedAndLimited)
{
    EXPECT_EQ(ListIds("/xmlcache/whatsnew.xml"), (IdList{5, 2, 4}));
    EXPECT_EQ(ListIds("/xmlcache/recommended.xml"), (IdList{1, 3}));
    EXPECT_EQ(ListIds("/xmlcache/popular.xml"), (IdList{2, 1, 5}));
    EXPECT_EQ(ListIds("/xmlcache/highestrated.xml"), (IdList{3, 5, 1}));
    // A top-level category holds its sub-categories' applications; lists of a category are
    // not limited.
    EXPECT_EQ(ListIds("/xmlcache/category10.xml"), (IdList{2, 4, 1}));
    EXPECT_EQ(ListIds("/xmlcache/category21.xml"), (IdList{3}));
    EXPECT_EQ(ListIds("/xmlcache/category30.xml"), (IdList{5}));
    for (const QByteArray& target :
         QByteArrayList{"/xmlcache/category99.xml", "/xmlcache/category-1.xml", "/xmlcache/category1x.xml",
                        "/xmlcache/category.xml", "/xmlcache/category99999999999999.xml"})
        EXPECT_EQ(Get(target).status, 404) << target.toStdString();
}

TEST_F(CatalogServer, EveryFieldReadsBackAsWritten)
{
    ListIds("/xmlcache/category10.xml");
    ListIds("/xmlcache/category21.xml");
    const TWebApplicationClass* docs = m_list.FindById(1);
    ASSERT_NE(docs, nullptr);
    EXPECT_EQ(docs->Title(), u"Writely Docs"_s);
    EXPECT_EQ(docs->Tagline(), u"Write documents together"_s);
    EXPECT_EQ(docs->MainDescription(), u"Edit text in the browser"_s);
    EXPECT_EQ(docs->MainURL(), u"https://docs.example.com/"_s);
    EXPECT_EQ(docs->SignupURL(), u"https://docs.example.com/join"_s);
    EXPECT_EQ(docs->LoginURL(), u"https://docs.example.com/login"_s);
    EXPECT_EQ(docs->AppURL(), u"https://docs.example.com/app"_s);
    EXPECT_EQ(docs->Category(), m_tree.FindById(11));
    EXPECT_FLOAT_EQ(docs->UserRating(), 4.0f);
    // The catalog's 70 percent, on the 0 to 5 scale the details panel shows.
    EXPECT_FLOAT_EQ(docs->Popularity(), 3.5f);
    EXPECT_TRUE(docs->Wizard());
    EXPECT_FALSE(docs->Premium());
    EXPECT_TRUE(docs->IE() && docs->FireFox() && docs->Opera() && docs->Safari());
    // 2024-01-10 00:00 UTC as a day count.
    EXPECT_DOUBLE_EQ(docs->DateAdded(), 45301.0);
    EXPECT_EQ(docs->ThumbnailURL(), m_server->BaseURL() + u"/images/thumbnail1.jpg"_s);
    EXPECT_EQ(docs->ScreenshotURL(), m_server->BaseURL() + u"/images/screenshot1.jpg"_s);

    const TWebApplicationClass* cafe = m_list.FindById(3);
    ASSERT_NE(cafe, nullptr);
    EXPECT_EQ(cafe->Title(), u"Café Mail"_s);
    EXPECT_EQ(cafe->Cost(), u"$4.99/month"_s);
    EXPECT_TRUE(cafe->IE() && cafe->FireFox());
    EXPECT_FALSE(cafe->Opera() || cafe->Safari());
    EXPECT_TRUE(cafe->Premium());
    EXPECT_FALSE(cafe->Wizard());
    // Defaults of the source: sign-up, login and application address are the main address.
    EXPECT_EQ(cafe->AppURL(), u"https://cafe.example.com/"_s);
}

TEST_F(CatalogServer, PictureAddressesFollowTheHostTheClientUsed)
{
    const HttpAnswer named = Get("/xmlcache/category30.xml", "GET", "catalog.example.org:8080");
    EXPECT_TRUE(named.body.contains("<thumbnail_url>http://catalog.example.org:8080/images/thumbnail5.jpg<"));
    // A Host that is no host name cannot inject markup or another address.
    const HttpAnswer hostile = Get("/xmlcache/category30.xml", "GET", "evil\"/><x a=\"b");
    EXPECT_EQ(hostile.status, 200);
    EXPECT_FALSE(hostile.body.contains("evil"));
    EXPECT_TRUE(hostile.body.contains(
        QByteArray("<thumbnail_url>" + m_server->BaseURL().toUtf8() + "/images/thumbnail5.jpg<")));
}

TEST_F(CatalogServer, VersionFileAnnouncesTheNewestVersion)
{
    const HttpAnswer answer = Get("/download/version.xml");
    ASSERT_EQ(answer.status, 200);
    TRemoteVersion version;
    version.LoadFromFile(Store(answer));
    ASSERT_TRUE(version.Found());
    EXPECT_EQ(version.Version(), (2u << 24) | (1u << 16) | 3u);
    EXPECT_EQ(version.Description(), u"Faster lists & <b>search</b>"_s);
    EXPECT_EQ(version.DownloadURL(), m_server->BaseURL() + u"/download/"_s);
    EXPECT_EQ(Get("/download/").status, 200);
}

TEST_F(CatalogServer, WebPagesAnswerAsHtml)
{
    for (const QByteArray& target : QByteArrayList{"/", "/help/", "/download/", "/download/FireFox"}) {
        const HttpAnswer answer = Get(target);
        EXPECT_EQ(answer.status, 200) << target.toStdString();
        EXPECT_TRUE(answer.headers.value("content-type").startsWith("text/html")) << target.toStdString();
        EXPECT_TRUE(answer.body.startsWith("<!DOCTYPE html>")) << target.toStdString();
    }
    EXPECT_TRUE(Get("/download/").body.contains("Faster lists &amp; &lt;b&gt;search&lt;/b&gt;"));
    EXPECT_TRUE(Get("/").body.contains("Mail &amp; Chat") || Get("/").body.contains("Communication"));
}

TEST_F(CatalogServer, PicturesDecodeInTheirFormats)
{
    struct Expected
    {
        QByteArray target;
        QByteArray contentType;
        QByteArray magic;
        QSize size;
    };
    for (const Expected& expected : {
             Expected{"/images/screenshot1.jpg",
                      "image/jpeg",
                      QByteArray("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00", 11),
                      {640, 480}},
             Expected{"/images/thumbnail1.jpg",
                      "image/jpeg",
                      QByteArray("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00", 11),
                      {160, 120}},
             Expected{"/images/screenshot2.png", "image/png", "\x89PNG\r\n\x1a\n", {640, 480}},
             Expected{"/images/thumbnail3.gif", "image/gif", "GIF8", {160, 120}},
         }) {
        const HttpAnswer answer = Get(expected.target);
        ASSERT_EQ(answer.status, 200) << expected.target.toStdString();
        EXPECT_EQ(answer.headers.value("content-type"), expected.contentType);
        EXPECT_TRUE(answer.body.startsWith(expected.magic)) << expected.target.toStdString();
        EXPECT_EQ(QImage::fromData(answer.body).size(), expected.size) << expected.target.toStdString();
        // Drawn once, then served as the same bytes.
        EXPECT_EQ(Get(expected.target).body, answer.body);
    }
    for (const QByteArray& target :
         QByteArrayList{"/images/screenshot1.png", "/images/screenshot9.jpg", "/images/thumbnail.jpg",
                        "/images/catalog.json", "/images/"})
        EXPECT_EQ(Get(target).status, 404) << target.toStdString();
}

TEST_F(CatalogServer, SearchNeedsEveryWordInAnyCase)
{
    EXPECT_EQ(ListIds(Search("%22documents%22")), (IdList{1, 5, 4}));
    EXPECT_EQ(ListIds(Search("%22DOCUMENTS%20plan%22")), (IdList{4, 5}));
    EXPECT_EQ(ListIds(Search("%22plan%20zebra%22")), IdList{});
    // A title match comes before a description match of equal words.
    EXPECT_EQ(ListIds(Search("%22office%22")), (IdList{4}));
    EXPECT_EQ(ListIds(Search("%22mail%22")), (IdList{3}));
}

TEST_F(CatalogServer, SearchTakesTextRawOrEscapedWithAnyQuotes)
{
    const IdList grid{2};
    EXPECT_EQ(ListIds(Search("\"gridsheet\"")), grid);   // raw quotes, as the program types them
    EXPECT_EQ(ListIds(Search("%22GridSheet%22")), grid); // escaped quotes
    EXPECT_EQ(ListIds(Search("gridsheet")), grid);       // no quotes
    EXPECT_EQ(ListIds(Search("\"gridsheet")), grid);     // unbalanced
    EXPECT_EQ(ListIds(Search("gridsheet%22")), grid);
    // A quote inside the text parts words; both parts are in the title.
    EXPECT_EQ(ListIds(Search("\"grid\"sheet\"")), grid);
}

TEST_F(CatalogServer, SearchMatchesUnicodeRawAndEscaped)
{
    EXPECT_EQ(ListIds(Search("\"caf\xC3\xA9\"")), (IdList{3}));
    EXPECT_EQ(ListIds(Search("%22CAF%C3%89%22")), (IdList{3}));
    EXPECT_EQ(ListIds(Search("%22cafe%22")), IdList{});
}

TEST_F(CatalogServer, EmptySearchIsAValidEmptyList)
{
    for (const QByteArray& target :
         {Search("%22%22"), Search("\"\""), Search(""), Search("%22%20%20%22"), QByteArray("/xmlsearch.php"),
          QByteArray("/xmlsearch.php?action=search")}) {
        const HttpAnswer answer = Get(target);
        EXPECT_EQ(answer.status, 200) << target.toStdString();
        EXPECT_TRUE(answer.body.contains("<webapplications")) << target.toStdString();
        EXPECT_FALSE(answer.body.contains("<webapp ")) << target.toStdString();
    }
}

} // namespace
