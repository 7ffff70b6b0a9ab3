#include "FileManager.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

using namespace Qt::Literals::StringLiterals;

namespace FileManager {

namespace {

// A file manager that takes longer than this to start has not answered.
constexpr int kShowItemsTimeoutMs = 5000;

void OpenFolder(const QString& path)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(path).absolutePath()));
}

} // namespace

bool OpenFile(const QString& path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void ShowInFolder(const QString& path, const QString& connectionName)
{
    QDBusConnection bus =
        connectionName.isEmpty() ? QDBusConnection::sessionBus() : QDBusConnection(connectionName);
    if (!bus.isConnected()) {
        OpenFolder(path);
        return;
    }
    QDBusMessage call =
        QDBusMessage::createMethodCall(u"org.freedesktop.FileManager1"_s, u"/org/freedesktop/FileManager1"_s,
                                       u"org.freedesktop.FileManager1"_s, u"ShowItems"_s);
    call << QStringList{QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded)}
         << QString();
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, kShowItemsTimeoutMs));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                     [path](QDBusPendingCallWatcher* finished) {
                         if (QDBusPendingReply<>(*finished).isError())
                             OpenFolder(path);
                         finished->deleteLater();
                     });
}

} // namespace FileManager
