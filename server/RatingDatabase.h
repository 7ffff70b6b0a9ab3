#pragma once

#include <QByteArray>
#include <QHash>

#include <cstdint>

// Where the users' ratings are kept: one row per voter (a client address) and application,
// under a unique key, so that a later vote replaces the earlier one wherever it arrived. Rows
// without a voter count one each. Implementations are safe to call from several threads.
class RatingDatabase
{
public:
    struct Totals
    {
        int64_t sum = 0;
        int64_t count = 0;
        // When the newest of the application's votes was stored, in seconds since 1970.
        int64_t lastVote = 0;

        bool operator==(const Totals&) const = default;
    };

    struct Changes
    {
        QHash<int32_t, Totals> totals;
        // True when totals holds every application with votes and replaces what was read
        // before; otherwise it holds the applications whose votes changed.
        bool complete = false;
    };

    virtual ~RatingDatabase() = default;

    // Stores a rating of 1 to 5 (checked by the caller) as the voter's (empty: a vote of its
    // own) and gives the application's totals with it. Throws EMorvalenError when it cannot.
    virtual Totals Store(int32_t applicationId, int rating, const QByteArray& voter) = 0;

    // The totals of every application on the first call and when everything is asked for;
    // later, those whose votes changed since the call before. Throws EMorvalenError.
    virtual Changes ReadChanges(bool everything) = 0;

    // Whether other processes may write the database too, so that it must be read again now
    // and then.
    virtual bool IsShared() const = 0;
};
