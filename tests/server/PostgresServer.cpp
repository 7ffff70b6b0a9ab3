#include "PostgresServer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QVersionNumber>

#include <gtest/gtest.h>

#include <grp.h>
#include <pwd.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <csignal>

using namespace Qt::Literals::StringLiterals;

namespace {

// Generous: only ends a test that would hang.
constexpr int kLimitMs = 60000;
const QString kUser = u"morvalen"_s;

// Debian keeps the server programs of each version in /usr/lib/postgresql/VERSION/bin.
QString ProgramFolder()
{
    const QDir versions(u"/usr/lib/postgresql"_s);
    QStringList found = versions.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(found.begin(), found.end(), [](const QString& a, const QString& b) {
        return QVersionNumber::fromString(a) > QVersionNumber::fromString(b);
    });
    for (const QString& version : found) {
        const QString bin = versions.filePath(version + u"/bin"_s);
        if (QFileInfo(bin + u"/initdb"_s).isExecutable() && QFileInfo(bin + u"/postgres"_s).isExecutable())
            return bin;
    }
    return {};
}

// PostgreSQL refuses to run as root: the user it runs as instead, or null.
const passwd* Unprivileged()
{
    return geteuid() == 0 ? getpwnam("nobody") : nullptr;
}

// The programs run as the unprivileged user and die with the test program.
void RunAs(QProcess& process, const passwd* user)
{
    const uid_t uid = user ? user->pw_uid : getuid();
    const gid_t gid = user ? user->pw_gid : getgid();
    const bool change = user != nullptr;
    process.setChildProcessModifier([uid, gid, change] {
        if (change && (setgroups(0, nullptr) != 0 || setgid(gid) != 0 || setuid(uid) != 0))
            _exit(126);
        prctl(PR_SET_PDEATHSIG, SIGKILL);
    });
}

} // namespace

QString PostgresServer::Unavailable()
{
    if (ProgramFolder().isEmpty())
        return u"PostgreSQL is not installed (no /usr/lib/postgresql/*/bin/initdb; scripts/deps.sh installs "
               "the package postgresql)"_s;
    if (geteuid() == 0 && Unprivileged() == nullptr)
        return u"the tests run as root and there is no user \"nobody\" to run PostgreSQL as"_s;
    return {};
}

PostgresServer::PostgresServer()
{
    const QString bin = ProgramFolder();
    const passwd* user = Unprivileged();
    if (user && chown(QFile::encodeName(m_dir.path()).constData(), user->pw_uid, user->pw_gid) != 0) {
        ADD_FAILURE() << "cannot give " << m_dir.path().toStdString() << " to nobody";
        return;
    }
    const QString data = m_dir.filePath(u"data"_s);
    QProcess initdb;
    RunAs(initdb, user);
    initdb.setProcessChannelMode(QProcess::MergedChannels);
    initdb.start(bin + u"/initdb"_s, {u"--pgdata"_s, data, u"--username"_s, kUser, u"--auth"_s, u"trust"_s,
                                      u"--encoding"_s, u"UTF8"_s, u"--locale"_s, u"C"_s, u"--no-sync"_s});
    if (!initdb.waitForFinished(kLimitMs) || initdb.exitStatus() != QProcess::NormalExit ||
        initdb.exitCode() != 0) {
        ADD_FAILURE() << "initdb failed: " << initdb.readAll().toStdString();
        return;
    }
    // Durability is not what a test measures.
    RunAs(m_postgres, user);
    // Into a file: a pipe nobody reads would stop the server once it is full.
    const QString logFile = m_dir.filePath(u"postgres.log"_s);
    m_postgres.setProcessChannelMode(QProcess::MergedChannels);
    m_postgres.setStandardOutputFile(logFile);
    m_postgres.start(bin + u"/postgres"_s, {u"-D"_s, data, u"-k"_s, m_dir.path(), u"-c"_s,
                                            u"listen_addresses="_s, u"-c"_s, u"fsync=off"_s, u"-c"_s,
                                            u"synchronous_commit=off"_s, u"-c"_s, u"full_page_writes=off"_s});
    m_postgres.waitForStarted(kLimitMs);
    QByteArray log;
    for (int tenth = 0; tenth < kLimitMs / 100 && m_postgres.state() == QProcess::Running; ++tenth) {
        QFile file(logFile);
        log = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        if (log.contains("database system is ready to accept connections")) {
            m_ready = true;
            return;
        }
        m_postgres.waitForFinished(100);
    }
    ADD_FAILURE() << "PostgreSQL did not start: " << log.toStdString();
}

PostgresServer::~PostgresServer()
{
    if (m_postgres.state() == QProcess::NotRunning)
        return;
    // A fast shutdown: the sessions end, the server writes nothing more.
    ::kill(pid_t(m_postgres.processId()), SIGINT);
    if (!m_postgres.waitForFinished(kLimitMs)) {
        m_postgres.kill();
        m_postgres.waitForFinished(kLimitMs);
    }
}

QString PostgresServer::URL() const
{
    return u"postgresql:///postgres?host=%1&user=%2"_s.arg(m_dir.path(), kUser);
}
