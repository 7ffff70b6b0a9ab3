// Loading and saving the installed-sites data file. Goal: 10,000 sites each way in under
// 20 ms.

#include "common/FileUtils.h"
#include "sites/SitesDataFile.h"
#include "sites/TMorvalenBaseClass.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace Qt::Literals::StringLiterals;

namespace {

std::vector<std::unique_ptr<TMorvalenBaseClass>> MakeSites(int count)
{
    std::vector<std::unique_ptr<TMorvalenBaseClass>> sites;
    sites.reserve(size_t(count));
    for (int i = 0; i < count; ++i) {
        auto site = std::make_unique<TMorvalenBaseClass>();
        site->SetTitle(u"Site number %1"_s.arg(i));
        site->SetURL(u"https://www.site%1.example.com/start"_s.arg(i));
        site->SetDescription(u"A web application that people use every day, number %1."_s.arg(i));
        site->SetFavIconFileName(u"www.site%1.example.com.ico"_s.arg(i));
        site->SetTabURLs(
            {u"https://mail.site%1.example.com/"_s.arg(i), u"https://docs.site%1.example.com/"_s.arg(i)});
        site->SetRunCount(i % 50);
        site->SetUserRating(3.5f);
        sites.push_back(std::move(site));
    }
    return sites;
}

void LoadDataFile(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"MorvalenDesktop.dat"_s);
    SitesDataFile::Save(path, MakeSites(int(state.range(0))));
    for (auto _ : state) {
        const std::optional<QByteArray> data = FileUtils::ReadWholeFile(path);
        SitesDataFile::LoadResult loaded = SitesDataFile::Parse(*data);
        benchmark::DoNotOptimize(loaded.records.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void SaveDataFile(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"MorvalenDesktop.dat"_s);
    const auto sites = MakeSites(int(state.range(0)));
    for (auto _ : state)
        SitesDataFile::Save(path, sites);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

} // namespace

BENCHMARK(LoadDataFile)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(SaveDataFile)->Arg(10000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
