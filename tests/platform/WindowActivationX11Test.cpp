#include "platform/WindowActivation.h"
#include "support/TestSupport.h"

#include <QGuiApplication>
#include <QTest>
#include <QWidget>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

xcb_atom_t StartupAtom(xcb_connection_t* connection, const char* name)
{
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name),
                              nullptr),
        &std::free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

} // namespace

// A second start from a launcher on X11 hands its DESKTOP_STARTUP_ID over; the window it asked
// for answers it as the startup-notification protocol has it, as a launcher (or a dock) sees
// it on the root window.
TEST(WindowActivation, OnX11TheWindowAnswersTheLaunchersStartupNotification)
{
    if (QGuiApplication::platformName() != u"xcb"_s)
        GTEST_SKIP() << "no X server (MORVALEN_TEST_X11_DISPLAY is not set)";
    xcb_connection_t* launcher = xcb_connect(qgetenv("DISPLAY").constData(), nullptr);
    ASSERT_FALSE(xcb_connection_has_error(launcher));
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(launcher)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(launcher, root, XCB_CW_EVENT_MASK, &mask);
    const xcb_atom_t begin = StartupAtom(launcher, "_NET_STARTUP_INFO_BEGIN");
    const xcb_atom_t more = StartupAtom(launcher, "_NET_STARTUP_INFO");
    xcb_flush(launcher);

    QWidget window;
    window.resize(200, 100);
    // Long enough for three pieces, with characters the message has to escape.
    const QString id = u"morvalen-launcher-\"quoted\"-and\\slashed_TIME1234"_s;
    WindowActivation::BringToFront(&window, id);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    QByteArray message;
    ASSERT_TRUE(WaitUntil([&] {
        while (xcb_generic_event_t* event = xcb_poll_for_event(launcher)) {
            if ((event->response_type & 0x7f) == XCB_CLIENT_MESSAGE) {
                const auto* piece = reinterpret_cast<xcb_client_message_event_t*>(event);
                if (piece->type == begin)
                    message.clear();
                if (piece->type == begin || piece->type == more)
                    message.append(reinterpret_cast<const char*>(piece->data.data8), 20);
            }
            std::free(event);
        }
        return message.contains('\0');
    })) << message.constData();
    EXPECT_EQ(QByteArray(message.constData()),
              QByteArray(R"(remove: ID="morvalen-launcher-\"quoted\"-and\\slashed_TIME1234")"));

    std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> named(
        xcb_get_property_reply(launcher,
                               xcb_get_property(launcher, 0, xcb_window_t(window.winId()),
                                                StartupAtom(launcher, "_NET_STARTUP_ID"), XCB_ATOM_ANY, 0,
                                                256),
                               nullptr),
        &std::free);
    ASSERT_TRUE(named);
    EXPECT_EQ(QByteArray(static_cast<const char*>(xcb_get_property_value(named.get())),
                         xcb_get_property_value_length(named.get())),
              id.toUtf8());
    xcb_disconnect(launcher);
}
