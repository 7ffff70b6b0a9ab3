#include "ChromiumSandbox.h"

#include <QByteArrayList>
#include <QtGlobal>

#include <unistd.h>

#include <cstdio>

namespace {

constexpr char kDisableSandbox[] = "QTWEBENGINE_DISABLE_SANDBOX";
constexpr char kChromiumFlags[] = "QTWEBENGINE_CHROMIUM_FLAGS";

} // namespace

namespace ChromiumSandbox {

bool MustDisable(uid_t effectiveUser, bool disableSandboxSet, const QByteArray& chromiumFlags)
{
    if (effectiveUser != 0 || disableSandboxSet)
        return false;
    const QList<QByteArray> flags = chromiumFlags.simplified().split(' ');
    return !flags.contains(QByteArrayLiteral("--no-sandbox"));
}

QByteArray RootWarning()
{
    return QByteArrayLiteral("Morvalen Desktop runs as root: site pages run without Chromium's sandbox.\n");
}

bool DisableForRoot()
{
    if (!MustDisable(::geteuid(), qEnvironmentVariableIsSet(kDisableSandbox), qgetenv(kChromiumFlags)))
        return false;
    qputenv(kDisableSandbox, QByteArrayLiteral("1"));
    const QByteArray warning = RootWarning();
    std::fwrite(warning.constData(), 1, size_t(warning.size()), stderr);
    return true;
}

} // namespace ChromiumSandbox
