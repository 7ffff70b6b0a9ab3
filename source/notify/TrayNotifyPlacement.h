#pragma once

#include <QList>
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
// several edges are reserved. A panel that reserves nothing is one of docks (the desktop's
// panel windows) lying along an edge; one at most kHiddenThickness pixels thick has hidden
// itself. Neither: no panel information.
constexpr int kHiddenThickness = 4;
TPanelInfo PanelFromScreen(const QRect& screen, const QRect& available, const QList<QRect>& docks = {});

// The window's top-left corner on a screen of that geometry.
QPoint PlaceWindow(const QRect& screen, const TPanelInfo& panel, const QSize& window);

} // namespace TrayNotifyPlacement
