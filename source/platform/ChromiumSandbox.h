#pragma once

#include <QByteArray>

#include <sys/types.h>

// Chromium's sandbox (Qt WebEngine's render processes). Its zygote refuses to start for the
// root user, and with it the whole program would end when the first site window opens; a
// program started as root therefore runs its site pages without the sandbox, and says so.
namespace ChromiumSandbox {

// True when the sandbox has to be switched off for a process of effectiveUser: root, and not
// already switched off by QTWEBENGINE_DISABLE_SANDBOX (set at all, as Qt WebEngine reads it)
// or by --no-sandbox among QTWEBENGINE_CHROMIUM_FLAGS.
bool MustDisable(uid_t effectiveUser, bool disableSandboxSet, const QByteArray& chromiumFlags);

// The warning written to stderr when the sandbox is switched off for root.
QByteArray RootWarning();

// Switches the sandbox off for this process when MustDisable says so and writes RootWarning
// to stderr; true when it did. Call it before Qt WebEngine starts and before the program has
// threads (it changes the environment).
bool DisableForRoot();

} // namespace ChromiumSandbox
