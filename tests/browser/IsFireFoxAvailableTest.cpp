#include "browser/IsFireFoxAvailable.h"
#include "browser/TWebKitHost.h"

#include <QFileInfo>
#include <QGuiApplication>

#include <gtest/gtest.h>

// The program's windows can embed the engine's pages only on X11: on any other platform the
// engine is not offered, even when the helper is installed and would answer.
TEST(IsFireFoxAvailable, FalseOffX11EvenWithTheHelperInstalled)
{
    ASSERT_NE(QStringLiteral("xcb"), QGuiApplication::platformName());
    EXPECT_FALSE(IsFireFoxAvailable());
}
