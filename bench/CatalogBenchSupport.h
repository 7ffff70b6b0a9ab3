#pragma once

// What the benchmarks of the catalog views share. The program using it defines
// MORVALEN_GENERATOR_PATH and MORVALEN_SERVER_PATH.

#include "catalogviews/TCatalogViews.h"
#include "stores/TFileCacheManager.h"

#include <QByteArray>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

// The real catalog server over a synthetic catalog of the generator's (25 top-level categories
// with 3 sub-categories each), every list holding all applications.
struct SyntheticCatalogServer
{
    QTemporaryDir folder;
    QProcess process;
    // "http://host:port"; empty when the server did not start.
    QString address;

    explicit SyntheticCatalogServer(int applications)
    {
        using namespace Qt::Literals::StringLiterals;
        QProcess generator;
        generator.start(QString::fromUtf8(MORVALEN_GENERATOR_PATH),
                        {u"--applications"_s, QString::number(applications), u"--categories"_s, u"25"_s,
                         u"--sub-categories"_s, u"3"_s, u"--output"_s, folder.path()});
        generator.waitForFinished(120000);
        process.start(QString::fromUtf8(MORVALEN_SERVER_PATH),
                      {u"--catalog"_s, folder.path(), u"--port"_s, u"0"_s, u"--db"_s, u":memory:"_s,
                       u"--list-size"_s, QString::number(applications)});
        static const QRegularExpression listening(u"Listening on (http://[0-9.:]+)"_s);
        QByteArray output;
        while (process.waitForReadyRead(60000)) {
            output += process.readAllStandardOutput();
            const QRegularExpressionMatch match = listening.match(QString::fromUtf8(output));
            if (match.hasMatch()) {
                address = match.captured(1);
                return;
            }
        }
        std::fprintf(stderr, "the catalog server did not start\n");
    }

    ~SyntheticCatalogServer()
    {
        process.terminate();
        process.waitForFinished(10000);
    }

    SyntheticCatalogServer(const SyntheticCatalogServer&) = delete;
    SyntheticCatalogServer& operator=(const SyntheticCatalogServer&) = delete;
};

// An empty cache in a fresh folder.
inline std::unique_ptr<TFileCacheManager> EmptyCache(const QTemporaryDir& folder)
{
    using namespace Qt::Literals::StringLiterals;
    QDir().mkpath(folder.filePath(u"Cache"_s));
    auto cache = std::make_unique<TFileCacheManager>();
    cache->SetCacheFolder(folder.filePath(u"Cache"_s));
    cache->LoadIndex(folder.filePath(u"Cache.dat"_s));
    return cache;
}

// Hooks that count a refresh's jobs down in pending; 0 when the refresh is over.
inline TCatalogHooks CountingHooks(int& pending)
{
    TCatalogHooks hooks;
    hooks.SetPending = [&pending](int count) {
        pending = count;
    };
    hooks.CountDown = [&pending] {
        --pending;
    };
    return hooks;
}
