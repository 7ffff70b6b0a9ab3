#include "CatalogServerFixture.h"

#include <QByteArray>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

QByteArray Rate(const QByteArray& id, const QByteArray& rating)
{
    return "/link/update.php?imgId=" + id + "&rating=" + rating;
}

TEST_F(CatalogServer, RatingsMergeIntoEveryListAndOutliveARestart)
{
    // Café Mail: catalog rating 5; with ratings 1 and 3 the mean is (5 + 1 + 3) / 3 = 3.
    EXPECT_EQ(Get(Rate("3", "1"), "GET", {}, "127.0.0.2").status, 200);
    EXPECT_EQ(Get(Rate("3", "3"), "GET", {}, "127.0.0.3").status, 200);
    EXPECT_FLOAT_EQ(UserRatingIn("/xmlcache/category20.xml", 3), 3.0f);
    EXPECT_FLOAT_EQ(UserRatingIn("/xmlcache/recommended.xml", 3), 3.0f);
    EXPECT_EQ(ListIds("/xmlcache/highestrated.xml"), (IdList{5, 1, 2}));

    ASSERT_TRUE(m_server->Stop());
    Start();
    ASSERT_GT(m_server->Port(), 0);
    EXPECT_FLOAT_EQ(UserRatingIn("/xmlcache/category20.xml", 3), 3.0f);
    EXPECT_EQ(ListIds("/xmlcache/highestrated.xml"), (IdList{5, 1, 2}));
}

TEST_F(CatalogServer, EachAddressVotesOnceAndALaterVoteReplacesItsEarlierOne)
{
    // Café Mail: catalog rating 5. One address votes 1 three times, then changes to 3.
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Get(Rate("3", "1"), "GET", {}, "127.0.0.2").status, 200);
    EXPECT_FLOAT_EQ(UserRatingIn("/xmlcache/category20.xml", 3), 3.0f); // (5 + 1) / 2
    EXPECT_EQ(Get(Rate("3", "3"), "GET", {}, "127.0.0.2").status, 200);
    EXPECT_FLOAT_EQ(UserRatingIn("/xmlcache/category20.xml", 3), 4.0f); // (5 + 3) / 2
    // Another address is another voter, and a vote on one application leaves the others alone.
    EXPECT_EQ(Get(Rate("3", "1"), "GET", {}, "127.0.0.3").status, 200);
    EXPECT_EQ(Get(Rate("1", "1"), "GET", {}, "127.0.0.2").status, 200);
    EXPECT_FLOAT_EQ(UserRatingIn("/xmlcache/category20.xml", 3), 3.0f); // (5 + 3 + 1) / 3

    // The votes outlive a restart, and the voter is still known after it.
    ASSERT_TRUE(m_server->Stop());
    Start();
    ASSERT_GT(m_server->Port(), 0);
    EXPECT_EQ(Get(Rate("3", "4"), "GET", {}, "127.0.0.3").status, 200);
    EXPECT_FLOAT_EQ(UserRatingIn("/xmlcache/category20.xml", 3), 4.0f); // (5 + 3 + 4) / 3
}

TEST_F(CatalogServer, PipelinedRequestsAreAnsweredInOrder)
{
    const QByteArray host = "Host: 127.0.0.1\r\n";
    const QByteArray answers = m_server->RawUntilClosed(
        "GET /xmlcache/whatsnew.xml HTTP/1.1\r\n" + host + "\r\n" + "GET /no/such/path HTTP/1.1\r\n" + host +
        "\r\n" + "HEAD /download/version.xml HTTP/1.1\r\n" + host + "Connection: close\r\n\r\n");
    const qsizetype first = answers.indexOf("HTTP/1.1 200");
    const qsizetype second = answers.indexOf("HTTP/1.1 404");
    const qsizetype third = answers.indexOf("HTTP/1.1 200", second);
    EXPECT_EQ(answers.count("HTTP/1.1 "), 3) << answers.left(400).toStdString();
    EXPECT_TRUE(first >= 0 && second > first && third > second) << answers.left(400).toStdString();
    EXPECT_EQ(answers.indexOf("<version"), -1); // HEAD: no body
}

TEST_F(CatalogServer, OversizedRequestsGetA4xxAndTheServerStays)
{
    QByteArray manyHeaders = "GET /xmlcache/whatsnew.xml HTTP/1.1\r\nHost: 127.0.0.1\r\n";
    for (int i = 0; i < 100000; ++i)
        manyHeaders += "X-" + QByteArray::number(i) + ": v\r\n";
    manyHeaders += "Connection: close\r\n\r\n";
    QByteArray fewButMany = "GET /xmlcache/whatsnew.xml HTTP/1.1\r\nHost: 127.0.0.1\r\n";
    for (int i = 0; i < 150; ++i)
        fewButMany += "X-" + QByteArray::number(i) + ": v\r\n";
    fewButMany += "Connection: close\r\n\r\n";
    const QByteArray longLine = "GET /" + QByteArray(100000, 'a') + " HTTP/1.1\r\nHost: x\r\n\r\n";
    const QByteArray bigBody =
        "GET /xmlcache/whatsnew.xml HTTP/1.1\r\nHost: x\r\nContent-Length: 100000000\r\n\r\n";
    for (const QByteArray& request : {manyHeaders, fewButMany, longLine, bigBody}) {
        const HttpAnswer answer = m_server->Raw(request);
        EXPECT_GE(answer.status, 400) << request.left(60).toStdString();
        EXPECT_LT(answer.status, 500) << request.left(60).toStdString();
    }
    EXPECT_EQ(ListIds("/xmlcache/whatsnew.xml"), (IdList{5, 2, 4}));
}

TEST_F(CatalogServer, BadRatingsAreRefusedAndStoreNothing)
{
    const QByteArray refused[] = {
        Rate("1", "0"),
        Rate("1", "6"),
        Rate("1", "-1"),
        Rate("1", "x"),
        Rate("1", "99999999999999999999"),
        Rate("1", "3.5"),
        Rate("1", "+3"),
        Rate("1", "%33%33"),
        Rate("1", ""),
        Rate("1", "3%00"),
        Rate("99", "3"), // no such application
        Rate("-1", "3"),
        Rate("0x1", "3"),
        Rate("99999999999999999999", "3"),
        Rate("", "3"),
        "/link/update.php?imgId=1",  // no rating
        "/link/update.php?rating=3", // no application
        "/link/update.php",
        "/link/update.php?imgId=1&rating=3&rating=5", // ambiguous
        "/link/update.php?imgId=1&rating=3&x=1",
        "/link/update.php?imgId=1&&rating=3",
    };
    for (const QByteArray& target : refused) {
        const HttpAnswer answer = Get(target);
        EXPECT_EQ(answer.status, 400) << target.toStdString();
        EXPECT_TRUE(answer.body.startsWith("Bad request")) << target.toStdString();
    }
    // An escaped but sound rating counts.
    EXPECT_EQ(Get("/link/update.php?%69mgId=4&rating=%35").status, 200);
    ASSERT_TRUE(m_server->Stop());
    Start();
    ASSERT_GT(m_server->Port(), 0);
    EXPECT_FLOAT_EQ(UserRatingIn("/xmlcache/category10.xml", 1), 4.0f);
    EXPECT_FLOAT_EQ(UserRatingIn("/xmlcache/category10.xml", 4), 3.5f); // (2 + 5) / 2
}

TEST_F(CatalogServer, PathTraversalIsRefusedInEveryForm)
{
    for (const QByteArray& target : QByteArrayList{
             "/../catalog.json", "/images/../catalog.json", "/images/%2e%2e/catalog.json",
             "/images/%2E%2E%2Fcatalog.json", "/xmlcache/..%2fcatalog.json", "/images/..\\catalog.json",
             "/images/%5c..%5ccatalog.json", "/images/./thumbnail1.jpg", "/images/thumbnail1.jpg%00.png",
             "../../etc/passwd", "catalog.json"}) {
        const HttpAnswer answer = Get(target);
        EXPECT_TRUE(answer.status == 400 || answer.status == 404)
            << target.toStdString() << " " << answer.status;
        EXPECT_FALSE(answer.body.contains("applications")) << target.toStdString();
    }
}

TEST_F(CatalogServer, HostileRequestsAreAnsweredAndTheServerStays)
{
    const QByteArray longText(10000, 'a');
    const QByteArray hostile[] = {
        Search("%22" + longText + "%22"),     // 10,000 characters
        Search(QByteArray(7000, 'b')),        // long, but within a request line
        Search("%22\x01\x02\x7F\xFE\xFF%22"), // raw binary bytes
        Search("%22%00%01%FF%FE%C3%28%22"),   // escaped binary and broken UTF-8
        Search("\"unbalanced"),
        Search("\"two words\""), // a raw blank ends the request line early

        Search("\"\"\"\""),
        Search("%22a&b%22"),
        Search("%"),
        Search("%2"),
        "/xmlsearch.php?query=\"" + QByteArray(3000, '"') + "\"&action=search",
        "/no/such/path",
        "/xmlcache/",
        "/xmlcache/nothing.xml",
        "/download/version.xml/extra",
        "/\xFF\xFE",
        "/%ZZ",
        "/images/screenshot1.jpg?x=../../",
    };
    for (const QByteArray& target : hostile) {
        const HttpAnswer answer = Get(target);
        EXPECT_GE(answer.status, 200) << target.left(60).toStdString();
        EXPECT_NE(answer.status, 500) << target.left(60).toStdString();
        if (target.startsWith("/xmlsearch.php") && answer.status == 200) {
            EXPECT_TRUE(answer.body.contains("<webapplications")) << target.left(60).toStdString();
        }
    }
    EXPECT_EQ(Get("/no/such/path").status, 404);
    // Requests the HTTP layer itself refuses are answered with a length too; a line that is
    // not an HTTP request at all has its connection closed without a byte.
    for (const QByteArray& request : {QByteArray("GARBAGE\r\n\r\n"), QByteArray("GET\r\n\r\n")}) {
        const HttpAnswer answer = m_server->Raw(request);
        EXPECT_TRUE((answer.status >= 400 && answer.lengthMatches) ||
                    (answer.status == 0 && answer.body.isEmpty()))
            << request.toStdString();
    }
    const HttpAnswer post = m_server->Raw("POST /link/update.php?imgId=1&rating=3 HTTP/1.1\r\nHost: x\r\n"
                                          "Content-Length: 0\r\nConnection: close\r\n\r\n");
    EXPECT_GE(post.status, 400);
    EXPECT_TRUE(post.lengthMatches);
    // HEAD gives the length without the body, the way a client asks whether a file changed.
    const HttpAnswer head = Get("/xmlcache/whatsnew.xml", "HEAD");
    EXPECT_EQ(head.status, 200);
    EXPECT_EQ(head.headers.value("content-length").toLongLong(), Get("/xmlcache/whatsnew.xml").body.size());

    EXPECT_TRUE(m_server->IsRunning());
    EXPECT_EQ(ListIds("/xmlcache/whatsnew.xml"), (IdList{5, 2, 4}));
    // The refused POST stored nothing.
    EXPECT_FLOAT_EQ(UserRatingIn("/xmlcache/category10.xml", 1), 4.0f);
}

} // namespace
