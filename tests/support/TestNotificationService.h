#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <cstdint>
#include <memory>
#include <vector>

// A private D-Bus session bus (a real dbus-daemon of the test's own) with a small notification
// service on it that records what it is asked to show and lets the test click a notification.
class TestNotificationService final : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    struct Shown
    {
        uint32_t Id = 0;
        QString AppName;
        QString Summary;
        QString Body;
        QStringList Actions;
        bool HasImage = false;
    };

    // Starts the bus; with listen, the service takes its name on it.
    explicit TestNotificationService(bool listen = true);
    ~TestNotificationService() override;

    // Whether the bus runs (dbus-daemon is there).
    bool Running() const { return !m_address.isEmpty(); }
    const QString& Address() const { return m_address; }
    // A connection of a client of this bus.
    QDBusConnection ClientConnection() const;

    const std::vector<Shown>& Notifications() const { return m_shown; }
    std::vector<uint32_t> Closed() const { return m_closed; }
    // The user clicks the notification.
    void Click(uint32_t id);
    // What the service says it can (GetCapabilities).
    void SetCapabilities(const QStringList& capabilities) { m_capabilities = capabilities; }

public slots:
    uint Notify(const QString& appName, uint replacesId, const QString& appIcon, const QString& summary,
                const QString& body, const QStringList& actions, const QVariantMap& hints, int expireTimeout);
    void CloseNotification(uint id);
    QStringList GetCapabilities();

signals:
    void ActionInvoked(uint id, const QString& actionKey);
    void NotificationClosed(uint id, uint reason);

private:
    QProcess m_daemon;
    QString m_address;
    QString m_listenerName;
    QString m_clientName;
    std::vector<Shown> m_shown;
    std::vector<uint32_t> m_closed;
    QStringList m_capabilities{QStringLiteral("actions"), QStringLiteral("body")};
};
