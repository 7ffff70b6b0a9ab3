#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace httplib {
class Server;
struct Request;
struct Response;
} // namespace httplib

// A real HTTP server on 127.0.0.1 for the network tests, running in the test's own process.
// It listens on a free port from construction to destruction and answers GET requests by
// path (the query string is ignored) in one of the ways a real server misbehaves. Every
// path that was not set up answers 404 with a small HTML page. Every answer offers a
// cookie.
class TestHttpServer final
{
public:
    struct RecordedRequest
    {
        QByteArray target; // path and query as sent
        QByteArray userAgent;
        QByteArray cookie;
        QByteArray authorization;
    };

    TestHttpServer();
    // Releases stalled answers, then stops and waits for every connection to end.
    ~TestHttpServer();

    TestHttpServer(const TestHttpServer&) = delete;
    TestHttpServer& operator=(const TestHttpServer&) = delete;

    int Port() const { return m_port; }
    // "http://127.0.0.1:PORT" followed by path.
    QString Url(const QString& path) const;

    // 200 with Content-Length and the body.
    void Serve(const QString& path, const QByteArray& body,
               const QByteArray& contentType = QByteArrayLiteral("application/octet-stream"));
    // 200 without Content-Length: the body ends when the server closes the connection.
    void ServeWithoutLength(const QString& path, const QByteArray& body);
    // 200 in chunked transfer encoding, so again without Content-Length.
    void ServeChunked(const QString& path, const QByteArray& body);
    // 302 to target, with a short HTML body of its own.
    void ServeRedirect(const QString& path, const QString& target);
    // 200 with the body to a request that brings the Basic login user:password; to any other
    // 401 with a Basic challenge for realm and a page of its own.
    void ServeWithLogin(const QString& path, const QString& realm, const QString& user,
                        const QString& password, const QByteArray& body,
                        const QByteArray& contentType = QByteArrayLiteral("text/html"));
    // Sends the headers (announcing announcedLength bytes) and firstBytes, then nothing
    // until ReleaseStalls or the end of the server, and then drops the connection.
    void ServeStalling(const QString& path, qint64 announcedLength, const QByteArray& firstBytes = {},
                       const QByteArray& contentType = QByteArrayLiteral("application/octet-stream"));
    // Announces announcedLength bytes, sends body (shorter), then drops the connection.
    void ServeCutShort(const QString& path, const QByteArray& body, qint64 announcedLength);
    // size bytes of LargeBodyByte, generated while sending; with or without Content-Length.
    void ServeLarge(const QString& path, qint64 size, bool withLength = true);

    // Byte number offset of every large body: a period of 251 does not line up with any
    // buffer size, so a lost or repeated block shows.
    static char LargeBodyByte(qint64 offset) { return char(offset % 251); }
    static QByteArray LargeBody(qint64 size);

    // Lets every answer that is stalled now drop its connection. A stalled answer holds a
    // server thread until then, even when its client has gone.
    void ReleaseStalls();
    // Answers that are stalled right now.
    int StalledCount() const;

    QList<RecordedRequest> Requests() const;
    // Requests whose path (without query) was path.
    int RequestCount(const QString& path) const;

    // A loopback port on which nothing listens: connections to it are refused.
    static int UnusedPort();

private:
    struct Route;

    void SetRoute(const QString& path, Route route);
    void Answer(const httplib::Request& request, httplib::Response& response);
    bool WaitWhileStalled();

    std::unique_ptr<httplib::Server> m_server;
    std::thread m_listener;
    int m_port = 0;

    mutable std::mutex m_mutex;
    std::condition_variable m_stallChanged;
    std::map<std::string, std::shared_ptr<const Route>> m_routes;
    QList<RecordedRequest> m_requests;
    int m_stalled = 0;
    int m_releases = 0;
    bool m_stopping = false;
};

// A loopback port whose connections open (the system accepts them) but are never read or
// answered: a server that hangs before its answer.
class TestSilentServer final
{
public:
    TestSilentServer();
    ~TestSilentServer();

    TestSilentServer(const TestSilentServer&) = delete;
    TestSilentServer& operator=(const TestSilentServer&) = delete;

    int Port() const { return m_port; }
    QString Url(const QString& path) const;

private:
    int m_socket = -1;
    int m_port = 0;
};
