#include "ServerProcess.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// Generous: only ends a test that would hang.
constexpr int kStartLimitMs = 30000;

HttpAnswer ParseAnswer(const QByteArray& bytes, bool head)
{
    HttpAnswer answer;
    const qsizetype end = bytes.indexOf("\r\n\r\n");
    if (end < 0)
        return answer;
    const QList<QByteArray> lines = bytes.first(end).split('\n');
    const QList<QByteArray> statusLine = lines.value(0).trimmed().split(' ');
    answer.status = statusLine.value(1).toInt();
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        if (colon > 0)
            answer.headers.insert(lines[i].first(colon).trimmed().toLower(),
                                  lines[i].sliced(colon + 1).trimmed());
    }
    answer.body = bytes.sliced(end + 4);
    bool ok = false;
    const qsizetype length = answer.headers.value("content-length").toLongLong(&ok);
    // A 304, like a HEAD, names the length of a body it does not send.
    const bool bodiless = head || answer.status == 304;
    answer.lengthMatches = ok && (bodiless ? answer.body.isEmpty() : length == answer.body.size());
    return answer;
}

} // namespace

ServerProcess::ServerProcess(const QString& catalogFolder, const QString& database, const QStringList& extra)
{
    m_process.setProgram(QString::fromUtf8(MORVALEN_SERVER_PATH));
    // A database address goes to --database, a file name to its alias --db.
    const QString databaseOption = database.startsWith(u"postgresql:"_s) ? u"--database"_s : u"--db"_s;
    m_process.setArguments(
        QStringList{u"--catalog"_s, catalogFolder, u"--port"_s, u"0"_s, databaseOption, database} + extra);
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    m_process.start();
    static const QRegularExpression listening(u"Listening on http://127\\.0\\.0\\.1:(\\d+)"_s);
    QByteArray output;
    while (m_process.waitForReadyRead(kStartLimitMs)) {
        output += m_process.readAllStandardOutput();
        const QRegularExpressionMatch match = listening.match(QString::fromUtf8(output));
        if (match.hasMatch()) {
            m_port = match.captured(1).toInt();
            return;
        }
    }
    ADD_FAILURE() << "the server did not start: " << m_process.readAllStandardError().toStdString();
}

ServerProcess::~ServerProcess()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(kStartLimitMs);
    }
}

bool ServerProcess::Stop()
{
    m_process.terminate();
    return m_process.waitForFinished(kStartLimitMs) && m_process.exitStatus() == QProcess::NormalExit &&
           m_process.exitCode() == 0;
}

int ServerProcess::Connect(const char* from) const
{
    const int socketHandle = socket(AF_INET, SOCK_STREAM, 0);
    if (socketHandle < 0)
        return -1;
    sockaddr_in source{};
    source.sin_family = AF_INET;
    inet_pton(AF_INET, from, &source.sin_addr);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(uint16_t(m_port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(socketHandle, reinterpret_cast<sockaddr*>(&source), sizeof source) != 0 ||
        connect(socketHandle, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        close(socketHandle);
        return -1;
    }
    timeval limit{30, 0};
    setsockopt(socketHandle, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    return socketHandle;
}

QByteArray ServerProcess::RawUntilClosed(const QByteArray& requests) const
{
    const int socketHandle = Connect("127.0.0.1");
    if (socketHandle < 0)
        return {};
    QByteArray bytes;
    if (send(socketHandle, requests.constData(), size_t(requests.size()), MSG_NOSIGNAL) == requests.size()) {
        char buffer[65536];
        ssize_t received;
        while ((received = recv(socketHandle, buffer, sizeof buffer, 0)) > 0)
            bytes.append(buffer, received);
    }
    close(socketHandle);
    return bytes;
}

HttpAnswer ServerProcess::Raw(const QByteArray& request, const char* from) const
{
    const int socketHandle = Connect(from);
    if (socketHandle < 0)
        return {};
    QByteArray bytes;
    {
        qsizetype sent = 0;
        while (sent < request.size()) {
            const ssize_t written =
                send(socketHandle, request.constData() + sent, size_t(request.size() - sent), MSG_NOSIGNAL);
            if (written <= 0)
                break;
            sent += written;
        }
        char buffer[65536];
        ssize_t received;
        while ((received = recv(socketHandle, buffer, sizeof buffer, 0)) > 0) {
            bytes.append(buffer, received);
            // A server may keep the connection open after an answer it sent in full.
            const HttpAnswer answer = ParseAnswer(bytes, request.startsWith("HEAD "));
            if (answer.lengthMatches)
                break;
        }
    }
    close(socketHandle);
    return ParseAnswer(bytes, request.startsWith("HEAD "));
}

HttpAnswer ServerProcess::Get(const QByteArray& target, const QByteArray& method, const QByteArray& host,
                              const char* from, const QByteArray& headers) const
{
    const QByteArray hostHeader = host.isNull() ? "127.0.0.1:" + QByteArray::number(m_port) : host;
    return Raw(method + ' ' + target + " HTTP/1.1\r\nHost: " + hostHeader + "\r\n" + headers +
                   "Connection: close\r\n\r\n",
               from);
}

ServerRun RunServerToEnd(const QStringList& arguments)
{
    QProcess process;
    process.start(QString::fromUtf8(MORVALEN_SERVER_PATH), arguments);
    ServerRun run;
    if (process.waitForFinished(kStartLimitMs) && process.exitStatus() == QProcess::NormalExit)
        run.exitCode = process.exitCode();
    else
        process.kill();
    run.errorOutput = QString::fromUtf8(process.readAllStandardError());
    return run;
}
