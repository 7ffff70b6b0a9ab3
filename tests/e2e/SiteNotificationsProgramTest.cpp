// The real program on a real X server with a window manager: a watched site whose page changes
// while another window is active shows the notification window, and a click on its line
// brings the site's window forward; a site's own web notification reaches the notification
// service of the test's own session bus, and its click brings the site's window forward.
// With MORVALEN_TEST_SCREENSHOTS set to a folder, the screen is saved there at each step.

#include "ProgramUnderTest.h"
#include "sites/TMorvalenBaseClass.h"
#include "support/TestHttpServer.h"
#include "support/TestNotificationService.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>

using namespace Qt::Literals::StringLiterals;
using ProgramUnderTest::ActiveWindowName;
using ProgramUnderTest::Xdotool;

namespace {

constexpr char kElementId[] = "0123456789ABCDEF0123";
const QString kSiteWindowTitle = u"Morvalen Desktop: Loopback"_s;

// The screen as it stands, also kept when the run asks for screenshots.
QImage Screen(const QByteArray& display, const QString& name)
{
    QTemporaryDir folder;
    const QString file = folder.filePath(u"screen.png"_s);
    QProcess import;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"DISPLAY"_s, QString::fromLocal8Bit(display));
    import.setProcessEnvironment(environment);
    import.start(u"import"_s, {u"-window"_s, u"root"_s, file});
    import.waitForFinished(20000);
    const QString keep = qEnvironmentVariable("MORVALEN_TEST_SCREENSHOTS");
    if (!keep.isEmpty()) {
        QDir().mkpath(keep);
        QFile::remove(QDir(keep).filePath(name + u".png"_s));
        QFile::copy(file, QDir(keep).filePath(name + u".png"_s));
    }
    return QImage(file);
}

// The site's data folder and the program started on it, with its trace gathered while the
// test's own events (the notification service) run.
class SiteNotificationsProgram : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_display = qgetenv("MORVALEN_TEST_X11_DISPLAY");
        if (m_display.isEmpty())
            GTEST_SKIP()
                << "skipped: no X server with a window manager (MORVALEN_TEST_X11_DISPLAY is not set)";
        if (QStandardPaths::findExecutable(u"xdotool"_s).isEmpty() ||
            QStandardPaths::findExecutable(u"import"_s).isEmpty())
            GTEST_SKIP() << "skipped: xdotool or import (ImageMagick) is missing";
    }

    void TearDown() override
    {
        for (QProcess* program : {&m_shortcut, &m_program}) {
            if (program->state() == QProcess::NotRunning)
                continue;
            program->terminate();
            if (!program->waitForFinished(30000))
                program->kill();
        }
    }

    void StartProgram(const QString& page, const QString& busAddress = {})
    {
        const QString data = m_home.filePath(u"data-folder"_s);
        ProgramUnderTest::SaveSite(data, [&](TMorvalenBaseClass& site) {
            site.SetTitle(u"Loopback"_s);
            site.SetURL(m_server.Url(page));
            site.SetElementId(QString::fromLatin1(kElementId));
            site.SetMonitorChanges(true);
        });

        QProcessEnvironment environment = ProgramUnderTest::Environment(m_home, m_display);
        environment.insert(u"MORVALEN_TEST_MONITOR_MS"_s, u"500,500"_s);
        // Without a bus of the test's own, none at all: never the desktop's.
        environment.insert(u"DBUS_SESSION_BUS_ADDRESS"_s,
                           busAddress.isEmpty() ? u"unix:path=/nonexistent"_s : busAddress);
        environment.insert(
            u"QT_LOGGING_RULES"_s,
            u"morvalen.window.debug=true\nmorvalen.browser.debug=true\nmorvalen.notify.debug=true"_s);
        const QStringList options{u"--data-folder="_s + data, u"--catalog-server=http://127.0.0.1:%1"_s.arg(
                                                                  TestHttpServer::UnusedPort())};
        m_program.setProcessEnvironment(environment);
        m_program.start(QStringLiteral(MORVALEN_DESKTOP_PATH), options);
        ASSERT_TRUE(m_program.waitForStarted(10000));
        ASSERT_TRUE(WaitForTrace("first show")) << m_trace.toStdString();

        // The site opens as from its shortcut.
        m_shortcut.setProcessEnvironment(environment);
        m_shortcut.start(QStringLiteral(MORVALEN_DESKTOP_PATH),
                         options + QStringList{u"Element="_s + QString::fromLatin1(kElementId)});
        ASSERT_TRUE(m_shortcut.waitForFinished(30000));
        ASSERT_TRUE(WaitForTrace("window shown: \"" + kSiteWindowTitle.toUtf8() + '"'))
            << m_trace.toStdString();
        ASSERT_TRUE(WaitForTrace("document complete: \"" + m_server.Url(page).toUtf8() + '"'))
            << m_trace.toStdString();
    }

    bool WaitForTrace(const QByteArray& text, int timeoutMs = 60000)
    {
        return ProgramUnderTest::WaitForTrace(m_program, m_trace, text, timeoutMs);
    }

    // Another of the program's windows takes the focus: the main window.
    void ActivateMainWindow()
    {
        const std::optional<QString> main =
            Xdotool(m_display, {u"search"_s, u"--onlyvisible"_s, u"--name"_s, u"^Morvalen Desktop$"_s});
        ASSERT_TRUE(main && !main->isEmpty());
        Xdotool(m_display, {u"windowactivate"_s, u"--sync"_s, main->split(u'\n').first()});
        ASSERT_TRUE(WaitUntil([&] { return ActiveWindowName(m_display) == u"Morvalen Desktop"_s; }));
    }

    QByteArray m_display;
    // Short: the instance socket lives in it, and socket paths are short.
    QTemporaryDir m_home{QDir::tempPath() + u"/mv-XXXXXX"_s};
    TestHttpServer m_server;
    QProcess m_program;
    QProcess m_shortcut;
    QByteArray m_trace;
};

} // namespace

TEST_F(SiteNotificationsProgram, AWatchedPageChangedInTheBackgroundIsAnnouncedAndItsLineShowsTheSite)
{
    // The page shows what the server says, asking again and again, as a mail site would.
    m_server.Serve(u"/text"_s, "first text", "text/plain");
    m_server.Serve(
        u"/watched"_s,
        "<!DOCTYPE html><html><head><title>Watched page</title></head><body><div id='t'>first text</div>"
        "<script>setInterval(function () { fetch('/text?' + Math.random()).then(function (r) {"
        " return r.text(); }).then(function (t) { document.getElementById('t').textContent = t; });"
        " }, 200);</script></body></html>",
        "text/html");
    ASSERT_NO_FATAL_FAILURE(StartProgram(u"/watched"_s));
    ASSERT_TRUE(WaitUntil([&] { return ActiveWindowName(m_display) == kSiteWindowTitle; }));
    ASSERT_NO_FATAL_FAILURE(ActivateMainWindow());
    // The monitor takes its baseline when the window goes to the background; the page changes
    // after that.
    ProcessEventsFor(1500);
    EXPECT_FALSE(m_trace.contains("site changed:"));
    m_server.Serve(u"/text"_s, "the second text, longer than the first", "text/plain");
    ASSERT_TRUE(WaitForTrace("site changed: \"Loopback\"", 30000)) << m_trace.toStdString();

    std::optional<QString> window;
    ASSERT_TRUE(WaitUntil([&] {
        window = Xdotool(m_display, {u"search"_s, u"--onlyvisible"_s, u"--name"_s, u"^Site changed...$"_s});
        return window && !window->isEmpty();
    }));
    // Fully faded in, it stays in front of the still active main window.
    ProcessEventsFor(1500);
    Screen(m_display, u"tray-notification"_s);
    EXPECT_EQ(u"Morvalen Desktop"_s, ActiveWindowName(m_display));

    const std::optional<QString> geometry =
        Xdotool(m_display, {u"getwindowgeometry"_s, u"--shell"_s, window->split(u'\n').first()});
    ASSERT_TRUE(geometry);
    int x = 0;
    int y = 0;
    for (const QString& line : geometry->split(u'\n')) {
        if (line.startsWith(u"X="_s))
            x = line.mid(2).toInt();
        if (line.startsWith(u"Y="_s))
            y = line.mid(2).toInt();
    }
    // The site's name on the first line is its link.
    Xdotool(m_display, {u"mousemove"_s, u"--sync"_s, QString::number(x + 48), QString::number(y + 68),
                        u"click"_s, u"1"_s});
    EXPECT_TRUE(WaitForTrace("line clicked:")) << geometry->toStdString();
    EXPECT_TRUE(WaitUntil([&] { return ActiveWindowName(m_display) == kSiteWindowTitle; }))
        << ActiveWindowName(m_display).toStdString() << m_trace.toStdString();
    Screen(m_display, u"tray-notification-clicked"_s);

    // After an announced change, with the site window and the notification window open and
    // the page still changing, "Exit" ends the process.
    ASSERT_NO_FATAL_FAILURE(ActivateMainWindow());
    Xdotool(m_display, {u"key"_s, u"alt+x"_s});
    ASSERT_TRUE(WaitUntil([&] { return ActiveWindowName(m_display) == u"Quit Morvalen Desktop"_s; }))
        << ActiveWindowName(m_display).toStdString();
    Xdotool(m_display, {u"key"_s, u"Return"_s});
    ASSERT_TRUE(m_program.waitForFinished(15000)) << m_trace.toStdString();
    EXPECT_EQ(m_program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(m_program.exitCode(), 0);
}

TEST_F(SiteNotificationsProgram, SigtermEndsTheProgramWithTheSiteAndNotificationWindowsOpen)
{
    m_server.Serve(u"/growing"_s,
                   "<!DOCTYPE html><html><head><title>Growing page</title></head><body><p id='t'>x</p>"
                   "<script>setInterval(function () { document.getElementById('t').textContent += ' more';"
                   " }, 300);</script></body></html>",
                   "text/html");
    ASSERT_NO_FATAL_FAILURE(StartProgram(u"/growing"_s));
    ASSERT_NO_FATAL_FAILURE(ActivateMainWindow());
    ASSERT_TRUE(WaitForTrace("site changed: \"Loopback\"", 30000)) << m_trace.toStdString();
    ASSERT_TRUE(WaitUntil([&] {
        const std::optional<QString> window =
            Xdotool(m_display, {u"search"_s, u"--onlyvisible"_s, u"--name"_s, u"^Site changed...$"_s});
        return window && !window->isEmpty();
    }));
    m_program.terminate();
    ASSERT_TRUE(m_program.waitForFinished(15000)) << m_trace.toStdString();
    EXPECT_EQ(m_program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(m_program.exitCode(), 0);
    EXPECT_TRUE(m_trace.contains("destroyed") || m_program.readAllStandardError().contains("destroyed"));
}

TEST_F(SiteNotificationsProgram, ASitesWebNotificationReachesTheDesktopServiceAndItsClickShowsTheSite)
{
    TestNotificationService service;
    if (!service.Running())
        GTEST_SKIP() << "skipped: dbus-daemon is missing";
    m_server.Serve(u"/notify"_s,
                   "<!DOCTYPE html><html><head><title>Mail</title></head><body><p>Mail</p><script>"
                   "Notification.requestPermission().then(function (answer) {"
                   "  if (answer === 'granted') new Notification('New message', {body: 'From the test'});"
                   "});</script></body></html>",
                   "text/html");
    ASSERT_NO_FATAL_FAILURE(StartProgram(u"/notify"_s, service.Address()));

    // The site asks; the user allows it in the window's permission bar (the bar's two buttons
    // stand at its right end: "Allow", then "Deny").
    const QRgb barColor = qRgb(0xFF, 0xF8, 0xDC);
    QImage screen;
    int barRow = -1;
    ASSERT_TRUE(WaitUntil(
        [&] {
            screen = Screen(m_display, u"web-notification-permission"_s);
            for (int row = 0; row < screen.height() && barRow < 0; ++row)
                if (screen.pixel(screen.width() / 2, row) == barColor)
                    barRow = row;
            return barRow >= 0;
        },
        30000));
    int barBottom = barRow;
    while (barBottom + 1 < screen.height() && screen.pixel(screen.width() / 2, barBottom + 1) == barColor)
        ++barBottom;
    const int middle = (barRow + barBottom) / 2;
    // Runs of button pixels along the bar's middle, from the right: Deny, then Allow.
    int right = screen.width() - 1;
    while (right > 0 && screen.pixel(right, middle) != barColor)
        --right;
    int runs = 0;
    int allowX = -1;
    bool inButton = false;
    int runEnd = 0;
    for (int column = right; column > 0 && allowX < 0; --column) {
        const bool button = screen.pixel(column, middle) != barColor;
        if (button && !inButton)
            runEnd = column;
        if (!button && inButton && ++runs == 2)
            allowX = (column + runEnd) / 2;
        inButton = button;
    }
    ASSERT_GT(allowX, 0);
    Xdotool(m_display, {u"mousemove"_s, u"--sync"_s, QString::number(allowX), QString::number(middle),
                        u"click"_s, u"1"_s});

    ASSERT_TRUE(WaitUntil([&] { return !service.Notifications().empty(); }, 30000)) << m_trace.toStdString();
    const TestNotificationService::Shown shown = service.Notifications().front();
    EXPECT_EQ(u"Loopback"_s, shown.AppName);
    EXPECT_EQ(u"New message"_s, shown.Summary);
    EXPECT_EQ(u"From the test"_s, shown.Body);

    ASSERT_NO_FATAL_FAILURE(ActivateMainWindow());
    service.Click(shown.Id);
    EXPECT_TRUE(WaitForTrace("desktop notification clicked:")) << m_trace.toStdString();
    EXPECT_TRUE(WaitUntil([&] { return ActiveWindowName(m_display) == kSiteWindowTitle; }))
        << ActiveWindowName(m_display).toStdString();
    Screen(m_display, u"web-notification-clicked"_s);
}
