// The real program as a native Wayland client of a real compositor (weston's headless
// backend, started by the test script and named in MORVALEN_TEST_WAYLAND_DISPLAY): the site a
// start asks for with "Element=" is the window the compositor makes active, whether the start
// is the first one or hands its parameters (and its launcher's activation token) to the
// running program.

#include "ProgramUnderTest.h"
#include "sites/TMorvalenBaseClass.h"
#include "support/TestHttpServer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;
using ProgramUnderTest::WaitForTrace;

namespace {

constexpr char16_t kElementId[] = u"0123456789ABCDEF0125";

class WaylandProgramTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_display = qEnvironmentVariable("MORVALEN_TEST_WAYLAND_DISPLAY");
        if (m_display.isEmpty())
            GTEST_SKIP() << "skipped: no Wayland compositor (MORVALEN_TEST_WAYLAND_DISPLAY is not set)";
        m_server.Serve(u"/site"_s,
                       "<!DOCTYPE html><html><head><title>Loopback page</title></head><body>Hi</body></html>",
                       "text/html");
        ASSERT_TRUE(m_home.isValid());
        m_data = m_home.filePath(u"data-folder"_s);
        ProgramUnderTest::SaveSite(m_data, [&](TMorvalenBaseClass& site) {
            site.SetTitle(u"Loopback"_s);
            site.SetURL(m_server.Url(u"/site"_s));
            site.SetElementId(QString::fromUtf16(kElementId));
        });
        m_environment = ProgramUnderTest::Environment(m_home);
        m_environment.insert(u"QT_QPA_PLATFORM"_s, u"wayland"_s);
        // A path: the compositor's socket lies outside the program's own runtime folder.
        m_environment.insert(u"WAYLAND_DISPLAY"_s, m_display);
        m_environment.remove(u"DISPLAY"_s);
        m_options = ProgramUnderTest::Options(m_data);
    }

    void TearDown() override
    {
        if (m_program.state() != QProcess::NotRunning) {
            m_program.terminate();
            if (!m_program.waitForFinished(30000))
                m_program.kill();
        }
    }

    // The program as the site's launcher starts it: "Element=" and an activation token.
    void StartFromLauncher(QProcess& process, const QString& token)
    {
        QProcessEnvironment environment = m_environment;
        environment.insert(u"XDG_ACTIVATION_TOKEN"_s, token);
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(MORVALEN_DESKTOP_PATH),
                      m_options + QStringList{u"Element="_s + kElementId});
    }

    // The title of the window the compositor made active last, from the program's trace.
    QString ActiveWindow()
    {
        m_program.waitForReadyRead(50);
        m_trace += m_program.readAllStandardError();
        static const QRegularExpression active(uR"re(active window: "([^"\n]*)")re"_s);
        QString title;
        for (auto match = active.globalMatch(QString::fromUtf8(m_trace)); match.hasNext();)
            title = match.next().captured(1);
        return title;
    }

    bool SiteWindowIsActive()
    {
        QElapsedTimer clock;
        clock.start();
        // The main window may be active for a moment before the site window maps.
        while (clock.elapsed() < 30000) {
            if (ActiveWindow() == u"Morvalen Desktop: Loopback"_s) {
                // ... and stays so once both have settled.
                QElapsedTimer settle;
                settle.start();
                while (settle.elapsed() < 1500)
                    if (ActiveWindow() != u"Morvalen Desktop: Loopback"_s)
                        return false;
                return true;
            }
        }
        return false;
    }

    QString m_display;
    TestHttpServer m_server;
    // Short: the instance socket lives in it.
    QTemporaryDir m_home{QDir::tempPath() + u"/mv-XXXXXX"_s};
    QString m_data;
    QProcessEnvironment m_environment;
    QStringList m_options;
    QProcess m_program;
    QByteArray m_trace;
};

} // namespace

TEST_F(WaylandProgramTest, AFirstStartWithAnElementLeavesTheSiteWindowActive)
{
    StartFromLauncher(m_program, u"launcher-token-1"_s);
    ASSERT_TRUE(m_program.waitForStarted(10000));
    ASSERT_TRUE(WaitForTrace(m_program, m_trace, "window shown: \"Morvalen Desktop: Loopback\""))
        << m_trace.toStdString();
    EXPECT_TRUE(SiteWindowIsActive()) << "active: " << ActiveWindow().toStdString() << "\n"
                                      << m_trace.toStdString();
    EXPECT_TRUE(m_trace.contains("first show shown")) << "the main window shows as well";
}

TEST_F(WaylandProgramTest, ALaunchersStartHandsItsTokenOverAndTheSiteWindowComesActive)
{
    ASSERT_TRUE(ProgramUnderTest::Start(m_program, m_environment, m_options, m_trace))
        << m_trace.toStdString();
    ASSERT_TRUE(WaitForTrace(m_program, m_trace, "active window: \"Morvalen Desktop\""))
        << m_trace.toStdString();

    QProcess launcher;
    StartFromLauncher(launcher, u"launcher-token-2"_s);
    ASSERT_TRUE(launcher.waitForFinished(30000));
    EXPECT_EQ(launcher.exitCode(), 0);
    EXPECT_TRUE(WaitForTrace(m_program, m_trace, "site window to the front with a token"))
        << m_trace.toStdString();
    EXPECT_TRUE(SiteWindowIsActive()) << "active: " << ActiveWindow().toStdString() << "\n"
                                      << m_trace.toStdString();
}
