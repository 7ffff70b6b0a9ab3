#pragma once

#include <QHash>
#include <QString>

#include <cstdint>
#include <mutex>

struct sqlite3;

// The ratings users sent, kept in an SQLite database so that they outlive the server. Each
// rating is one row; the totals per application are kept in memory for the lists.
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

    // Stores one rating of 1 to 5; anything else throws EMorvalenError and stores nothing.
    void Add(int32_t applicationId, int rating);

    Totals TotalsOf(int32_t applicationId) const;

    // Counts every stored rating; it changes with each Add, so cached lists know they are old.
    int64_t Generation() const;

private:
    void Execute(const char* statement);

    mutable std::mutex m_mutex;
    sqlite3* m_database = nullptr;
    QHash<int32_t, Totals> m_totals;
    int64_t m_generation = 0;
};
