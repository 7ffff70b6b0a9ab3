#include "TestHttpServer.h"

#include <httplib.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <exception>
#include <stdexcept>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr size_t kLargeBlockSize = 64 * 1024;
// Enough threads that every connection of a test (twenty stalled downloads and more)
// gets its own; a stalled answer holds its thread.
constexpr size_t kServerThreads = 64;

std::string ToStd(const QByteArray& bytes)
{
    return std::string(bytes.constData(), size_t(bytes.size()));
}

// A block of the large body's pattern long enough to send kLargeBlockSize bytes starting at
// any phase of the period.
const std::string& LargePatternBlock()
{
    static const std::string block = [] {
        std::string bytes(kLargeBlockSize + 251, '\0');
        for (size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = TestHttpServer::LargeBodyByte(qint64(i));
        return bytes;
    }();
    return block;
}

// Writes the large body's bytes from offset up to end; false when the client went away.
bool WriteLargeBlock(size_t offset, size_t end, httplib::DataSink& sink)
{
    const size_t length = std::min(kLargeBlockSize, end - offset);
    return sink.write(LargePatternBlock().data() + offset % 251, length);
}

} // namespace

struct TestHttpServer::Route
{
    enum class Kind
    {
        Normal,
        WithoutLength,
        Chunked,
        Redirect,
        Stall,
        CutShort,
        Large,
        Login
    };

    Kind kind = Kind::Normal;
    std::string body;
    std::string contentType = "application/octet-stream";
    std::string location;
    std::string login; // the Authorization header that opens a login route
    std::string realm;
    size_t length = 0; // announced length, or the size of a large body
    bool withLength = true;
};

TestHttpServer::TestHttpServer() : m_server(std::make_unique<httplib::Server>())
{
    m_server->new_task_queue = [] {
        return new httplib::ThreadPool(kServerThreads);
    };
    // One answer per connection: a body without length ends only when its connection does,
    // and an idle kept-alive connection would hold up the end of a test.
    m_server->set_keep_alive_max_count(1);
    m_server->set_keep_alive_timeout(1);
    m_server->Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
        Answer(request, response);
    });
    m_port = m_server->bind_to_any_port("127.0.0.1");
    if (m_port <= 0)
        throw std::runtime_error("The test HTTP server cannot listen on 127.0.0.1");
    // The socket listens from here on; connections wait in its queue until the loop runs.
    m_listener = std::thread([this] { m_server->listen_after_bind(); });
    // A stop before the loop runs would be lost, and the loop would never end.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!m_server->is_running()) {
        if (std::chrono::steady_clock::now() > deadline)
            std::terminate();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

TestHttpServer::~TestHttpServer()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_stallChanged.notify_all();
    m_server->stop();
    m_listener.join();
}

QString TestHttpServer::Url(const QString& path) const
{
    return u"http://127.0.0.1:%1%2"_s.arg(m_port).arg(path);
}

void TestHttpServer::SetRoute(const QString& path, Route route)
{
    std::lock_guard lock(m_mutex);
    m_routes[path.toStdString()] = std::make_shared<const Route>(std::move(route));
}

void TestHttpServer::Serve(const QString& path, const QByteArray& body, const QByteArray& contentType)
{
    Route route;
    route.body = ToStd(body);
    route.contentType = ToStd(contentType);
    SetRoute(path, std::move(route));
}

void TestHttpServer::ServeWithoutLength(const QString& path, const QByteArray& body)
{
    Route route;
    route.kind = Route::Kind::WithoutLength;
    route.body = ToStd(body);
    SetRoute(path, std::move(route));
}

void TestHttpServer::ServeChunked(const QString& path, const QByteArray& body)
{
    Route route;
    route.kind = Route::Kind::Chunked;
    route.body = ToStd(body);
    SetRoute(path, std::move(route));
}

void TestHttpServer::ServeRedirect(const QString& path, const QString& target)
{
    Route route;
    route.kind = Route::Kind::Redirect;
    route.body = "<html><body>Moved <a href=\"" + target.toStdString() + "\">here</a></body></html>";
    route.contentType = "text/html";
    route.location = target.toStdString();
    SetRoute(path, std::move(route));
}

void TestHttpServer::ServeWithLogin(const QString& path, const QString& realm, const QString& user,
                                    const QString& password, const QByteArray& body,
                                    const QByteArray& contentType)
{
    Route route;
    route.kind = Route::Kind::Login;
    route.body = ToStd(body);
    route.contentType = ToStd(contentType);
    route.login = "Basic " + ToStd((user + u':' + password).toUtf8().toBase64());
    route.realm = realm.toStdString();
    SetRoute(path, std::move(route));
}

void TestHttpServer::ServeStalling(const QString& path, qint64 announcedLength, const QByteArray& firstBytes,
                                   const QByteArray& contentType)
{
    Route route;
    route.kind = Route::Kind::Stall;
    route.contentType = contentType.toStdString();
    route.body = ToStd(firstBytes);
    route.length = size_t(announcedLength);
    SetRoute(path, std::move(route));
}

void TestHttpServer::ServeCutShort(const QString& path, const QByteArray& body, qint64 announcedLength)
{
    Route route;
    route.kind = Route::Kind::CutShort;
    route.body = ToStd(body);
    route.length = size_t(announcedLength);
    SetRoute(path, std::move(route));
}

void TestHttpServer::ServeLarge(const QString& path, qint64 size, bool withLength)
{
    Route route;
    route.kind = Route::Kind::Large;
    route.length = size_t(size);
    route.withLength = withLength;
    SetRoute(path, std::move(route));
}

QByteArray TestHttpServer::LargeBody(qint64 size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (qint64 i = 0; i < size; ++i)
        bytes[i] = LargeBodyByte(i);
    return bytes;
}

void TestHttpServer::ReleaseStalls()
{
    {
        std::lock_guard lock(m_mutex);
        ++m_releases;
    }
    m_stallChanged.notify_all();
}

int TestHttpServer::StalledCount() const
{
    std::lock_guard lock(m_mutex);
    return m_stalled;
}

QList<TestHttpServer::RecordedRequest> TestHttpServer::Requests() const
{
    std::lock_guard lock(m_mutex);
    return m_requests;
}

int TestHttpServer::RequestCount(const QString& path) const
{
    const QByteArray wanted = path.toUtf8();
    std::lock_guard lock(m_mutex);
    return int(std::count_if(m_requests.cbegin(), m_requests.cend(), [&](const RecordedRequest& request) {
        const qsizetype query = request.target.indexOf('?');
        return (query < 0 ? request.target : request.target.left(query)) == wanted;
    }));
}

int TestHttpServer::UnusedPort()
{
    // Bound but never listening, then closed: the port was free a moment ago, and nothing
    // of this process listens on it.
    const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
    if (socket < 0)
        throw std::runtime_error("No socket for a free loopback port");
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof(address);
    const bool bound = ::bind(socket, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 &&
                       ::getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length) == 0;
    ::close(socket);
    if (!bound)
        throw std::runtime_error("No free loopback port");
    return ntohs(address.sin_port);
}

bool TestHttpServer::WaitWhileStalled()
{
    std::unique_lock lock(m_mutex);
    const int releases = m_releases;
    ++m_stalled;
    m_stallChanged.notify_all();
    m_stallChanged.wait(lock, [&] { return m_releases != releases || m_stopping; });
    --m_stalled;
    return false;
}

void TestHttpServer::Answer(const httplib::Request& request, httplib::Response& response)
{
    std::shared_ptr<const Route> route;
    {
        std::lock_guard lock(m_mutex);
        m_requests.append({QByteArray::fromStdString(request.target),
                           QByteArray::fromStdString(request.get_header_value("User-Agent")),
                           QByteArray::fromStdString(request.get_header_value("Cookie")),
                           QByteArray::fromStdString(request.get_header_value("Authorization"))});
        if (const auto found = m_routes.find(request.path); found != m_routes.end())
            route = found->second;
    }
    // Offered with every answer, so that a client which kept cookies would give itself away.
    response.set_header("Set-Cookie", "morvalen-test=1; Path=/");
    if (!route) {
        response.status = 404;
        response.set_content("<html><head><title>404 Not Found</title></head>"
                             "<body><h1>Not Found</h1><p>The requested URL was not found.</p></body></html>",
                             "text/html");
        return;
    }

    switch (route->kind) {
    case Route::Kind::Normal:
        response.set_content(route->body, route->contentType);
        break;
    case Route::Kind::Login:
        if (request.get_header_value("Authorization") == route->login) {
            response.set_content(route->body, route->contentType);
        } else {
            response.status = 401;
            response.set_header("WWW-Authenticate", "Basic realm=\"" + route->realm + "\"");
            response.set_content("<html><head><title>Login needed</title></head>"
                                 "<body><h1>Login needed</h1></body></html>",
                                 "text/html");
        }
        break;
    case Route::Kind::Redirect:
        response.set_redirect(route->location, 302);
        response.set_content(route->body, route->contentType);
        break;
    case Route::Kind::WithoutLength:
        response.set_content_provider(route->contentType, [route](size_t offset, httplib::DataSink& sink) {
            if (offset < route->body.size())
                sink.write(route->body.data() + offset, route->body.size() - offset);
            sink.done();
            return true;
        });
        break;
    case Route::Kind::Chunked:
        response.set_chunked_content_provider(
            route->contentType, [route](size_t offset, httplib::DataSink& sink) {
                // Two chunks, so that a reader must join them.
                const size_t half = route->body.size() / 2;
                if (offset == 0 && half > 0)
                    return sink.write(route->body.data(), half);
                sink.write(route->body.data() + offset, route->body.size() - offset);
                sink.done();
                return true;
            });
        break;
    case Route::Kind::Stall:
        response.set_content_provider(
            route->length, route->contentType, [this, route](size_t offset, size_t, httplib::DataSink& sink) {
                if (offset < route->body.size())
                    return sink.write(route->body.data() + offset, route->body.size() - offset);
                return WaitWhileStalled();
            });
        break;
    case Route::Kind::CutShort:
        response.set_content_provider(
            route->length, route->contentType, [route](size_t offset, size_t, httplib::DataSink& sink) {
                if (offset < route->body.size())
                    return sink.write(route->body.data() + offset, route->body.size() - offset);
                // Failing the provider drops the connection.
                return false;
            });
        break;
    case Route::Kind::Large:
        if (route->withLength) {
            response.set_content_provider(route->length, route->contentType,
                                          [](size_t offset, size_t length, httplib::DataSink& sink) {
                                              return WriteLargeBlock(offset, offset + length, sink);
                                          });
        } else {
            response.set_content_provider(route->contentType,
                                          [route](size_t offset, httplib::DataSink& sink) {
                                              if (offset >= route->length) {
                                                  sink.done();
                                                  return true;
                                              }
                                              return WriteLargeBlock(offset, route->length, sink);
                                          });
        }
        break;
    }
}

TestSilentServer::TestSilentServer() : m_socket(::socket(AF_INET, SOCK_STREAM, 0))
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof(address);
    if (m_socket < 0 || ::bind(m_socket, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        ::listen(m_socket, 64) != 0 ||
        ::getsockname(m_socket, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        if (m_socket >= 0)
            ::close(m_socket);
        throw std::runtime_error("The silent test server cannot listen on 127.0.0.1");
    }
    m_port = ntohs(address.sin_port);
}

TestSilentServer::~TestSilentServer()
{
    ::close(m_socket);
}

QString TestSilentServer::Url(const QString& path) const
{
    return u"http://127.0.0.1:%1%2"_s.arg(m_port).arg(path);
}
