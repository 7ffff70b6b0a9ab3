// The real program on a real X server with a window manager: a site shortcut's "Element="
// handed to the running program opens the site's window, which loads its page from a
// loopback server; quitting writes the window's placement into the data file. Started as root
// without the sandbox switched off, the program switches it off itself and says so, instead of
// losing Chromium with the first site window.

#include "ProgramUnderTest.h"
#include "sites/SitesDataFile.h"
#include "sites/TMorvalenBaseClass.h"
#include "support/TestHttpServer.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRect>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace Qt::Literals::StringLiterals;
using ProgramUnderTest::ActiveWindowName;
using ProgramUnderTest::WaitForTrace;

namespace {

// The X server's whole screen, as a person sees it.
QImage Screen(const QByteArray& display)
{
    QProcess import;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"DISPLAY"_s, QString::fromLocal8Bit(display));
    import.setProcessEnvironment(environment);
    import.start(u"import"_s, {u"-window"_s, u"root"_s, u"png:-"_s});
    if (!import.waitForFinished(20000))
        return QImage();
    return QImage::fromData(import.readAllStandardOutput(), "PNG");
}

} // namespace

TEST(SiteWindowProgram, AnElementParameterOpensTheSiteWindowAndQuittingStoresItsPlacement)
{
    const QByteArray display = qgetenv("MORVALEN_TEST_X11_DISPLAY");
    if (display.isEmpty())
        GTEST_SKIP() << "skipped: no X server with a window manager (MORVALEN_TEST_X11_DISPLAY is not set)";

    TestHttpServer server;
    server.Serve(u"/site"_s,
                 "<!DOCTYPE html><html><head><title>Loopback page</title></head><body>Hi</body></html>",
                 "text/html");
    QTemporaryDir home;
    const QString data = home.filePath(u"data-folder"_s);
    ProgramUnderTest::SaveSite(data, [&](TMorvalenBaseClass& site) {
        site.SetTitle(u"Loopback"_s);
        site.SetURL(server.Url(u"/site"_s));
        site.SetElementId(u"0123456789ABCDEF0123"_s);
    });

    QProcessEnvironment environment = ProgramUnderTest::Environment(home, display);
    // The test environment switches the sandbox off; as root the program has to do it itself.
    const bool root = ::geteuid() == 0;
    if (root) {
        environment.remove(u"QTWEBENGINE_DISABLE_SANDBOX"_s);
        environment.remove(u"QTWEBENGINE_CHROMIUM_FLAGS"_s);
    }
    const QStringList options{u"--data-folder="_s + data,
                              u"--catalog-server=http://127.0.0.1:%1"_s.arg(TestHttpServer::UnusedPort())};

    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(MORVALEN_DESKTOP_PATH), options);
    ASSERT_TRUE(program.waitForStarted(10000));
    QByteArray trace;
    ASSERT_TRUE(WaitForTrace(program, trace, "first show")) << trace.toStdString();

    // A shortcut starts the program again; the running one opens the site.
    QProcess shortcut;
    shortcut.setProcessEnvironment(environment);
    shortcut.start(QStringLiteral(MORVALEN_DESKTOP_PATH),
                   options + QStringList{u"Element=0123456789ABCDEF0123"_s});
    ASSERT_TRUE(shortcut.waitForFinished(30000));
    EXPECT_TRUE(WaitForTrace(program, trace, "window shown: \"Morvalen Desktop: Loopback\""))
        << trace.toStdString();
    EXPECT_TRUE(WaitForTrace(program, trace, "document complete: \"" + server.Url(u"/site"_s).toUtf8() + '"'))
        << trace.toStdString();
    EXPECT_EQ(server.RequestCount(u"/site"_s), 1);
    // Docks group the window under the site's launchers, whose StartupWMClass names this class.
    const std::optional<QString> named =
        ProgramUnderTest::Xdotool(display, {u"search"_s, u"--name"_s, u"^Morvalen Desktop: Loopback$"_s});
    const std::optional<QString> classed = ProgramUnderTest::Xdotool(
        display, {u"search"_s, u"--class"_s, u"^MorvalenDesktop-0123456789ABCDEF0123$"_s});
    ASSERT_TRUE(named && classed);
    EXPECT_FALSE(classed->isEmpty());
    EXPECT_EQ(*classed, *named);
    // The window the user saw first is the one the page shows in: it was not destroyed and
    // made anew for the engine's drawing.
    EXPECT_EQ(trace.count("native window: \"Morvalen Desktop: Loopback\""), 1) << trace.toStdString();
    EXPECT_EQ(trace.contains("runs as root: site pages run without Chromium's sandbox"), root)
        << trace.toStdString();
    // Opened by a shortcut, not from the tile: no launch is counted.
    program.terminate();
    ASSERT_TRUE(program.waitForFinished(30000));

    const SitesDataFile::LoadResult stored = SitesDataFile::Parse(ReadFile(data + u"/MorvalenDesktop.dat"_s));
    ASSERT_EQ(stored.records.size(), 1u);
    const TWindowPlacementRec& placement = stored.records.front()->WindowPlacement();
    EXPECT_GT(placement.Width, 0);
    EXPECT_GT(placement.Height, 0);
    EXPECT_EQ(stored.records.front()->RunCount(), 0);
}

TEST(SiteWindowProgram, ASiteOfTheWebKitEngineOpensItsPageInTheEnginesHelper)
{
    const QByteArray display = qgetenv("MORVALEN_TEST_X11_DISPLAY");
    if (display.isEmpty())
        GTEST_SKIP() << "skipped: no X server with a window manager (MORVALEN_TEST_X11_DISPLAY is not set)";
    const QString helper =
        QFileInfo(QStringLiteral(MORVALEN_DESKTOP_PATH)).dir().filePath(u"morvalen-webkit-host"_s);
    if (!QFileInfo(helper).isExecutable())
        GTEST_SKIP() << "skipped: morvalen-webkit-host is not built (WebKitGTK development files missing)";

    TestHttpServer server;
    server.Serve(u"/webkit"_s,
                 "<!DOCTYPE html><html><head><title>WebKit page</title></head><body>Hi</body></html>",
                 "text/html");
    // Short: the instance socket lives in it.
    QTemporaryDir home(QDir::tempPath() + u"/mv-XXXXXX"_s);
    const QString data = home.filePath(u"data-folder"_s);
    ProgramUnderTest::SaveSite(data, [&](TMorvalenBaseClass& site) {
        site.SetTitle(u"WebKit site"_s);
        site.SetURL(server.Url(u"/webkit"_s));
        site.SetElementId(u"0123456789ABCDEF0124"_s);
        site.SetBrowserEngine(1);
    });

    QProcess program;
    program.setProcessEnvironment(ProgramUnderTest::Environment(home, display));
    program.start(QStringLiteral(MORVALEN_DESKTOP_PATH),
                  {u"--data-folder="_s + data,
                   u"--catalog-server=http://127.0.0.1:%1"_s.arg(TestHttpServer::UnusedPort()),
                   u"Element=0123456789ABCDEF0124"_s});
    ASSERT_TRUE(program.waitForStarted(10000));
    QByteArray trace;
    EXPECT_TRUE(WaitForTrace(program, trace, "window shown: \"Morvalen Desktop: WebKit site\""))
        << trace.toStdString();
    EXPECT_TRUE(
        WaitForTrace(program, trace, "document complete: \"" + server.Url(u"/webkit"_s).toUtf8() + '"'))
        << trace.toStdString();
    // Started from the site's shortcut, the program shows the site in front, not the catalog.
    if (!QStandardPaths::findExecutable(u"xdotool"_s).isEmpty()) {
        EXPECT_TRUE(WaitUntil([&] {
            return ActiveWindowName(display) == u"Morvalen Desktop: WebKit site"_s;
        })) << ActiveWindowName(display).toStdString();
    }
    // The page is the helper's, which keeps its profile in the data folder.
    const qint64 pid = program.processId();
    QFile children(u"/proc/%1/task/%1/children"_s.arg(pid));
    ASSERT_TRUE(children.open(QIODevice::ReadOnly));
    bool helperRuns = false;
    for (const QByteArray& child : children.readAll().split(' ')) {
        QFile name(u"/proc/%1/comm"_s.arg(QString::fromLatin1(child.trimmed())));
        if (!child.trimmed().isEmpty() && name.open(QIODevice::ReadOnly) &&
            name.readAll().trimmed() == "morvalen-webkit")
            helperRuns = true;
    }
    EXPECT_TRUE(helperRuns);
    EXPECT_TRUE(QFileInfo(data + u"/WebKit"_s).isDir());
    // Only a Chromium window needs OpenGL in the program: without one the driver (Mesa's,
    // with its compiler) is never loaded, which is most of a cold start's time.
    QFile maps(u"/proc/%1/maps"_s.arg(pid));
    ASSERT_TRUE(maps.open(QIODevice::ReadOnly));
    const QByteArray mapped = maps.readAll();
    ASSERT_TRUE(mapped.contains("libQt6Widgets"));
    EXPECT_FALSE(mapped.contains("libGLX_mesa")) << "the OpenGL driver was loaded";
    program.terminate();
    ASSERT_TRUE(program.waitForFinished(30000));
}

TEST(SiteWindowProgram, TwoSitesOfOneServiceStaySignedInAsTwoUsersSideBySide)
{
    const QByteArray display = qgetenv("MORVALEN_TEST_X11_DISPLAY");
    if (display.isEmpty())
        GTEST_SKIP() << "skipped: no X server with a window manager (MORVALEN_TEST_X11_DISPLAY is not set)";

    // A service that signs in whoever has no cookie yet as the user its address names, then
    // asks the server who it is.
    TestHttpServer server;
    const QByteArray page =
        "<!DOCTYPE html><html><head><title>Mail</title></head><body><script>"
        "if (!/user=/.test(document.cookie))"
        "  document.cookie = 'user=' + location.pathname.slice(1) + '; path=/; max-age=3600';"
        "fetch('/whoami?from=' + location.pathname.slice(1));"
        "document.documentElement.style.background = location.pathname == '/bob' ? '#0000c0' : '#00c000';"
        "</script></body></html>";
    server.Serve(u"/ann"_s, page, "text/html");
    server.Serve(u"/bob"_s, page, "text/html");
    server.Serve(u"/whoami"_s, "ok", "text/plain");
    QTemporaryDir home;
    const QString data = home.filePath(u"data-folder"_s);
    QDir().mkpath(data);
    std::vector<std::unique_ptr<TMorvalenBaseClass>> sites;
    for (const QString& user : {u"ann"_s, u"bob"_s}) {
        auto site = std::make_unique<TMorvalenBaseClass>();
        site->SetTitle(u"Mail "_s + user);
        site->SetURL(server.Url(u'/' + user));
        site->SetElementId(u"0123456789ABCDEF0"_s + (user == u"ann"_s ? u"ANN"_s : u"BOB"_s));
        sites.push_back(std::move(site));
    }
    SitesDataFile::Save(data + u"/MorvalenDesktop.dat"_s, sites);
    const QByteArray dataFile = ReadFile(data + u"/MorvalenDesktop.dat"_s);
    WriteFile(data + u"/SiteSettings.ini"_s, "[0123456789ABCDEF0BOB]\nOwnSession=true\n");

    const QProcessEnvironment environment = ProgramUnderTest::Environment(home, display);
    const QStringList options = ProgramUnderTest::Options(data);
    QProcess program;
    QByteArray trace;
    ASSERT_TRUE(ProgramUnderTest::Start(program, environment, options, trace)) << trace.toStdString();
    const auto cookieOf = [&server](const QByteArray& user) {
        QByteArray cookie;
        for (const TestHttpServer::RecordedRequest& request : server.Requests()) {
            if (request.target == "/whoami?from=" + user)
                cookie = request.cookie;
        }
        return cookie;
    };
    for (const QString& id : {u"0123456789ABCDEF0ANN"_s, u"0123456789ABCDEF0BOB"_s}) {
        QProcess shortcut;
        shortcut.setProcessEnvironment(environment);
        shortcut.start(QStringLiteral(MORVALEN_DESKTOP_PATH), options + QStringList{u"Element="_s + id});
        ASSERT_TRUE(shortcut.waitForFinished(30000));
        // One after the other, so that the second would find the first's sign-in if it shared.
        ASSERT_TRUE(
            WaitUntil([&] { return !cookieOf(id.endsWith(u"ANN"_s) ? "ann" : "bob").isEmpty(); }, 30000))
            << trace.toStdString();
    }
    // The window the second start opened, in front, shows its page.
    if (!QStandardPaths::findExecutable(u"import"_s).isEmpty()) {
        EXPECT_TRUE(WaitUntil([&] {
            const QImage image = Screen(display);
            int shown = 0;
            for (int y = 0; y < image.height(); y += 4)
                for (int x = 0; x < image.width(); x += 4)
                    shown += (image.pixel(x, y) & 0xffffff) == 0x0000c0;
            return shown > 10000;
        })) << "the second site's page is not on screen";
    }
    EXPECT_TRUE(cookieOf("ann").contains("user=ann")) << cookieOf("ann").toStdString();
    EXPECT_TRUE(cookieOf("bob").contains("user=bob")) << cookieOf("bob").toStdString();
    EXPECT_FALSE(cookieOf("bob").contains("user=ann")) << "the second account sees nothing of the first";
    EXPECT_TRUE(QFileInfo(data + u"/WebEngine/Sites/0123456789ABCDEF0BOB"_s).isDir());
    program.terminate();
    ASSERT_TRUE(program.waitForFinished(30000));
    // The data file changed only where the windows' placements went.
    const SitesDataFile::LoadResult stored = SitesDataFile::Parse(ReadFile(data + u"/MorvalenDesktop.dat"_s));
    ASSERT_EQ(stored.records.size(), 2u);
    EXPECT_EQ(ReadFile(data + u"/MorvalenDesktop.dat"_s).size(), dataFile.size())
        << "no new bytes in the record";
}

TEST(SiteWindowProgram, AnAlertLoopWaitsInItsTabAndTheSiteWindowStillCloses)
{
    const QByteArray display = qgetenv("MORVALEN_TEST_X11_DISPLAY");
    if (display.isEmpty())
        GTEST_SKIP() << "skipped: no X server with a window manager (MORVALEN_TEST_X11_DISPLAY is not set)";
    if (QStandardPaths::findExecutable(u"xdotool"_s).isEmpty())
        GTEST_SKIP() << "skipped: xdotool is not installed";

    TestHttpServer server;
    server.Serve(u"/alerts"_s,
                 "<!DOCTYPE html><html><head><title>Alerts</title></head><body>"
                 "<script>for (let i = 0; i < 1000; ++i) alert('Message ' + i);</script></body></html>",
                 "text/html");
    QTemporaryDir home(QDir::tempPath() + u"/mv-XXXXXX"_s);
    const QString data = home.filePath(u"data-folder"_s);
    ProgramUnderTest::SaveSite(data, [&](TMorvalenBaseClass& site) {
        site.SetTitle(u"Alerts"_s);
        site.SetURL(server.Url(u"/alerts"_s));
        site.SetElementId(u"0123456789ABCDEF0125"_s);
    });
    QProcess program;
    program.setProcessEnvironment(ProgramUnderTest::Environment(home, display));
    program.start(QStringLiteral(MORVALEN_DESKTOP_PATH),
                  {u"--data-folder="_s + data,
                   u"--catalog-server=http://127.0.0.1:%1"_s.arg(TestHttpServer::UnusedPort()),
                   u"Element=0123456789ABCDEF0125"_s});
    ASSERT_TRUE(program.waitForStarted(10000));
    QByteArray trace;
    ASSERT_TRUE(WaitForTrace(program, trace, "window shown: \"Morvalen Desktop: Alerts\""))
        << trace.toStdString();
    ASSERT_TRUE(WaitUntil([&] { return server.RequestCount(u"/alerts"_s) > 0; }, 30000));
    ProcessEventsFor(2000);

    // Closed as a user closes it, by the window manager, while the page waits for its answer.
    const auto siteWindows = [&] {
        return ProgramUnderTest::Xdotool(display, {u"search"_s, u"--name"_s, u"^Morvalen Desktop: Alerts$"_s})
            .value_or(QString())
            .trimmed();
    };
    const QString window = siteWindows();
    ASSERT_FALSE(window.isEmpty());
    ProgramUnderTest::Xdotool(display, {u"windowactivate"_s, u"--sync"_s, window.section(u'\n', 0, 0)});
    ProgramUnderTest::Xdotool(display, {u"key"_s, u"alt+F4"_s});
    EXPECT_TRUE(WaitUntil([&] { return siteWindows().isEmpty(); }, 20000));
    EXPECT_EQ(program.state(), QProcess::Running);
    program.terminate();
    EXPECT_TRUE(program.waitForFinished(30000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
}

namespace {

// Where a window of that exact title is on the screen, in the screen's pixels.
std::optional<QRect> WindowRect(const QByteArray& display, const QString& title)
{
    const std::optional<QString> found = ProgramUnderTest::Xdotool(
        display, {u"search"_s, u"--onlyvisible"_s, u"--name"_s, u"^"_s + title + u"$"_s});
    if (!found || found->trimmed().isEmpty())
        return std::nullopt;
    const std::optional<QString> shell = ProgramUnderTest::Xdotool(
        display, {u"getwindowgeometry"_s, u"--shell"_s, found->trimmed().split(u'\n').first()});
    if (!shell)
        return std::nullopt;
    QRect rect;
    for (const QString& line : shell->split(u'\n')) {
        const int value = line.section(u'=', 1).toInt();
        if (line.startsWith(u"X="_s))
            rect.moveLeft(value);
        else if (line.startsWith(u"Y="_s))
            rect.moveTop(value);
        else if (line.startsWith(u"WIDTH="_s))
            rect.setWidth(value);
        else if (line.startsWith(u"HEIGHT="_s))
            rect.setHeight(value);
    }
    return rect;
}

std::string Text(const std::optional<QRect>& rect)
{
    if (!rect)
        return "none";
    return QString(u"%1,%2 %3x%4"_s)
        .arg(rect->x())
        .arg(rect->y())
        .arg(rect->width())
        .arg(rect->height())
        .toStdString();
}

} // namespace

// As on a HiDPI laptop: QT_SCALE_FACTOR=2 on the test's 1280 x 1024 screen.
TEST(SiteWindowProgram, AtScaleTwoTheWindowsFitTheScreenAndTheWebKitPageFillsItsWindow)
{
    const QByteArray display = qgetenv("MORVALEN_TEST_X11_DISPLAY");
    if (display.isEmpty())
        GTEST_SKIP() << "skipped: no X server with a window manager (MORVALEN_TEST_X11_DISPLAY is not set)";
    const QString helper =
        QFileInfo(QStringLiteral(MORVALEN_DESKTOP_PATH)).dir().filePath(u"morvalen-webkit-host"_s);
    if (!QFileInfo(helper).isExecutable() || QStandardPaths::findExecutable(u"xdotool"_s).isEmpty() ||
        QStandardPaths::findExecutable(u"import"_s).isEmpty())
        GTEST_SKIP() << "skipped: needs morvalen-webkit-host, xdotool and ImageMagick's import";

    TestHttpServer server;
    server.Serve(
        u"/scaled"_s,
        "<!DOCTYPE html><html><head><title>Scaled page</title>"
        "<style>html,body{margin:0;height:100%;background:#00c000}</style></head><body></body></html>",
        "text/html");
    QTemporaryDir home(QDir::tempPath() + u"/mv-XXXXXX"_s);
    const QString data = home.filePath(u"data-folder"_s);
    ProgramUnderTest::SaveSite(data, [&](TMorvalenBaseClass& site) {
        site.SetTitle(u"Scaled site"_s);
        site.SetURL(server.Url(u"/scaled"_s));
        site.SetElementId(u"0123456789ABCDEF0126"_s);
        site.SetBrowserEngine(1);
    });
    QProcessEnvironment environment = ProgramUnderTest::Environment(home, display);
    environment.insert(u"QT_SCALE_FACTOR"_s, u"2"_s);
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(MORVALEN_DESKTOP_PATH),
                  ProgramUnderTest::Options(data) + QStringList{u"Element=0123456789ABCDEF0126"_s});
    ASSERT_TRUE(program.waitForStarted(10000));
    QByteArray trace;
    ASSERT_TRUE(
        WaitForTrace(program, trace, "document complete: \"" + server.Url(u"/scaled"_s).toUtf8() + '"'))
        << trace.toStdString();

    const QRect screen(0, 0, 1280, 1024);
    std::optional<QRect> main;
    std::optional<QRect> site;
    EXPECT_TRUE(WaitUntil([&] {
        main = WindowRect(display, u"Morvalen Desktop"_s);
        site = WindowRect(display, u"Morvalen Desktop: Scaled site"_s);
        // Sizes only: xdotool counts the window manager's frame into the position twice.
        return main && site && main->width() <= screen.width() && main->height() <= screen.height() &&
               site->width() <= screen.width() && site->height() <= screen.height();
    })) << "main "
        << Text(main) << ", site " << Text(site);
    // The page reaches the window's right edge and its lower part, above the status bar (the
    // window is maximized, at the screen's left).
    ASSERT_TRUE(site);
    const QPoint corner(site->width() - 30, site->height() * 3 / 4);
    QRgb shown = 0;
    EXPECT_TRUE(WaitUntil([&] {
        const QImage image = Screen(display);
        shown = image.isNull() ? 0 : image.pixel(corner) & 0xffffff;
        return shown == 0x00c000;
    })) << std::hex
        << shown;
    program.terminate();
    ASSERT_TRUE(program.waitForFinished(30000));
}
