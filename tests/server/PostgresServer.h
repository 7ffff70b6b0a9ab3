#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A PostgreSQL server of its own for one test: a cluster made by initdb in a temporary folder,
// run as the unprivileged user "nobody" when the tests run as root, listening on a Unix
// socket in that folder only (no TCP port to collide on). Stopped when the object goes; the
// server also ends when the test program dies.
class PostgresServer final
{
public:
    // Why no server can be started here (PostgreSQL is not installed, say), or empty.
    static QString Unavailable();

    // Starts the server; FAILs the test (and leaves IsRunning false) when it does not come up.
    PostgresServer();
    ~PostgresServer();

    PostgresServer(const PostgresServer&) = delete;
    PostgresServer& operator=(const PostgresServer&) = delete;

    bool IsRunning() const { return m_postgres.state() == QProcess::Running && m_ready; }
    // A libpq address of the cluster's database "postgres" as its superuser.
    QString URL() const;

private:
    QTemporaryDir m_dir;
    QProcess m_postgres;
    bool m_ready = false;
};
