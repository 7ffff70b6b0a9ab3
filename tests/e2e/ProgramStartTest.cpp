// Starts the real program, off screen, in private runtime, configuration and data folders,
// against a catalog server address where nothing answers.

#include "ProgramUnderTest.h"
#include "support/TestHttpServer.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;
using ProgramUnderTest::WaitForTrace;

namespace {

class ProgramStartTest : public ::testing::Test
{
protected:
    QTemporaryDir m_home;

    void SetUp() override
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"XDG_RUNTIME_DIR"_s, m_home.filePath(u"runtime"_s));
        environment.insert(u"XDG_CONFIG_HOME"_s, m_home.filePath(u"config"_s));
        environment.insert(u"XDG_DATA_HOME"_s, m_home.filePath(u"data"_s));
        environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        QDir().mkpath(m_home.filePath(u"runtime"_s));
        QFile::setPermissions(m_home.filePath(u"runtime"_s),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        m_environment = environment;
    }

    void Start(QProcess& process, const QStringList& arguments)
    {
        process.setProcessEnvironment(m_environment);
        process.start(QStringLiteral(MORVALEN_DESKTOP_PATH), arguments);
        ASSERT_TRUE(process.waitForStarted(10000));
    }

    QString DataFolder() const { return m_home.filePath(u"data-folder"_s); }

    // The program with its window's trace on standard error, in the test's data folder.
    void StartTraced(QProcess& process, const QStringList& parameters)
    {
        QProcessEnvironment environment = m_environment;
        environment.insert(u"QT_LOGGING_RULES"_s, u"morvalen.window.debug=true"_s);
        process.setProcessEnvironment(environment);
        process.start(
            QStringLiteral(MORVALEN_DESKTOP_PATH),
            QStringList{u"--data-folder="_s + DataFolder(),
                        u"--catalog-server=http://127.0.0.1:%1"_s.arg(TestHttpServer::UnusedPort())} +
                parameters);
        ASSERT_TRUE(process.waitForStarted(10000));
    }

    // Ends the program the way a session does; it must end by itself, in order.
    static void Terminate(QProcess& process)
    {
        process.terminate();
        ASSERT_TRUE(process.waitForFinished(20000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 0);
    }

    QProcessEnvironment m_environment;
};

} // namespace

TEST_F(ProgramStartTest, VersionAndHelpAnswerWithoutAWindow)
{
    QProcess version;
    Start(version, {u"--version"_s});
    ASSERT_TRUE(version.waitForFinished(10000));
    EXPECT_EQ(version.exitCode(), 0);
    EXPECT_TRUE(version.readAllStandardOutput().startsWith("Morvalen Desktop 1."));

    QProcess help;
    Start(help, {u"--help"_s});
    ASSERT_TRUE(help.waitForFinished(10000));
    EXPECT_TRUE(help.readAllStandardOutput().contains("--data-folder"));
}

TEST_F(ProgramStartTest, AFirstRunMakesTheFoldersReadsNothingAndLoadsNoBrowserEngine)
{
    QProcess program;
    StartTraced(program, {});
    QByteArray trace;
    ASSERT_TRUE(WaitForTrace(program, trace, "start-up message")) << trace.toStdString();
    EXPECT_TRUE(trace.contains("first show shown"));
    for (const char16_t* folder : {u"FavIcons", u"Thumbnails", u"Cache"})
        EXPECT_TRUE(QFileInfo(DataFolder() + u'/' + QString::fromUtf16(folder)).isDir());

    // The browser engine is heavy: it is loaded with the first browser window, not before.
    const QByteArray maps = ReadFile(u"/proc/%1/maps"_s.arg(program.processId()));
    ASSERT_TRUE(maps.contains("libQt6Widgets"));
    EXPECT_FALSE(maps.contains("WebEngine"));

    Terminate(program);
    // Nothing changed, so nothing was written.
    EXPECT_FALSE(QFile::exists(DataFolder() + u"/MorvalenDesktop.cfg"_s));
    EXPECT_TRUE(QDir(DataFolder() + u"/Cache"_s).isEmpty());
}

TEST_F(ProgramStartTest, ASecondStartHandsItsParametersOverAndEnds)
{
    QProcess first;
    StartTraced(first, {});
    QByteArray trace;
    ASSERT_TRUE(WaitForTrace(first, trace, "first show"));

    // One parameter goes over as it is.
    QProcess second;
    Start(second, {u"Element=abc RunMinimized"_s});
    ASSERT_TRUE(second.waitForFinished(20000));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(WaitForTrace(first, trace, "parameter \"Element=abc RunMinimized\""));

    // Several go over one by one, in order.
    QProcess third;
    Start(third, {u"Element=def"_s, u"RunMinimized"_s});
    ASSERT_TRUE(third.waitForFinished(20000));
    EXPECT_TRUE(WaitForTrace(first, trace, "parameter \"RunMinimized\""));
    EXPECT_LT(trace.indexOf("parameter \"Element=def\""), trace.indexOf("parameter \"RunMinimized\""));

    // Without parameters a second start simply ends.
    QProcess fourth;
    Start(fourth, {});
    EXPECT_TRUE(fourth.waitForFinished(5000));
    EXPECT_EQ(fourth.exitCode(), 0);
    EXPECT_EQ(first.state(), QProcess::Running);
    Terminate(first);
}

TEST_F(ProgramStartTest, TheInstanceIsReleasedOnlyOnceTheWindowHasFinished)
{
    QProcess program;
    StartTraced(program, {});
    QByteArray trace;
    ASSERT_TRUE(WaitForTrace(program, trace, "start-up message"));
    Terminate(program);
    trace += program.readAllStandardError();
    // A start in between would be a second first instance reading the configuration that
    // the closing window is about to write.
    const qsizetype destroyed = trace.indexOf("destroyed");
    const qsizetype released = trace.indexOf("instance released");
    ASSERT_GE(destroyed, 0) << trace.toStdString();
    ASSERT_GE(released, 0) << trace.toStdString();
    EXPECT_LT(destroyed, released);
}

TEST_F(ProgramStartTest, ASecondStartWaitsForAFirstThatIsStillStarting)
{
    QProcess first;
    StartTraced(first, {});
    // The first has claimed the instance as soon as its lock file exists; its window and
    // listener come later, so the second start finds nobody at first and tries again.
    const QDir runtime(m_home.filePath(u"runtime"_s));
    ASSERT_TRUE(WaitUntil([&] { return !runtime.entryList({u"*.lock"_s}, QDir::Files).isEmpty(); }));
    QProcess second;
    Start(second, {u"Element=xyz"_s});
    ASSERT_TRUE(second.waitForFinished(20000));
    EXPECT_EQ(second.exitCode(), 0);
    QByteArray trace;
    EXPECT_TRUE(WaitForTrace(first, trace, "parameter \"Element=xyz\""));
    Terminate(first);
}

TEST_F(ProgramStartTest, RunMinimizedInAnyCaseStartsHidden)
{
    QProcess program;
    StartTraced(program, {u"rUnMiNiMiZeD"_s});
    QByteArray trace;
    ASSERT_TRUE(WaitForTrace(program, trace, "start-up message"));
    EXPECT_TRUE(trace.contains("first show hidden"));
    // Off screen there is no notification area: the window is minimized, never lost.
    EXPECT_TRUE(trace.contains("minimized (no tray)"));
    Terminate(program);
}

TEST_F(ProgramStartTest, AnUnchangedConfigurationIsLeftAlone)
{
    QDir().mkpath(DataFolder());
    const QString path = DataFolder() + u"/MorvalenDesktop.cfg"_s;
    QByteArray stored(30, '\0');
    stored[2] = 1;         // hide on close
    stored.append('\x01'); // arrange mode
    WriteFile(path, stored);
    const QDateTime written = QFileInfo(path).lastModified();

    QProcess program;
    StartTraced(program, {});
    QByteArray trace;
    ASSERT_TRUE(WaitForTrace(program, trace, "start-up message"));
    Terminate(program);
    EXPECT_EQ(ReadFile(path), stored);
    EXPECT_EQ(QFileInfo(path).lastModified(), written);
}
