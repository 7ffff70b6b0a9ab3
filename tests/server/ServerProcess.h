#pragma once

#include <QByteArray>
#include <QMap>
#include <QProcess>
#include <QString>
#include <QStringList>

// One answer as it came over the wire.
struct HttpAnswer
{
    int status = 0;
    QMap<QByteArray, QByteArray> headers; // names lower-cased
    QByteArray body;
    // Whether the answer had a Content-Length header equal to the body's size (for HEAD and
    // 304: any Content-Length, and no body).
    bool lengthMatches = false;
};

// The real morvalen-catalog-server on a free loopback port, for one test.
class ServerProcess final
{
public:
    // Starts the server; FAILs the test (and leaves Port() 0) when it does not come up. The
    // database is a file name or a postgresql:// address.
    ServerProcess(const QString& catalogFolder, const QString& database, const QStringList& extra = {});
    ~ServerProcess();

    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    int Port() const { return m_port; }
    QString BaseURL() const { return QStringLiteral("http://127.0.0.1:") + QString::number(m_port); }
    bool IsRunning() const { return m_process.state() == QProcess::Running; }

    // Stops it with SIGTERM and waits; true when it ended normally with status 0.
    bool Stop();

    // Sends request bytes exactly as given (a whole request) from the loopback address from
    // and reads the answer until it is whole or the server closes the connection.
    HttpAnswer Raw(const QByteArray& request, const char* from = "127.0.0.1") const;
    // Sends the bytes (several requests, say) and reads until the server closes.
    QByteArray RawUntilClosed(const QByteArray& requests) const;
    // GET (or another method) of target exactly as given, with Host 127.0.0.1:port and the
    // further header lines ("Name: value\r\n" each).
    HttpAnswer Get(const QByteArray& target, const QByteArray& method = "GET", const QByteArray& host = {},
                   const char* from = "127.0.0.1", const QByteArray& headers = {}) const;

private:
    // A connected socket from the loopback address from, or -1.
    int Connect(const char* from) const;

    QProcess m_process;
    int m_port = 0;
};

// Runs the server program to its end with these arguments; its exit status and error output.
struct ServerRun
{
    int exitCode = -1;
    QString errorOutput;
};
ServerRun RunServerToEnd(const QStringList& arguments);
