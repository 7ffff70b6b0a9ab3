// morvalen-catalog-server: serves a catalog to Morvalen Desktop.
//
//   morvalen-catalog-server [--catalog DIR] [--bind ADDR] [--port N] [--db FILE]
//                           [--list-size N] [--connections-per-address N]
//
// DIR holds catalog.json; without --catalog an installed server serves the sample catalog
// installed with it. --port 0 takes any free port. Once it listens, the server prints
// "Listening on http://ADDR:PORT" on standard output. SIGINT and SIGTERM stop it.

#include "CardPainter.h"
#include "CatalogSite.h"
#include "CatalogSource.h"
#include "HttpServer.h"
#include "PictureEncoder.h"
#include "RatingStore.h"

#include "common/Errors.h"
#include "platform/InstallLayout.h"

#include <QDir>
#include <QGuiApplication>
#include <QSocketNotifier>
#include <QStandardPaths>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace {

struct Options
{
    QString catalogFolder;
    QString bindAddress = u"127.0.0.1"_s;
    int port = 8370;
    QString database;
    int listSize = 50;
    int connectionsPerAddress = 256;
};

const char kUsage[] = "usage: morvalen-catalog-server [--catalog DIR] [--bind ADDR] [--port N] [--db FILE]\n"
                      "                               [--list-size N] [--connections-per-address N]\n"
                      "  --catalog DIR   the folder with catalog.json (default: the installed\n"
                      "                  sample catalog)\n"
                      "  --bind ADDR     the address to listen on (default 127.0.0.1)\n"
                      "  --port N        the port (default 8370; 0 takes a free one)\n"
                      "  --db FILE       the rating database (default in the user's data folder;\n"
                      "                  :memory: keeps ratings for this run only)\n"
                      "  --list-size N   applications in each of the four lists (default 50)\n"
                      "  --connections-per-address N\n"
                      "                  connections one client address may hold at once\n"
                      "                  (default 256; 0: no limit)\n";

int NumberOption(const QString& name, const QString& value, int minimum, int maximum)
{
    bool ok = false;
    const int number = value.toInt(&ok);
    if (!ok || number < minimum || number > maximum)
        throw EMorvalenError(
            u"%1 must be a number from %2 to %3, not \"%4\""_s.arg(name).arg(minimum).arg(maximum).arg(
                value));
    return number;
}

Options ParseOptions(const QStringList& arguments)
{
    Options options;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        QString name = arguments[i];
        QString value;
        if (const qsizetype equals = name.indexOf(u'='); equals > 0) {
            value = name.mid(equals + 1);
            name.truncate(equals);
        } else if (name == u"--help"_s || name == u"-h"_s) {
            std::fputs(kUsage, stdout);
            std::exit(0);
        } else if (i + 1 < arguments.size()) {
            value = arguments[++i];
        } else {
            throw EMorvalenError(u"%1 needs a value"_s.arg(name));
        }
        if (name == u"--catalog"_s)
            options.catalogFolder = value;
        else if (name == u"--bind"_s)
            options.bindAddress = value;
        else if (name == u"--port"_s)
            options.port = NumberOption(name, value, 0, 65535);
        else if (name == u"--db"_s)
            options.database = value;
        else if (name == u"--list-size"_s)
            options.listSize = NumberOption(name, value, 1, 1000000);
        else if (name == u"--connections-per-address"_s)
            options.connectionsPerAddress = NumberOption(name, value, 0, 1000000);
        else
            throw EMorvalenError(u"unknown option %1"_s.arg(name));
    }
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
    return options;
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

// Draws a picture on the application's thread, where fonts may be used, and waits for it.
QByteArray DrawPicture(const CatalogSource& source, const SourceApplication& application, bool thumbnail)
{
    QByteArray file;
    QString error;
    QMetaObject::invokeMethod(
        qApp,
        [&] {
            try {
                const SourceCategory* category = source.FindCategory(application.categoryId);
                const QImage screenshot =
                    CardPainter::Screenshot(application, category ? category->title : QString());
                file = PictureEncoder::Encode(thumbnail ? CardPainter::Thumbnail(screenshot) : screenshot,
                                              application.pictureFormat);
            } catch (const EMorvalenError& e) {
                error = e.Message();
            }
        },
        Qt::BlockingQueuedConnection);
    if (!error.isEmpty())
        throw EMorvalenError(error);
    return file;
}

int Run(int argc, char** argv)
{
    // The server shows nothing; it needs Qt Gui only to draw its pictures.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const Options options = ParseOptions(QCoreApplication::arguments());

    CatalogSource source =
        CatalogSource::LoadFromFile(QDir(options.catalogFolder).filePath(u"catalog.json"_s));
    RatingStore ratings(options.database);
    const CatalogSource* sourceForPictures = nullptr;
    CatalogSite site(
        std::move(source), ratings,
        [&](const SourceApplication& app, bool thumbnail) {
            return DrawPicture(*sourceForPictures, app, thumbnail);
        },
        CatalogSite::Settings{options.listSize, 200});
    sourceForPictures = &site.Source();

    RaiseFileLimit();
    const QString fallbackHost = u"http://%1"_s.arg(
        options.bindAddress.contains(u':') ? u'[' + options.bindAddress + u']' : options.bindAddress);
    std::atomic<int> boundPort = options.port;
    HttpServer::Settings settings;
    settings.bindAddress = options.bindAddress;
    settings.port = options.port;
    settings.connectionsPerAddress = unsigned(options.connectionsPerAddress);
    HttpServer server(settings, [&](const HttpRequest& request) {
        const QString fallback = fallbackHost + u':' + QString::number(boundPort.load());
        const SiteAnswer answer = site.Answer(request.target, CatalogSite::BaseURLFor(request.host, fallback),
                                              request.clientAddress);
        return HttpResponse{answer.status, answer.contentType, answer.body};
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

    std::printf("Listening on %s:%d\n", qPrintable(fallbackHost), port);
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
