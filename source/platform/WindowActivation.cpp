#include "WindowActivation.h"

#include <QGuiApplication>
#include <QWidget>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace WindowActivation {

namespace {

// Not a parameter a user types: the handed-over list is the command line's, and this one rides
// along at its end.
const auto kTokenPrefix = u"--activation-token="_s;

// A token is an opaque printable string; anything else in it is not from a launcher.
bool Plausible(const QString& token)
{
    if (token.isEmpty() || token.size() > 512)
        return false;
    for (const QChar c : token)
        if (c.unicode() <= 0x20 || c.unicode() >= 0x7f)
            return false;
    return true;
}

xcb_atom_t StartupAtom(xcb_connection_t* connection, const char* name)
{
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name),
                              nullptr),
        &std::free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

// X11 startup notification: the window names the start it answers (_NET_STARTUP_ID, which a
// window manager's focus-stealing prevention reads), and the launcher's busy feedback for that
// start ends ("remove"), as it would had the start shown a window of its own.
void AnswerStartup(QWidget* window, const QString& id)
{
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return;
    const auto own = xcb_window_t(window->winId());
    const QByteArray bytes = id.toUtf8();
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, own, StartupAtom(connection, "_NET_STARTUP_ID"),
                        StartupAtom(connection, "UTF8_STRING"), 8, uint32_t(bytes.size()), bytes.constData());

    QByteArray message = "remove: ID=\"";
    for (const char c : bytes) {
        if (c == '"' || c == '\\')
            message += '\\';
        message += c;
    }
    message += "\"";
    message += '\0';
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const xcb_atom_t begin = StartupAtom(connection, "_NET_STARTUP_INFO_BEGIN");
    const xcb_atom_t more = StartupAtom(connection, "_NET_STARTUP_INFO");
    // In pieces of 20 bytes, the first one marked as the beginning.
    for (qsizetype at = 0; at < message.size(); at += 20) {
        xcb_client_message_event_t event;
        std::memset(&event, 0, sizeof event);
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 8;
        event.window = own;
        event.type = at == 0 ? begin : more;
        std::memcpy(event.data.data8, message.constData() + at,
                    size_t(std::min<qsizetype>(20, message.size() - at)));
        xcb_send_event(connection, 0, root, XCB_EVENT_MASK_PROPERTY_CHANGE,
                       reinterpret_cast<const char*>(&event));
    }
    xcb_flush(connection);
}

} // namespace

QString TakeLaunchToken()
{
    QString token = qEnvironmentVariable("XDG_ACTIVATION_TOKEN");
    qunsetenv("XDG_ACTIVATION_TOKEN");
    // Left in place: Qt's X11 platform ends the launcher's startup notification with it.
    if (token.isEmpty())
        token = qEnvironmentVariable("DESKTOP_STARTUP_ID");
    return Plausible(token) ? token : QString();
}

QStringList WithToken(QStringList parameters, const QString& token)
{
    if (Plausible(token))
        parameters.append(kTokenPrefix + token);
    return parameters;
}

std::optional<QString> TokenOf(const QString& parameter)
{
    if (!parameter.startsWith(kTokenPrefix))
        return std::nullopt;
    const QString token = parameter.mid(kTokenPrefix.size());
    return Plausible(token) ? token : QString();
}

void BringToFront(QWidget* window, const QString& token)
{
    if (!window)
        return;
    // Qt's Wayland platform presents XDG_ACTIVATION_TOKEN with the next activation and then
    // forgets it; without one it asks the compositor for a token from the user's last input.
    if (QGuiApplication::platformName() == u"wayland"_s && Plausible(token))
        qputenv("XDG_ACTIVATION_TOKEN", token.toUtf8());
    if (window->isMinimized())
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    if (QGuiApplication::platformName() == u"xcb"_s && Plausible(token))
        AnswerStartup(window, token);
    window->raise();
    window->activateWindow();
}

} // namespace WindowActivation
