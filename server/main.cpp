// morvalen-catalog-server: serves a catalog to Morvalen Desktop.
//
//   morvalen-catalog-server [--catalog DIR] [--bind ADDR] [--port N] [--db FILE]
//                           [--list-size N]
//
// DIR holds catalog.json; without --catalog an installed server serves the sample catalog
// installed with it. --port 0 takes any free port. Once it listens, the server prints
// "Listening on http://ADDR:PORT" on standard output. SIGINT and SIGTERM stop it.

#include "CardPainter.h"
#include "CatalogSite.h"
#include "CatalogSource.h"
#include "PictureEncoder.h"
#include "RatingStore.h"

#include "common/Errors.h"
#include "platform/InstallLayout.h"

#include <QDir>
#include <QGuiApplication>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QThread>

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
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
};

const char kUsage[] = "usage: morvalen-catalog-server [--catalog DIR] [--bind ADDR] [--port N] [--db FILE]\n"
                      "                               [--list-size N]\n"
                      "  --catalog DIR   the folder with catalog.json (default: the installed\n"
                      "                  sample catalog)\n"
                      "  --bind ADDR     the address to listen on (default 127.0.0.1)\n"
                      "  --port N        the port (default 8370; 0 takes a free one)\n"
                      "  --db FILE       the rating database (default in the user's data folder;\n"
                      "                  :memory: keeps ratings for this run only)\n"
                      "  --list-size N   applications in each of the four lists (default 50)\n";

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

    httplib::Server server;
    // Headers and body go out in separate writes; without this a small answer waits for the
    // client's delayed acknowledgement, some 40 ms, and a list file costs that each time.
    server.set_tcp_nodelay(true);
    // The program asks for five list files in a row on one refresh; let a connection carry many.
    server.set_keep_alive_max_count(100);
    const QString fallbackHost = u"http://%1"_s.arg(
        options.bindAddress.contains(u':') ? u'[' + options.bindAddress + u']' : options.bindAddress);
    std::atomic<int> boundPort = options.port;
    server.Get(".*", [&](const httplib::Request& request, httplib::Response& response) {
        const QString fallback = fallbackHost + u':' + QString::number(boundPort.load());
        const SiteAnswer answer = site.Answer(
            QByteArrayView(request.target.data(), qsizetype(request.target.size())),
            CatalogSite::BaseURLFor(QByteArray::fromStdString(request.get_header_value("Host")), fallback));
        response.status = answer.status;
        response.set_content(answer.body.constData(), size_t(answer.body.size()),
                             answer.contentType.constData());
    });
    // Answers that the HTTP layer makes itself (a malformed request, an address that is too
    // long, another method) get a text too, so that every answer has a body and its length.
    server.set_error_handler([](const httplib::Request&, httplib::Response& response) {
        if (response.body.empty()) {
            const std::string text = "Error " + std::to_string(response.status) + "\n";
            response.set_content(text, "text/plain; charset=utf-8");
        }
    });

    const std::string bindAddress = options.bindAddress.toStdString();
    int port = options.port;
    if (port == 0)
        port = server.bind_to_any_port(bindAddress);
    else if (!server.bind_to_port(bindAddress, port))
        port = -1;
    if (port <= 0)
        throw EMorvalenError(u"Cannot listen on %1 port %2"_s.arg(options.bindAddress).arg(options.port));
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

    std::atomic<bool> listening = true;
    std::thread listener([&] {
        server.listen_after_bind();
        listening = false;
        // The listener ends on its own only when the socket fails; then the program ends too.
        RequestStop(0);
    });
    // A stop asked for before the listener runs would be lost and the server would never end:
    // announce the port only once it is served.
    while (listening && !server.is_running())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    std::printf("Listening on %s:%d\n", qPrintable(fallbackHost), port);
    std::fflush(stdout);

    application.exec();
    server.stop();
    // Workers may still wait for a picture from this thread: keep serving them until the
    // listener has finished.
    while (listening)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    listener.join();
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
