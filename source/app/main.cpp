#include "PBOnceOnly.h"
#include "mainwindow/TfMain.h"
#include "platform/BundledCatalogServer.h"
#include "platform/ChromiumSandbox.h"
#include "platform/DataFolder.h"
#include "platform/FontConfigPreload.h"
#include "platform/FreedMemory.h"
#include "platform/HelperPrograms.h"
#include "platform/InstallLayout.h"
#include "platform/TerminationSignals.h"
#include "platform/WindowActivation.h"
#include "platform/XWaylandChoice.h"
#include "settings/ProgramOptions.h"

#include <QApplication>
#include <QFileInfo>
#include <QFont>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QWindow>

#include <cstdint>
#include <cstdio>
#include <memory>

using namespace Qt::Literals::StringLiterals;

// The program's start and end, traced with the window: QT_LOGGING_RULES="morvalen.window.debug=true".
Q_LOGGING_CATEGORY(lcStart, "morvalen.window", QtWarningMsg)

namespace {

constexpr int kShutDownLimitSeconds = 10;
constexpr uint16_t kDefaultCatalogPort = 8370;
constexpr int kCatalogProbeMs = 300;

QString VersionText()
{
    return u"%1.%2.%3.%4"_s.arg(MORVALEN_VERSION_MAJOR)
        .arg(MORVALEN_VERSION_MINOR)
        .arg(MORVALEN_VERSION_PATCH)
        .arg(MORVALEN_VERSION_TWEAK);
}

} // namespace

int main(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const ProgramOptions options = ProgramOptions::Parse(arguments);
    if (!options.error.isEmpty()) {
        std::fprintf(stderr, "%s\n\n%s", qPrintable(options.error), qPrintable(ProgramOptions::Usage()));
        return 2;
    }
    if (options.help) {
        std::fputs(qPrintable(ProgramOptions::Usage()), stdout);
        return 0;
    }
    if (options.version) {
        std::printf("Morvalen Desktop %s\n", qPrintable(VersionText()));
        return 0;
    }

    // A second start hands its parameters to the first and ends without a window; the
    // launcher's token goes with them, so that the window it asked for may come to the front.
    const QString launchToken = WindowActivation::TakeLaunchToken();
    QString guardError;
    try {
        if (AlreadyRunning(QString::fromUtf16(kInstanceName), u"TfMain"_s, true, true,
                           WindowActivation::WithToken(options.parameters, launchToken)))
            return 0;
    } catch (const EOnceOnlyError& error) {
        guardError = QString::fromUtf8(error.what());
    }

    // Before Qt WebEngine can start and before the application has threads of its own.
    ChromiumSandbox::DisableForRoot();
    // The platform is fixed once the application exists.
    if (XWaylandChoice::ApplyAtStart(
            DataFolder::Resolve(options.dataFolder, QFileInfo(u"/proc/self/exe"_s).canonicalPath())))
        qCDebug(lcStart) << "through XWayland, as chosen";

    // The windows' pictures, copied on every update, reuse the heap's memory.
    ReuseFreedMemory();
    // Qt WebEngine's shared OpenGL context comes with the first site window (WebEngineModule):
    // made here, with the application, it would load the driver before the window shows.
    // The fonts load meanwhile; after the environment has been set for the application.
    TFontConfigPreload fontConfig;
    QApplication application(argc, argv);
    fontConfig.Finish();
    QApplication::setApplicationName(u"Morvalen Desktop"_s);
    QApplication::setApplicationVersion(VersionText());
    // Wayland compositors and task bars match the window to the menu entry and its icon by it.
    QGuiApplication::setDesktopFileName(u"morvalen-desktop"_s);
    if (!guardError.isEmpty()) {
        QMessageBox::critical(nullptr, u"Morvalen Desktop"_s, guardError);
        return 1;
    }

    QApplication::setFont(QFont(u"Tahoma"_s, 8));
    // Which window the window system made the active one: what a user sees in front.
    QObject::connect(&application, &QGuiApplication::focusWindowChanged, [](QWindow* window) {
        qCDebug(lcStart) << "active window:" << (window ? window->title() : QString());
    });
    // The window hides to the notification area: the program ends only when it is closed.
    QApplication::setQuitOnLastWindowClosed(false);

    // Started without a catalog server where none answers (an installed program, a desktop
    // without the catalog service): the sample catalog that came with the program, served for
    // this run by a child of its own.
    ProgramOptions runOptions = options;
    std::unique_ptr<BundledCatalogServer> sampleServer;
    if (!options.catalogServerGiven && !BundledCatalogServer::Answers(kDefaultCatalogPort, kCatalogProbeMs)) {
        const QString server = HelperPrograms::Find(u"morvalen-catalog-server"_s);
        const QString catalog = InstallLayout::SampleCatalogFolder(QCoreApplication::applicationDirPath());
        QString error;
        if (!server.isEmpty() && !catalog.isEmpty())
            sampleServer = BundledCatalogServer::Start(server, catalog, error);
        if (sampleServer) {
            runOptions.catalogServer = sampleServer->Address();
            runOptions.sampleCatalog = true;
            qCDebug(lcStart) << "sample catalog served at" << runOptions.catalogServer;
        } else {
            qCDebug(lcStart) << "no sample catalog:" << (error.isEmpty() ? u"not installed"_s : error);
        }
    }

    int status = 0;
    {
        TfMain mainWindow(runOptions);
        mainWindow.SetLaunchToken(launchToken);
        OnceOnlyGuard()->Listen(
            [&mainWindow](const CopyDataRecord& record) { mainWindow.HandleCopyData(record); });
        TerminationSignals::Install([&mainWindow] { mainWindow.QuitNow(); });
        // Whatever a window or a page still waits for, the process ends soon after the user's
        // "Exit" or the tray's "Quit".
        mainWindow.OnQuitting = [] {
            TerminationSignals::EndWithin(kShutDownLimitSeconds);
        };
        mainWindow.Start();
        status = application.exec();
    }
    // Only now that the window has saved its configuration and its downloads have ended may a
    // new start become the first instance: earlier it would read what is about to change.
    ReleaseOnceOnlyGuard();
    qCDebug(lcStart) << "instance released";
    return status;
}
