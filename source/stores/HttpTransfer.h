#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

// The limits of one transfer. The defaults are the program's; tests shorten them.
struct HttpLimits
{
    // Giving up on a connection that does not open.
    int connectTimeoutMs = 5000;
    // Giving up on a transfer from which nothing arrived for this long; what arrived is kept.
    int stallTimeoutMs = 50000;
    // An answer past this size counts as failed: an endless answer must not fill the memory.
    qint64 maxBodySize = 64 * 1024 * 1024;
};

// What one transfer came to.
struct HttpResult
{
    // The server's answer headers arrived (whatever its status).
    bool answered = false;
    int status = 0;
    // Content-Length of the answer, -1 when it sent none or one that is not a number.
    qint64 contentLength = -1;
    // The body ended before the length the server announced (Content-Length, or a chunked
    // body that broke off); what arrived is kept.
    bool truncated = false;
    // Nothing arrived for the stall time-out; what arrived is kept.
    bool stalled = false;
    // The answer was larger than the limit; the body is dropped.
    bool tooLarge = false;
    // The transfer was stopped on request.
    bool stopped = false;
    // libcurl's reason when the transfer failed.
    QString error;

    // A whole answer: the server answered and the body is complete as far as can be told.
    bool Whole() const { return answered && !truncated && !tooLarge && !stopped && error.isEmpty(); }
};

// One blocking HTTP GET on the calling thread, the way the program fetches everything from
// the web: user agent "Microsoft Internet Explorer", no redirects followed (the redirect
// answer is the result), no cookies, only http and https, the proxy of the environment.
// A stop request is noticed within a few tens of milliseconds, so no caller waits on a slow
// server.
class HttpTransfer final
{
public:
    using StopCheck = std::function<bool()>;

    static constexpr char kUserAgent[] = "Microsoft Internet Explorer";

    explicit HttpTransfer(HttpLimits limits = {}, StopCheck stopRequested = {});

    // Reads the answer's headers and stops before its body.
    HttpResult FetchHeaders(const QString& url);
    // Reads the whole answer into body (which is emptied first). On a failure the body
    // holds what arrived, except for tooLarge, where it is empty.
    HttpResult Fetch(const QString& url, QByteArray& body);

private:
    HttpResult Run(const QString& url, QByteArray* body);

    HttpLimits m_limits;
    StopCheck m_stopRequested;
};
