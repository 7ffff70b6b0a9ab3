#include "HttpCaching.h"
#include "CatalogServerFixture.h"
#include "TrustedProxies.h"

#include "common/Errors.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// Every kind of file the server answers: lists, the category list, category files at both
// levels, the version file, the pages and the pictures in their three formats.
const QByteArrayList kFiles{"/xmlcache/categorylist.xml",
                            "/xmlcache/whatsnew.xml",
                            "/xmlcache/recommended.xml",
                            "/xmlcache/popular.xml",
                            "/xmlcache/highestrated.xml",
                            "/xmlcache/category10.xml",
                            "/xmlcache/category21.xml",
                            "/download/version.xml",
                            "/",
                            "/help/",
                            "/download/",
                            "/download/FireFox",
                            "/images/thumbnail1.jpg",
                            "/images/screenshot2.png",
                            "/images/thumbnail3.gif"};

QByteArray IfNoneMatch(const QByteArray& tags)
{
    return "If-None-Match: " + tags + "\r\n";
}

QByteArray IfModifiedSince(const QByteArray& date)
{
    return "If-Modified-Since: " + date + "\r\n";
}

TEST(HttpCaching, DatesReadBackInEveryFormAndNothingElse)
{
    const int64_t time = 784111777; // Sun, 06 Nov 1994 08:49:37 GMT
    EXPECT_EQ(HttpCaching::FormatDate(time), "Sun, 06 Nov 1994 08:49:37 GMT");
    EXPECT_EQ(HttpCaching::FormatDate(0), "Thu, 01 Jan 1970 00:00:00 GMT");
    EXPECT_EQ(HttpCaching::ParseDate("Sun, 06 Nov 1994 08:49:37 GMT"), time);
    EXPECT_EQ(HttpCaching::ParseDate("Sunday, 06-Nov-94 08:49:37 GMT"), time);
    EXPECT_EQ(HttpCaching::ParseDate("Sun Nov  6 08:49:37 1994"), time);
    for (int64_t seconds : {int64_t(0), int64_t(951782400) /* 2000-02-29 */, int64_t(4102444799)})
        EXPECT_EQ(HttpCaching::ParseDate(HttpCaching::FormatDate(seconds)), seconds);
    for (const QByteArray& bad :
         QByteArrayList{"", "yesterday", "Sun, 06 Nov 1994 08:49:37", "Sun, 31 Feb 1994 08:49:37 GMT",
                        "Sun, 06 Nov 1994 25:49:37 GMT", "Sun, 6 Nov 1994 08:49:37 GMT",
                        "Sun, 06 Nov 1994 08:49:37 GMT trailing", "Sun, 06 Xyz 1994 08:49:37 GMT",
                        "1714564800", QByteArray(200, 'a')})
        EXPECT_FALSE(HttpCaching::ParseDate(bad).has_value()) << bad.toStdString();
}

TEST(HttpCaching, EntityTagListsMatchWeaklyAndMalformedOnesMatchNothing)
{
    const QByteArray tag = HttpCaching::EntityTag("bytes");
    EXPECT_TRUE(QRegularExpression(u"^\"[0-9a-f]{32}\"$"_s).match(QString::fromLatin1(tag)).hasMatch());
    EXPECT_EQ(HttpCaching::EntityTag("bytes"), tag);
    EXPECT_NE(HttpCaching::EntityTag("bytez"), tag);

    EXPECT_TRUE(HttpCaching::NoneMatchNames(tag, tag));
    EXPECT_TRUE(HttpCaching::NoneMatchNames(QByteArray("W/" + tag), tag));
    EXPECT_TRUE(HttpCaching::NoneMatchNames(QByteArray("\"a\", W/\"b\" ," + tag), tag));
    EXPECT_TRUE(HttpCaching::NoneMatchNames(" * ", tag));
    EXPECT_FALSE(HttpCaching::NoneMatchNames("\"a\", \"b\"", tag));
    EXPECT_FALSE(HttpCaching::NoneMatchNames(tag.mid(1, 32), tag)); // unquoted
    EXPECT_FALSE(HttpCaching::NoneMatchNames(QByteArray("\"a\" junk, " + tag), tag));
    EXPECT_FALSE(HttpCaching::NoneMatchNames(QByteArray("\"unclosed, " + tag), tag));
    EXPECT_FALSE(HttpCaching::NoneMatchNames("", tag));

    // If-None-Match decides alone; If-Modified-Since only counts without it.
    const QByteArray date = HttpCaching::FormatDate(1000);
    EXPECT_TRUE(HttpCaching::IsNotModified({}, date, tag, 1000));
    EXPECT_TRUE(HttpCaching::IsNotModified({}, HttpCaching::FormatDate(1001), tag, 1000));
    EXPECT_FALSE(HttpCaching::IsNotModified({}, HttpCaching::FormatDate(999), tag, 1000));
    EXPECT_FALSE(HttpCaching::IsNotModified("\"other\"", date, tag, 1000));
    EXPECT_TRUE(HttpCaching::IsNotModified(tag, HttpCaching::FormatDate(1), tag, 1000));
    EXPECT_FALSE(HttpCaching::IsNotModified({}, "not a date", tag, 1000));
    EXPECT_FALSE(HttpCaching::IsNotModified({}, {}, tag, 1000));
}

TEST(TrustedProxies, ForwardedForIsBelievedOnlyFromListedProxies)
{
    TrustedProxies proxies;
    proxies.Add(u"10.1.0.0/16"_s);
    proxies.Add(u"192.0.2.7"_s);
    proxies.Add(u"2001:db8::/32"_s);
    EXPECT_TRUE(proxies.Contains(u"10.1.200.3"_s));
    EXPECT_FALSE(proxies.Contains(u"10.2.0.1"_s));
    EXPECT_TRUE(proxies.Contains(u"::ffff:192.0.2.7"_s));
    EXPECT_TRUE(proxies.Contains(u"2001:db8:1::5"_s));
    EXPECT_FALSE(proxies.Contains(u"2001:db9::5"_s));

    // An untrusted peer names nobody but itself.
    EXPECT_EQ(proxies.ClientAddress(u"198.51.100.1"_s, "203.0.113.9"), u"198.51.100.1"_s);
    // The nearest hop first; trusted hops are passed over; brackets, ports and mapped IPv4
    // addresses come out plain.
    EXPECT_EQ(proxies.ClientAddress(u"192.0.2.7"_s, "203.0.113.9"), u"203.0.113.9"_s);
    EXPECT_EQ(proxies.ClientAddress(u"192.0.2.7"_s, "6.6.6.6, 203.0.113.9, 10.1.0.4"), u"203.0.113.9"_s);
    EXPECT_EQ(proxies.ClientAddress(u"192.0.2.7"_s, "[2001:db9::1]:443"), u"2001:db9::1"_s);
    EXPECT_EQ(proxies.ClientAddress(u"192.0.2.7"_s, "::ffff:203.0.113.9"), u"203.0.113.9"_s);
    EXPECT_EQ(proxies.ClientAddress(u"192.0.2.7"_s, "203.0.113.9:5000"), u"203.0.113.9"_s);
    // Garbage ends the search at the hop that passed it on; a chain of proxies only is the
    // farthest of them.
    EXPECT_EQ(proxies.ClientAddress(u"192.0.2.7"_s, "203.0.113.9, unknown"), u"192.0.2.7"_s);
    EXPECT_EQ(proxies.ClientAddress(u"192.0.2.7"_s, "junk, 10.1.0.4"), u"10.1.0.4"_s);
    EXPECT_EQ(proxies.ClientAddress(u"192.0.2.7"_s, "10.1.0.9, 10.1.0.4"), u"10.1.0.9"_s);
    EXPECT_EQ(proxies.ClientAddress(u"192.0.2.7"_s, ""), u"192.0.2.7"_s);

    for (const QString& bad :
         {u"10.0.0.0/33"_s, u"2001:db8::/129"_s, u"10.0.0/8"_s, u"host.example"_s, u"10.0.0.1:80"_s,
          u"10.0.0.1:80/8"_s, u"10.0.0.0/"_s, u"10.0.0.0/x"_s, u""_s}) {
        TrustedProxies list;
        EXPECT_THROW(list.Add(bad), EMorvalenError) << bad.toStdString();
    }
}

TEST_F(CatalogServer, EveryFileCarriesValidatorsAndAnswersConditionalRequests)
{
    const QByteArray catalogTime = HttpCaching::FormatDate(kCatalogTime);
    for (const QByteArray& target : kFiles) {
        SCOPED_TRACE(target.toStdString());
        const HttpAnswer full = Get(target);
        ASSERT_EQ(full.status, 200);
        const QByteArray tag = full.headers.value("etag");
        EXPECT_TRUE(QRegularExpression(u"^\"[0-9a-f]{32}\"$"_s).match(QString::fromLatin1(tag)).hasMatch())
            << tag.toStdString();
        EXPECT_EQ(full.headers.value("last-modified"), catalogTime);
        EXPECT_EQ(full.headers.value("cache-control"), "public, max-age=300");

        // HEAD: the GET's headers, its length included, and no body.
        const HttpAnswer head = Get(target, "HEAD");
        EXPECT_EQ(head.status, 200);
        EXPECT_TRUE(head.body.isEmpty());
        EXPECT_EQ(head.headers.value("content-length").toLongLong(), full.body.size());
        for (const char* name : {"etag", "last-modified", "cache-control", "content-type"})
            EXPECT_EQ(head.headers.value(name), full.headers.value(name)) << name;

        // A cache's copy is current: 304 with the validators and the length of the body it keeps.
        for (const QByteArray& headers :
             {IfNoneMatch(tag), IfNoneMatch("W/" + tag), IfNoneMatch("\"old\", " + tag), IfNoneMatch("*"),
              IfModifiedSince(catalogTime), IfModifiedSince(HttpCaching::FormatDate(kCatalogTime + 3600))}) {
            for (const QByteArray method : {"GET", "HEAD"}) {
                const HttpAnswer answer = Get(target, method, {}, "127.0.0.1", headers);
                EXPECT_EQ(answer.status, 304) << method.toStdString() << " " << headers.toStdString();
                EXPECT_TRUE(answer.body.isEmpty());
                EXPECT_EQ(answer.headers.value("etag"), tag);
                EXPECT_EQ(answer.headers.value("cache-control"), "public, max-age=300");
                EXPECT_EQ(answer.headers.value("content-length").toLongLong(), full.body.size());
            }
        }
        // Otherwise the whole file; a tag that does not match wins over a date that would.
        for (const QByteArray& headers :
             {IfNoneMatch("\"old\""), QByteArray(IfNoneMatch("\"old\"") + IfModifiedSince(catalogTime)),
              IfModifiedSince(HttpCaching::FormatDate(kCatalogTime - 1)), IfModifiedSince("garbage"),
              IfNoneMatch(tag.mid(1, 32))}) {
            const HttpAnswer answer = Get(target, "GET", {}, "127.0.0.1", headers);
            EXPECT_EQ(answer.status, 200) << headers.toStdString();
            EXPECT_EQ(answer.body, full.body);
        }
    }
}

TEST_F(CatalogServer, EntityTagsFollowTheBytesInEveryInstance)
{
    const QByteArray host = "catalog.example.org";
    const QByteArray list = Get("/xmlcache/whatsnew.xml", "GET", host).headers.value("etag");
    const QByteArray picture = Get("/images/thumbnail1.jpg", "GET", host).headers.value("etag");
    // Other bytes, another tag: the lists name their pictures by the Host.
    EXPECT_NE(Get("/xmlcache/whatsnew.xml", "GET", "other.example.org").headers.value("etag"), list);
    // One page at two paths is one file.
    EXPECT_EQ(Get("/").headers.value("etag"), Get("/index.html").headers.value("etag"));
    // Another server over the same catalog names the same bytes alike, so that instances behind
    // one address agree.
    ASSERT_TRUE(m_server->Stop());
    Start();
    ASSERT_GT(m_server->Port(), 0);
    EXPECT_EQ(Get("/xmlcache/whatsnew.xml", "GET", host).headers.value("etag"), list);
    EXPECT_EQ(Get("/images/thumbnail1.jpg", "GET", host).headers.value("etag"), picture);
}

TEST_F(CatalogServer, AVoteRenewsTheFilesItChangesOnly)
{
    const QByteArray rated = Get("/xmlcache/category20.xml").headers.value("etag");
    const QByteArray categories = Get("/xmlcache/categorylist.xml").headers.value("etag");
    const int64_t before = QDateTime::currentSecsSinceEpoch();
    ASSERT_EQ(Get("/link/update.php?imgId=3&rating=1").status, 200);

    const HttpAnswer after = Get("/xmlcache/category20.xml", "GET", {}, "127.0.0.1", IfNoneMatch(rated));
    EXPECT_EQ(after.status, 200);
    EXPECT_NE(after.headers.value("etag"), rated);
    // The file is as new as the vote (the server's clock, in whole seconds).
    const std::optional<int64_t> time = HttpCaching::ParseDate(after.headers.value("last-modified"));
    ASSERT_TRUE(time.has_value());
    EXPECT_GE(*time, before - 1);
    EXPECT_EQ(Get("/xmlcache/category20.xml", "GET", {}, "127.0.0.1",
                  IfModifiedSince(HttpCaching::FormatDate(kCatalogTime + 3600)))
                  .status,
              200);
    // The category list holds no rating: its copy stays current.
    EXPECT_EQ(Get("/xmlcache/categorylist.xml", "GET", {}, "127.0.0.1", IfNoneMatch(categories)).status, 304);
}

TEST_F(CatalogServer, SearchRatingAndRefusalsAreNeverStored)
{
    for (const QByteArray& target :
         QByteArrayList{Search("%22documents%22"), "/link/update.php?imgId=4&rating=2",
                        "/link/update.php?imgId=4&rating=9", "/no/such/path", "/images/screenshot9.jpg",
                        "/xmlcache/../catalog.json"}) {
        const HttpAnswer answer = Get(target, "GET", {}, "127.0.0.1", IfNoneMatch("*"));
        EXPECT_NE(answer.status, 304) << target.toStdString();
        EXPECT_FALSE(answer.body.isEmpty()) << target.toStdString();
        EXPECT_EQ(answer.headers.value("cache-control"), "no-store") << target.toStdString();
        EXPECT_FALSE(answer.headers.contains("etag")) << target.toStdString();
        EXPECT_FALSE(answer.headers.contains("last-modified")) << target.toStdString();
    }
    // A HEAD of a rating is answered as its GET would be, but votes nothing.
    const HttpAnswer head = Get("/link/update.php?imgId=1&rating=1", "HEAD");
    EXPECT_EQ(head.status, 200);
    EXPECT_EQ(head.headers.value("content-length").toLongLong(),
              Get("/link/update.php?imgId=1&rating=1", "GET", {}, "127.0.0.2").body.size());
    EXPECT_EQ(Get("/link/update.php?imgId=1&rating=x", "HEAD").status, 400);
    EXPECT_FLOAT_EQ(UserRatingIn("/xmlcache/category10.xml", 1), 2.5f); // (4 + 1) / 2: one vote
    // So are the refusals of the HTTP layer itself.
    const HttpAnswer post = m_server->Raw("POST /xmlcache/whatsnew.xml HTTP/1.1\r\nHost: x\r\n"
                                          "Content-Length: 0\r\nConnection: close\r\n\r\n");
    EXPECT_EQ(post.headers.value("cache-control"), "no-store");
}

TEST_F(CatalogServer, MaxAgeAndThePublicAddressAreTheOperators)
{
    ASSERT_TRUE(m_server->Stop());
    Start({u"--max-age"_s, u"86400"_s, u"--base-url"_s, u"https://catalog.example.org"_s});
    ASSERT_GT(m_server->Port(), 0);
    EXPECT_EQ(Get("/xmlcache/popular.xml").headers.value("cache-control"), "public, max-age=86400");
    EXPECT_EQ(Get("/images/thumbnail1.jpg").headers.value("cache-control"), "public, max-age=86400");
    EXPECT_EQ(Get(Search("plan")).headers.value("cache-control"), "no-store");
    // Without a usable Host, answers name the address clients reach the catalog at.
    EXPECT_TRUE(Get("/xmlcache/category30.xml", "GET", "evil\"/><x")
                    .body.contains("<thumbnail_url>https://catalog.example.org/images/thumbnail5.jpg<"));
    EXPECT_TRUE(Get("/xmlcache/category30.xml").body.contains("<thumbnail_url>http://127.0.0.1:"));
}

TEST_F(CatalogServer, ForwardedForNamesTheVoterOnlyFromATrustedProxy)
{
    ASSERT_TRUE(m_server->Stop());
    Start({u"--trusted-proxy"_s, u"127.0.0.2"_s});
    ASSERT_GT(m_server->Port(), 0);
    const auto vote = [&](const char* from, const QByteArray& forwardedFor, const QByteArray& rating) {
        return Get("/link/update.php?imgId=3&rating=" + rating, "GET", {}, from,
                   forwardedFor.isEmpty() ? QByteArray() : "X-Forwarded-For: " + forwardedFor + "\r\n")
            .status;
    };
    // Café Mail: catalog rating 5. An untrusted peer makes addresses up: it stays one voter.
    EXPECT_EQ(vote("127.0.0.3", "10.0.0.1", "1"), 200);
    EXPECT_EQ(vote("127.0.0.3", "10.0.0.2", "3"), 200);
    EXPECT_FLOAT_EQ(UserRatingIn("/xmlcache/category20.xml", 3), 4.0f); // (5 + 3) / 2
    // Through the trusted proxy, each forwarded address is a voter of its own, once.
    EXPECT_EQ(vote("127.0.0.2", "10.0.0.1", "1"), 200);
    EXPECT_EQ(vote("127.0.0.2", "10.0.0.2", "1"), 200);
    EXPECT_EQ(vote("127.0.0.2", "10.0.0.2", "1"), 200);
    EXPECT_FLOAT_EQ(UserRatingIn("/xmlcache/category20.xml", 3), 2.5f); // (5 + 3 + 1 + 1) / 4
    // The proxy's own request, without the header, is the proxy's vote.
    EXPECT_EQ(vote("127.0.0.2", {}, "5"), 200);
    EXPECT_FLOAT_EQ(UserRatingIn("/xmlcache/category20.xml", 3), 3.0f); // (5 + 3 + 1 + 1 + 5) / 5
}

} // namespace
