#include <QApplication>
#include <QFont>

#include <gtest/gtest.h>

// The main of tests that paint widgets: a QApplication on the off-screen platform, with the
// program's font.
int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt WebEngine, loaded later by the browser tests, shares its OpenGL contexts.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    QApplication::setFont(QFont(QStringLiteral("Tahoma"), 8));
    return RUN_ALL_TESTS();
}
