// The change monitor's measure of a page (PageTextLength run as a page script in the Chromium
// frame the site windows use) on a page of 1 MB of text with a same-origin iframe: the time
// the program's main thread spends per measure (its CPU time from asking to the answer) and
// the time to the answer. Prints the medians. Goal: under 20 ms of main-thread time.
//
// usage: morvalen-bench-page-text [MEASURES]   (default 21; QT_QPA_PLATFORM=offscreen works)

#include "../tests/support/TestHttpServer.h"
#include "browser/BrowserFrames.h"
#include "browser/PageTextLength.h"
#include "browser/TfrmInternetBrowser.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace {

QByteArray Page(qint64 size)
{
    QByteArray page = "<!DOCTYPE html><html><head><meta charset='utf-8'><title>Large</title></head><body>"
                      "<iframe src='/inner'></iframe>";
    for (int i = 0; page.size() < size; ++i)
        page += "<p>Paragraph " + QByteArray::number(i) +
                " of a long page, with words and \xc3\xa9t\xc3\xa9.</p>";
    return page + "</body></html>";
}

double ThreadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    const int measures = argc > 1 ? std::max(1, atoi(argv[1])) : 21;
    QTemporaryDir data;
    BrowserFrames::SetDataFolder(data.path());
    TestHttpServer server;
    const QByteArray page = Page(1000 * 1000);
    server.Serve(u"/large"_s, page, "text/html");
    server.Serve(u"/inner"_s, "<!DOCTYPE html><html><body><p>The inner frame.</p></body></html>",
                 "text/html");

    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    window.resize(1024, 768);
    window.show();
    TfrmInternetBrowser* frame = BrowserFrames::Create(0, &window);
    layout->addWidget(frame);
    QEventLoop loaded;
    QObject::connect(frame, &TfrmInternetBrowser::DocumentCompleted, &loaded, &QEventLoop::quit);
    frame->Navigate(server.Url(u"/large"_s));
    loaded.exec();

    std::vector<double> cpu;
    std::vector<double> wall;
    int64_t length = -1;
    for (int i = 0; i <= measures; ++i) {
        QEventLoop answered;
        QElapsedTimer clock;
        const double cpuBefore = ThreadCpuMs();
        clock.start();
        frame->RunPageScript(PageTextLength::Script(), [&](const QVariant& value) {
            length = PageTextLength::FromResult(value);
            answered.quit();
        });
        answered.exec();
        if (i > 0) { // the first one compiles the script
            cpu.push_back(ThreadCpuMs() - cpuBefore);
            wall.push_back(double(clock.nsecsElapsed()) / 1e6);
        }
    }
    std::printf("page of %lld bytes, measured text length %lld bytes\n", static_cast<long long>(page.size()),
                static_cast<long long>(length));
    std::printf("main thread per measure   %6.2f ms CPU (median of %d; goal under 20 ms)\n", Median(cpu),
                measures);
    std::printf("measure to its answer     %6.2f ms (median)\n", Median(wall));
    return length > 0 ? 0 : 1;
}
