#include "TestNotificationService.h"

#include <QDBusConnectionInterface>

using namespace Qt::Literals::StringLiterals;

namespace {

int g_busCount = 0;

} // namespace

TestNotificationService::TestNotificationService(bool listen)
{
    ++g_busCount;
    m_listenerName = u"test-notifications-listener-%1"_s.arg(g_busCount);
    m_clientName = u"test-notifications-client-%1"_s.arg(g_busCount);
    m_daemon.start(u"dbus-daemon"_s,
                   {u"--session"_s, u"--nofork"_s, u"--nopidfile"_s, u"--print-address=1"_s});
    if (!m_daemon.waitForStarted(10000))
        return;
    while (!m_daemon.canReadLine() && m_daemon.waitForReadyRead(10000)) {
    }
    m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
    if (m_address.isEmpty() || !listen)
        return;
    QDBusConnection listener = QDBusConnection::connectToBus(m_address, m_listenerName);
    listener.registerObject(u"/org/freedesktop/Notifications"_s, this,
                            QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals);
    listener.registerService(u"org.freedesktop.Notifications"_s);
}

TestNotificationService::~TestNotificationService()
{
    QDBusConnection::disconnectFromBus(m_clientName);
    QDBusConnection::disconnectFromBus(m_listenerName);
    if (m_daemon.state() != QProcess::NotRunning) {
        m_daemon.terminate();
        m_daemon.waitForFinished(5000);
    }
}

QDBusConnection TestNotificationService::ClientConnection() const
{
    return QDBusConnection::connectToBus(m_address, m_clientName);
}

void TestNotificationService::Click(uint32_t id)
{
    emit ActionInvoked(id, u"default"_s);
    emit NotificationClosed(id, 2);
}

uint TestNotificationService::Notify(const QString& appName, uint, const QString&, const QString& summary,
                                     const QString& body, const QStringList& actions,
                                     const QVariantMap& hints, int)
{
    Shown shown;
    shown.Id = uint32_t(m_shown.size() + 1);
    shown.AppName = appName;
    shown.Summary = summary;
    shown.Body = body;
    shown.Actions = actions;
    shown.HasImage = hints.contains(u"image-data"_s);
    m_shown.push_back(shown);
    return shown.Id;
}

void TestNotificationService::CloseNotification(uint id)
{
    m_closed.push_back(id);
    emit NotificationClosed(id, 3);
}

QStringList TestNotificationService::GetCapabilities()
{
    return m_capabilities;
}
