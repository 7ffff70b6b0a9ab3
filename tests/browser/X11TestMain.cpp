#include <QApplication>
#include <QFont>

#include <gtest/gtest.h>

// The main of tests that need a real window system: a QApplication on the X server named in
// MORVALEN_TEST_X11_DISPLAY (the test script starts one with a window manager). Without it
// the application runs off-screen and the cases skip themselves.
int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    const QByteArray display = qgetenv("MORVALEN_TEST_X11_DISPLAY");
    if (!display.isEmpty()) {
        qputenv("DISPLAY", display);
        qputenv("QT_QPA_PLATFORM", "xcb");
    } else if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    QApplication::setFont(QFont(QStringLiteral("Tahoma"), 8));
    return RUN_ALL_TESTS();
}
