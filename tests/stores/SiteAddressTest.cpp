#include "stores/SiteAddress.h"
#include "support/TestHttpServer.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

// The stall time-out for a server that stalls for good: long enough that a busy machine
// delivers everything the server did send before it.

TEST(SiteAddress, AddURLSchemeAddsHttpOnlyWhereNoWebSchemeIs)
{
    EXPECT_EQ(AddURLScheme(QString()), QString());
    EXPECT_EQ(AddURLScheme(u"  www.example.com  "_s), u"http://www.example.com"_s);
    EXPECT_EQ(AddURLScheme(u"HTTPS://Example.com/Path"_s), u"HTTPS://Example.com/Path"_s);
    EXPECT_EQ(AddURLScheme(u" http://example.com "_s), u" http://example.com "_s);
    EXPECT_EQ(AddURLScheme(u"ftp://example.com"_s), u"http://ftp://example.com"_s);
}

TEST(SiteAddress, HostOfURLKeepsTheLowerCaseHostAlone)
{
    EXPECT_EQ(HostOfURL(u"HTTPS://Mail.Example.COM/"_s), u"mail.example.com"_s);
    EXPECT_EQ(HostOfURL(u"http://example.com/path/page.html?x=1"_s), u"example.com"_s);
    EXPECT_EQ(HostOfURL(u"example.com?next=/a"_s), u"example.com"_s);
    EXPECT_EQ(HostOfURL(u"example.com"_s), u"example.com"_s);
    EXPECT_EQ(HostOfURL(u"  http://example.com  "_s), u"example.com"_s);
    EXPECT_EQ(HostOfURL(u"http://127.0.0.1:8370/xmlcache"_s), u"127.0.0.1:8370"_s);
    EXPECT_EQ(HostOfURL(QString()), QString());
}

TEST(SiteAddress, SiteNameOfURLPicksTheLabelThatNamesTheSite)
{
    EXPECT_EQ(SiteNameOfURL(u"first.second.third"_s), u"second"_s);
    EXPECT_EQ(SiteNameOfURL(u"http://first.second.third.fourth/a/b?c=d.e"_s), u"second"_s);
    EXPECT_EQ(SiteNameOfURL(u"HTTPS://Second.Third/"_s), u"second"_s);
    EXPECT_EQ(SiteNameOfURL(u"http://intranet/page?x=a.b.c"_s), u"intranet"_s);
    // Addresses without a name keep all of it, with the port that tells two servers apart.
    EXPECT_EQ(SiteNameOfURL(u"http://127.0.0.1:8370/xmlcache"_s), u"127.0.0.1-8370"_s);
    EXPECT_EQ(SiteNameOfURL(u"http://10.1.2.3/"_s), u"10.1.2.3"_s);
    EXPECT_EQ(SiteNameOfURL(u"http://localhost:8080/"_s), u"localhost-8080"_s);
    EXPECT_EQ(SiteNameOfURL(u"http://[::1]:81/"_s), u"--1-81"_s);
    EXPECT_EQ(SiteNameOfURL(u"http://www.example.com:8080/"_s), u"example"_s);
    EXPECT_EQ(SiteNameOfURL(QString()), QString());
}

TEST(SiteAddress, PageDescriptionPrefersTheMetaDescriptionThenOpenGraphThenTheTitle)
{
    EXPECT_EQ(PageDescription("<html><head><title>T</title><meta property='og:description' content='Graph'>"
                              "<META NAME=\"Description\" CONTENT=\"Mail &amp; chat,\n  at once\"></head>"),
              u"Mail & chat, at once"_s);
    EXPECT_EQ(PageDescription("<meta property=og:description content=\"Graph text\"><title>T</title>"),
              u"Graph text"_s);
    EXPECT_EQ(PageDescription("<title> Loop &lt;mail&gt; </title>"), u"Loop <mail>"_s);
    EXPECT_EQ(PageDescription("<p>no head at all</p>"), QString());
    const QByteArray longPage = QByteArray("<meta name=description content='") + QByteArray(5000, 'a') + "'>";
    EXPECT_EQ(PageDescription(longPage, 100).size(), 100);
}

TEST(SiteAddress, DownloadToStreamFetchesAnyAnswerWhole)
{
    TestHttpServer server;
    server.Serve(u"/favicon.ico"_s, "icon bytes", "image/x-icon");
    server.ServeRedirect(u"/moved/favicon.ico"_s, u"/favicon.ico"_s);
    QByteArray data;

    EXPECT_TRUE(DownloadToStream(server.Url(u"/favicon.ico"_s), data));
    EXPECT_EQ(data, "icon bytes");
    // The status is not looked at: the page is the data.
    EXPECT_TRUE(DownloadToStream(server.Url(u"/missing/favicon.ico"_s), data));
    EXPECT_TRUE(data.startsWith("<html>"));
    EXPECT_TRUE(DownloadToStream(server.Url(u"/moved/favicon.ico"_s), data));
    EXPECT_TRUE(data.contains("Moved"));
    EXPECT_EQ(server.RequestCount(u"/favicon.ico"_s), 1);
}

TEST(SiteAddress, DownloadToStreamFailsEmptyWithoutAWholeAnswer)
{
    TestHttpServer server;
    server.ServeStalling(u"/stall.ico"_s, 100, "part");
    server.ServeCutShort(u"/cut.ico"_s, "part", 100);
    server.ServeLarge(u"/huge.ico"_s, 2 * 1024 * 1024);
    HttpLimits limits;
    limits.stallTimeoutMs = kGiveUpMs;
    limits.maxBodySize = 1024 * 1024;

    for (const QString& url :
         {server.Url(u"/stall.ico"_s), server.Url(u"/cut.ico"_s), server.Url(u"/huge.ico"_s),
          u"http://127.0.0.1:%1/favicon.ico"_s.arg(TestHttpServer::UnusedPort())}) {
        QByteArray data = "old";
        EXPECT_FALSE(DownloadToStream(url, data, limits)) << url.toStdString();
        EXPECT_TRUE(data.isEmpty()) << url.toStdString();
    }
}
