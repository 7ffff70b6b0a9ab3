#include "DesktopNotifier.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QGuiApplication>

#include <optional>
#include <utility>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace {

// The "image-data" hint: raw pixels as (iiibiiay).
struct TNotificationImage
{
    int Width = 0;
    int Height = 0;
    int RowStride = 0;
    bool HasAlpha = true;
    int BitsPerSample = 8;
    int Channels = 4;
    QByteArray Data;
};

QDBusArgument& operator<<(QDBusArgument& argument, const TNotificationImage& image)
{
    argument.beginStructure();
    argument << image.Width << image.Height << image.RowStride << image.HasAlpha << image.BitsPerSample
             << image.Channels << image.Data;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, TNotificationImage& image)
{
    argument.beginStructure();
    argument >> image.Width >> image.Height >> image.RowStride >> image.HasAlpha >> image.BitsPerSample >>
        image.Channels >> image.Data;
    argument.endStructure();
    return argument;
}

} // namespace

Q_DECLARE_METATYPE(TNotificationImage)

namespace {

// A call that gets no answer gives up so that the fallback still comes in time.
constexpr int kCallTimeoutMs = 5000;

QVariant ImageHint(const QImage& icon)
{
    const QImage rgba = icon.convertToFormat(QImage::Format_RGBA8888);
    TNotificationImage image;
    image.Width = rgba.width();
    image.Height = rgba.height();
    image.RowStride = int(rgba.bytesPerLine());
    image.Data = QByteArray(reinterpret_cast<const char*>(rgba.constBits()), rgba.sizeInBytes());
    return QVariant::fromValue(image);
}

} // namespace

struct TDesktopNotifier::Bus
{
    explicit Bus(QDBusConnection connection) : Connection(std::move(connection)) {}

    QDBusConnection Connection;
    // Whether the service reads markup in a body, once it said; the calls that wait for it.
    std::optional<bool> BodyMarkup;
    bool AskingCapabilities = false;
    std::vector<std::function<void()>> Waiting;
};

TDesktopNotifier::TDesktopNotifier(const QString& connectionName, QObject* parent)
    : QObject(parent),
      m_bus(std::make_unique<Bus>(connectionName.isEmpty() ? QDBusConnection::sessionBus()
                                                           : QDBusConnection(connectionName)))
{
    qDBusRegisterMetaType<TNotificationImage>();
    const QString service = QString::fromLatin1(kService);
    const QString path = QString::fromLatin1(kPath);
    // Qt D-Bus binds bus signals by slot name only.
    m_bus->Connection.connect(service, path, service, u"ActionInvoked"_s, this,
                              SLOT(HandleAction(uint, QString)));
    m_bus->Connection.connect(service, path, service, u"NotificationClosed"_s, this,
                              SLOT(HandleClosed(uint, uint)));
}

TDesktopNotifier::~TDesktopNotifier() = default;

void TDesktopNotifier::Show(const QString& appName, const QString& summary, const QString& body,
                            const QImage& icon, const std::function<void(uint32_t id)>& shown)
{
    if (!m_bus->Connection.isConnected()) {
        if (shown)
            shown(0);
        return;
    }
    if (m_bus->BodyMarkup) {
        Notify(appName, summary, body, icon, shown);
        return;
    }
    // The texts are plain: a service that reads markup in the body (links, pictures) gets it
    // escaped, so that a site's text never becomes markup of its choice.
    m_bus->Waiting.push_back(
        [this, appName, summary, body, icon, shown] { Notify(appName, summary, body, icon, shown); });
    if (m_bus->AskingCapabilities)
        return;
    m_bus->AskingCapabilities = true;
    const QDBusMessage ask =
        QDBusMessage::createMethodCall(QString::fromLatin1(kService), QString::fromLatin1(kPath),
                                       QString::fromLatin1(kService), u"GetCapabilities"_s);
    auto* watcher = new QDBusPendingCallWatcher(m_bus->Connection.asyncCall(ask, kCallTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher] {
        const QDBusPendingReply<QStringList> reply = *watcher;
        watcher->deleteLater();
        m_bus->AskingCapabilities = false;
        // A service that does not say is taken to read markup: escaped text is still safe.
        m_bus->BodyMarkup = reply.isError() || reply.value().contains(u"body-markup"_s);
        for (const std::function<void()>& notify : std::exchange(m_bus->Waiting, {}))
            notify();
    });
}

QString TDesktopNotifier::PlainBody(const QString& text, bool markup)
{
    return markup ? text.toHtmlEscaped() : text;
}

void TDesktopNotifier::Notify(const QString& appName, const QString& summary, const QString& body,
                              const QImage& icon, const std::function<void(uint32_t id)>& shown)
{
    QDBusMessage call =
        QDBusMessage::createMethodCall(QString::fromLatin1(kService), QString::fromLatin1(kPath),
                                       QString::fromLatin1(kService), u"Notify"_s);
    QVariantMap hints;
    if (!icon.isNull())
        hints.insert(u"image-data"_s, ImageHint(icon));
    const QStringList actions{QString::fromLatin1(kDefaultAction), u"Show"_s};
    call << appName << uint32_t(0) << QString() << summary
         << PlainBody(body, m_bus->BodyMarkup.value_or(true)) << actions << hints << int32_t(-1);

    auto* watcher = new QDBusPendingCallWatcher(m_bus->Connection.asyncCall(call, kCallTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [watcher, shown] {
        const QDBusPendingReply<uint32_t> reply = *watcher;
        watcher->deleteLater();
        if (shown)
            shown(reply.isError() ? 0 : reply.value());
    });
}

void TDesktopNotifier::Close(uint32_t id)
{
    QDBusMessage call =
        QDBusMessage::createMethodCall(QString::fromLatin1(kService), QString::fromLatin1(kPath),
                                       QString::fromLatin1(kService), u"CloseNotification"_s);
    call << id;
    m_bus->Connection.asyncCall(call, kCallTimeoutMs);
}

void TDesktopNotifier::HandleAction(uint id, const QString& action)
{
    if (action == QLatin1StringView(kDefaultAction) && OnActivated)
        OnActivated(id);
}

void TDesktopNotifier::HandleClosed(uint id, uint)
{
    if (OnClosed)
        OnClosed(id);
}

bool TDesktopNotifier::OwnWindowPlaceable()
{
    return !QGuiApplication::platformName().startsWith(u"wayland"_s);
}
