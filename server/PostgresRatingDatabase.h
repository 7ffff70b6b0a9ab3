#pragma once

#include "RatingDatabase.h"

#include <QString>

#include <condition_variable>
#include <mutex>
#include <vector>

struct pg_conn;

// The ratings in PostgreSQL, shared by every server instance that names the same database.
// The schema is created when missing and upgraded by its version (the table morvalen_schema)
// under a lock, so that instances starting together do it once. Each vote row carries the
// transaction that wrote it: an instance asks only for the applications whose rows were
// written since the oldest transaction still running at its last look, which catches every
// vote however late its transaction commits.
class PostgresRatingDatabase final : public RatingDatabase
{
public:
    static constexpr int kSchemaVersion = 1;

    // url is a libpq connection URI ("postgresql://user@host/db", "postgresql:///db?host=/run/
    // postgresql"); a password is best left to ~/.pgpass or PGPASSFILE. At most connections
    // votes are stored at once. Throws EMorvalenError when the database cannot be reached or
    // has a schema of a newer server.
    PostgresRatingDatabase(const QString& url, int connections);
    ~PostgresRatingDatabase() override;

    PostgresRatingDatabase(const PostgresRatingDatabase&) = delete;
    PostgresRatingDatabase& operator=(const PostgresRatingDatabase&) = delete;

    Totals Store(int32_t applicationId, int rating, const QByteArray& voter) override;
    Changes ReadChanges(bool everything) override;
    bool IsShared() const override { return true; }

private:
    // A connection and whether this session has the statements prepared.
    struct Link
    {
        pg_conn* connection = nullptr;
        bool prepared = false;
    };

    Link Connect() const;
    // Runs a prepared statement; a connection that was lost is opened again once.
    struct ResultHandle;
    ResultHandle Run(Link& link, const char* name, const std::vector<const char*>& parameters) const;
    Link Acquire();
    void Release(Link link);

    QByteArray m_url;
    int m_maxConnections;
    std::mutex m_poolMutex;
    std::condition_variable m_poolFree;
    std::vector<Link> m_idle;
    int m_open = 0;

    // One connection reads the changes; the oldest transaction then still running.
    std::mutex m_readMutex;
    Link m_reader;
    int64_t m_since = -1;
};
