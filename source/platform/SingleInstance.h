#pragma once

#include <QByteArray>
#include <QLockFile>
#include <QObject>

#include <functional>
#include <memory>

class QLocalServer;

// What a second start hands to the running instance: the number of its parameters and
// their text (one parameter as it is, several each followed by CR LF).
struct CopyDataRecord
{
    int32_t dataValue = 0;
    QByteArray text;

    // On the wire: data value, size of the text plus its zero terminator, the text, a zero.
    QByteArray Encode() const;
    // Parses one whole record from the front of bytes. Returns the bytes it used, 0 when
    // more are needed, -1 when the bytes cannot be a record (never trusts the size beyond
    // kMaxTextSize).
    static qsizetype Decode(QByteArrayView bytes, CopyDataRecord& record);

    static constexpr qsizetype kMaxTextSize = 1 << 20;
};

// One running instance per user: a lock file decides which process is first (the system
// removes a dead owner's claim, so a crash leaves nothing stale), and the first instance
// listens on a user-only local socket for the records of later starts.
class SingleInstance final : public QObject
{
    Q_OBJECT

public:
    // sessionLocal: one instance per user session (the runtime folder); otherwise per
    // machine user (the temporary folder).
    SingleInstance(const QString& instanceName, bool sessionLocal, QObject* parent = nullptr);
    ~SingleInstance() override;

    enum class Claim
    {
        First,
        AlreadyRunning,
        Failed
    };
    // On Failed, errorCode tells why (QLockFile's error).
    Claim TryClaim(int& errorCode);

    // First instance: accepts records from later starts. handler runs on this thread for
    // each record; the sender is answered once it has returned.
    bool Listen(std::function<void(const CopyDataRecord&)> handler);

    // Second instance: hands the record to the first, trying attempts times intervalMs
    // apart while the first instance is not listening yet. Blocks until the first has
    // handled it; false when no instance took it.
    bool Send(const CopyDataRecord& record, int attempts = 11, int intervalMs = 1000) const;

    QString Name() const { return m_name; }
    QString ServerPath() const { return m_serverPath; }

private:
    QString m_name;
    QString m_serverPath;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer* m_server = nullptr;
    std::function<void(const CopyDataRecord&)> m_handler;
};
