#include "LauncherListener.h"

#include <QDBusArgument>
#include <QVariantMap>

using namespace Qt::Literals::StringLiterals;

namespace {

const auto kConnectionName = u"launcher-listener"_s;

} // namespace

TestLauncherListener::TestLauncherListener(const QString& busAddress)
    : m_bus(QDBusConnection::connectToBus(busAddress, kConnectionName))
{
    m_bus.connect(QString(), QString(), u"com.canonical.Unity.LauncherEntry"_s, u"Update"_s, this,
                  SLOT(Heard(QDBusMessage)));
}

TestLauncherListener::~TestLauncherListener()
{
    QDBusConnection::disconnectFromBus(kConnectionName);
}

TestLauncherListener::TUpdate TestLauncherListener::LastFor(const QString& appUri) const
{
    for (auto update = Updates.rbegin(); update != Updates.rend(); ++update)
        if (update->AppUri == appUri)
            return *update;
    return {};
}

void TestLauncherListener::Heard(const QDBusMessage& message)
{
    const QVariantList arguments = message.arguments();
    TUpdate update;
    if (arguments.size() == 2) {
        update.AppUri = arguments.at(0).toString();
        const QVariantMap properties = qdbus_cast<QVariantMap>(arguments.at(1));
        if (properties.value(u"count"_s).metaType() == QMetaType::fromType<qint64>())
            update.Count = properties.value(u"count"_s).toLongLong();
        update.Visible = properties.value(u"count-visible"_s).toBool();
    }
    Updates.append(update);
}
