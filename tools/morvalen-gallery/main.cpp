// morvalen-gallery: every control of the program in one window, for design review.
// --screenshot FILE renders the window off-screen into a PNG file and ends.

#include "DialogSamples.h"
#include "GalleryWindow.h"

#include <QApplication>
#include <QFont>
#include <QPixmap>

#include <cstdio>
#include <cstring>

int main(int argc, char* argv[])
{
    const char* screenshot = nullptr;
    const char* dialogName = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--screenshot") == 0 && i + 1 < argc) {
            screenshot = argv[++i];
        } else if (std::strcmp(argv[i], "--dialog") == 0 && i + 1 < argc) {
            dialogName = argv[++i];
        } else if (std::strcmp(argv[i], "--help") == 0) {
            std::puts("Usage: morvalen-gallery [--dialog NAME] [--screenshot FILE]");
            return 0;
        } else {
            std::fprintf(stderr, "Usage: morvalen-gallery [--dialog NAME] [--screenshot FILE]\n");
            return 2;
        }
    }
    // A screenshot needs no display.
    if (screenshot && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    QApplication application(argc, argv);
    QApplication::setFont(QFont(QStringLiteral("Tahoma"), 8));
    if (dialogName) {
        // One dialog alone, shown or grabbed.
        QWidget* dialog = DialogSamples::Make(QString::fromLocal8Bit(dialogName));
        if (!dialog) {
            std::fprintf(stderr, "morvalen-gallery: no dialog \"%s\"; one of: %s.\n", dialogName,
                         qPrintable(DialogSamples::Names().join(u", ")));
            return 2;
        }
        dialog->show();
        if (!screenshot)
            return QApplication::exec();
        QApplication::processEvents();
        const bool saved = dialog->grab().save(QString::fromLocal8Bit(screenshot), "PNG");
        delete dialog;
        if (!saved) {
            std::fprintf(stderr, "morvalen-gallery: cannot write \"%s\".\n", screenshot);
            return 1;
        }
        return 0;
    }
    GalleryWindow window(screenshot != nullptr);
    window.resize(1180, 1560);
    if (!screenshot) {
        window.show();
        return QApplication::exec();
    }
    window.show();
    QApplication::processEvents();
    const QPixmap picture = window.grab();
    if (!picture.save(QString::fromLocal8Bit(screenshot), "PNG")) {
        std::fprintf(stderr, "morvalen-gallery: cannot write \"%s\".\n", screenshot);
        return 1;
    }
    return 0;
}
