// How late the main window's thread gets while a refresh brings catalog lists near the size
// limit: the real catalog server on loopback serves a synthetic catalog whose four lists each
// hold every application (about 15 MiB each), and a 5 ms timer on the main thread records how
// much later than due it fired, from "Refresh" until the last list is in its view. The views
// are the real ones, on the off-screen platform. Goal: the worst lateness under 100 ms.
//
//   morvalen-bench-catalog-lateness [applications] [refreshes]

#include "CatalogBenchSupport.h"
#include "catalog/CatalogAddresses.h"
#include "catalog/CatalogXml.h"
#include "catalog/TWebApplicationList.h"
#include "catalog/TWebCategoryTree.h"
#include "catalogviews/TCatalogListModel.h"
#include "catalogviews/TCatalogListView.h"
#include "catalogviews/TCatalogViews.h"
#include "stores/TFileCacheManager.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kTickMs = 5;

// CPU time of the calling thread, in microseconds.
qint64 ThreadCpuUs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}

struct Refresh
{
    qint64 worstLateMs = 0;
    // The most CPU time the main thread spent between two ticks: on a busy machine a tick may
    // also come late because the thread was not given a core, which this tells apart.
    qint64 worstBusyMs = 0;
    qint64 totalMs = 0;
    qint64 listBytes = 0;
    size_t rows = 0;
};

Refresh OneRefresh(const QString& address)
{
    QTemporaryDir folder;
    const std::unique_ptr<TFileCacheManager> cache = EmptyCache(folder);
    TWebCategoryTree tree;
    TWebApplicationList applications;
    QTabWidget pages;
    for (int page = 0; page < 6; ++page)
        pages.addTab(new QWidget, QString::number(page));
    pages.resize(900, 600);
    pages.show();
    int pending = -1;
    TCatalogViews views(pages, *cache, tree, applications, address, CountingHooks(pending));

    Refresh result;
    QElapsedTimer clock;
    qint64 last = 0;
    qint64 lastCpu = 0;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        const qint64 cpu = ThreadCpuUs();
        result.worstLateMs = std::max(result.worstLateMs, now - last - kTickMs);
        result.worstBusyMs = std::max(result.worstBusyMs, (cpu - lastCpu) / 1000);
        last = now;
        lastCpu = cpu;
    });
    clock.start();
    lastCpu = ThreadCpuUs();
    ticker.start(kTickMs);
    views.RefreshCatalog();
    while (pending != 0)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    result.totalMs = clock.elapsed();
    ticker.stop();
    result.listBytes = QFileInfo(cache->GetCachedFileName(address + CatalogListPath(clPopular), true)).size();
    result.rows = views.ListView(1).Model().Applications().size();
    return result;
}

} // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int applications = argc > 1 ? std::atoi(argv[1]) : 26000;
    const int refreshes = argc > 2 ? std::atoi(argv[2]) : 3;
    SyntheticCatalogServer server(applications);
    if (server.address.isEmpty())
        return 1;
    qint64 worst = 0;
    qint64 worstBusy = 0;
    for (int i = 0; i < refreshes; ++i) {
        const Refresh refresh = OneRefresh(server.address);
        worst = std::max(worst, refresh.worstLateMs);
        worstBusy = std::max(worstBusy, refresh.worstBusyMs);
        std::printf("refresh %d: list of %.1f MiB (limit %lld MiB), %zu rows, %lld ms in all, main thread "
                    "at most %lld ms late, at most %lld ms busy between two ticks\n",
                    i + 1, double(refresh.listBytes) / (1024 * 1024), CatalogXml::MaxFileSize / (1024 * 1024),
                    refresh.rows, refresh.totalMs, refresh.worstLateMs, refresh.worstBusyMs);
    }
    std::printf("worst lateness: %lld ms, longest busy stretch: %lld ms (goal: under 100 ms)\n", worst,
                worstBusy);
    return worst < 100 ? 0 : 2;
}
