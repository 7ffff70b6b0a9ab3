#pragma once

#include <QString>

// The WebKit engine shows its pages in X11 windows that the program embeds, which a Wayland
// window cannot hold. In a Wayland session the user may choose to run the whole program
// through XWayland, so that sites set to that engine open there too. The choice lives in
// Display.ini of the data folder and takes effect at the next start.
namespace XWaylandChoice {

// A Wayland session with an X server beside it (XWayland), where the choice means something.
bool Offered();

// Before the application exists: remembers the data folder and, when the user chose XWayland
// and did not name a platform (QT_QPA_PLATFORM), makes Qt use X11. True when it did.
bool ApplyAtStart(const QString& dataFolder);

bool Chosen();
// False when the file cannot be written.
bool Choose(bool throughXWayland);

} // namespace XWaylandChoice
