#include "WindowActivation.h"

#include <QGuiApplication>
#include <QWidget>

using namespace Qt::Literals::StringLiterals;

namespace WindowActivation {

namespace {

// Not a parameter a user types: the handed-over list is the command line's, and this one rides
// along at its end.
const auto kTokenPrefix = u"--activation-token="_s;

// A token is an opaque printable string; anything else in it is not from a launcher.
bool Plausible(const QString& token)
{
    if (token.isEmpty() || token.size() > 512)
        return false;
    for (const QChar c : token)
        if (c.unicode() <= 0x20 || c.unicode() >= 0x7f)
            return false;
    return true;
}

} // namespace

QString TakeLaunchToken()
{
    QString token = qEnvironmentVariable("XDG_ACTIVATION_TOKEN");
    qunsetenv("XDG_ACTIVATION_TOKEN");
    // Left in place: Qt's X11 platform ends the launcher's startup notification with it.
    if (token.isEmpty())
        token = qEnvironmentVariable("DESKTOP_STARTUP_ID");
    return Plausible(token) ? token : QString();
}

QStringList WithToken(QStringList parameters, const QString& token)
{
    if (Plausible(token))
        parameters.append(kTokenPrefix + token);
    return parameters;
}

std::optional<QString> TokenOf(const QString& parameter)
{
    if (!parameter.startsWith(kTokenPrefix))
        return std::nullopt;
    const QString token = parameter.mid(kTokenPrefix.size());
    return Plausible(token) ? token : QString();
}

void BringToFront(QWidget* window, const QString& token)
{
    if (!window)
        return;
    // Qt's Wayland platform presents XDG_ACTIVATION_TOKEN with the next activation and then
    // forgets it; without one it asks the compositor for a token from the user's last input.
    if (QGuiApplication::platformName() == u"wayland"_s && Plausible(token))
        qputenv("XDG_ACTIVATION_TOKEN", token.toUtf8());
    if (window->isMinimized())
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace WindowActivation
