#include "WindowClass.h"

#include <QGuiApplication>
#include <QWidget>

#include <cstdlib>
#include <memory>

#include <xcb/xcb.h>

using namespace Qt::Literals::StringLiterals;

namespace WindowClass {

namespace {

xcb_connection_t* Connection()
{
    const auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

} // namespace

void Set(QWidget& window, const QString& className)
{
    xcb_connection_t* connection = Connection();
    if (!connection || className.isEmpty())
        return;
    // WM_CLASS: instance name and class name, each ending in a zero byte.
    const QByteArray name = className.toUtf8();
    const QByteArray value = name + '\0' + name + '\0';
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, xcb_window_t(window.winId()), XCB_ATOM_WM_CLASS,
                        XCB_ATOM_STRING, 8, uint32_t(value.size()), value.constData());
    xcb_flush(connection);
}

QString Of(const QWidget& window)
{
    xcb_connection_t* connection = Connection();
    if (!connection || !window.internalWinId())
        return {};
    const std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
        xcb_get_property_reply(connection,
                               xcb_get_property(connection, 0, xcb_window_t(window.internalWinId()),
                                                XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 0, 256),
                               nullptr),
        &std::free);
    if (!reply)
        return {};
    const int length = xcb_get_property_value_length(reply.get());
    const QByteArray value(static_cast<const char*>(xcb_get_property_value(reply.get())), length);
    // The class is the second of the two names.
    const QList<QByteArray> names = value.split('\0');
    return names.size() >= 2 ? QString::fromUtf8(names.at(1)) : QString();
}

} // namespace WindowClass
