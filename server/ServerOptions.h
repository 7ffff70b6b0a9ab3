#pragma once

#include <QString>
#include <QStringList>

// The catalog server's command line.
struct ServerOptions
{
    enum class DatabaseKind
    {
        Sqlite,
        Postgres,
    };

    QString catalogFolder;
    QString bindAddress = QStringLiteral("127.0.0.1");
    int port = 8370;
    // The rating database: an SQLite file (":memory:" for this run only) or a PostgreSQL
    // connection URI; empty for the default file.
    DatabaseKind databaseKind = DatabaseKind::Sqlite;
    QString database;
    int listSize = 50;
    int connectionsPerAddress = 256;
    // How long a cache may keep a catalog file or picture without asking again, in seconds.
    int maxAge = 300;
    QStringList trustedProxies;
    // With exportFolder the server writes the catalog's files there and ends.
    QString exportFolder;
    // The address clients reach the catalog at ("https://catalog.example.org"); empty: the
    // address the server listens on.
    QString baseURL;

    // Reads the arguments after the program's name; "--name value" and "--name=value" alike.
    // Throws EMorvalenError naming the option for anything it cannot take. --help is a
    // request of its own: help is then true and nothing else is checked.
    static ServerOptions Parse(const QStringList& arguments);

    bool help = false;
    static const char* Usage();
};
