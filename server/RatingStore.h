#pragma once

#include <QHash>
#include <QString>

#include <cstdint>
#include <memory>
#include <mutex>

struct sqlite3;
struct sqlite3_stmt;

// The ratings users sent, kept in an SQLite database so that they outlive the server. Each
// voter (a client address) has one rating per application, one row; a later vote replaces the
// earlier one. Rows from before voters were recorded count one each. The totals per
// application are kept in memory for the lists.
// Safe to use from several threads at once.
class RatingStore final
{
public:
    struct Totals
    {
        int64_t sum = 0;
        int64_t count = 0;
    };

    // Opens or creates the database (":memory:" keeps the ratings for this run only).
    // Throws EMorvalenError when it cannot be opened or is not a rating database.
    explicit RatingStore(const QString& fileName);
    ~RatingStore();

    RatingStore(const RatingStore&) = delete;
    RatingStore& operator=(const RatingStore&) = delete;

    // Stores the voter's rating of 1 to 5, replacing the voter's earlier rating of the
    // application; anything else throws EMorvalenError and stores nothing. An empty voter is
    // a vote of its own each time.
    void Add(int32_t applicationId, int rating, const QString& voter = {});

    Totals TotalsOf(int32_t applicationId) const;

    // Counts every stored rating; it changes with each Add, so cached lists know they are old.
    int64_t Generation() const;

private:
    struct StatementDeleter
    {
        void operator()(sqlite3_stmt* statement) const;
    };
    using Statement = std::unique_ptr<sqlite3_stmt, StatementDeleter>;

    void Execute(const char* statement);
    void AddVoterColumn();
    Statement Prepare(const char* text);

    mutable std::mutex m_mutex;
    sqlite3* m_database = nullptr;
    QHash<int32_t, Totals> m_totals;
    int64_t m_generation = 0;
};
