#include "TWebKitHost.h"

#include "platform/HelperPrograms.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <cmath>

using namespace WebKitHostProtocol;
using namespace Qt::Literals::StringLiterals;

namespace {

QString UniqueServerName()
{
    static std::atomic<int> counter{0};
    return QStringLiteral("morvalen-webkit-%1-%2").arg(QCoreApplication::applicationPid()).arg(++counter);
}

// GTK draws at whole multiples of the screen's pixels only: the whole part of the program's
// scale goes to GTK, so that WebKit renders text and pictures at full resolution (and pages
// see it as their devicePixelRatio); the view's zoom makes up the rest. The program's own
// scale wins over a GDK_SCALE of the session, or the page would not match its frame.
QProcessEnvironment HostEnvironment()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    const qreal scale = qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
    environment.insert(u"GDK_SCALE"_s, QString::number(std::max(1, int(std::floor(scale + 0.01)))));
    environment.remove(u"GDK_DPI_SCALE"_s);
    return environment;
}

} // namespace

TWebKitHost::TWebKitHost(QObject* parent) : QObject(parent)
{
    m_watch.setTimerType(Qt::CoarseTimer);
    connect(&m_watch, &QTimer::timeout, this, &TWebKitHost::OnWatchTick);
}

TWebKitHost::~TWebKitHost()
{
    if (m_socket)
        m_socket->disconnect(this);
    if (m_process) {
        m_process->disconnect(this);
        // The host ends by itself when its socket closes; a kill makes sure of it without
        // waiting here.
        m_process->kill();
        m_process->waitForFinished(1000);
    }
}

QString TWebKitHost::DefaultProgram()
{
    const QString name = QStringLiteral("morvalen-webkit-host");
    const QString found = HelperPrograms::Find(name);
    // Where a build puts it, so that a missing helper is named in what fails.
    return found.isEmpty() ? QDir(QCoreApplication::applicationDirPath()).filePath(name) : found;
}

qint64 TWebKitHost::ProcessId() const
{
    return m_process ? m_process->processId() : 0;
}

bool TWebKitHost::Start(const QString& program, const QString& profileFolder)
{
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &TWebKitHost::OnConnection);
    if (!QFileInfo(program).isExecutable() || !m_server->listen(UniqueServerName())) {
        QTimer::singleShot(0, this, &TWebKitHost::Fail);
        return false;
    }
    QDir().mkpath(profileFolder);
    m_process = new QProcess(this);
    m_process->setProcessChannelMode(QProcess::ForwardedChannels);
    m_process->setProcessEnvironment(HostEnvironment());
    connect(m_process, &QProcess::finished, this, &TWebKitHost::Fail);
    connect(m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart || error == QProcess::Crashed)
            Fail();
    });
    m_process->start(program, {QStringLiteral("--socket=") + m_server->fullServerName(),
                               QStringLiteral("--profile=") + profileFolder});
    Write(Message{MessageType::Hello, 0, {Version}, {}, {}});
    m_lastHeard.start();
    m_watch.start(std::max(50, m_hangLimitMs / 4));
    return true;
}

void TWebKitHost::OnConnection()
{
    QLocalSocket* socket = m_server->nextPendingConnection();
    if (!socket || m_socket) {
        delete socket;
        return;
    }
    // One host, one connection: nobody else gets to talk to it.
    m_server->close();
    m_socket = socket;
    connect(m_socket, &QLocalSocket::readyRead, this, &TWebKitHost::OnReadyRead);
    connect(m_socket, &QLocalSocket::disconnected, this, &TWebKitHost::Fail);
    if (!m_queued.empty()) {
        m_socket->write(m_queued.data(), qint64(m_queued.size()));
        m_queued.clear();
    }
}

void TWebKitHost::SetHangLimit(int milliseconds)
{
    m_hangLimitMs = milliseconds;
    if (m_watch.isActive())
        m_watch.start(std::max(50, m_hangLimitMs / 4));
}

std::uint32_t TWebKitHost::CreateView(QSize size, qreal scale)
{
    const std::uint32_t view = m_nextView++;
    Write(Message{
        MessageType::CreateView, view, {size.width(), size.height(), qRound64(scale * 1000)}, {}, {}});
    return view;
}

void TWebKitHost::CloseView(std::uint32_t view)
{
    Write(Message{MessageType::CloseView, view, {}, {}, {}});
}

void TWebKitHost::Send(const Message& message)
{
    Write(message);
}

void TWebKitHost::Write(const Message& message)
{
    if (m_failed)
        return;
    const std::string frame = Encode(message);
    if (m_socket)
        m_socket->write(frame.data(), qint64(frame.size()));
    else
        m_queued += frame;
}

void TWebKitHost::OnReadyRead()
{
    const QByteArray bytes = m_socket->readAll();
    m_reader.Append(bytes.constData(), std::size_t(bytes.size()));
    m_lastHeard.start();
    m_pinged = false;
    QPointer<TWebKitHost> alive(this);
    Message message;
    for (;;) {
        const FrameReader::State state = m_reader.Take(message);
        if (state == FrameReader::State::NeedMore)
            return;
        if (state == FrameReader::State::Malformed) {
            Fail();
            return;
        }
        if (message.type == MessageType::HelloReply) {
            if (message.Integer(0) != Version) {
                Fail();
                return;
            }
            if (!m_ready) {
                m_ready = true;
                emit Ready();
            }
        } else if (message.type != MessageType::Pong) {
            if (message.type == MessageType::ViewCreated)
                m_starting = false;
            emit MessageReceived(message);
        }
        // A receiver may close the window, and with it this host.
        if (!alive || m_failed)
            return;
    }
}

void TWebKitHost::OnWatchTick()
{
    if (m_failed)
        return;
    const qint64 silent = m_lastHeard.elapsed();
    // A host still starting is busy with the engine's first start (libraries from a cold
    // disk, the context, the first view), not hung; it gets its own, longer limit, which a
    // host that never comes up still reaches.
    if (silent > (m_starting ? std::max(m_startLimitMs, m_hangLimitMs) : m_hangLimitMs)) {
        Fail();
        return;
    }
    if (silent > m_hangLimitMs / 2 && !m_pinged && m_socket) {
        m_pinged = true;
        Write(Message{MessageType::Ping, 0, {m_nextPing++}, {}, {}});
    }
}

void TWebKitHost::Fail()
{
    if (m_failed)
        return;
    m_failed = true;
    m_ready = false;
    m_watch.stop();
    if (m_socket) {
        m_socket->disconnect(this);
        m_socket->abort();
    }
    if (m_server)
        m_server->close();
    if (m_process) {
        m_process->disconnect(this);
        m_process->kill();
    }
    emit Failed();
}

bool TWebKitHost::Answers(const QString& program, int timeoutMs)
{
    if (!QFileInfo(program).isExecutable())
        return false;
    QTemporaryDir profile;
    QLocalServer server;
    server.setSocketOptions(QLocalServer::UserAccessOption);
    if (!profile.isValid() || !server.listen(UniqueServerName()))
        return false;
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(program, {QStringLiteral("--socket=") + server.fullServerName(),
                            QStringLiteral("--profile=") + profile.path()});
    QElapsedTimer clock;
    clock.start();
    auto left = [&] {
        return int(std::max<qint64>(0, timeoutMs - clock.elapsed()));
    };
    bool answered = false;
    if (process.waitForStarted(left()) && server.waitForNewConnection(left())) {
        QLocalSocket* socket = server.nextPendingConnection();
        const std::string hello = Encode(Message{MessageType::Hello, 0, {Version}, {}, {}});
        socket->write(hello.data(), qint64(hello.size()));
        FrameReader reader;
        Message message;
        while (!answered && left() > 0 && socket->waitForReadyRead(left())) {
            const QByteArray bytes = socket->readAll();
            reader.Append(bytes.constData(), std::size_t(bytes.size()));
            const FrameReader::State state = reader.Take(message);
            if (state == FrameReader::State::Malformed)
                break;
            if (state == FrameReader::State::Message)
                answered = message.type == MessageType::HelloReply && message.Integer(0) == Version;
        }
        socket->abort();
    }
    process.kill();
    process.waitForFinished(1000);
    return answered;
}
