// The catalog views over a synthetic catalog of 10,000 applications in 100 categories (25
// top-level with 3 sub-categories each), served by the real catalog server with every list
// holding all applications.
//
// - Refresh: from "Refresh" until the four lists are filled, with an empty cache each time;
//   DownloadAndParse: the same files through the same file cache and parsers without any
//   view. Goal: Refresh at most twice DownloadAndParse.
// - Sort/N: sorting a 10,000-row list by column N in the list's model. Goal: under 30 ms each.

#include "CatalogBenchSupport.h"
#include "catalog/CatalogAddresses.h"
#include "catalog/TWebApplicationList.h"
#include "catalog/TWebCategoryTree.h"
#include "catalogviews/TCatalogListModel.h"
#include "catalogviews/TCatalogListView.h"
#include "catalogviews/TCatalogViews.h"
#include "stores/TFileCacheManager.h"

#include <QApplication>
#include <QDir>
#include <QTabWidget>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kApplications = 10000;

SyntheticCatalogServer& Server()
{
    static SyntheticCatalogServer server(kApplications);
    return server;
}

void WaitFor(const std::function<bool()>& done)
{
    while (!done())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
}

void Refresh(benchmark::State& state)
{
    const QString address = Server().address;
    size_t rows = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir folder;
        auto cache = EmptyCache(folder);
        TWebCategoryTree tree;
        TWebApplicationList applications;
        // The main window's pages: five catalog pages and "Installed".
        QTabWidget pages;
        for (int page = 0; page < 6; ++page)
            pages.addTab(new QWidget, QString::number(page));
        int pending = -1;
        TCatalogViews views(pages, *cache, tree, applications, address, CountingHooks(pending));
        state.ResumeTiming();

        views.RefreshCatalog();
        WaitFor([&pending] { return pending == 0; });

        state.PauseTiming();
        rows =
            views.ListView(1).Model().Applications().size() + views.ListView(5).Model().Applications().size();
        state.ResumeTiming();
    }
    state.counters["rows"] = double(rows);
}

// Downloads the category list and the four lists into an empty cache and reads them, as a
// refresh does, without any view; the number of list rows read.
size_t DownloadAndRead(const QString& address)
{
    QTemporaryDir folder;
    auto cache = EmptyCache(folder);
    TWebCategoryTree tree;
    TWebApplicationList applications;
    applications.OnGetCategory = [&tree](TWebApplicationList&, int32_t id) {
        return tree.FindById(id);
    };
    int pending = -1;
    std::vector<TWebApplicationList::Applications> lists(kCatalogListCount);
    const QString categoryList = address + QString::fromUtf16(kCategoryListPath);
    cache->RequestFile(categoryList, false, false, true, [&](const QString&, const QString&, TCacheStatus) {
        tree.LoadFromFile(cache->GetCachedFileName(categoryList, true));
        pending = kCatalogListCount;
        for (int kind = 0; kind < kCatalogListCount; ++kind) {
            cache->RequestFile(address + CatalogListPath(kind), false, false, true,
                               [&, kind](const QString&, const QString& url, TCacheStatus) {
                                   applications.LoadFromFile(cache->GetCachedFileName(url, true),
                                                             &lists[size_t(kind)]);
                                   --pending;
                               });
        }
    });
    WaitFor([&pending] { return pending == 0; });
    return lists[0].size() + lists[3].size();
}

void DownloadAndParse(benchmark::State& state)
{
    const QString address = Server().address;
    size_t rows = 0;
    for (auto _ : state)
        rows = DownloadAndRead(address);
    state.counters["rows"] = double(rows);
}

// One list of every application, read once for all sorts.
struct SortFixture
{
    TWebCategoryTree tree;
    TWebApplicationList applications;
    TWebApplicationList::Applications rows;

    SortFixture()
    {
        QTemporaryDir folder;
        auto cache = EmptyCache(folder);
        const QString address = Server().address;
        bool done = false;
        const QString categoryList = address + QString::fromUtf16(kCategoryListPath);
        cache->RequestFile(
            categoryList, false, false, true, [&](const QString&, const QString&, TCacheStatus) {
                tree.LoadFromFile(cache->GetCachedFileName(categoryList, true));
                cache->RequestFile(address + CatalogListPath(clPopular), false, false, true,
                                   [&](const QString&, const QString& url, TCacheStatus) {
                                       applications.OnGetCategory = [this](TWebApplicationList&, int32_t id) {
                                           return tree.FindById(id);
                                       };
                                       applications.LoadFromFile(cache->GetCachedFileName(url, true), &rows);
                                       done = true;
                                   });
            });
        WaitFor([&done] { return done; });
    }
};

void Sort(benchmark::State& state)
{
    static SortFixture fixture;
    const int column = int(state.range(0));
    TCatalogListView view(0, true);
    view.FillSortedByHeader(fixture.rows);
    bool descending = false;
    for (auto _ : state) {
        view.Model().sort(column, descending ? Qt::DescendingOrder : Qt::AscendingOrder);
        descending = !descending;
    }
    state.counters["rows"] = double(view.Model().rowCount());
}

} // namespace

BENCHMARK(Refresh)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(DownloadAndParse)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(Sort)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    // The server makes each answer once; neither side of the comparison pays for that.
    DownloadAndRead(Server().address);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
