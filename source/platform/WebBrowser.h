#pragma once

#include <QString>
#include <QStringList>

// Shows a web page in the desktop's web browser: the program the desktop names as the handler
// of the address's scheme, started directly (no shell) with the address.
namespace WebBrowser {

// The command with the address in place of the first of %u, %U, %f or %F (appended when it
// has none); other field codes are removed.
QStringList Command(const QStringList& registered, const QString& address);

// False when the desktop has no browser for the address or it could not be started.
bool Open(const QString& address);

} // namespace WebBrowser
