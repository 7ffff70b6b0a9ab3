// A site's thumbnail taken the way the program takes it (the capture dialog's hidden 1024 x 768
// Chromium page, MakeThumbnail, the thumbnail store writing its 105 x 80 picture), next to the
// bare load of the same page in a Qt WebEngine view of the same size (in the default profile,
// and in a profile on disk like the program's), alternating in one run
// with one engine, from a loopback server. Prints the medians and their ratio.
// Goal: the thumbnail at most 1.3 times the bare load.
//
// usage: morvalen-bench-thumbnail-capture [RUNS]   (default 7; QT_QPA_PLATFORM=offscreen works)

#include "../tests/support/TestHttpServer.h"
#include "browser/BrowserFrames.h"
#include "browser/TfBrowserThumbnailForm.h"
#include "pictures/MakeThumbnail.h"
#include "stores/TThumbnailManager.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace {

QByteArray Page()
{
    QByteArray page = "<!DOCTYPE html><html><head><meta charset='utf-8'><title>Thumbnail</title><style>"
                      "body{font-family:sans-serif;background:#eef}h1{color:#336}</style></head><body>"
                      "<h1>A page for its thumbnail</h1>";
    for (int i = 0; i < 50; ++i)
        page += "<p>Paragraph " + QByteArray::number(i) + " of the page, with a few words in it.</p>";
    return page + "</body></html>";
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Milliseconds from the load's start to the page's load finished, in a view of the capture's
// size that is laid out and painted but never mapped, as the capture's own page.
double BareLoad(QWebEngineProfile* profile, const QUrl& address)
{
    QWebEngineView view(profile);
    view.setAttribute(Qt::WA_DontShowOnScreen);
    view.resize(1024, 768);
    view.show();
    QEventLoop loop;
    QObject::connect(&view, &QWebEngineView::loadFinished, &loop, &QEventLoop::quit);
    QElapsedTimer clock;
    clock.start();
    view.load(address);
    loop.exec();
    return double(clock.nsecsElapsed()) / 1e6;
}

// Milliseconds from asking for the picture to the thumbnail on disk.
double Thumbnail(const QString& address, TThumbnailManager& store)
{
    QElapsedTimer clock;
    clock.start();
    const std::optional<QImage> page = CaptureSiteScreenshot(address, QSize(1024, 768));
    if (!page) {
        std::fprintf(stderr, "the capture failed\n");
        std::exit(1);
    }
    store.Store(address, MakeThumbnail(*page));
    return double(clock.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 7;
    QTemporaryDir data;
    BrowserFrames::SetDataFolder(data.path());
    TThumbnailManager store;
    store.SetFolder(data.filePath(u"Thumbnails"_s));
    QDir().mkpath(store.Folder());
    store.LoadIndex(data.filePath(u"Thumbnails/Thumbnails.dat"_s));

    TestHttpServer server;
    server.Serve(u"/page"_s, Page(), "text/html");
    // The program's pages live in a profile on disk (cookies, a disk cache); the bare load is
    // also measured in one like it, which tells the profile's share from the capture's.
    QWebEngineProfile onDisk(u"bare-on-disk"_s);
    onDisk.setPersistentStoragePath(data.filePath(u"BareProfile"_s));
    onDisk.setCachePath(data.filePath(u"BareProfile/Cache"_s));
    onDisk.setHttpCacheType(QWebEngineProfile::DiskHttpCache);

    std::vector<double> bare;
    std::vector<double> bareOnDisk;
    std::vector<double> thumbnail;
    // The first round starts the engine and fills the page cache; each load asks anew.
    for (int run = 0; run <= runs; ++run) {
        const double b =
            BareLoad(QWebEngineProfile::defaultProfile(), QUrl(server.Url(u"/page?bare=%1"_s.arg(run))));
        const double d = BareLoad(&onDisk, QUrl(server.Url(u"/page?disk=%1"_s.arg(run))));
        const double t = Thumbnail(server.Url(u"/page?thumbnail=%1"_s.arg(run)), store);
        if (run > 0) {
            bare.push_back(b);
            bareOnDisk.push_back(d);
            thumbnail.push_back(t);
        }
    }
    const QImage stored(store.Folder() + u"/"_s + store.Items().back().FileName);
    std::printf("bare page load        %7.1f ms (median of %d)\n", Median(bare), runs);
    std::printf("bare, profile on disk %7.1f ms\n", Median(bareOnDisk));
    std::printf("thumbnail (%dx%d)   %7.1f ms (median of %d)\n", stored.width(), stored.height(),
                Median(thumbnail), runs);
    std::printf("ratio thumbnail / bare load: %.2f (goal at most 1.3)\n", Median(thumbnail) / Median(bare));
    return 0;
}
