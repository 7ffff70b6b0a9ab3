#include "platform/WindowActivation.h"
#include "platform/XWaylandChoice.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

TEST(WindowActivation, ALaunchersTokenLeavesTheEnvironmentAndRidesAtTheEndOfTheParameters)
{
    ScopedEnvironment token("XDG_ACTIVATION_TOKEN", "launcher_7:seat0");
    ScopedEnvironment startup("DESKTOP_STARTUP_ID", "x11-startup_TIME42");
    EXPECT_EQ(WindowActivation::TakeLaunchToken(), u"launcher_7:seat0"_s);
    // Qt would otherwise spend it on whichever window shows first.
    EXPECT_FALSE(qEnvironmentVariableIsSet("XDG_ACTIVATION_TOKEN"));
    // On X11 the startup notification's id is the token, and Qt still needs it where it is.
    EXPECT_EQ(WindowActivation::TakeLaunchToken(), u"x11-startup_TIME42"_s);
    EXPECT_EQ(qgetenv("DESKTOP_STARTUP_ID"), QByteArray("x11-startup_TIME42"));

    const QStringList handed = WindowActivation::WithToken({u"Element=0123"_s}, u"launcher_7:seat0"_s);
    ASSERT_EQ(handed.size(), 2);
    EXPECT_EQ(handed.first(), u"Element=0123"_s);
    EXPECT_FALSE(WindowActivation::TokenOf(handed.first()));
    EXPECT_EQ(WindowActivation::TokenOf(handed.last()), u"launcher_7:seat0"_s);
    EXPECT_EQ(WindowActivation::WithToken({}, QString()), QStringList());
}

TEST(WindowActivation, ATokenWithBlanksOrControlsIsNoTokenAndNoSite)
{
    ScopedEnvironment token("XDG_ACTIVATION_TOKEN", "two words");
    ScopedEnvironment startup("DESKTOP_STARTUP_ID", "");
    EXPECT_EQ(WindowActivation::TakeLaunchToken(), QString());
    EXPECT_EQ(WindowActivation::WithToken({u"Element=0123"_s}, u"a\nb"_s), QStringList{u"Element=0123"_s});
    EXPECT_EQ(WindowActivation::WithToken({}, QString(600, u'x')), QStringList());
    // Still the token's parameter, so the running instance never reads it as a site.
    const std::optional<QString> bad = WindowActivation::TokenOf(u"--activation-token=a\tb"_s);
    ASSERT_TRUE(bad);
    EXPECT_TRUE(bad->isEmpty());
}

TEST(XWaylandChoice, TheChoiceTakesEffectAtTheNextStartOnlyInAWaylandSessionWithXWayland)
{
    QTemporaryDir data;
    ScopedEnvironment wayland("WAYLAND_DISPLAY", "wayland-0");
    ScopedEnvironment x11("DISPLAY", ":5");
    ScopedEnvironment platform("QT_QPA_PLATFORM", "");
    qunsetenv("QT_QPA_PLATFORM");

    ASSERT_TRUE(XWaylandChoice::Offered());
    EXPECT_FALSE(XWaylandChoice::ApplyAtStart(data.path()));
    EXPECT_FALSE(XWaylandChoice::Chosen());
    ASSERT_TRUE(XWaylandChoice::Choose(true));
    EXPECT_TRUE(XWaylandChoice::Chosen());
    EXPECT_TRUE(QFile::exists(QDir(data.path()).filePath(u"Display.ini"_s)));
    EXPECT_TRUE(XWaylandChoice::ApplyAtStart(data.path()));
    EXPECT_EQ(qgetenv("QT_QPA_PLATFORM"), QByteArray("xcb"));

    // A platform the user named wins.
    qputenv("QT_QPA_PLATFORM", "wayland");
    EXPECT_FALSE(XWaylandChoice::ApplyAtStart(data.path()));
    EXPECT_EQ(qgetenv("QT_QPA_PLATFORM"), QByteArray("wayland"));

    // Without an X server beside the compositor there is nothing to run through.
    qunsetenv("QT_QPA_PLATFORM");
    qunsetenv("DISPLAY");
    EXPECT_FALSE(XWaylandChoice::Offered());
    EXPECT_FALSE(XWaylandChoice::ApplyAtStart(data.path()));
    EXPECT_FALSE(qEnvironmentVariableIsSet("QT_QPA_PLATFORM"));

    // Turned off again, and a damaged file, mean no.
    qputenv("DISPLAY", ":5");
    ASSERT_TRUE(XWaylandChoice::Choose(false));
    EXPECT_FALSE(XWaylandChoice::ApplyAtStart(data.path()));
    WriteFile(QDir(data.path()).filePath(u"Display.ini"_s), QByteArray(4096, '\xff'));
    EXPECT_FALSE(XWaylandChoice::Chosen());
}
