#pragma once

#include <QList>
#include <QRect>

// The desktop's panels as the window system knows them: on X11 the visible windows of the
// dock type (EWMH), in screen coordinates. A panel that reserves no room on the screen does not
// show in the screen's available area; this finds it, and one that has hidden itself down to a
// thin strip at an edge. Empty on other window systems.
namespace DesktopPanels {

QList<QRect> DockWindows();

} // namespace DesktopPanels
