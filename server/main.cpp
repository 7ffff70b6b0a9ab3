// morvalen-catalog-server: serves a catalog to Morvalen Desktop.
//
//   morvalen-catalog-server [--catalog DIR] [--bind ADDR] [--port N] [--database URL] ...
//   morvalen-catalog-server --export DIR --base-url URL [--catalog DIR] [--database URL]
//
// DIR holds catalog.json; without --catalog an installed server serves the sample catalog
// installed with it. --port 0 takes any free port. Once it listens, the server prints
// "Listening on http://ADDR:PORT" on standard output. SIGINT and SIGTERM stop it. With
// --export it writes the catalog's files to a folder instead and ends. ServerOptions.cpp
// lists every option.

#include "CardPainter.h"
#include "CatalogExport.h"
#include "CatalogSite.h"
#include "CatalogSource.h"
#include "HttpCaching.h"
#include "HttpServer.h"
#include "PictureEncoder.h"
#include "PostgresRatingDatabase.h"
#include "RatingStore.h"
#include "ServerOptions.h"
#include "SqliteRatingDatabase.h"
#include "TrustedProxies.h"

#include "common/Errors.h"
#include "platform/InstallLayout.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QThread>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace {

void CompleteOptions(ServerOptions& options)
{
    if (options.catalogFolder.isEmpty())
        options.catalogFolder = InstallLayout::SampleCatalogFolder(QCoreApplication::applicationDirPath());
    if (options.catalogFolder.isEmpty())
        throw EMorvalenError(u"--catalog DIR is required: no sample catalog is installed with this server"_s);
    if (options.database.isEmpty()) {
        const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                               u"/morvalen-catalog-server"_s;
        if (!QDir().mkpath(folder))
            throw EMorvalenError(u"Cannot create the folder %1"_s.arg(folder));
        options.database = folder + u"/ratings.sqlite"_s;
    }
}

std::unique_ptr<RatingDatabase> OpenDatabase(const ServerOptions& options, int connections)
{
    if (options.databaseKind == ServerOptions::DatabaseKind::Postgres)
        return std::make_unique<PostgresRatingDatabase>(options.database, connections);
    return std::make_unique<SqliteRatingDatabase>(options.database);
}

// Every idle or slow client holds a descriptor; the default soft limit of 1024 is too few.
void RaiseFileLimit()
{
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        setrlimit(RLIMIT_NOFILE, &limit);
    }
}

int g_stopPipe[2] = {-1, -1};

void RequestStop(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = write(g_stopPipe[1], &byte, 1);
}

QByteArray Picture(const CatalogSource& source, const SourceApplication& application, bool thumbnail)
{
    const SourceCategory* category = source.FindCategory(application.categoryId);
    const QImage screenshot = CardPainter::Screenshot(application, category ? category->title : QString());
    return PictureEncoder::Encode(thumbnail ? CardPainter::Thumbnail(screenshot) : screenshot,
                                  application.pictureFormat);
}

// Draws a picture on the application's thread, where fonts may be used, and waits for it.
QByteArray DrawPicture(const CatalogSource& source, const SourceApplication& application, bool thumbnail)
{
    if (QThread::currentThread() == qApp->thread())
        return Picture(source, application, thumbnail);
    QByteArray file;
    QString error;
    QMetaObject::invokeMethod(
        qApp,
        [&] {
            try {
                file = Picture(source, application, thumbnail);
            } catch (const EMorvalenError& e) {
                error = e.Message();
            }
        },
        Qt::BlockingQueuedConnection);
    if (!error.isEmpty())
        throw EMorvalenError(error);
    return file;
}

// The answer over HTTP: the client as the trusted proxies name it, the cache headers, and
// 304 for a cache whose copy is current.
HttpResponse Respond(CatalogSite& site, const HttpRequest& request, const QString& fallbackURL,
                     const TrustedProxies& proxies, const QByteArray& cacheControl)
{
    const QString client = proxies.ClientAddress(request.clientAddress, request.forwardedFor);
    const SiteAnswer answer = site.Answer(request.target, CatalogSite::BaseURLFor(request.host, fallbackURL),
                                          client, request.method == "HEAD");
    HttpResponse response{answer.status, answer.contentType, answer.body, {}};
    if (!answer.cacheable || answer.status != 200) {
        response.headers.emplace_back("Cache-Control", "no-store");
        return response;
    }
    response.headers.emplace_back("Cache-Control", cacheControl);
    response.headers.emplace_back("ETag", answer.entityTag);
    if (answer.lastModified > 0)
        response.headers.emplace_back("Last-Modified", HttpCaching::FormatDate(answer.lastModified));
    if (HttpCaching::IsNotModified(request.ifNoneMatch, request.ifModifiedSince, answer.entityTag,
                                   answer.lastModified)) {
        // The body stays for its length: the HTTP layer sends a 304 without it.
        response.status = 304;
        response.contentType.clear();
    }
    return response;
}

int Run(int argc, char** argv)
{
    // The server shows nothing; it needs Qt Gui only to draw its pictures.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    ServerOptions options = ServerOptions::Parse(QCoreApplication::arguments().mid(1));
    if (options.help) {
        std::fputs(ServerOptions::Usage(), stdout);
        return 0;
    }
    CompleteOptions(options);
    TrustedProxies proxies;
    for (const QString& proxy : options.trustedProxies)
        proxies.Add(proxy);

    const QString catalogFile = QDir(options.catalogFolder).filePath(u"catalog.json"_s);
    CatalogSource source = CatalogSource::LoadFromFile(catalogFile);
    HttpServer::Settings settings;
    RatingStore ratings(OpenDatabase(options, settings.threads));
    const CatalogSource* sourceForPictures = nullptr;
    CatalogSite site(
        std::move(source), ratings,
        [&](const SourceApplication& app, bool thumbnail) {
            return DrawPicture(*sourceForPictures, app, thumbnail);
        },
        CatalogSite::Settings{options.listSize, 200,
                              QFileInfo(catalogFile).lastModified().toSecsSinceEpoch()});
    sourceForPictures = &site.Source();

    if (!options.exportFolder.isEmpty()) {
        const int files = CatalogExport::Write(site, options.exportFolder, options.baseURL);
        std::printf("Exported %d files to %s\n", files, qPrintable(options.exportFolder));
        return 0;
    }

    RaiseFileLimit();
    const QString listenURL = u"http://%1"_s.arg(
        options.bindAddress.contains(u':') ? u'[' + options.bindAddress + u']' : options.bindAddress);
    std::atomic<int> boundPort = options.port;
    settings.bindAddress = options.bindAddress;
    settings.port = options.port;
    settings.connectionsPerAddress = unsigned(options.connectionsPerAddress);
    const QByteArray cacheControl = "public, max-age=" + QByteArray::number(options.maxAge);
    HttpServer server(settings, [&](const HttpRequest& request) {
        const QString fallback = options.baseURL.isEmpty()
                                     ? listenURL + u':' + QString::number(boundPort.load())
                                     : options.baseURL;
        return Respond(site, request, fallback, proxies, cacheControl);
    });
    const int port = server.Port();
    boundPort = port;

    if (pipe(g_stopPipe) != 0)
        throw EMorvalenError(u"Cannot create a pipe"_s);
    QSocketNotifier stopNotifier(g_stopPipe[0], QSocketNotifier::Read);
    QObject::connect(&stopNotifier, &QSocketNotifier::activated, &application, [&] {
        stopNotifier.setEnabled(false);
        QCoreApplication::quit();
    });
    std::signal(SIGINT, RequestStop);
    std::signal(SIGTERM, RequestStop);
    // A client that goes away mid-answer must not end the server.
    std::signal(SIGPIPE, SIG_IGN);

    std::printf("Listening on %s:%d\n", qPrintable(listenURL), port);
    std::fflush(stdout);

    // Drawing a picture needs this thread: it runs the event loop until a signal stops it.
    application.exec();
    // Requests being handled may wait for a picture from this thread: keep serving them while
    // the server finishes them.
    std::atomic<bool> stopped = false;
    std::thread stopper([&] {
        server.Stop();
        stopped = true;
    });
    while (!stopped)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    stopper.join();
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    try {
        return Run(argc, argv);
    } catch (const EMorvalenError& error) {
        std::fprintf(stderr, "morvalen-catalog-server: %s\n", error.what());
        return 1;
    }
}
