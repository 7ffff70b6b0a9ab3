#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

class QSslServer;
class QSslSocket;

// An HTTPS server on 127.0.0.1 whose certificate nobody trusts (self-signed, for 127.0.0.1).
// It runs on the test's own event loop and answers every request with one page. A client
// that refuses the certificate opens connections but never sends a request through them.
class TestTlsServer final : public QObject
{
    Q_OBJECT

public:
    explicit TestTlsServer(const QByteArray& page);
    ~TestTlsServer() override;

    int Port() const { return m_port; }
    // "https://127.0.0.1:PORT" followed by path.
    QString Url(const QString& path) const;

    // Connections that began the TLS handshake.
    int Connections() const { return m_connections; }
    // Requests that arrived through an encrypted connection (their first lines).
    QList<QByteArray> Requests() const { return m_requests; }

private:
    void Read(QSslSocket* socket);

    QSslServer* m_server = nullptr;
    QByteArray m_page;
    int m_port = 0;
    int m_connections = 0;
    QList<QByteArray> m_requests;
};
