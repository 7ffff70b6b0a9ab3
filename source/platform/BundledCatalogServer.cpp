#include "BundledCatalogServer.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

using namespace Qt::Literals::StringLiterals;

BundledCatalogServer::~BundledCatalogServer()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(5000))
        m_process.kill();
    m_process.waitForFinished(1000);
}

bool BundledCatalogServer::Answers(uint16_t port, int timeoutMs)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress(QHostAddress::LocalHost), port);
    return socket.waitForConnected(timeoutMs);
}

std::unique_ptr<BundledCatalogServer> BundledCatalogServer::Start(const QString& program,
                                                                  const QString& catalogFolder,
                                                                  QString& error, int timeoutMs)
{
    // A port the system hands out now is free; the server takes it at once.
    uint16_t port = 0;
    {
        QTcpServer probe;
        if (!probe.listen(QHostAddress(QHostAddress::LocalHost), 0)) {
            error = u"No free loopback port for the sample catalog server: %1"_s.arg(probe.errorString());
            return nullptr;
        }
        port = probe.serverPort();
    }
    std::unique_ptr<BundledCatalogServer> server(new BundledCatalogServer);
    server->m_port = port;
    server->m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    server->m_process.setStandardOutputFile(QProcess::nullDevice());
    // Ratings given to the sample catalog last for the run, as the catalog does.
    server->m_process.start(program, {u"--catalog"_s, catalogFolder, u"--bind"_s, u"127.0.0.1"_s, u"--port"_s,
                                      QString::number(port), u"--db"_s, u":memory:"_s});
    if (!server->m_process.waitForStarted(timeoutMs)) {
        error = u"The sample catalog server %1 could not be started: %2"_s.arg(
            program, server->m_process.errorString());
        return nullptr;
    }
    QElapsedTimer clock;
    clock.start();
    while (!Answers(port, 200)) {
        if (server->m_process.state() == QProcess::NotRunning || clock.elapsed() > timeoutMs) {
            error = u"The sample catalog server %1 did not answer on port %2."_s.arg(program).arg(port);
            return nullptr;
        }
        QThread::msleep(50);
    }
    return server;
}

QString BundledCatalogServer::Address() const
{
    return u"http://127.0.0.1:%1"_s.arg(m_port);
}
