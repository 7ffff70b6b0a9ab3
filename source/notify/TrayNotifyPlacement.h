#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Where the notification window goes: beside the desktop's panel, at the corner where the
// panel's notification area is.
namespace TrayNotifyPlacement {

enum TPanelEdge
{
    peNone,
    peLeft,
    peTop,
    peRight,
    peBottom
};

struct TPanelInfo
{
    TPanelEdge Edge = peNone;
    // The panel's rectangle in screen coordinates (unused without an edge).
    QRect Bounds;
    // A panel that hides itself leaves only a thin strip: the window keeps 2 pixels off it.
    bool AutoHide = false;
};

// A panel is what the screen keeps out of its available area; the widest strip wins when
// several edges are reserved. No difference: no panel information.
TPanelInfo PanelFromScreen(const QRect& screen, const QRect& available);

// The window's top-left corner on a screen of that geometry.
QPoint PlaceWindow(const QRect& screen, const TPanelInfo& panel, const QSize& window);

} // namespace TrayNotifyPlacement
