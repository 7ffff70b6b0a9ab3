// The memory of sleeping site windows: ten site windows on the Chromium engine, each on its
// own page of an in-process loopback server; the memory (proportional set size of this
// process and every process it started) with two of them open, with all ten, and once nine
// of them have been hidden for the sleep delay and put their pages to sleep. The goal: the
// ten with nine asleep cost at most the two awake plus 10 MiB per sleeping window. Hidden, a
// window whose pages all sleep gives up its native window too.
//
// usage: morvalen-bench-hibernation DATA_FOLDER

#include "ProcessMemory.h"
#include "browser/BrowserFrames.h"
#include "browser/TBrowserTab.h"
#include "browser/TCustomInternetBrowserWindow.h"
#include "browser/TfrmInternetBrowser.h"
#include "platform/FreedMemory.h"
#include "sites/TSiteSettings.h"
#include "support/TestHttpServer.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QDir>

#include <cstdio>
#include <vector>

namespace {

constexpr int kWindows = 10;

// After the engine has had time to give back what it freed (and the windows, what their
// sleeping pages left, which they do up to eight seconds after).
double SettledMiB(int waitMs = 3000)
{
    WaitUntil([] { return false; }, waitMs);
    return double(TreePssKb(int(QCoreApplication::applicationPid()))) / 1024.0;
}

} // namespace

int main(int argc, char** argv)
{
    // As the program does.
    ReuseFreedMemory();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DATA_FOLDER\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    BrowserFrames::SetDataFolder(folder);
    QFile::remove(QDir(folder).filePath(QStringLiteral("SiteSettings.ini")));
    TSiteSettings settings(QDir(folder).filePath(QStringLiteral("SiteSettings.ini")));
    // Two seconds: the bench measures what sleeping saves, not how long the program waits.
    settings.SetValue(QStringLiteral("General"), QStringLiteral("HibernateAfterMinutes"),
                      QStringLiteral("0.034"));

    TestHttpServer server;
    std::vector<TCustomInternetBrowserWindow*> windows;
    const auto open = [&](int index) {
        const QString path = QStringLiteral("/site%1").arg(index);
        // A page that keeps some script state, as a web application's would.
        server.Serve(
            path,
            QStringLiteral("<!DOCTYPE html><title>Site %1</title><body><canvas id=c width=800 height=600>"
                           "</canvas><script>window.state=Array.from({length:200000},(_, i)=>'item'+i);"
                           "document.getElementById('c').getContext('2d').fillRect(0,0,800,600);"
                           "</script></body>")
                .arg(index)
                .toUtf8(),
            "text/html");
        auto* window = new TCustomInternetBrowserWindow;
        window->SetSiteSettings(&settings, QStringLiteral("SITE%1").arg(index));
        window->SetSiteTitle(QStringLiteral("Site %1").arg(index));
        window->SetStartURL(server.Url(path));
        window->resize(800, 600);
        window->show();
        windows.push_back(window);
    };
    const auto loaded = [&] {
        for (int index = 0; index < int(windows.size()); ++index)
            if (!windows[index]->PagesOpened() ||
                windows[index]->Tab(0)->Frame()->Title() != QStringLiteral("Site %1").arg(index))
                return false;
        return true;
    };

    for (int index = 0; index < 2; ++index)
        open(index);
    if (!WaitUntil(loaded, 60000))
        return 1;
    const double two = SettledMiB();
    for (int index = 2; index < kWindows; ++index)
        open(index);
    if (!WaitUntil(loaded, 60000))
        return 1;
    const double ten = SettledMiB();
    for (int index = 1; index < kWindows; ++index)
        windows[index]->hide();
    if (!WaitUntil(
            [&] {
                for (int index = 1; index < kWindows; ++index)
                    if (!windows[index]->Sleeping())
                        return false;
                return true;
            },
            60000))
        return 1;
    const double asleep = SettledMiB(9000);
    const double goal = two + 10.0 * (kWindows - 1);
    std::printf("2 windows awake:           %7.1f MiB\n", two);
    std::printf("10 windows awake:          %7.1f MiB\n", ten);
    std::printf(
        "10 windows, 9 asleep:      %7.1f MiB (goal at most %.1f: 2 awake + 10 MiB per sleeping one) %s\n",
        asleep, goal, asleep <= goal ? "met" : "NOT MET");
    std::fflush(stdout);
    for (TCustomInternetBrowserWindow* window : windows)
        delete window;
    return 0;
}
