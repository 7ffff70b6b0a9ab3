#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

struct MHD_Daemon;

// One request as the HTTP layer received it.
struct HttpRequest
{
    QByteArray method;
    // The path and query exactly as the client sent them, escapes and all.
    QByteArray target;
    QByteArray host;
    // The peer's IP address ("127.0.0.1", "::1"); IPv4 clients on an IPv6 socket as IPv4.
    QString clientAddress;
    // Headers the answer depends on, null when absent; a header sent more than once is the
    // list of its values (", " between them), as HTTP reads it.
    QByteArray ifNoneMatch;
    QByteArray ifModifiedSince;
    QByteArray forwardedFor;
};

struct HttpResponse
{
    int status = 200;
    QByteArray contentType;
    QByteArray body;
    // Further header lines, name and value.
    std::vector<std::pair<QByteArray, QByteArray>> headers;
};

// The catalog server's HTTP/1.1 layer, on GNU libmicrohttpd: a few threads each wait on epoll
// for every connection, so idle and slow clients cost a file descriptor and a little memory
// but never hold a thread. Requests on one connection, pipelined or not, are answered in order.
// Requests the layer refuses itself (malformed, too long, too many headers, too large a body)
// get a 4xx answer with a body and its length. A HEAD gets the GET's headers, its length
// included, without the body; so does a 304, whose answer carries the body it stands for, so
// that a cache's record of the length stays true.
class HttpServer final
{
public:
    struct Settings
    {
        QString bindAddress = QStringLiteral("127.0.0.1");
        int port = 0; // 0 takes any free port
        int threads = 4;
        int backlog = 1024;
        // A connection that sends nothing for this long is closed, half-sent request or not.
        unsigned idleTimeoutSeconds = 15;
        unsigned connectionLimit = 20000;
        // Connections one client address may hold at once (0: no limit).
        unsigned connectionsPerAddress = 256;
        // The request line and headers of one request must fit in this; more gets 414 or 431.
        size_t headerBytes = 32 * 1024;
        int maxHeaders = 100;
        // A request body beyond this gets 413.
        size_t maxBodyBytes = 16 * 1024;
    };

    using Handler = std::function<HttpResponse(const HttpRequest&)>;

    // Starts serving at once; throws EMorvalenError when it cannot listen. The handler is called
    // from several threads at once.
    HttpServer(const Settings& settings, Handler handler);
    ~HttpServer();

    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    int Port() const { return m_port; }

    // Closes every connection and waits for the requests being handled; the destructor does it
    // too. Call it once, from one thread.
    void Stop();

    // The text body of an answer the layer makes itself ("Error 404\n").
    static HttpResponse ErrorResponse(int status);

    struct Exchange;

private:
    Settings m_settings;
    Handler m_handler;
    int m_listenSocket = -1;
    int m_port = 0;
    MHD_Daemon* m_daemon = nullptr;

    friend struct Exchange;
};
