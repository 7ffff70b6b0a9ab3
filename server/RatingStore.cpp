#include "RatingStore.h"

#include "common/Errors.h"

#include <sqlite3.h>

#include <memory>

using namespace Qt::Literals::StringLiterals;

void RatingStore::StatementDeleter::operator()(sqlite3_stmt* statement) const
{
    sqlite3_finalize(statement);
}

RatingStore::RatingStore(const QString& fileName)
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
        // The CHECK keeps a bad value out even if a later change forgot to test it.
        Execute("CREATE TABLE IF NOT EXISTS ratings ("
                " id INTEGER PRIMARY KEY,"
                " nid INTEGER NOT NULL,"
                " rating INTEGER NOT NULL CHECK (rating BETWEEN 1 AND 5),"
                " rated_at INTEGER NOT NULL DEFAULT (strftime('%s', 'now')))");
        AddVoterColumn();
        // Rows without a voter are distinct to a unique index: they keep counting one each.
        Execute("CREATE UNIQUE INDEX IF NOT EXISTS ratings_voter ON ratings (nid, voter)");

        sqlite3_stmt* raw = nullptr;
        // Rows written by hand or by another program are only counted when they are sound.
        if (sqlite3_prepare_v2(m_database,
                               "SELECT nid, SUM(rating), COUNT(*) FROM ratings"
                               " WHERE typeof(nid) = 'integer' AND typeof(rating) = 'integer'"
                               " AND rating BETWEEN 1 AND 5 GROUP BY nid",
                               -1, &raw, nullptr) != SQLITE_OK)
            throw EMorvalenError(u"%1 is not a rating database: %2"_s.arg(
                fileName, QString::fromUtf8(sqlite3_errmsg(m_database))));
        const Statement totals(raw);
        int step;
        while ((step = sqlite3_step(totals.get())) == SQLITE_ROW) {
            const int64_t nid = sqlite3_column_int64(totals.get(), 0);
            if (nid < INT32_MIN || nid > INT32_MAX)
                continue;
            m_totals.insert(int32_t(nid),
                            {sqlite3_column_int64(totals.get(), 1), sqlite3_column_int64(totals.get(), 2)});
        }
        if (step != SQLITE_DONE)
            throw EMorvalenError(u"Cannot read the rating database %1: %2"_s.arg(
                fileName, QString::fromUtf8(sqlite3_errmsg(m_database))));
    } catch (...) {
        sqlite3_close(m_database);
        throw;
    }
}

RatingStore::~RatingStore()
{
    sqlite3_close(m_database);
}

void RatingStore::Execute(const char* statement)
{
    char* message = nullptr;
    if (sqlite3_exec(m_database, statement, nullptr, nullptr, &message) != SQLITE_OK) {
        const QString reason = QString::fromUtf8(message ? message : "unknown error");
        sqlite3_free(message);
        throw EMorvalenError(u"Rating database error: %1"_s.arg(reason));
    }
}

void RatingStore::AddVoterColumn()
{
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(m_database, "SELECT 1 FROM pragma_table_info('ratings') WHERE name = 'voter'", -1,
                           &raw, nullptr) != SQLITE_OK)
        throw EMorvalenError(
            u"Rating database error: %1"_s.arg(QString::fromUtf8(sqlite3_errmsg(m_database))));
    const Statement query(raw);
    if (sqlite3_step(query.get()) != SQLITE_ROW)
        Execute("ALTER TABLE ratings ADD COLUMN voter TEXT");
}

RatingStore::Statement RatingStore::Prepare(const char* text)
{
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(m_database, text, -1, &raw, nullptr) != SQLITE_OK)
        throw EMorvalenError(
            u"Rating database error: %1"_s.arg(QString::fromUtf8(sqlite3_errmsg(m_database))));
    return Statement(raw);
}

void RatingStore::Add(int32_t applicationId, int rating, const QString& voter)
{
    if (rating < 1 || rating > 5)
        throw EMorvalenError(u"A rating must be 1 to 5, not %1"_s.arg(rating));
    const QByteArray voterText = voter.toUtf8();
    const std::lock_guard lock(m_mutex);
    int earlier = 0;
    if (!voter.isEmpty()) {
        const Statement find = Prepare("SELECT rating FROM ratings WHERE nid = ? AND voter = ?");
        sqlite3_bind_int(find.get(), 1, applicationId);
        sqlite3_bind_text(find.get(), 2, voterText.constData(), int(voterText.size()), SQLITE_TRANSIENT);
        if (sqlite3_step(find.get()) == SQLITE_ROW)
            earlier = sqlite3_column_int(find.get(), 0);
    }
    const Statement insert = Prepare("INSERT INTO ratings (nid, rating, voter) VALUES (?, ?, ?)"
                                     " ON CONFLICT (nid, voter) DO UPDATE SET rating = excluded.rating,"
                                     " rated_at = excluded.rated_at");
    sqlite3_bind_int(insert.get(), 1, applicationId);
    sqlite3_bind_int(insert.get(), 2, rating);
    if (voter.isEmpty())
        sqlite3_bind_null(insert.get(), 3);
    else
        sqlite3_bind_text(insert.get(), 3, voterText.constData(), int(voterText.size()), SQLITE_TRANSIENT);
    if (sqlite3_step(insert.get()) != SQLITE_DONE)
        throw EMorvalenError(
            u"Cannot store the rating: %1"_s.arg(QString::fromUtf8(sqlite3_errmsg(m_database))));
    Totals& totals = m_totals[applicationId];
    totals.sum += rating - earlier;
    if (earlier == 0)
        ++totals.count;
    ++m_generation;
}

RatingStore::Totals RatingStore::TotalsOf(int32_t applicationId) const
{
    const std::lock_guard lock(m_mutex);
    return m_totals.value(applicationId);
}

int64_t RatingStore::Generation() const
{
    const std::lock_guard lock(m_mutex);
    return m_generation;
}
