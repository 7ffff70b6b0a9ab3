#include "RatingStore.h"

#include "SqliteRatingDatabase.h"

#include "common/Errors.h"

#include <algorithm>
#include <cstdio>

using namespace Qt::Literals::StringLiterals;

RatingStore::RatingStore(const QString& fileName)
    : RatingStore(std::make_unique<SqliteRatingDatabase>(fileName))
{}

RatingStore::RatingStore(std::unique_ptr<RatingDatabase> database) : m_database(std::move(database))
{
    Apply(m_database->ReadChanges(true));
    if (m_database->IsShared())
        m_refresher = std::thread([this] { RefreshLoop(); });
}

RatingStore::~RatingStore()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    if (m_refresher.joinable())
        m_refresher.join();
}

void RatingStore::RefreshLoop()
{
    QString lastError;
    for (int round = 1;; ++round) {
        {
            std::unique_lock lock(m_mutex);
            if (m_wake.wait_for(lock, kRefreshInterval, [this] { return m_stopping; }))
                return;
        }
        try {
            Apply(m_database->ReadChanges(round % kRefreshesPerFullRead == 0));
            lastError.clear();
        } catch (const EMorvalenError& error) {
            // The lists keep the totals they had; a fault is told once, not every second.
            if (error.Message() != lastError)
                std::fprintf(stderr, "morvalen-catalog-server: %s\n", error.what());
            lastError = error.Message();
        }
    }
}

void RatingStore::Apply(const RatingDatabase::Changes& changes)
{
    const std::lock_guard lock(m_mutex);
    bool changed = false;
    if (changes.complete) {
        changed = changes.totals != m_totals;
        if (changed)
            m_totals = changes.totals;
    } else {
        for (auto it = changes.totals.constBegin(); it != changes.totals.constEnd(); ++it) {
            const auto found = m_totals.constFind(it.key());
            if (found == m_totals.constEnd() || *found != *it) {
                m_totals.insert(it.key(), *it);
                changed = true;
            }
        }
    }
    for (const Totals& totals : changes.totals)
        m_lastVote = std::max(m_lastVote, totals.lastVote);
    if (changed)
        ++m_generation;
}

void RatingStore::Add(int32_t applicationId, int rating, const QString& voter)
{
    if (rating < 1 || rating > 5)
        throw EMorvalenError(u"A rating must be 1 to 5, not %1"_s.arg(rating));
    const Totals totals = m_database->Store(applicationId, rating, voter.toUtf8());
    RatingDatabase::Changes changes;
    changes.totals.insert(applicationId, totals);
    Apply(changes);
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

int64_t RatingStore::LastVoteTime() const
{
    const std::lock_guard lock(m_mutex);
    return m_lastVote;
}
