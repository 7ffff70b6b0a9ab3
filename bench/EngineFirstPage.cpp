// One browser frame of the engine given on the command line, in a window, loading one page:
// prints the time from creating the frame to its page's top-level document complete, and the
// memory (proportional set size) of this process and every process it started. Run by
// engine-first-page.py, which starts it cold for each engine in turn.
//
// usage: morvalen-bench-engine-first-page ENGINE ADDRESS DATA_FOLDER

#include "ProcessMemory.h"
#include "browser/BrowserFrames.h"
#include "browser/TfrmInternetBrowser.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QVBoxLayout>

#include <cstdio>

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
