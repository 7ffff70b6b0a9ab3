#include "CatalogServerFixture.h"
#include "PostgresRatingDatabase.h"
#include "PostgresServer.h"
#include "RatingStore.h"
#include "SqliteRatingDatabase.h"

#include "common/Errors.h"

#include <QDeadlineTimer>
#include <QThread>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <sqlite3.h>

#include <functional>
#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

// Skips the test, saying why, where no PostgreSQL can run; otherwise starts one named name.
#define START_POSTGRES(name)                                                                                 \
    if (const QString why = PostgresServer::Unavailable(); !why.isEmpty())                                   \
        GTEST_SKIP() << "PostgreSQL tests skipped: " << why.toStdString();                                   \
    PostgresServer name;                                                                                     \
    ASSERT_TRUE(name.IsRunning())

// Votes through another server show within a second; this only ends a test that would hang.
bool Eventually(const std::function<bool()>& condition)
{
    for (QDeadlineTimer deadline(20000); !deadline.hasExpired(); QThread::msleep(50)) {
        if (condition())
            return true;
    }
    return condition();
}

// The message a refusal gave, or why there was none.
std::string Refusal(const std::function<void()>& open)
{
    try {
        open();
    } catch (const EMorvalenError& error) {
        return error.what();
    }
    return "(nothing was refused)";
}

void Sql(sqlite3* database, const char* statement)
{
    ASSERT_EQ(sqlite3_exec(database, statement, nullptr, nullptr, nullptr), SQLITE_OK)
        << sqlite3_errmsg(database);
}

// A connection of the test's own, to do what a server never does (leave a transaction open).
class Session final
{
public:
    explicit Session(const QString& url) : m_connection(PQconnectdb(url.toUtf8().constData()))
    {
        EXPECT_EQ(PQstatus(m_connection), CONNECTION_OK) << PQerrorMessage(m_connection);
    }
    ~Session() { PQfinish(m_connection); }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    QByteArray Run(const char* statement)
    {
        PGresult* result = PQexec(m_connection, statement);
        const ExecStatusType status = PQresultStatus(result);
        EXPECT_TRUE(status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK)
            << statement << ": " << PQerrorMessage(m_connection);
        const QByteArray value = PQntuples(result) > 0 ? QByteArray(PQgetvalue(result, 0, 0)) : QByteArray();
        PQclear(result);
        return value;
    }

private:
    PGconn* m_connection;
};

TEST(RatingStore, SqliteFilesOfEarlierServersAreUpgradedAndNewerOnesRefused)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(u"ratings.sqlite"_s);
    sqlite3* database = nullptr;
    ASSERT_EQ(sqlite3_open(file.toUtf8().constData(), &database), SQLITE_OK);
    // The first server's table: no voters, no version.
    Sql(database,
        "CREATE TABLE ratings (id INTEGER PRIMARY KEY, nid INTEGER NOT NULL, rating INTEGER NOT NULL,"
        " rated_at INTEGER NOT NULL DEFAULT (strftime('%s', 'now')))");
    Sql(database, "INSERT INTO ratings (nid, rating) VALUES (7, 2), (7, 4), (8, 9)");
    {
        RatingStore store(file);
        // Each old row counts one; a row no server would write does not count.
        EXPECT_EQ(store.TotalsOf(7).sum, 6);
        EXPECT_EQ(store.TotalsOf(7).count, 2);
        EXPECT_EQ(store.TotalsOf(8).count, 0);
        store.Add(7, 5, u"127.0.0.2"_s);
        store.Add(7, 1, u"127.0.0.2"_s);
        EXPECT_EQ(store.TotalsOf(7).sum, 7);
        EXPECT_EQ(store.TotalsOf(7).count, 3);
    }
    sqlite3_stmt* version = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(database, "PRAGMA user_version", -1, &version, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_step(version), SQLITE_ROW);
    EXPECT_EQ(sqlite3_column_int(version, 0), SqliteRatingDatabase::kSchemaVersion);
    sqlite3_finalize(version);

    Sql(database, "PRAGMA user_version = 9");
    EXPECT_THAT(Refusal([&] { RatingStore store(file); }), testing::HasSubstr("schema version 9"));
    // Refused, not changed: the votes are all still there.
    sqlite3_stmt* count = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(database, "SELECT COUNT(*) FROM ratings", -1, &count, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_step(count), SQLITE_ROW);
    EXPECT_EQ(sqlite3_column_int(count, 0), 4);
    sqlite3_finalize(count);
    sqlite3_close(database);
}

TEST(RatingStore, TwoStoresOnOneSqliteFileSeeEachOthersVotes)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(u"ratings.sqlite"_s);
    RatingStore first(file);
    RatingStore second(file);
    first.Add(1, 4, u"127.0.0.2"_s);
    EXPECT_TRUE(Eventually([&] { return second.TotalsOf(1) == first.TotalsOf(1); }));
    const int64_t generation = first.Generation();
    // The same voter through the other store replaces its vote.
    second.Add(1, 2, u"127.0.0.2"_s);
    EXPECT_EQ(second.TotalsOf(1).sum, 2);
    EXPECT_EQ(second.TotalsOf(1).count, 1);
    EXPECT_TRUE(Eventually([&] { return first.TotalsOf(1).sum == 2; }));
    EXPECT_EQ(first.TotalsOf(1).count, 1);
    EXPECT_GT(first.Generation(), generation);
}

TEST(PostgresRatingDatabase, SchemaIsMadeOnceAndANewerOneIsRefused)
{
    START_POSTGRES(server);
    {
        // Two instances starting on an empty database: one makes the tables, both work.
        PostgresRatingDatabase first(server.URL(), 2);
        PostgresRatingDatabase second(server.URL(), 2);
        EXPECT_EQ(first.Store(5, 3, "127.0.0.2").count, 1);
        EXPECT_EQ(second.Store(5, 4, "127.0.0.3").count, 2);
    }
    Session session(server.URL());
    EXPECT_EQ(session.Run("SELECT version FROM morvalen_schema"),
              QByteArray::number(PostgresRatingDatabase::kSchemaVersion));
    EXPECT_EQ(session.Run("SELECT COUNT(*) FROM morvalen_schema"), "1");
    session.Run("UPDATE morvalen_schema SET version = 42");
    EXPECT_THAT(Refusal([&] { PostgresRatingDatabase newer(server.URL(), 1); }),
                testing::HasSubstr("schema version 42"));
    EXPECT_EQ(session.Run("SELECT COUNT(*) FROM ratings"), "2");
    // An address that leads nowhere is told, not hung on.
    EXPECT_THROW(PostgresRatingDatabase(u"postgresql:///none?host=/nonexistent"_s, 1), EMorvalenError);
}

TEST(PostgresRatingDatabase, OneVotePerVoterAndApplicationAcrossConnections)
{
    START_POSTGRES(server);
    PostgresRatingDatabase first(server.URL(), 2);
    PostgresRatingDatabase second(server.URL(), 2);
    using Totals = RatingDatabase::Totals;
    const auto sumAndCount = [](const Totals& totals) {
        return std::pair{totals.sum, totals.count};
    };
    EXPECT_EQ(sumAndCount(first.Store(3, 1, "127.0.0.2")), std::pair(int64_t(1), int64_t(1)));
    EXPECT_EQ(sumAndCount(second.Store(3, 4, "127.0.0.2")), std::pair(int64_t(4), int64_t(1)));
    EXPECT_EQ(sumAndCount(first.Store(3, 2, "127.0.0.3")), std::pair(int64_t(6), int64_t(2)));
    // Another application is counted apart; a vote without a voter counts each time.
    EXPECT_EQ(sumAndCount(second.Store(4, 5, "127.0.0.2")), std::pair(int64_t(5), int64_t(1)));
    EXPECT_EQ(sumAndCount(first.Store(3, 5, {})), std::pair(int64_t(11), int64_t(3)));
    EXPECT_EQ(sumAndCount(first.Store(3, 5, {})), std::pair(int64_t(16), int64_t(4)));
    const RatingDatabase::Changes all = second.ReadChanges(true);
    EXPECT_TRUE(all.complete);
    EXPECT_EQ(all.totals.size(), 2);
    EXPECT_EQ(sumAndCount(all.totals.value(3)), std::pair(int64_t(16), int64_t(4)));
    EXPECT_EQ(sumAndCount(all.totals.value(4)), std::pair(int64_t(5), int64_t(1)));
    EXPECT_GT(all.totals.value(4).lastVote, 0);
}

TEST(PostgresRatingDatabase, AVoteThatCommitsLateIsStillRead)
{
    START_POSTGRES(server);
    PostgresRatingDatabase reader(server.URL(), 1);
    EXPECT_TRUE(reader.ReadChanges(true).totals.isEmpty());
    // A vote's transaction begins, another begins after it and commits first.
    Session late(server.URL());
    late.Run("BEGIN");
    late.Run("INSERT INTO ratings (nid, voter, rating) VALUES (9, 'late', 5)");
    PostgresRatingDatabase writer(server.URL(), 1);
    writer.Store(9, 1, "early");
    RatingDatabase::Changes changes = reader.ReadChanges(false);
    EXPECT_FALSE(changes.complete);
    EXPECT_EQ(changes.totals.value(9).count, 1);
    late.Run("COMMIT");
    changes = reader.ReadChanges(false);
    EXPECT_EQ(changes.totals.value(9).count, 2);
    EXPECT_EQ(changes.totals.value(9).sum, 6);
    // Once every transaction of that time has ended, the application is not read again.
    reader.ReadChanges(false);
    EXPECT_FALSE(reader.ReadChanges(false).totals.contains(9));
}

// Two catalog servers behind one address share the PostgreSQL database.
class CatalogServerInstances : public CatalogServer
{};

TEST_F(CatalogServerInstances, OneAddressCountsOnceThroughBothAndTwoAddressesTwice)
{
    START_POSTGRES(database);
    const QStringList options{u"--list-size"_s, u"3"_s};
    auto first = std::make_unique<ServerProcess>(m_dir.path(), database.URL(), options);
    ServerProcess second(m_dir.path(), database.URL(), options);
    ASSERT_GT(first->Port(), 0);
    ASSERT_GT(second.Port(), 0);
    const auto vote = [](const ServerProcess& server, const char* from, const QByteArray& rating) {
        return server.Get("/link/update.php?imgId=3&rating=" + rating, "GET", {}, from).status;
    };
    const auto ratingThrough = [&](const ServerProcess& server) {
        TWebApplicationList list;
        list.OnGetCategory = m_list.OnGetCategory;
        list.LoadFromFile(Store(server.Get("/xmlcache/category20.xml")));
        const TWebApplicationClass* application = list.FindById(3);
        return application ? application->UserRating() : -1.0f;
    };

    // Café Mail: catalog rating 5. One address votes through one server, then the other.
    EXPECT_EQ(vote(*first, "127.0.0.2", "1"), 200);
    EXPECT_EQ(vote(second, "127.0.0.2", "3"), 200);
    EXPECT_FLOAT_EQ(ratingThrough(second), 4.0f); // (5 + 3) / 2
    EXPECT_TRUE(Eventually([&] { return ratingThrough(*first) == 4.0f; })) << ratingThrough(*first);
    // A second address is a second voter, whichever server it reaches.
    EXPECT_EQ(vote(*first, "127.0.0.3", "1"), 200);
    EXPECT_FLOAT_EQ(ratingThrough(*first), 3.0f); // (5 + 3 + 1) / 3
    EXPECT_TRUE(Eventually([&] { return ratingThrough(second) == 3.0f; })) << ratingThrough(second);

    // The votes are the database's: a server started afresh reads them all.
    ASSERT_TRUE(first->Stop());
    first = std::make_unique<ServerProcess>(m_dir.path(), database.URL(), options);
    ASSERT_GT(first->Port(), 0);
    EXPECT_FLOAT_EQ(ratingThrough(*first), 3.0f);
    EXPECT_EQ(
        first->Get("/xmlcache/highestrated.xml").headers.value("etag"),
        second.Get("/xmlcache/highestrated.xml", "GET", "127.0.0.1:" + QByteArray::number(first->Port()))
            .headers.value("etag"));
}

} // namespace
