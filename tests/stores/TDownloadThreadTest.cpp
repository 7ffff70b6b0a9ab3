#include "stores/TDownloadThread.h"
#include "support/TestHttpServer.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QPointer>

#include <gtest/gtest.h>

#include <limits>

using namespace Qt::Literals::StringLiterals;

namespace {

// The stall time-out for a server that stalls for good: long enough that a busy machine
// delivers everything the server did send before it.

// What a worker's report carried, copied out while the worker waited.
struct DownloadReport
{
    int count = 0;
    bool onMainThread = false;
    TDownloadThread::TOutcome outcome = TDownloadThread::doDownloaded;
    QByteArray data;
    HttpResult result;
};

class TDownloadThreadTest : public ::testing::Test
{
protected:
    TestHttpServer m_server;
    DownloadReport m_report;

    // A worker that reports into m_report; the test owns it.
    std::unique_ptr<TDownloadThread> MakeWorker(const QString& path, int stallTimeoutMs = 60000)
    {
        auto worker = std::make_unique<TDownloadThread>(m_server.Url(path), [this](TDownloadThread* sender) {
            ++m_report.count;
            m_report.onMainThread = QThread::currentThread() == QCoreApplication::instance()->thread();
            m_report.outcome = sender->Outcome();
            m_report.data = sender->Data();
            m_report.result = sender->Result();
        });
        HttpLimits limits;
        limits.stallTimeoutMs = stallTimeoutMs;
        worker->SetLimits(limits);
        return worker;
    }

    // Runs the worker to its end and lets a late report show.
    void RunToEnd(TDownloadThread& worker)
    {
        worker.Start();
        ASSERT_TRUE(WaitUntil([&] { return worker.isFinished(); }));
        ProcessEventsFor(20);
    }
};

} // namespace

TEST_F(TDownloadThreadTest, DownloadsAndReportsOnceOnTheMainThread)
{
    m_server.Serve(u"/list.xml"_s, "<list/>");
    auto worker = MakeWorker(u"/list.xml"_s);
    worker->SetTargetFileName(u"Cache00001.tmp"_s);
    RunToEnd(*worker);
    EXPECT_EQ(m_report.count, 1);
    EXPECT_TRUE(m_report.onMainThread);
    EXPECT_EQ(m_report.outcome, TDownloadThread::doDownloaded);
    EXPECT_EQ(m_report.data, "<list/>");
    EXPECT_EQ(worker->TargetFileName(), u"Cache00001.tmp"_s);
}

TEST_F(TDownloadThreadTest, SizeCheckSkipsTheDownloadWhenTheServerReportsTheCachedSize)
{
    m_server.Serve(u"/list.xml"_s, "<list>12345</list>");
    auto worker = MakeWorker(u"/list.xml"_s);
    worker->SetCheckSizeFirst(true);
    worker->SetExpectedSize(18);
    RunToEnd(*worker);
    EXPECT_EQ(m_report.count, 1);
    EXPECT_EQ(m_report.outcome, TDownloadThread::doUnchanged);
    EXPECT_TRUE(m_report.data.isEmpty());
    EXPECT_EQ(m_server.RequestCount(u"/list.xml"_s), 1);
}

TEST_F(TDownloadThreadTest, SizeCheckDownloadsAgainWhenTheSizeDiffersOrIsNotSent)
{
    m_server.Serve(u"/changed.xml"_s, "<list>new</list>");
    m_server.ServeWithoutLength(u"/open.xml"_s, "<list>open</list>");

    auto changed = MakeWorker(u"/changed.xml"_s);
    changed->SetCheckSizeFirst(true);
    changed->SetExpectedSize(3);
    RunToEnd(*changed);
    EXPECT_EQ(m_report.outcome, TDownloadThread::doDownloaded);
    EXPECT_EQ(m_report.data, "<list>new</list>");
    EXPECT_EQ(m_server.RequestCount(u"/changed.xml"_s), 2);

    // Without Content-Length the size query answers 1, so only a cached size of 1 counts
    // as unchanged.
    auto open = MakeWorker(u"/open.xml"_s);
    open->SetCheckSizeFirst(true);
    open->SetExpectedSize(17);
    RunToEnd(*open);
    EXPECT_EQ(m_report.outcome, TDownloadThread::doDownloaded);
    EXPECT_EQ(m_report.data, "<list>open</list>");

    auto one = MakeWorker(u"/open.xml"_s);
    one->SetCheckSizeFirst(true);
    one->SetExpectedSize(1);
    RunToEnd(*one);
    EXPECT_EQ(m_report.outcome, TDownloadThread::doUnchanged);
    EXPECT_EQ(m_report.count, 3);
}

TEST_F(TDownloadThreadTest, UnreachableServerGivesOutcomeZeroOrNoData)
{
    const QString address = u"http://127.0.0.1:%1/list.xml"_s.arg(TestHttpServer::UnusedPort());
    DownloadReport report;
    auto onDone = [&](TDownloadThread* sender) {
        ++report.count;
        report.outcome = sender->Outcome();
        report.data = sender->Data();
    };

    TDownloadThread checked(address, onDone);
    checked.SetCheckSizeFirst(true);
    checked.SetExpectedSize(7);
    checked.Start();
    ASSERT_TRUE(WaitUntil([&] { return report.count == 1; }));
    EXPECT_EQ(report.outcome, TDownloadThread::doNotReachable);

    TDownloadThread plain(address, onDone);
    plain.Start();
    ASSERT_TRUE(WaitUntil([&] { return report.count == 2; }));
    EXPECT_EQ(report.outcome, TDownloadThread::doDownloaded);
    EXPECT_TRUE(report.data.isEmpty());
}

TEST_F(TDownloadThreadTest, AStalledTransferKeepsWhatArrived)
{
    m_server.ServeStalling(u"/stall.xml"_s, 1000, "<list>");
    auto worker = MakeWorker(u"/stall.xml"_s, kGiveUpMs);
    RunToEnd(*worker);
    EXPECT_EQ(m_report.count, 1);
    EXPECT_EQ(m_report.outcome, TDownloadThread::doDownloaded);
    EXPECT_EQ(m_report.data, "<list>");
    EXPECT_TRUE(m_report.result.stalled);
    EXPECT_TRUE(m_report.result.truncated);
}

TEST_F(TDownloadThreadTest, AStoppedWorkerEndsItsTransferAndReportsNothing)
{
    m_server.ServeStalling(u"/stall.xml"_s, 1000);
    auto worker = MakeWorker(u"/stall.xml"_s);
    worker->Start();
    ASSERT_TRUE(WaitUntil([&] { return m_server.StalledCount() == 1; }));
    worker->Stop();
    // The stall time-out is a minute: returning here means the stop ended the transfer.
    worker->wait();
    ProcessEventsFor(20);
    EXPECT_EQ(m_report.count, 0);
}

TEST_F(TDownloadThreadTest, AWorkerWithoutOwnerDownloadsAndFreesItselfSilently)
{
    m_server.Serve(u"/link/update.php"_s, "ok");
    QPointer<TDownloadThread> worker =
        new TDownloadThread(m_server.Url(u"/link/update.php?imgId=1&rating=5"_s), {});
    worker->SetFreeOnTerminate(true);
    worker->Start();
    EXPECT_TRUE(WaitUntil([&] { return worker.isNull(); }));
    EXPECT_EQ(m_server.RequestCount(u"/link/update.php"_s), 1);
}

TEST(TDownloadThread, AnnouncedSizeFollowsTheContentLength)
{
    HttpResult headers;
    EXPECT_EQ(TDownloadThread::AnnouncedSize(headers), 0);
    headers.answered = true;
    EXPECT_EQ(TDownloadThread::AnnouncedSize(headers), 1);
    headers.contentLength = 0;
    EXPECT_EQ(TDownloadThread::AnnouncedSize(headers), 0);
    headers.contentLength = 4096;
    EXPECT_EQ(TDownloadThread::AnnouncedSize(headers), 4096);
    headers.contentLength = qint64(1) << 40;
    EXPECT_EQ(TDownloadThread::AnnouncedSize(headers), std::numeric_limits<int32_t>::max());
}
