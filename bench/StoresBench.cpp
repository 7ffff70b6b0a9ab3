// Throughput of the download cache: a large file stored through the cache next to the
// curl program fetching the same file, loading a large cache index, and quitting with
// downloads stalled on a slow server.

#include "../tests/support/TestHttpServer.h"
#include "../tests/support/TestSupport.h"
#include "common/DateTime.h"
#include "stores/CacheIndexFile.h"
#include "stores/TFileCacheManager.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr qint64 kLargeFileSize = 50 * 1000 * 1000;
constexpr int kIndexEntries = 10000;

TestHttpServer& Server()
{
    static TestHttpServer server;
    static const bool served = [] {
        server.ServeLarge(u"/large.bin"_s, kLargeFileSize);
        server.ServeStalling(u"/stall"_s, 1000);
        return true;
    }();
    (void)served;
    return server;
}

void CacheStoresLargeFile(benchmark::State& state)
{
    QTemporaryDir dir;
    TFileCacheManager cache;
    cache.SetCacheFolder(dir.path());
    cache.LoadIndex(dir.filePath(u"Cache.dat"_s));
    int round = 0;
    for (auto _ : state) {
        TCacheStatus status = csFailed;
        bool reported = false;
        // A new address each round, so that every round downloads and stores the file.
        cache.RequestFile(Server().Url(u"/large.bin?round=%1"_s.arg(++round)), false, false, true,
                          [&](const QString&, const QString&, TCacheStatus result) {
                              status = result;
                              reported = true;
                          });
        WaitUntil([&] { return reported; }, 120000);
        if (status != csDownloaded) {
            state.SkipWithError("the cache did not store the file");
            break;
        }
        // Like curl's single target file, only one copy is on the disk at a time.
        state.PauseTiming();
        QFile::remove(cache.GetCachedFileName(Server().Url(u"/large.bin?round=%1"_s.arg(round)), true));
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * kLargeFileSize);
}
BENCHMARK(CacheStoresLargeFile)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

void CurlProgramStoresLargeFile(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString target = dir.filePath(u"large.bin"_s);
    for (auto _ : state) {
        QProcess curl;
        curl.start(u"curl"_s, {u"-s"_s, u"-o"_s, target, Server().Url(u"/large.bin"_s)});
        if (!curl.waitForFinished(120000) || curl.exitCode() != 0) {
            state.SkipWithError("curl failed (is the curl program installed?)");
            break;
        }
        state.PauseTiming();
        QFile::remove(target);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * kLargeFileSize);
}
BENCHMARK(CurlProgramStoresLargeFile)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

void LoadLargeIndex(benchmark::State& state)
{
    QTemporaryDir dir;
    std::vector<TCacheImageItemRec> entries;
    const double now = DateTime::Now();
    for (int i = 1; i <= kIndexEntries; ++i) {
        TCacheImageItemRec entry;
        entry.URL = u"http://catalog.example/images/application%1/screenshot.png"_s.arg(i);
        entry.FileName = u"Cache%1.tmp"_s.arg(i, 5, 10, QChar(u'0'));
        entry.Updated = entry.AgeBase = now;
        entry.Size = 3;
        WriteFile(dir.filePath(entry.FileName), "abc");
        entries.push_back(entry);
    }
    WriteFile(dir.filePath(u"Cache.dat"_s), CacheIndexFile::Serialize(entries));

    TFileCacheManager cache;
    cache.SetCacheFolder(dir.path());
    for (auto _ : state) {
        cache.LoadIndex(dir.filePath(u"Cache.dat"_s));
        if (cache.Items().size() != size_t(kIndexEntries)) {
            state.SkipWithError("entries were lost");
            break;
        }
    }
}
BENCHMARK(LoadLargeIndex)->Unit(benchmark::kMillisecond);

// Twenty downloads stalled on the server, then the manager is freed, as at quitting.
void QuitWithStalledDownloads(benchmark::State& state)
{
    QTemporaryDir dir;
    int round = 0;
    for (auto _ : state) {
        auto cache = std::make_unique<TFileCacheManager>();
        cache->SetCacheFolder(dir.path());
        const int stalledBefore = Server().StalledCount();
        for (int i = 0; i < 20; ++i)
            cache->RequestFile(Server().Url(u"/stall?round=%1&n=%2"_s.arg(++round).arg(i)), false, false,
                               true, {});
        WaitUntil([&] { return Server().StalledCount() >= stalledBefore + 20; }, 30000);
        QElapsedTimer timer;
        timer.start();
        cache.reset();
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        Server().ReleaseStalls();
    }
}
BENCHMARK(QuitWithStalledDownloads)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

} // namespace

int main(int argc, char** argv)
{
    // The cache hands its reports to this application's thread.
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
