#pragma once

#include "browser/WebKitHostProtocol.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QSize>
#include <QString>
#include <QTimer>

#include <cstdint>

class QLocalServer;
class QLocalSocket;
class QProcess;

// The program's end of one morvalen-webkit-host process: starts it, speaks the message
// protocol over a local socket and watches it. A host that exits, breaks the protocol or
// stays silent for longer than the hang limit has failed: it is killed and Failed is
// raised once; nothing here ever waits for it. Until its first page exists the host is
// starting (loading the engine's libraries, making its context), which on a busy machine can
// take far longer than any answer should: then the longer start limit applies. One host
// serves every page of one browser window.
class TWebKitHost final : public QObject
{
    Q_OBJECT

public:
    static constexpr int DefaultHangLimitMs = 5000;
    static constexpr int DefaultStartLimitMs = 30000;

    explicit TWebKitHost(QObject* parent = nullptr);
    ~TWebKitHost() override;

    TWebKitHost(const TWebKitHost&) = delete;
    TWebKitHost& operator=(const TWebKitHost&) = delete;

    // The installed helper program (beside the program, or where an install puts helpers).
    static QString DefaultProgram();

    // Starts program with the profile folder; false (and Failed raised later) when it cannot
    // even be started. Messages sent before the host answers its hello wait for it.
    bool Start(const QString& program, const QString& profileFolder);

    bool IsReady() const { return m_ready; }
    bool HasFailed() const { return m_failed; }
    qint64 ProcessId() const;

    void SetHangLimit(int milliseconds);
    // The silence allowed from the start until the host has made its first page.
    void SetStartLimit(int milliseconds) { m_startLimitMs = milliseconds; }
    bool IsStarting() const { return m_starting; }

    // A new page of size (device pixels), scale device pixels to a page pixel; its window
    // arrives in a ViewCreated message.
    std::uint32_t CreateView(QSize size, qreal scale = 1.0);
    void CloseView(std::uint32_t view);
    void Send(const WebKitHostProtocol::Message& message);

    // Starts program with a throw-away profile and waits at most timeoutMs for its hello.
    static bool Answers(const QString& program, int timeoutMs);

signals:
    void Ready();
    void Failed();
    void MessageReceived(const WebKitHostProtocol::Message& message);

private:
    void OnConnection();
    void OnReadyRead();
    void OnWatchTick();
    void Fail();
    void Write(const WebKitHostProtocol::Message& message);

    QLocalServer* m_server = nullptr;
    QLocalSocket* m_socket = nullptr;
    QProcess* m_process = nullptr;
    WebKitHostProtocol::FrameReader m_reader;
    std::string m_queued;
    QTimer m_watch;
    QElapsedTimer m_lastHeard;
    bool m_pinged = false;
    bool m_ready = false;
    bool m_failed = false;
    int m_hangLimitMs = DefaultHangLimitMs;
    int m_startLimitMs = DefaultStartLimitMs;
    bool m_starting = true;
    std::uint32_t m_nextView = 1;
    std::int64_t m_nextPing = 1;
};
