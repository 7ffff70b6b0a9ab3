#include "stores/HttpTransfer.h"
#include "support/TestHttpServer.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace Qt::Literals::StringLiterals;

namespace {

// The stall time-out for a server that stalls for good: long enough that a busy machine
// delivers everything the server did send before it.

HttpLimits Limits(int stallTimeoutMs, qint64 maxBodySize = 64 * 1024 * 1024)
{
    HttpLimits limits;
    limits.stallTimeoutMs = stallTimeoutMs;
    limits.maxBodySize = maxBodySize;
    return limits;
}

// Long enough that a test which waited for it would fail rather than pass by luck.
constexpr int kNoStall = 60000;

} // namespace

TEST(HttpTransfer, FetchesWholeAnswersWithAndWithoutContentLength)
{
    TestHttpServer server;
    server.Serve(u"/plain.xml"_s, "<list>plain</list>");
    server.ServeWithoutLength(u"/open.xml"_s, "<list>until the connection closes</list>");
    server.ServeChunked(u"/chunked.xml"_s, "<list>in two chunks</list>");
    HttpTransfer transfer(Limits(kNoStall));
    QByteArray body;

    HttpResult result = transfer.Fetch(server.Url(u"/plain.xml"_s), body);
    EXPECT_TRUE(result.Whole());
    EXPECT_EQ(result.status, 200);
    EXPECT_EQ(result.contentLength, 18);
    EXPECT_EQ(body, "<list>plain</list>");

    result = transfer.Fetch(server.Url(u"/open.xml"_s), body);
    EXPECT_TRUE(result.Whole());
    EXPECT_EQ(result.contentLength, -1);
    EXPECT_EQ(body, "<list>until the connection closes</list>");

    result = transfer.Fetch(server.Url(u"/chunked.xml"_s), body);
    EXPECT_TRUE(result.Whole());
    EXPECT_EQ(result.contentLength, -1);
    EXPECT_EQ(body, "<list>in two chunks</list>");
}

TEST(HttpTransfer, SendsTheUserAgentAndNeverACookie)
{
    TestHttpServer server;
    server.Serve(u"/a"_s, "a");
    server.ServeRedirect(u"/moved"_s, u"/a"_s);
    HttpTransfer transfer(Limits(kNoStall));
    QByteArray body;
    transfer.Fetch(server.Url(u"/a?x=1"_s), body);
    transfer.Fetch(server.Url(u"/moved"_s), body);
    transfer.FetchHeaders(server.Url(u"/a"_s));
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 3);
    EXPECT_EQ(requests[0].target, "/a?x=1");
    for (const auto& request : requests) {
        EXPECT_EQ(request.userAgent, "Microsoft Internet Explorer");
        EXPECT_TRUE(request.cookie.isEmpty()) << request.target.toStdString();
    }
}

TEST(HttpTransfer, DeliversRedirectAndErrorAnswersThemselves)
{
    TestHttpServer server;
    server.Serve(u"/target.xml"_s, "target");
    server.ServeRedirect(u"/moved.xml"_s, server.Url(u"/target.xml"_s));
    HttpTransfer transfer(Limits(kNoStall));
    QByteArray body;

    HttpResult result = transfer.Fetch(server.Url(u"/moved.xml"_s), body);
    EXPECT_TRUE(result.Whole());
    EXPECT_EQ(result.status, 302);
    EXPECT_TRUE(body.contains("Moved"));
    EXPECT_EQ(server.RequestCount(u"/target.xml"_s), 0);

    result = transfer.Fetch(server.Url(u"/missing.xml"_s), body);
    EXPECT_TRUE(result.answered);
    EXPECT_EQ(result.status, 404);
    EXPECT_TRUE(body.contains("<html>"));
}

TEST(HttpTransfer, KeepsWhatArrivedOfACutOrStalledBodyAndSaysSo)
{
    TestHttpServer server;
    server.ServeCutShort(u"/cut"_s, "12345", 50);
    server.ServeStalling(u"/stall"_s, 100, "abc");
    server.ServeStalling(u"/silent"_s, 100);
    QByteArray body;

    HttpResult result = HttpTransfer(Limits(kNoStall)).Fetch(server.Url(u"/cut"_s), body);
    EXPECT_TRUE(result.answered);
    EXPECT_TRUE(result.truncated);
    EXPECT_FALSE(result.Whole());
    EXPECT_EQ(body, "12345");

    result = HttpTransfer(Limits(kGiveUpMs)).Fetch(server.Url(u"/stall"_s), body);
    EXPECT_TRUE(result.stalled);
    EXPECT_TRUE(result.truncated);
    EXPECT_EQ(body, "abc");

    // Stalled right after the headers: nothing arrived, nothing is kept.
    result = HttpTransfer(Limits(kGiveUpMs)).Fetch(server.Url(u"/silent"_s), body);
    EXPECT_TRUE(result.stalled);
    EXPECT_TRUE(result.answered);
    EXPECT_TRUE(body.isEmpty());
}

TEST(HttpTransfer, AnAnswerPastTheLimitFailsAndLeavesNothing)
{
    TestHttpServer server;
    server.ServeLarge(u"/big"_s, 3 * 1024 * 1024);
    server.ServeLarge(u"/endless"_s, 3 * 1024 * 1024, false);
    server.ServeLarge(u"/fits"_s, 1024 * 1024);
    HttpTransfer transfer(Limits(kNoStall, 1024 * 1024));
    QByteArray body;

    for (const QString& path : {u"/big"_s, u"/endless"_s}) {
        const HttpResult result = transfer.Fetch(server.Url(path), body);
        EXPECT_TRUE(result.tooLarge) << path.toStdString();
        EXPECT_FALSE(result.Whole());
        EXPECT_TRUE(body.isEmpty());
    }
    // Exactly at the limit is still allowed, and every byte arrives in order.
    const HttpResult result = transfer.Fetch(server.Url(u"/fits"_s), body);
    EXPECT_TRUE(result.Whole());
    EXPECT_EQ(body, TestHttpServer::LargeBody(1024 * 1024));
}

TEST(HttpTransfer, FailsWithoutAServerAndForOtherSchemes)
{
    HttpTransfer transfer(Limits(kNoStall));
    QByteArray body = "old";
    HttpResult result = transfer.Fetch(u"http://127.0.0.1:%1/a"_s.arg(TestHttpServer::UnusedPort()), body);
    EXPECT_FALSE(result.answered);
    EXPECT_FALSE(result.error.isEmpty());
    EXPECT_TRUE(body.isEmpty());

    QTemporaryDir dir;
    WriteFile(dir.filePath(u"secret"_s), "secret");
    result = transfer.Fetch(u"file://"_s + dir.filePath(u"secret"_s), body);
    EXPECT_FALSE(result.answered);
    EXPECT_TRUE(body.isEmpty());
}

TEST(HttpTransfer, AServerThatNeverAnswersStallsOutWithNothing)
{
    TestSilentServer server;
    QByteArray body = "old";
    HttpResult result = HttpTransfer(Limits(kGiveUpMs)).Fetch(server.Url(u"/a"_s), body);
    EXPECT_TRUE(result.stalled);
    EXPECT_FALSE(result.answered);
    EXPECT_FALSE(result.error.isEmpty());
    EXPECT_TRUE(body.isEmpty());

    result = HttpTransfer(Limits(kGiveUpMs)).FetchHeaders(server.Url(u"/a"_s));
    EXPECT_FALSE(result.answered);
}

TEST(HttpTransfer, HeadersOnlyDoesNotWaitForTheBody)
{
    TestHttpServer server;
    server.ServeStalling(u"/stall"_s, 12345);
    server.Serve(u"/empty"_s, "");
    HttpTransfer transfer(Limits(kNoStall));

    HttpResult result = transfer.FetchHeaders(server.Url(u"/stall"_s));
    EXPECT_TRUE(result.answered);
    EXPECT_FALSE(result.stalled);
    EXPECT_TRUE(result.error.isEmpty());
    EXPECT_EQ(result.contentLength, 12345);

    result = transfer.FetchHeaders(server.Url(u"/empty"_s));
    EXPECT_TRUE(result.answered);
    EXPECT_EQ(result.contentLength, 0);
}

TEST(HttpTransfer, AStopRequestEndsAStalledTransfer)
{
    TestHttpServer server;
    server.ServeStalling(u"/stall"_s, 100, "ab");
    std::atomic<bool> stop = false;
    HttpResult result;
    QByteArray body;
    std::thread worker([&] {
        result =
            HttpTransfer(Limits(kNoStall), [&] { return stop.load(); }).Fetch(server.Url(u"/stall"_s), body);
    });
    const bool stalled = WaitUntil([&] { return server.StalledCount() > 0; });
    stop = true;
    worker.join();
    ASSERT_TRUE(stalled);
    EXPECT_TRUE(result.stopped);
    EXPECT_FALSE(result.stalled);
    EXPECT_FALSE(result.Whole());
}
