#include "ServerOptions.h"

#include "CatalogSite.h"
#include "TrustedProxies.h"

#include "common/Errors.h"

#include <QRegularExpression>

using namespace Qt::Literals::StringLiterals;

namespace {

int NumberOption(const QString& name, const QString& value, int minimum, int maximum)
{
    bool ok = false;
    const int number = value.toInt(&ok);
    if (!ok || number < minimum || number > maximum)
        throw EMorvalenError(
            u"%1 must be a number from %2 to %3, not \"%4\""_s.arg(name).arg(minimum).arg(maximum).arg(
                value));
    return number;
}

void SetDatabase(ServerOptions& options, const QString& name, const QString& value)
{
    if (value.startsWith(u"sqlite:"_s) && value.size() > 7) {
        options.databaseKind = ServerOptions::DatabaseKind::Sqlite;
        options.database = value.mid(7);
    } else if (value.startsWith(u"postgresql://"_s) || value.startsWith(u"postgres://"_s)) {
        options.databaseKind = ServerOptions::DatabaseKind::Postgres;
        options.database = value;
    } else {
        throw EMorvalenError(u"%1 must be sqlite:FILE or postgresql://..., not \"%2\""_s.arg(name, value));
    }
}

} // namespace

const char* ServerOptions::Usage()
{
    return "usage: morvalen-catalog-server [--catalog DIR] [--bind ADDR] [--port N] [--database URL]\n"
           "                               [--list-size N] [--connections-per-address N] [--max-age N]\n"
           "                               [--trusted-proxy ADDR]... [--base-url URL] [--export DIR]\n"
           "  --catalog DIR   the folder with catalog.json (default: the installed\n"
           "                  sample catalog)\n"
           "  --bind ADDR     the address to listen on (default 127.0.0.1)\n"
           "  --port N        the port (default 8370; 0 takes a free one)\n"
           "  --database URL  the rating database: sqlite:FILE (default: a file in the\n"
           "                  user's data folder; sqlite::memory: keeps ratings for this\n"
           "                  run only) or postgresql://USER@HOST/DB, which several\n"
           "                  servers may share\n"
           "  --db FILE       the same as --database sqlite:FILE\n"
           "  --list-size N   applications in each of the four lists (default 50)\n"
           "  --connections-per-address N\n"
           "                  connections one client address may hold at once\n"
           "                  (default 256; 0: no limit)\n"
           "  --max-age N     seconds a cache may keep a catalog file or picture\n"
           "                  (default 300)\n"
           "  --trusted-proxy ADDR\n"
           "                  a proxy (address or ADDR/BITS) whose X-Forwarded-For names\n"
           "                  the voter; may be given again for more proxies\n"
           "  --base-url URL  the address clients reach the catalog at, for answers to\n"
           "                  requests without a usable Host and for the export\n"
           "  --export DIR    write the catalog's files below DIR as a web server would\n"
           "                  serve them, then end (needs --base-url)\n";
}

ServerOptions ServerOptions::Parse(const QStringList& arguments)
{
    ServerOptions options;
    bool databaseGiven = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        QString name = arguments[i];
        QString value;
        if (const qsizetype equals = name.indexOf(u'='); equals > 0 && name.startsWith(u"--"_s)) {
            value = name.mid(equals + 1);
            name.truncate(equals);
        } else if (name == u"--help"_s || name == u"-h"_s) {
            options.help = true;
            return options;
        } else if (i + 1 < arguments.size()) {
            value = arguments[++i];
        } else {
            throw EMorvalenError(u"%1 needs a value"_s.arg(name));
        }
        if (name == u"--catalog"_s) {
            options.catalogFolder = value;
        } else if (name == u"--bind"_s) {
            options.bindAddress = value;
        } else if (name == u"--port"_s) {
            options.port = NumberOption(name, value, 0, 65535);
        } else if (name == u"--database"_s || name == u"--db"_s) {
            if (databaseGiven)
                throw EMorvalenError(
                    u"the rating database is given twice (--database and --db name the same)"_s);
            databaseGiven = true;
            if (name == u"--db"_s) {
                if (value.isEmpty())
                    throw EMorvalenError(u"--db needs a file name"_s);
                options.database = value;
            } else {
                SetDatabase(options, name, value);
            }
        } else if (name == u"--list-size"_s) {
            options.listSize = NumberOption(name, value, 1, 1000000);
        } else if (name == u"--connections-per-address"_s) {
            options.connectionsPerAddress = NumberOption(name, value, 0, 1000000);
        } else if (name == u"--max-age"_s) {
            // A year, the longest any cache is asked to keep an answer.
            options.maxAge = NumberOption(name, value, 0, 31536000);
        } else if (name == u"--trusted-proxy"_s) {
            TrustedProxies().Add(value);
            options.trustedProxies.append(value);
        } else if (name == u"--base-url"_s) {
            static const QRegularExpression scheme(u"^https?://"_s);
            const QRegularExpressionMatch match = scheme.match(value);
            const QString host = match.hasMatch() ? value.mid(match.capturedLength()) : QString();
            if (!match.hasMatch() || CatalogSite::BaseURLFor(host.toLatin1(), {}).isEmpty())
                throw EMorvalenError(
                    u"--base-url must be http:// or https:// and a host with an optional port, without a path, not \"%1\""_s
                        .arg(value));
            options.baseURL = value;
        } else if (name == u"--export"_s) {
            if (value.isEmpty())
                throw EMorvalenError(u"--export needs a folder"_s);
            options.exportFolder = value;
        } else {
            throw EMorvalenError(u"unknown option %1"_s.arg(name));
        }
    }
    if (!options.exportFolder.isEmpty() && options.baseURL.isEmpty())
        throw EMorvalenError(
            u"--export needs --base-url URL: the address clients will reach the exported files at"_s);
    return options;
}
