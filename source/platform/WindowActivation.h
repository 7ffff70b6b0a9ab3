#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

// Bringing the window the user asked for to the front. On X11 a program may raise and
// activate its windows itself. A Wayland compositor lets a window take the front only with an
// activation token (xdg-activation): one the launcher gave the start that asked for it, or one
// made from the user's last input in the program's focused window (Qt does that itself).
namespace WindowActivation {

// The token a launcher gave this start: XDG_ACTIVATION_TOKEN (Wayland), else
// DESKTOP_STARTUP_ID (X11 startup notification). XDG_ACTIVATION_TOKEN leaves the environment,
// so that Qt does not spend it on whichever window shows first, and so that no child
// inherits it.
QString TakeLaunchToken();

// The parameters a second start hands to the running instance, with its token as one more
// parameter (nothing added without a token).
QStringList WithToken(QStringList parameters, const QString& token);
// The token a handed-over parameter carries, or nullopt when it is an ordinary parameter.
std::optional<QString> TokenOf(const QString& parameter);

// Shows window (restored when minimized), raises it and activates it; on Wayland with token
// when there is one (a token serves once); on X11 the window answers the launcher's startup
// notification of that id, which ends its busy feedback.
void BringToFront(QWidget* window, const QString& token = {});

} // namespace WindowActivation
