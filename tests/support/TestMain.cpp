#include <QCoreApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // Widgets, where a test has them, never need a display.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Worker threads hand their calls to this application's thread.
    QCoreApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
