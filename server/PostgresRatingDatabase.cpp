#include "PostgresRatingDatabase.h"

#include "common/Errors.h"

#include <libpq-fe.h>

#include <algorithm>
#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

// Serialises schema upgrades of every instance: a number of our own for pg_advisory_xact_lock.
constexpr char kUpgradeLock[] = "SELECT pg_advisory_xact_lock(7368201533)";

// The upgrade steps; step N brings the schema from version N - 1 to N.
const char* const kUpgrades[] = {
    "CREATE TABLE ratings ("
    " id bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY,"
    " nid integer NOT NULL,"
    " voter text,"
    " rating smallint NOT NULL CHECK (rating BETWEEN 1 AND 5),"
    " rated_at bigint NOT NULL DEFAULT extract(epoch FROM now())::bigint,"
    " txid bigint NOT NULL DEFAULT txid_current());"
    // Rows without a voter are distinct to a unique index: they count one each.
    "CREATE UNIQUE INDEX ratings_voter ON ratings (nid, voter);"
    "CREATE INDEX ratings_txid ON ratings (txid);",
};
static_assert(std::size(kUpgrades) == PostgresRatingDatabase::kSchemaVersion);

// The vote and, from the same snapshot, every other voter's rows of the application: the
// totals right after the vote.
constexpr char kStore[] =
    "INSERT INTO ratings (nid, voter, rating) VALUES ($1::integer, $2::text, $3::smallint)"
    " ON CONFLICT (nid, voter) DO UPDATE SET rating = EXCLUDED.rating, rated_at = EXCLUDED.rated_at,"
    " txid = EXCLUDED.txid"
    " RETURNING rated_at,"
    " (SELECT COALESCE(SUM(o.rating), 0) FROM ratings o"
    "  WHERE o.nid = $1::integer AND ($2::text IS NULL OR o.voter IS DISTINCT FROM $2::text)),"
    " (SELECT COUNT(*) FROM ratings o"
    "  WHERE o.nid = $1::integer AND ($2::text IS NULL OR o.voter IS DISTINCT FROM $2::text))";

// The first row (nid NULL) holds the oldest transaction running at this statement's snapshot.
constexpr char kReadAll[] =
    "SELECT txid_snapshot_xmin(txid_current_snapshot()), NULL::integer, NULL::bigint, NULL::bigint,"
    " NULL::bigint"
    " UNION ALL SELECT NULL, nid, SUM(rating), COUNT(*), MAX(rated_at) FROM ratings GROUP BY nid";
constexpr char kReadSince[] =
    "SELECT txid_snapshot_xmin(txid_current_snapshot()), NULL::integer, NULL::bigint, NULL::bigint,"
    " NULL::bigint"
    " UNION ALL SELECT NULL, nid, SUM(rating), COUNT(*), MAX(rated_at) FROM ratings"
    " WHERE nid IN (SELECT nid FROM ratings WHERE txid >= $1::bigint) GROUP BY nid";

struct Prepared
{
    const char* name;
    const char* text;
};
constexpr Prepared kStatements[] = {{"store", kStore}, {"read_all", kReadAll}, {"read_since", kReadSince}};

struct ResultDeleter
{
    void operator()(PGresult* result) const { PQclear(result); }
};
using Result = std::unique_ptr<PGresult, ResultDeleter>;

QString Reason(PGconn* connection)
{
    return QString::fromUtf8(PQerrorMessage(connection)).trimmed();
}

bool Succeeded(const Result& result)
{
    const ExecStatusType status = PQresultStatus(result.get());
    return status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
}

Result Execute(PGconn* connection, const char* statement, const QString& what)
{
    Result result(PQexec(connection, statement));
    if (!Succeeded(result))
        throw EMorvalenError(u"%1: %2"_s.arg(what, Reason(connection)));
    return result;
}

// A number the database sent; text that is no number is a fault, not a zero.
int64_t Number(const PGresult* result, int row, int column)
{
    if (PQgetisnull(result, row, column))
        return 0;
    bool ok = false;
    const qlonglong value = QByteArray(PQgetvalue(result, row, column)).toLongLong(&ok);
    if (!ok)
        throw EMorvalenError(u"The rating database sent a value that is no number"_s);
    return value;
}

void IgnoreNotice(void*, const char*) {}

void Upgrade(PGconn* connection)
{
    const QString what = u"Cannot create or upgrade the rating database's tables"_s;
    Execute(connection, "BEGIN", what);
    try {
        Execute(connection, kUpgradeLock, what);
        Execute(connection, "CREATE TABLE IF NOT EXISTS morvalen_schema (version integer NOT NULL)", what);
        const Result found = Execute(connection, "SELECT MAX(version), COUNT(*) FROM morvalen_schema", what);
        const int64_t version = Number(found.get(), 0, 0);
        if (Number(found.get(), 0, 1) == 0)
            Execute(connection, "INSERT INTO morvalen_schema (version) VALUES (0)", what);
        if (version < 0 || version > PostgresRatingDatabase::kSchemaVersion)
            throw EMorvalenError(
                u"The rating database has schema version %1; this server knows versions up to %2"_s
                    .arg(version)
                    .arg(PostgresRatingDatabase::kSchemaVersion));
        for (int64_t step = version; step < PostgresRatingDatabase::kSchemaVersion; ++step) {
            Execute(connection, kUpgrades[step], what);
            const QByteArray update = "UPDATE morvalen_schema SET version = " + QByteArray::number(step + 1);
            Execute(connection, update.constData(), what);
        }
        Execute(connection, "COMMIT", what);
    } catch (...) {
        PQclear(PQexec(connection, "ROLLBACK"));
        throw;
    }
}

} // namespace

struct PostgresRatingDatabase::ResultHandle
{
    Result result;
};

PostgresRatingDatabase::PostgresRatingDatabase(const QString& url, int connections)
    : m_url(url.toUtf8()), m_maxConnections(std::max(connections, 1))
{
    m_reader = Connect();
    try {
        Upgrade(m_reader.connection);
    } catch (...) {
        PQfinish(m_reader.connection);
        throw;
    }
}

PostgresRatingDatabase::~PostgresRatingDatabase()
{
    for (const Link& link : m_idle)
        PQfinish(link.connection);
    PQfinish(m_reader.connection);
}

PostgresRatingDatabase::Link PostgresRatingDatabase::Connect() const
{
    // Our defaults come first: what the address names itself overrides them.
    const char* const keywords[] = {"connect_timeout", "application_name", "options", "dbname", nullptr};
    const char* const values[] = {"10", "morvalen-catalog-server", "-c statement_timeout=10000",
                                  m_url.constData(), nullptr};
    PGconn* connection = PQconnectdbParams(keywords, values, 1);
    if (connection == nullptr)
        throw EMorvalenError(u"Cannot connect to the rating database: out of memory"_s);
    if (PQstatus(connection) != CONNECTION_OK) {
        const QString reason = Reason(connection);
        PQfinish(connection);
        throw EMorvalenError(u"Cannot connect to the rating database: %1"_s.arg(reason));
    }
    // "relation already exists, skipping" and the like are not for the server's output.
    PQsetNoticeProcessor(connection, &IgnoreNotice, nullptr);
    return {connection, false};
}

PostgresRatingDatabase::ResultHandle
PostgresRatingDatabase::Run(Link& link, const char* name, const std::vector<const char*>& parameters) const
{
    for (int attempt = 0;; ++attempt) {
        if (!link.prepared) {
            // Statements a failed attempt left behind would be "already prepared".
            PQclear(PQexec(link.connection, "DEALLOCATE ALL"));
            bool prepared = true;
            for (const Prepared& statement : kStatements)
                prepared =
                    prepared &&
                    Succeeded(Result(PQprepare(link.connection, statement.name, statement.text, 0, nullptr)));
            link.prepared = prepared;
        }
        if (link.prepared) {
            Result result(PQexecPrepared(link.connection, name, int(parameters.size()), parameters.data(),
                                         nullptr, nullptr, 0));
            if (Succeeded(result))
                return {std::move(result)};
        }
        // A server that restarted or a connection that broke is tried once more; a refused
        // statement is a fault as it is.
        if (attempt > 0 || PQstatus(link.connection) == CONNECTION_OK)
            throw EMorvalenError(u"Rating database error: %1"_s.arg(Reason(link.connection)));
        PQreset(link.connection);
        link.prepared = false;
        if (PQstatus(link.connection) != CONNECTION_OK)
            throw EMorvalenError(u"Cannot connect to the rating database: %1"_s.arg(Reason(link.connection)));
    }
}

PostgresRatingDatabase::Link PostgresRatingDatabase::Acquire()
{
    {
        std::unique_lock lock(m_poolMutex);
        m_poolFree.wait(lock, [this] { return !m_idle.empty() || m_open < m_maxConnections; });
        if (!m_idle.empty()) {
            const Link link = m_idle.back();
            m_idle.pop_back();
            return link;
        }
        ++m_open;
    }
    try {
        return Connect();
    } catch (...) {
        {
            const std::lock_guard lock(m_poolMutex);
            --m_open;
        }
        m_poolFree.notify_one();
        throw;
    }
}

void PostgresRatingDatabase::Release(Link link)
{
    {
        const std::lock_guard lock(m_poolMutex);
        m_idle.push_back(link);
    }
    m_poolFree.notify_one();
}

RatingDatabase::Totals PostgresRatingDatabase::Store(int32_t applicationId, int rating,
                                                     const QByteArray& voter)
{
    const QByteArray id = QByteArray::number(applicationId);
    const QByteArray value = QByteArray::number(rating);
    Link link = Acquire();
    Result result;
    try {
        result = Run(link, "store",
                     {id.constData(), voter.isEmpty() ? nullptr : voter.constData(), value.constData()})
                     .result;
    } catch (...) {
        Release(link);
        throw;
    }
    Release(link);
    if (PQntuples(result.get()) != 1 || PQnfields(result.get()) != 3)
        throw EMorvalenError(u"The rating database sent an answer of another form"_s);
    return {Number(result.get(), 0, 1) + rating, Number(result.get(), 0, 2) + 1, Number(result.get(), 0, 0)};
}

RatingDatabase::Changes PostgresRatingDatabase::ReadChanges(bool everything)
{
    const std::lock_guard lock(m_readMutex);
    const bool all = everything || m_since < 0;
    const QByteArray since = QByteArray::number(m_since);
    const Result result = Run(m_reader, all ? "read_all" : "read_since",
                              all ? std::vector<const char*>{} : std::vector{since.constData()})
                              .result;
    if (PQnfields(result.get()) != 5)
        throw EMorvalenError(u"The rating database sent an answer of another form"_s);
    Changes changes;
    changes.complete = all;
    int64_t oldestRunning = -1;
    for (int row = 0; row < PQntuples(result.get()); ++row) {
        if (PQgetisnull(result.get(), row, 1)) {
            oldestRunning = Number(result.get(), row, 0);
            continue;
        }
        const int64_t nid = Number(result.get(), row, 1);
        if (nid < INT32_MIN || nid > INT32_MAX)
            continue;
        changes.totals.insert(int32_t(nid), {Number(result.get(), row, 2), Number(result.get(), row, 3),
                                             Number(result.get(), row, 4)});
    }
    if (oldestRunning < 0)
        throw EMorvalenError(u"The rating database sent an answer of another form"_s);
    m_since = oldestRunning;
    return changes;
}
