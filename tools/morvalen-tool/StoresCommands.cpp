#include "JsonOutput.h"
#include "ToolCommand.h"

#include "stores/TFileCacheManager.h"

#include <QDir>
#include <QJsonArray>

using namespace Qt::Literals::StringLiterals;

namespace {

// The entries the program keeps when it loads FOLDER/Cache.dat.
int PrintCache(const QStringList& arguments)
{
    const QString folder = arguments.at(0);
    TFileCacheManager cache;
    cache.SetCacheFolder(folder);
    cache.LoadIndex(QDir(folder).filePath(u"Cache.dat"_s));
    QJsonArray entries;
    for (const TCacheImageItemRec& entry : cache.Items()) {
        entries.append(QJsonObject{
            {u"URL"_s, entry.URL},
            {u"FileName"_s, entry.FileName},
            {u"Updated"_s, entry.Updated},
            {u"AgeBase"_s, entry.AgeBase},
            {u"Keep"_s, entry.Keep},
            {u"Size"_s, entry.Size},
        });
    }
    PrintJson(QJsonObject{{u"entries"_s, entries}});
    return 0;
}

} // namespace

std::vector<ToolCommand> StoresCommands()
{
    return {
        {"cache", "FOLDER", 1, PrintCache},
    };
}
