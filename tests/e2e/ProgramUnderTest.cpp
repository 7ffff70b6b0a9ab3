#include "ProgramUnderTest.h"

#include "sites/SitesDataFile.h"
#include "sites/TMorvalenBaseClass.h"
#include "support/TestHttpServer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include <memory>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace ProgramUnderTest {

QProcessEnvironment Environment(const QTemporaryDir& home, const QByteArray& display)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString& folder : {u"runtime"_s, u"config"_s, u"xdg-data"_s}) {
        QDir().mkpath(home.filePath(folder));
        QFile::setPermissions(home.filePath(folder), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    environment.insert(u"XDG_RUNTIME_DIR"_s, home.filePath(u"runtime"_s));
    environment.insert(u"XDG_CONFIG_HOME"_s, home.filePath(u"config"_s));
    environment.insert(u"XDG_DATA_HOME"_s, home.filePath(u"xdg-data"_s));
    if (display.isEmpty()) {
        environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    } else {
        environment.insert(u"QT_QPA_PLATFORM"_s, u"xcb"_s);
        environment.insert(u"DISPLAY"_s, QString::fromLocal8Bit(display));
    }
    environment.insert(u"QT_LOGGING_RULES"_s, u"morvalen.window.debug=true\nmorvalen.browser.debug=true"_s);
    return environment;
}

QStringList Options(const QString& dataFolder)
{
    return {u"--data-folder="_s + dataFolder,
            u"--catalog-server=http://127.0.0.1:%1"_s.arg(TestHttpServer::UnusedPort())};
}

bool Start(QProcess& program, const QProcessEnvironment& environment, const QStringList& options,
           QByteArray& trace)
{
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(MORVALEN_DESKTOP_PATH), options);
    return program.waitForStarted(10000) && WaitForTrace(program, trace, "first show");
}

bool WaitForTrace(QProcess& program, QByteArray& trace, const QByteArray& text, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!trace.contains(text)) {
        if (clock.elapsed() > timeoutMs || program.state() == QProcess::NotRunning)
            return false;
        program.waitForReadyRead(100);
        trace += program.readAllStandardError();
    }
    return true;
}

void SaveSite(const QString& dataFolder, const std::function<void(TMorvalenBaseClass& site)>& describe)
{
    QDir().mkpath(dataFolder);
    std::vector<std::unique_ptr<TMorvalenBaseClass>> sites;
    sites.push_back(std::make_unique<TMorvalenBaseClass>());
    describe(*sites.back());
    SitesDataFile::Save(dataFolder + u"/MorvalenDesktop.dat"_s, sites);
}

std::optional<QString> Xdotool(const QByteArray& display, const QStringList& arguments)
{
    QProcess tool;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"DISPLAY"_s, QString::fromLocal8Bit(display));
    tool.setProcessEnvironment(environment);
    tool.start(u"xdotool"_s, arguments);
    if (!tool.waitForFinished(10000) || tool.exitStatus() != QProcess::NormalExit || tool.exitCode() != 0)
        return std::nullopt;
    return QString::fromUtf8(tool.readAllStandardOutput()).trimmed();
}

QString ActiveWindowName(const QByteArray& display)
{
    return Xdotool(display, {u"getactivewindow"_s, u"getwindowname"_s}).value_or(QString());
}

} // namespace ProgramUnderTest
