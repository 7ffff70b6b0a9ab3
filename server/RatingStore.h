#pragma once

#include "RatingDatabase.h"

#include <QHash>
#include <QString>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

// The users' ratings as the lists show them: the totals per application, kept in memory and
// brought up to date from the rating database. Each voter (a client address) has one rating
// per application; a later vote replaces the earlier one. A vote stored here shows at once;
// when other servers share the database, their votes show within about a second.
// Safe to use from several threads at once.
class RatingStore final
{
public:
    using Totals = RatingDatabase::Totals;

    // How often a shared database is asked for changes, and how many of those asks go by
    // before every total is read again (which also notices rows deleted by hand).
    static constexpr std::chrono::milliseconds kRefreshInterval{1000};
    static constexpr int kRefreshesPerFullRead = 300;

    // The ratings in an SQLite file (":memory:" keeps them for this run only).
    explicit RatingStore(const QString& fileName);
    // Reads every total at once; throws EMorvalenError when the database cannot be read.
    explicit RatingStore(std::unique_ptr<RatingDatabase> database);
    ~RatingStore();

    RatingStore(const RatingStore&) = delete;
    RatingStore& operator=(const RatingStore&) = delete;

    // Stores the voter's rating of 1 to 5, replacing the voter's earlier rating of the
    // application; anything else throws EMorvalenError and stores nothing. An empty voter is
    // a vote of its own each time.
    void Add(int32_t applicationId, int rating, const QString& voter = {});

    Totals TotalsOf(int32_t applicationId) const;

    // Changes whenever a total does, so that cached lists know they are old.
    int64_t Generation() const;
    // When the newest vote known was stored (seconds since 1970; 0 without votes).
    int64_t LastVoteTime() const;

private:
    void Apply(const RatingDatabase::Changes& changes);
    void RefreshLoop();

    std::unique_ptr<RatingDatabase> m_database;
    mutable std::mutex m_mutex;
    QHash<int32_t, Totals> m_totals;
    int64_t m_generation = 0;
    int64_t m_lastVote = 0;

    std::condition_variable m_wake;
    bool m_stopping = false;
    std::thread m_refresher;
};
