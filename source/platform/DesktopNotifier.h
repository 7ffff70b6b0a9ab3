#pragma once

#include <QImage>
#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

// The desktop's notification service (org.freedesktop.Notifications), the one every Linux
// desktop runs. Calls never block: a service that does not answer leaves the caller's
// fallback to run once the call has failed.
class TDesktopNotifier final : public QObject
{
    Q_OBJECT

public:
    static constexpr char kService[] = "org.freedesktop.Notifications";
    static constexpr char kPath[] = "/org/freedesktop/Notifications";
    // The action a click on the notification's body invokes.
    static constexpr char kDefaultAction[] = "default";

    // The session bus, or the D-Bus connection of that name (tests bring a bus of their own).
    explicit TDesktopNotifier(const QString& connectionName = QString(), QObject* parent = nullptr);
    ~TDesktopNotifier() override;

    // Shows a notification with a click action; shown gets the service's id, or 0 when no
    // service took it. The texts are plain text; the summary goes as it is (the service
    // never reads markup there), the body escaped for a service that reads markup in it.
    void Show(const QString& appName, const QString& summary, const QString& body, const QImage& icon,
              const std::function<void(uint32_t id)>& shown);
    void Close(uint32_t id);

    // Whether the program can place a notification window of its own next to the panel:
    // not on Wayland, where a client does not place its windows.
    static bool OwnWindowPlaceable();

    // The user clicked the notification.
    std::function<void(uint32_t id)> OnActivated;
    // The notification went (expired, dismissed, clicked or closed by the program).
    std::function<void(uint32_t id)> OnClosed;

private slots:
    void HandleAction(uint id, const QString& action);
    void HandleClosed(uint id, uint reason);

    // body for the service: escaped when it reads markup.
    static QString PlainBody(const QString& text, bool markup);

private:
    void Notify(const QString& appName, const QString& summary, const QString& body, const QImage& icon,
                const std::function<void(uint32_t id)>& shown);

    struct Bus;
    std::unique_ptr<Bus> m_bus;
};
