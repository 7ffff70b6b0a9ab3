#include "SingleInstance.h"

#include "common/BinaryStream.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>
#include <QtEndian>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr char kHandled = 1;
constexpr int kIoTimeoutMs = 30000;

QString InstanceFolder(bool sessionLocal)
{
    if (sessionLocal) {
        const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
        if (!runtime.isEmpty())
            return runtime;
    }
    return QDir::tempPath();
}

} // namespace

QByteArray CopyDataRecord::Encode() const
{
    BinaryWriter writer;
    writer.WriteInteger(dataValue);
    writer.WriteInteger(int32_t(text.size() + 1));
    writer.WriteBytes(text);
    writer.WriteByte(0);
    return writer.TakeData();
}

qsizetype CopyDataRecord::Decode(QByteArrayView bytes, CopyDataRecord& record)
{
    if (bytes.size() < 8)
        return 0;
    BinaryReader reader(bytes);
    const int32_t dataValue = reader.ReadInteger();
    const int32_t size = reader.ReadInteger();
    if (size < 1 || size > kMaxTextSize + 1)
        return -1;
    if (reader.Remaining() < size)
        return 0;
    QByteArrayView text = reader.ReadBytes(size);
    // The text ends at its terminator; anything after it is not text.
    if (const qsizetype zero = text.indexOf('\0'); zero >= 0)
        text = text.first(zero);
    record.dataValue = dataValue;
    record.text = text.toByteArray();
    return reader.Position();
}

SingleInstance::SingleInstance(const QString& instanceName, bool sessionLocal, QObject* parent)
    : QObject(parent), m_name(instanceName)
{
    // The instance name is a GUID in braces; keep it readable but file-name safe.
    QString safe = instanceName;
    safe.replace(QRegularExpression(u"[^A-Za-z0-9._-]"_s), u"_"_s);
    const QString folder = InstanceFolder(sessionLocal);
    m_lock = std::make_unique<QLockFile>(folder + u'/' + safe + u".lock"_s);
    m_lock->setStaleLockTime(0);
    m_serverPath = folder + u'/' + safe + u".socket"_s;
}

SingleInstance::~SingleInstance()
{
    if (m_server)
        m_server->close();
}

SingleInstance::Claim SingleInstance::TryClaim(int& errorCode)
{
    if (m_lock->tryLock(0))
        return Claim::First;
    errorCode = int(m_lock->error());
    return m_lock->error() == QLockFile::LockFailedError ? Claim::AlreadyRunning : Claim::Failed;
}

bool SingleInstance::Listen(std::function<void(const CopyDataRecord&)> handler)
{
    m_handler = std::move(handler);
    if (!m_server) {
        m_server = new QLocalServer(this);
        m_server->setSocketOptions(QLocalServer::UserAccessOption);
        // We hold the lock: a socket file left there is from an instance that died.
        QLocalServer::removeServer(m_serverPath);
        if (!m_server->listen(m_serverPath))
            return false;
        connect(m_server, &QLocalServer::newConnection, this, [this] {
            while (QLocalSocket* socket = m_server->nextPendingConnection()) {
                connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
                connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                    CopyDataRecord record;
                    const QByteArray pending = socket->peek(socket->bytesAvailable());
                    const qsizetype used = CopyDataRecord::Decode(pending, record);
                    if (used < 0) {
                        socket->abort();
                        return;
                    }
                    if (used == 0)
                        return;
                    socket->skip(used);
                    if (m_handler)
                        m_handler(record);
                    socket->write(&kHandled, 1);
                    socket->flush();
                });
            }
        });
    }
    return true;
}

bool SingleInstance::Send(const CopyDataRecord& record, int attempts, int intervalMs) const
{
    for (int attempt = 0; attempt < attempts; ++attempt) {
        if (attempt > 0)
            QThread::msleep(intervalMs);
        QLocalSocket socket;
        socket.connectToServer(m_serverPath);
        if (!socket.waitForConnected(intervalMs))
            continue;
        socket.write(record.Encode());
        if (!socket.waitForBytesWritten(kIoTimeoutMs))
            return false;
        // Wait until the first instance has handled every parameter.
        while (socket.bytesAvailable() < 1) {
            if (!socket.waitForReadyRead(kIoTimeoutMs))
                return false;
        }
        return true;
    }
    return false;
}
