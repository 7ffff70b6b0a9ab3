#pragma once

#include <QString>

class QWidget;

// The class a window reports to the desktop, which docks and task bars match against a
// launcher's StartupWMClass to group the window under it.
namespace WindowClass {

// On X11, the window's WM_CLASS (instance and class both className), set on the native
// window, which it makes when there is none yet. Wayland has one app_id per connection (Qt
// takes it from the program's desktop file name) and no way to give one window another: there
// a site window stays grouped under the program's own entry.
void Set(QWidget& window, const QString& className);

// The class X11 reports for the window; empty elsewhere or when it has none.
QString Of(const QWidget& window);

} // namespace WindowClass
