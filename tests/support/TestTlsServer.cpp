#include "TestTlsServer.h"

#include <QFile>
#include <QHostAddress>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslServer>
#include <QSslSocket>

#include <stdexcept>

using namespace Qt::Literals::StringLiterals;

namespace {

QByteArray ReadSupportFile(const QString& name)
{
    QFile file(QStringLiteral(MORVALEN_TEST_SUPPORT_DIR) + u'/' + name);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("The test TLS server misses " + name.toStdString());
    return file.readAll();
}

} // namespace

TestTlsServer::TestTlsServer(const QByteArray& page) : m_server(new QSslServer(this)), m_page(page)
{
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setLocalCertificate(QSslCertificate(ReadSupportFile(u"TestTlsCertificate.pem"_s)));
    configuration.setPrivateKey(QSslKey(ReadSupportFile(u"TestTlsKey.pem"_s), QSsl::Ec));
    configuration.setPeerVerifyMode(QSslSocket::VerifyNone);
    m_server->setSslConfiguration(configuration);
    connect(m_server, &QSslServer::startedEncryptionHandshake, this, [this] { ++m_connections; });
    connect(m_server, &QTcpServer::pendingConnectionAvailable, this, [this] {
        while (auto* socket = qobject_cast<QSslSocket*>(m_server->nextPendingConnection())) {
            connect(socket, &QSslSocket::readyRead, this, [this, socket] { Read(socket); });
            connect(socket, &QSslSocket::disconnected, socket, &QObject::deleteLater);
            Read(socket);
        }
    });
    if (!m_server->listen(QHostAddress::LocalHost))
        throw std::runtime_error("The test TLS server cannot listen on 127.0.0.1");
    m_port = m_server->serverPort();
}

TestTlsServer::~TestTlsServer() = default;

QString TestTlsServer::Url(const QString& path) const
{
    return u"https://127.0.0.1:%1%2"_s.arg(m_port).arg(path);
}

void TestTlsServer::Read(QSslSocket* socket)
{
    if (!socket->canReadLine())
        return;
    m_requests.append(socket->readLine().trimmed());
    // One answer per connection: the rest of the request does not count as another.
    disconnect(socket, &QSslSocket::readyRead, this, nullptr);
    socket->readAll();
    socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nConnection: close\r\nContent-Length: " +
                  QByteArray::number(m_page.size()) + "\r\n\r\n" + m_page);
    socket->disconnectFromHost();
}
