#include "DesktopPanels.h"

#include <QGuiApplication>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

// A damaged or hostile window tree is no reason to walk it for long.
constexpr int kMaxWindows = 4096;

template <typename T>
using XcbReply = std::unique_ptr<T, decltype(&std::free)>;

template <typename T>
XcbReply<T> Reply(T* reply)
{
    return XcbReply<T>(reply, &std::free);
}

xcb_atom_t Atom(xcb_connection_t* connection, const char* name)
{
    const auto reply = Reply(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 1, uint16_t(strlen(name)), name), nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

bool IsDock(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t type, xcb_atom_t dock)
{
    const auto reply = Reply(xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, window, type, XCB_ATOM_ATOM, 0, 32), nullptr));
    if (!reply || reply->format != 32)
        return false;
    const int count = xcb_get_property_value_length(reply.get()) / int(sizeof(xcb_atom_t));
    const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
    for (int i = 0; i < count; ++i) {
        if (atoms[i] == dock)
            return true;
    }
    return false;
}

bool IsViewable(xcb_connection_t* connection, xcb_window_t window)
{
    const auto reply = Reply(
        xcb_get_window_attributes_reply(connection, xcb_get_window_attributes(connection, window), nullptr));
    return reply && reply->map_state == XCB_MAP_STATE_VIEWABLE;
}

QRect RootRect(xcb_connection_t* connection, xcb_window_t root, xcb_window_t window)
{
    const auto geometry =
        Reply(xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr));
    if (!geometry)
        return {};
    const auto origin = Reply(xcb_translate_coordinates_reply(
        connection, xcb_translate_coordinates(connection, window, root, 0, 0), nullptr));
    if (!origin)
        return {};
    return QRect(origin->dst_x, origin->dst_y, geometry->width, geometry->height);
}

QList<xcb_window_t> Children(xcb_connection_t* connection, xcb_window_t window)
{
    const auto tree = Reply(xcb_query_tree_reply(connection, xcb_query_tree(connection, window), nullptr));
    if (!tree)
        return {};
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    const int count = std::min(xcb_query_tree_children_length(tree.get()), kMaxWindows);
    return QList<xcb_window_t>(children, children + count);
}

} // namespace

namespace DesktopPanels {

QList<QRect> DockWindows()
{
    const auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return {};
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    if (!screen)
        return {};
    const xcb_atom_t type = Atom(connection, "_NET_WM_WINDOW_TYPE");
    const xcb_atom_t dock = Atom(connection, "_NET_WM_WINDOW_TYPE_DOCK");
    if (type == XCB_ATOM_NONE || dock == XCB_ATOM_NONE)
        return {};

    // A window manager may put a panel into a frame of its own: look one level down too.
    QList<QRect> docks;
    int visited = 0;
    for (const xcb_window_t top : Children(connection, screen->root)) {
        if (!IsViewable(connection, top))
            continue;
        QList<xcb_window_t> candidates{top};
        if (!IsDock(connection, top, type, dock))
            candidates = Children(connection, top);
        for (const xcb_window_t window : candidates) {
            if (++visited > kMaxWindows)
                return docks;
            if (IsDock(connection, window, type, dock) && IsViewable(connection, window)) {
                const QRect rect = RootRect(connection, screen->root, window);
                if (!rect.isEmpty())
                    docks.append(rect);
            }
        }
    }
    return docks;
}

} // namespace DesktopPanels
