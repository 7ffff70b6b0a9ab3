// One browser frame of the engine given on the command line, in a window, loading one page:
// prints the time from creating the frame to its page's top-level document complete, and the
// memory (proportional set size) of this process and every process it started. Run by
// engine-first-page.py, which starts it cold for each engine in turn.
//
// usage: morvalen-bench-engine-first-page ENGINE ADDRESS DATA_FOLDER

#include "browser/BrowserFrames.h"
#include "browser/TfrmInternetBrowser.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <QVBoxLayout>

#include <cstdio>
#include <map>
#include <vector>

namespace {

// Kilobytes of proportional set size of pid and all its descendants.
long long TreePssKb(int root)
{
    std::map<int, std::vector<int>> children;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool isPid = false;
        const int pid = entry.toInt(&isPid);
        if (!isPid)
            continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray text = stat.readAll();
        const qsizetype close = text.lastIndexOf(')');
        if (close < 0)
            continue;
        const QList<QByteArray> fields = text.mid(close + 2).split(' ');
        if (fields.size() > 1)
            children[fields[1].toInt()].push_back(pid);
    }
    long long total = 0;
    std::vector<int> pending{root};
    while (!pending.empty()) {
        const int pid = pending.back();
        pending.pop_back();
        QFile rollup(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
        if (rollup.open(QIODevice::ReadOnly))
            for (const QByteArray& line : rollup.readAll().split('\n'))
                if (line.startsWith("Pss:"))
                    total += line.mid(4).trimmed().split(' ').first().toLongLong();
        for (const int child : children[pid])
            pending.push_back(child);
    }
    return total;
}

} // namespace

int main(int argc, char** argv)
{
    // As the program does: Qt WebEngine shares the application's OpenGL contexts.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s ENGINE ADDRESS DATA_FOLDER\n", argv[0]);
        return 2;
    }
    const auto engine = uint8_t(QString::fromLocal8Bit(argv[1]).toInt());
    const QString address = QString::fromLocal8Bit(argv[2]);
    BrowserFrames::SetDataFolder(QString::fromLocal8Bit(argv[3]));

    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    window.resize(1024, 768);
    window.show();

    QElapsedTimer clock;
    clock.start();
    TfrmInternetBrowser* frame = BrowserFrames::Create(engine, &window);
    layout->addWidget(frame);
    QObject::connect(frame, &TfrmInternetBrowser::DocumentCompleted, &application, [&] {
        const qint64 loaded = clock.elapsed();
        // Let the engine settle after its first page, as a user's window would.
        QTimer::singleShot(1000, &application, [&application, loaded] {
            std::printf("%lld %lld\n", static_cast<long long>(loaded),
                        TreePssKb(int(QCoreApplication::applicationPid())));
            std::fflush(stdout);
            application.quit();
        });
    });
    frame->Navigate(address);
    QTimer::singleShot(60000, &application, [&application] { application.exit(1); });
    return application.exec();
}
