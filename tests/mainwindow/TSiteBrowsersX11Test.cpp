// Pages the program opens in answer to the user, on the X server with a window manager: they
// come in front of the main window the user acted in.

#include "browser/TCustomInternetBrowserWindow.h"
#include "mainwindow/TSiteBrowsers.h"
#include "platform/XdgAutostart.h"
#include "settings/TApplicationsSettings.h"
#include "support/StandInFrame.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

TEST(TSiteBrowsers, TheSignUpPageAfterAnInstallComesInFrontOfTheMainWindow)
{
    if (QGuiApplication::platformName() != u"xcb"_s)
        GTEST_SKIP() << "no X server (MORVALEN_TEST_X11_DISPLAY is not set)";
    TStandInFrame::Register();
    TStandInFrame::SetPage(u"http://signup.test/"_s, {u"Sign up"_s, {}});
    QTemporaryDir data;
    XdgAutostart autostart(u"/opt/morvalen/morvalen-desktop"_s);
    TApplicationsSettings settings(autostart);
    TSiteBrowsers browsers(settings, data.path());

    QWidget mainWindow;
    mainWindow.setWindowTitle(u"Morvalen Desktop"_s);
    mainWindow.resize(600, 400);
    mainWindow.show();
    mainWindow.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&mainWindow));

    // As the install's "Sign up at ..." box opens it: flashed, from the main window.
    QPointer<TCustomInternetBrowserWindow> page =
        browsers.OpenWebPage(u"http://signup.test/"_s, u"Sign up at Web Mail"_s, true, &mainWindow);
    ASSERT_TRUE(page);
    EXPECT_TRUE(WaitUntil([&] { return page && page->isActiveWindow(); }))
        << "active: "
        << (QApplication::activeWindow() ? QApplication::activeWindow()->windowTitle().toStdString()
                                         : std::string("none"));
    EXPECT_FALSE(mainWindow.isActiveWindow());
    delete page.data();
}
