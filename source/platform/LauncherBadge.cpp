#include "LauncherBadge.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QVariantMap>

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace {

// The docks listen to every sender of the interface; the path only has to be a valid one
// of our own.
class TUnityLauncherEntry final : public TLauncherBadge
{
public:
    TUnityLauncherEntry(const QString& desktopFileName, const QString& connectionName)
        : m_appUri(u"application://"_s + desktopFileName), m_connectionName(connectionName)
    {
        m_path = u"/com/morvalen/LauncherEntry/"_s;
        for (const QChar c : desktopFileName)
            m_path += (c.isLetterOrNumber() && c.unicode() < 128) ? c : u'_';
    }

    void SetCount(int count) override
    {
        count = std::max(count, 0);
        if (count == m_count)
            return;
        m_count = count;
        QDBusMessage signal =
            QDBusMessage::createSignal(m_path, u"com.canonical.Unity.LauncherEntry"_s, u"Update"_s);
        const QVariantMap properties{{u"count"_s, QVariant::fromValue(qint64(count))},
                                     {u"count-visible"_s, count > 0}};
        signal << m_appUri << properties;
        const QDBusConnection bus =
            m_connectionName.isEmpty() ? QDBusConnection::sessionBus() : QDBusConnection(m_connectionName);
        // Without a session bus there is no dock to tell.
        if (bus.isConnected())
            bus.send(signal);
    }

private:
    QString m_appUri;
    QString m_connectionName;
    QString m_path;
    int m_count = -1;
};

} // namespace

std::unique_ptr<TLauncherBadge> TLauncherBadge::ForDesktopEntry(const QString& desktopFileName,
                                                                const QString& connectionName)
{
    return std::make_unique<TUnityLauncherEntry>(desktopFileName, connectionName);
}
