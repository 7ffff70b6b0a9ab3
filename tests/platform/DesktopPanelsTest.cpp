// The desktop's panel windows on the X server of the test script (MORVALEN_TEST_X11_DISPLAY),
// with its window manager.

#include "platform/DesktopPanels.h"
#include "support/TestSupport.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

namespace {

xcb_atom_t Atom(xcb_connection_t* connection, const char* name)
{
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

// A window of the given EWMH type at rect, shown.
void ShowTyped(QWidget& window, const char* type, const QRect& rect)
{
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    window.setGeometry(rect);
    window.winId();
    const xcb_atom_t value = Atom(x11->connection(), type);
    xcb_change_property(x11->connection(), XCB_PROP_MODE_REPLACE, xcb_window_t(window.winId()),
                        Atom(x11->connection(), "_NET_WM_WINDOW_TYPE"), XCB_ATOM_ATOM, 32, 1, &value);
    xcb_flush(x11->connection());
    window.show();
}

} // namespace

TEST(DesktopPanels, FindsThePanelWindowsAndNothingElse)
{
    if (QGuiApplication::platformName() != u"xcb")
        GTEST_SKIP() << "skipped: no X server with a window manager (MORVALEN_TEST_X11_DISPLAY is not set)";
    // Other windows may be around; only these two are the test's.
    const QList<QRect> before = DesktopPanels::DockWindows();

    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    // A panel hidden down to a strip along the bottom, and an ordinary window.
    const QRect strip(screen.left(), screen.bottom() - 1, screen.width(), 2);
    QWidget panel, ordinary;
    ShowTyped(panel, "_NET_WM_WINDOW_TYPE_DOCK", strip);
    ShowTyped(ordinary, "_NET_WM_WINDOW_TYPE_NORMAL", QRect(100, 100, 300, 200));
    EXPECT_TRUE(WaitUntil([&] { return DesktopPanels::DockWindows().size() == before.size() + 1; }));
    const QList<QRect> docks = DesktopPanels::DockWindows();
    EXPECT_TRUE(docks.contains(strip)) << docks.size();

    panel.hide();
    EXPECT_TRUE(WaitUntil([&] { return DesktopPanels::DockWindows() == before; }));
}
