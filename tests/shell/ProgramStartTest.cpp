// Starts the real program, off screen, in private runtime and configuration folders.

#include "support/TestSupport.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

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

TEST_F(ProgramStartTest, ASecondStartHandsOverAndEnds)
{
    QProcess first;
    Start(first, {});
    // The second start ends by itself once the first has taken its parameters.
    QProcess second;
    ProcessEventsFor(500); // a first instance still starting would be retried; this keeps the test short
    Start(second, {u"Element=abc"_s, u"RunMinimized"_s});
    EXPECT_TRUE(second.waitForFinished(20000));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(first.state(), QProcess::Running);

    // Without parameters a second start ends at once.
    QProcess third;
    Start(third, {});
    EXPECT_TRUE(third.waitForFinished(5000));
    EXPECT_EQ(third.exitCode(), 0);

    first.terminate();
    first.waitForFinished(10000);
}
