// The real program on a real X server with a window manager and a real notification area: an
// XEmbed host (Debian's trayer) and a StatusNotifierItem host (status-notifier-watcher with
// gtk-sni-tray-standalone) on a session bus of the test's own, and no host at all. The window
// hidden by its close button comes back by a click on the icon, by the icon's menu and by a
// second start; without a host the close button never hides it.
// With MORVALEN_TEST_SCREENSHOTS set to a folder, the screen is saved there at each step.

#include "ProgramUnderTest.h"
#include "support/TestHttpServer.h"
#include "support/TestNotificationService.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QPoint>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <vector>

using namespace Qt::Literals::StringLiterals;
using ProgramUnderTest::Xdotool;

namespace {

struct WindowBox
{
    QString id;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

class TrayProgram : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_display = qgetenv("MORVALEN_TEST_X11_DISPLAY");
        if (m_display.isEmpty())
            GTEST_SKIP()
                << "skipped: no X server with a window manager (MORVALEN_TEST_X11_DISPLAY is not set)";
        if (QStandardPaths::findExecutable(u"xdotool"_s).isEmpty())
            GTEST_SKIP() << "skipped: xdotool is missing";
        if (!m_bus.Running())
            GTEST_SKIP() << "skipped: dbus-daemon is missing";
    }

    void TearDown() override
    {
        for (QProcess* process : {&m_program, &m_host, &m_watcher}) {
            if (process->state() == QProcess::NotRunning)
                continue;
            process->terminate();
            if (!process->waitForFinished(20000))
                process->kill();
        }
    }

    QProcessEnvironment HelperEnvironment() const
    {
        QProcessEnvironment environment = ProgramUnderTest::Environment(m_home, m_display);
        // Never the desktop's bus: a host there would answer for the one under test.
        environment.insert(u"DBUS_SESSION_BUS_ADDRESS"_s, m_bus.Address());
        return environment;
    }

    // Starts a tray host; false (with the test skipped) when it is not installed.
    bool StartHelper(QProcess& process, const QString& program, const QStringList& arguments)
    {
        if (QStandardPaths::findExecutable(program).isEmpty())
            return false;
        process.setProcessEnvironment(HelperEnvironment());
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.setStandardOutputFile(QProcess::nullDevice());
        process.start(program, arguments);
        return process.waitForStarted(10000);
    }

    QStringList Options() const
    {
        return {u"--data-folder="_s + m_home.filePath(u"data-folder"_s),
                u"--catalog-server=http://127.0.0.1:%1"_s.arg(TestHttpServer::UnusedPort())};
    }

    void StartProgram()
    {
        m_program.setProcessEnvironment(HelperEnvironment());
        m_program.start(QStringLiteral(MORVALEN_DESKTOP_PATH), Options());
        ASSERT_TRUE(m_program.waitForStarted(10000));
        ASSERT_TRUE(WaitForTrace("first show shown")) << m_trace.toStdString();
    }

    // A start from the menu entry: no parameters, only the options of this run.
    void StartAgain()
    {
        QProcess second;
        second.setProcessEnvironment(HelperEnvironment());
        second.start(QStringLiteral(MORVALEN_DESKTOP_PATH), Options());
        ASSERT_TRUE(second.waitForFinished(30000));
        EXPECT_EQ(second.exitCode(), 0);
    }

    bool WaitForTrace(const QByteArray& text, int timeoutMs = 60000)
    {
        return ProgramUnderTest::WaitForTrace(m_program, m_trace, text, timeoutMs);
    }

    // The windows named name (a pattern), with their places; only those on screen with visible.
    std::vector<WindowBox> Windows(const QString& name, bool visible = true) const
    {
        std::vector<WindowBox> boxes;
        QStringList search{u"search"_s};
        if (visible)
            search.append(u"--onlyvisible"_s);
        const std::optional<QString> ids = Xdotool(m_display, search + QStringList{u"--name"_s, name});
        if (!ids)
            return boxes;
        for (const QString& id : ids->split(u'\n', Qt::SkipEmptyParts)) {
            const std::optional<QString> shell =
                Xdotool(m_display, {u"getwindowgeometry"_s, u"--shell"_s, id});
            if (!shell)
                continue;
            WindowBox box{id};
            for (const QString& line : shell->split(u'\n')) {
                const QString value = line.section(u'=', 1);
                if (line.startsWith(u"X="_s))
                    box.x = value.toInt();
                else if (line.startsWith(u"Y="_s))
                    box.y = value.toInt();
                else if (line.startsWith(u"WIDTH="_s))
                    box.width = value.toInt();
                else if (line.startsWith(u"HEIGHT="_s))
                    box.height = value.toInt();
            }
            boxes.push_back(box);
        }
        return boxes;
    }

    // The main window on screen: the XEmbed icon carries the same name, but is small.
    std::optional<WindowBox> MainWindow() const
    {
        for (const WindowBox& box : Windows(u"^Morvalen Desktop$"_s))
            if (box.width > 300)
                return box;
        return std::nullopt;
    }

    // The user closes the main window with the window manager's close key.
    void CloseMainWindow()
    {
        std::optional<WindowBox> main;
        ASSERT_TRUE(WaitUntil([&] { return (main = MainWindow()).has_value(); }));
        Xdotool(m_display, {u"windowactivate"_s, u"--sync"_s, main->id});
        Xdotool(m_display, {u"key"_s, u"alt+F4"_s});
    }

    void Click(int x, int y, int button)
    {
        // As a person clicks: not within the same instant the window went.
        ProcessEventsFor(500);
        // No --sync: it waits for a motion that never comes when the pointer is already there.
        Xdotool(m_display, {u"mousemove"_s, QString::number(x), QString::number(y), u"click"_s,
                            QString::number(button)});
    }

    void Screen(const QString& name)
    {
        const QString keep = qEnvironmentVariable("MORVALEN_TEST_SCREENSHOTS");
        if (keep.isEmpty())
            return;
        QDir().mkpath(keep);
        QProcess import;
        import.setProcessEnvironment(HelperEnvironment());
        import.start(u"import"_s, {u"-window"_s, u"root"_s, QDir(keep).filePath(name + u".png"_s)});
        import.waitForFinished(20000);
    }

    // Hidden to the tray, the window comes back by a click on the icon, by the icon's menu
    // (with menuKeys: its default item) and by a start from the menu entry.
    void CheckTheWindowComesBack(const std::function<std::optional<QPoint>()>& icon, const QString& host,
                                 bool menuKeys)
    {
        std::optional<QPoint> place;
        ASSERT_TRUE(WaitUntil([&] { return (place = icon()).has_value(); }, 20000))
            << "no icon on " << host.toStdString();

        ASSERT_NO_FATAL_FAILURE(CloseMainWindow());
        ASSERT_TRUE(WaitForTrace("hidden to tray")) << m_trace.toStdString();
        ASSERT_TRUE(WaitUntil([&] { return !MainWindow(); }));
        m_trace.clear();
        Click(place->x(), place->y(), 1);
        ASSERT_TRUE(WaitForTrace("shown from tray", 20000)) << host.toStdString() << m_trace.toStdString();
        EXPECT_TRUE(WaitUntil([&] { return MainWindow().has_value(); }));

        // A StatusNotifierItem host draws the menu itself, each in its own way; over XEmbed it
        // is the program's own.
        if (menuKeys) {
            ASSERT_NO_FATAL_FAILURE(CloseMainWindow());
            ASSERT_TRUE(WaitUntil([&] { return !MainWindow(); }));
            m_trace.clear();
            Click(place->x(), place->y(), 3);
            ProcessEventsFor(1500);
            Screen(u"tray-menu-"_s + host);
            // The menu's default item, "Show MorvalenPro", is its last.
            Xdotool(m_display, {u"key"_s, u"Up"_s});
            Xdotool(m_display, {u"key"_s, u"Return"_s});
            ASSERT_TRUE(WaitForTrace("shown from tray", 20000))
                << host.toStdString() << m_trace.toStdString();
            EXPECT_TRUE(WaitUntil([&] { return MainWindow().has_value(); }));
        }

        ASSERT_NO_FATAL_FAILURE(CloseMainWindow());
        ASSERT_TRUE(WaitUntil([&] { return !MainWindow(); }));
        ASSERT_NO_FATAL_FAILURE(StartAgain());
        EXPECT_TRUE(WaitForTrace("second start without parameters")) << m_trace.toStdString();
        EXPECT_TRUE(WaitUntil([&] { return MainWindow().has_value(); }));
    }

    QByteArray m_display;
    // Short: the instance socket lives in it, and socket paths are short.
    QTemporaryDir m_home{QDir::tempPath() + u"/mv-XXXXXX"_s};
    TestNotificationService m_bus{false};
    QProcess m_watcher;
    QProcess m_host;
    QProcess m_program;
    QByteArray m_trace;
};

} // namespace

TEST_F(TrayProgram, OnAnXEmbedHostTheHiddenWindowComesBackByClickMenuAndSecondStart)
{
    if (!StartHelper(m_host, u"trayer"_s,
                     {u"--edge"_s, u"top"_s, u"--align"_s, u"right"_s, u"--widthtype"_s, u"request"_s,
                      u"--height"_s, u"32"_s, u"--SetDockType"_s, u"true"_s, u"--transparent"_s, u"false"_s}))
        GTEST_SKIP() << "skipped: trayer is missing";
    ASSERT_TRUE(WaitUntil([&] { return !Windows(u"^panel$"_s, false).empty(); }));
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    // The panel is as wide as its icons ask: the program's is the only one.
    ASSERT_NO_FATAL_FAILURE(CheckTheWindowComesBack(
        [&]() -> std::optional<QPoint> {
            for (const WindowBox& box : Windows(u"^panel$"_s, false))
                if (box.width >= 16)
                    return QPoint(box.x + box.width / 2, box.y + box.height / 2);
            return std::nullopt;
        },
        u"xembed"_s, true));
}

TEST_F(TrayProgram, OnAStatusNotifierHostTheHiddenWindowComesBackByClickMenuAndSecondStart)
{
    if (!StartHelper(m_watcher, u"status-notifier-watcher"_s, {}))
        GTEST_SKIP() << "skipped: status-notifier-watcher is missing";
    ProcessEventsFor(1000);
    if (!StartHelper(m_host, u"gtk-sni-tray-standalone"_s, {}))
        GTEST_SKIP() << "skipped: gtk-sni-tray-standalone is missing";
    // The host's bar along the top of the screen, where the items' icons line up from the left.
    ASSERT_TRUE(WaitUntil([&] {
        for (const WindowBox& box : Windows(u"^gtk-sni-tray-standalone$"_s))
            if (box.width > 300)
                return true;
        return false;
    }));
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    ASSERT_NO_FATAL_FAILURE(CheckTheWindowComesBack(
        [&]() -> std::optional<QPoint> {
            // The host shows an item once it has read it: the program's tooltip has reached it.
            if (!m_trace.contains("first show"))
                return std::nullopt;
            for (const WindowBox& box : Windows(u"^gtk-sni-tray-standalone$"_s))
                if (box.width > 300)
                    return QPoint(box.x + box.height / 2, box.y + box.height / 2);
            return std::nullopt;
        },
        u"statusnotifier"_s, false));
}

TEST_F(TrayProgram, WithoutAHostTheCloseButtonAsksToQuitAndHidesNothing)
{
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    ASSERT_NO_FATAL_FAILURE(CloseMainWindow());
    std::vector<WindowBox> question;
    ASSERT_TRUE(WaitUntil([&] { return !(question = Windows(u"^Quit Morvalen Desktop$"_s)).empty(); }))
        << m_trace.toStdString();
    EXPECT_FALSE(m_trace.contains("hidden to tray"));
    // "No" keeps the window on screen; "Yes" ends the program.
    Xdotool(m_display, {u"windowactivate"_s, u"--sync"_s, question.front().id});
    Xdotool(m_display, {u"key"_s, u"Escape"_s});
    ASSERT_TRUE(WaitUntil([&] { return Windows(u"^Quit Morvalen Desktop$"_s).empty(); }));
    EXPECT_TRUE(MainWindow().has_value());
    ASSERT_NO_FATAL_FAILURE(CloseMainWindow());
    ASSERT_TRUE(WaitUntil([&] { return !(question = Windows(u"^Quit Morvalen Desktop$"_s)).empty(); }));
    Xdotool(m_display, {u"windowactivate"_s, u"--sync"_s, question.front().id});
    Xdotool(m_display, {u"key"_s, u"Return"_s});
    ASSERT_TRUE(m_program.waitForFinished(15000)) << m_trace.toStdString();
    EXPECT_EQ(m_program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(m_program.exitCode(), 0);
}
