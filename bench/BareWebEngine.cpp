// The yardstick of browser-start.py: the smallest Qt WebEngine program that shows a page in a
// window. Each line "open URL" on standard input opens one more window on URL.

#include <QApplication>
#include <QSocketNotifier>
#include <QUrl>
#include <QWebEngineView>

#include <cstdio>
#include <unistd.h>

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s URL\n", argv[0]);
        return 2;
    }
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    const auto open = [](const QUrl& url) {
        auto* view = new QWebEngineView;
        view->setAttribute(Qt::WA_DeleteOnClose);
        view->resize(1024, 768);
        view->load(url);
        view->show();
    };
    open(QUrl::fromUserInput(QString::fromLocal8Bit(argv[1])));
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &application, [&] {
        char line[4096];
        const ssize_t length = ::read(STDIN_FILENO, line, sizeof line - 1);
        if (length <= 0) {
            input.setEnabled(false);
            return;
        }
        line[length] = '\0';
        const QByteArray text = QByteArray(line).trimmed();
        if (text.startsWith("open "))
            open(QUrl::fromUserInput(QString::fromUtf8(text.mid(5))));
    });
    return application.exec();
}
