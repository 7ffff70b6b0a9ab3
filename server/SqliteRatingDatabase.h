#pragma once

#include "RatingDatabase.h"

#include <QString>

#include <memory>
#include <mutex>

struct sqlite3;
struct sqlite3_stmt;

// The ratings in an SQLite file, the embedded default: one server, or a few on one machine
// sharing the file. The schema version is the file's user_version; older files are upgraded
// when opened, newer ones refused.
class SqliteRatingDatabase final : public RatingDatabase
{
public:
    // The schema version this server writes.
    static constexpr int kSchemaVersion = 1;

    // Opens or creates the file (":memory:" keeps the ratings for this run only). Throws
    // EMorvalenError when it cannot be opened or is not a rating database of a known version.
    explicit SqliteRatingDatabase(const QString& fileName);
    ~SqliteRatingDatabase() override;

    SqliteRatingDatabase(const SqliteRatingDatabase&) = delete;
    SqliteRatingDatabase& operator=(const SqliteRatingDatabase&) = delete;

    Totals Store(int32_t applicationId, int rating, const QByteArray& voter) override;
    Changes ReadChanges(bool everything) override;
    bool IsShared() const override { return m_shared; }

private:
    struct StatementDeleter
    {
        void operator()(sqlite3_stmt* statement) const;
    };
    using Statement = std::unique_ptr<sqlite3_stmt, StatementDeleter>;

    void Execute(const char* statement);
    void Upgrade();
    Statement Prepare(const char* text);
    [[noreturn]] void Fail(const QString& what) const;

    QString m_fileName;
    bool m_shared = false;
    std::mutex m_mutex;
    sqlite3* m_database = nullptr;
    // PRAGMA data_version when the totals were last read: it changes when another connection
    // writes the file.
    int64_t m_dataVersion = -1;
};
