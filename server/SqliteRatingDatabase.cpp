#include "SqliteRatingDatabase.h"

#include "common/Errors.h"

#include <sqlite3.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// Rows written by hand or by another program are only counted when they are sound.
constexpr char kSoundRows[] =
    "typeof(nid) = 'integer' AND typeof(rating) = 'integer' AND rating BETWEEN 1 AND 5";

} // namespace

void SqliteRatingDatabase::StatementDeleter::operator()(sqlite3_stmt* statement) const
{
    sqlite3_finalize(statement);
}

SqliteRatingDatabase::SqliteRatingDatabase(const QString& fileName)
    : m_fileName(fileName), m_shared(!fileName.isEmpty() && fileName != u":memory:"_s)
{
    const QByteArray name = fileName.toUtf8();
    const int opened =
        sqlite3_open_v2(name.constData(), &m_database,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX, nullptr);
    if (opened != SQLITE_OK) {
        const QString reason = QString::fromUtf8(m_database ? sqlite3_errmsg(m_database) : "out of memory");
        sqlite3_close(m_database);
        m_database = nullptr;
        throw EMorvalenError(u"Cannot open the rating database %1: %2"_s.arg(fileName, reason));
    }
    try {
        sqlite3_busy_timeout(m_database, 5000);
        // Write-ahead: readers never wait for a vote, and a vote costs no sync of its own (a
        // crash of the server loses nothing; a power cut at most the last votes). A server
        // starting beside another that holds the file keeps the mode it finds: it is a matter
        // of speed, not of the votes.
        sqlite3_exec(m_database, "PRAGMA journal_mode = WAL", nullptr, nullptr, nullptr);
        Execute("PRAGMA synchronous = NORMAL");
        Upgrade();
    } catch (...) {
        sqlite3_close(m_database);
        throw;
    }
}

SqliteRatingDatabase::~SqliteRatingDatabase()
{
    sqlite3_close(m_database);
}

void SqliteRatingDatabase::Fail(const QString& what) const
{
    throw EMorvalenError(
        u"%1 (%2): %3"_s.arg(what, m_fileName, QString::fromUtf8(sqlite3_errmsg(m_database))));
}

void SqliteRatingDatabase::Execute(const char* statement)
{
    char* message = nullptr;
    if (sqlite3_exec(m_database, statement, nullptr, nullptr, &message) != SQLITE_OK) {
        const QString reason = QString::fromUtf8(message ? message : "unknown error");
        sqlite3_free(message);
        throw EMorvalenError(u"Rating database error (%1): %2"_s.arg(m_fileName, reason));
    }
}

SqliteRatingDatabase::Statement SqliteRatingDatabase::Prepare(const char* text)
{
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(m_database, text, -1, &raw, nullptr) != SQLITE_OK)
        Fail(u"Rating database error"_s);
    return Statement(raw);
}

void SqliteRatingDatabase::Upgrade()
{
    // One writer upgrades at a time; the others wait for it and find the work done.
    Execute("BEGIN IMMEDIATE");
    try {
        const Statement version = Prepare("PRAGMA user_version");
        const int found =
            sqlite3_step(version.get()) == SQLITE_ROW ? sqlite3_column_int(version.get(), 0) : 0;
        if (found > kSchemaVersion)
            throw EMorvalenError(
                u"The rating database %1 has schema version %2; this server knows versions up to %3"_s
                    .arg(m_fileName)
                    .arg(found)
                    .arg(kSchemaVersion));
        if (found < 1) {
            // Version 1, also over files of servers from before the version was recorded: the
            // CHECK keeps a bad value out even if a later change forgot to test it.
            Execute("CREATE TABLE IF NOT EXISTS ratings ("
                    " id INTEGER PRIMARY KEY,"
                    " nid INTEGER NOT NULL,"
                    " rating INTEGER NOT NULL CHECK (rating BETWEEN 1 AND 5),"
                    " rated_at INTEGER NOT NULL DEFAULT (strftime('%s', 'now')))");
            const Statement voter =
                Prepare("SELECT 1 FROM pragma_table_info('ratings') WHERE name = 'voter'");
            if (sqlite3_step(voter.get()) != SQLITE_ROW)
                Execute("ALTER TABLE ratings ADD COLUMN voter TEXT");
            // Rows without a voter are distinct to a unique index: they keep counting one each.
            Execute("CREATE UNIQUE INDEX IF NOT EXISTS ratings_voter ON ratings (nid, voter)");
            Execute("PRAGMA user_version = 1");
        }
        Execute("COMMIT");
    } catch (...) {
        sqlite3_exec(m_database, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

RatingDatabase::Totals SqliteRatingDatabase::Store(int32_t applicationId, int rating, const QByteArray& voter)
{
    const std::lock_guard lock(m_mutex);
    Execute("BEGIN IMMEDIATE");
    try {
        const Statement insert = Prepare("INSERT INTO ratings (nid, rating, voter) VALUES (?, ?, ?)"
                                         " ON CONFLICT (nid, voter) DO UPDATE SET rating = excluded.rating,"
                                         " rated_at = excluded.rated_at");
        sqlite3_bind_int(insert.get(), 1, applicationId);
        sqlite3_bind_int(insert.get(), 2, rating);
        if (voter.isEmpty())
            sqlite3_bind_null(insert.get(), 3);
        else
            sqlite3_bind_text(insert.get(), 3, voter.constData(), int(voter.size()), SQLITE_TRANSIENT);
        if (sqlite3_step(insert.get()) != SQLITE_DONE)
            Fail(u"Cannot store the rating"_s);
        const QByteArray query =
            QByteArray("SELECT COALESCE(SUM(rating), 0), COUNT(*), COALESCE(MAX(rated_at), 0)"
                       " FROM ratings WHERE nid = ? AND ") +
            kSoundRows;
        const Statement totals = Prepare(query.constData());
        sqlite3_bind_int(totals.get(), 1, applicationId);
        if (sqlite3_step(totals.get()) != SQLITE_ROW)
            Fail(u"Cannot read the ratings"_s);
        const Totals result{sqlite3_column_int64(totals.get(), 0), sqlite3_column_int64(totals.get(), 1),
                            sqlite3_column_int64(totals.get(), 2)};
        Execute("COMMIT");
        return result;
    } catch (...) {
        sqlite3_exec(m_database, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

RatingDatabase::Changes SqliteRatingDatabase::ReadChanges(bool everything)
{
    const std::lock_guard lock(m_mutex);
    const Statement version = Prepare("PRAGMA data_version");
    if (sqlite3_step(version.get()) != SQLITE_ROW)
        Fail(u"Cannot read the rating database"_s);
    const int64_t dataVersion = sqlite3_column_int64(version.get(), 0);
    if (!everything && dataVersion == m_dataVersion)
        return {};
    Changes changes;
    changes.complete = true;
    const QByteArray query =
        QByteArray("SELECT nid, SUM(rating), COUNT(*), COALESCE(MAX(rated_at), 0) FROM ratings WHERE ") +
        kSoundRows + " GROUP BY nid";
    const Statement totals = Prepare(query.constData());
    int step;
    while ((step = sqlite3_step(totals.get())) == SQLITE_ROW) {
        const int64_t nid = sqlite3_column_int64(totals.get(), 0);
        if (nid < INT32_MIN || nid > INT32_MAX)
            continue;
        changes.totals.insert(int32_t(nid),
                              {sqlite3_column_int64(totals.get(), 1), sqlite3_column_int64(totals.get(), 2),
                               sqlite3_column_int64(totals.get(), 3)});
    }
    if (step != SQLITE_DONE)
        throw EMorvalenError(u"%1 is not a rating database: %2"_s.arg(
            m_fileName, QString::fromUtf8(sqlite3_errmsg(m_database))));
    m_dataVersion = dataVersion;
    return changes;
}
