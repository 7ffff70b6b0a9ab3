#include "TrayNotifyPlacement.h"

#include <algorithm>
#include <array>
#include <utility>

namespace TrayNotifyPlacement {

namespace {

// The edge of screen that dock lies along, if any.
TPanelEdge DockEdge(const QRect& screen, const QRect& dock)
{
    if (dock.width() >= dock.height()) {
        if (dock.bottom() == screen.bottom())
            return peBottom;
        if (dock.top() == screen.top())
            return peTop;
    } else {
        if (dock.right() == screen.right())
            return peRight;
        if (dock.left() == screen.left())
            return peLeft;
    }
    return peNone;
}

TPanelInfo PanelFromDocks(const QRect& screen, const QList<QRect>& docks)
{
    TPanelInfo panel;
    for (const QRect& dock : docks) {
        const QRect shown = dock.intersected(screen);
        if (shown.isEmpty() || (panel.Edge = DockEdge(screen, shown)) == peNone)
            continue;
        panel.Bounds = shown;
        panel.AutoHide = std::min(shown.width(), shown.height()) <= kHiddenThickness;
        return panel;
    }
    return {};
}

} // namespace

TPanelInfo PanelFromScreen(const QRect& screen, const QRect& available, const QList<QRect>& docks)
{
    const int left = available.left() - screen.left();
    const int top = available.top() - screen.top();
    const int right = screen.right() - available.right();
    const int bottom = screen.bottom() - available.bottom();

    // Bottom first: among equal strips the usual place of a panel wins.
    const std::array<std::pair<TPanelEdge, int>, 4> strips{
        {{peBottom, bottom}, {peTop, top}, {peRight, right}, {peLeft, left}}};
    TPanelInfo panel;
    int widest = 0;
    for (const auto& [edge, size] : strips) {
        if (size > widest) {
            widest = size;
            panel.Edge = edge;
        }
    }
    switch (panel.Edge) {
    case peLeft:
        panel.Bounds = QRect(screen.left(), screen.top(), left, screen.height());
        break;
    case peTop:
        panel.Bounds = QRect(screen.left(), screen.top(), screen.width(), top);
        break;
    case peRight:
        panel.Bounds = QRect(available.right() + 1, screen.top(), right, screen.height());
        break;
    case peBottom:
        panel.Bounds = QRect(screen.left(), available.bottom() + 1, screen.width(), bottom);
        break;
    case peNone:
        return PanelFromDocks(screen, docks);
    }
    return panel;
}

QPoint PlaceWindow(const QRect& screen, const TPanelInfo& panel, const QSize& window)
{
    // Screen-relative right and bottom positions, as a window flush with that edge has them.
    const int flushLeft = screen.left() + screen.width() - window.width();
    const int flushTop = screen.top() + screen.height() - window.height();
    switch (panel.Edge) {
    case peLeft:
        return {panel.AutoHide ? screen.left() + 2 : panel.Bounds.left() + panel.Bounds.width(), flushTop};
    case peTop:
        return {flushLeft, panel.AutoHide ? screen.top() + 2 : panel.Bounds.top() + panel.Bounds.height()};
    case peRight:
        return {panel.AutoHide ? flushLeft - 2 : panel.Bounds.left() - window.width(), flushTop};
    case peBottom:
        return {flushLeft, panel.AutoHide ? flushTop - 2 : panel.Bounds.top() - window.height()};
    case peNone:
        break;
    }
    return {flushLeft, flushTop};
}

} // namespace TrayNotifyPlacement
