#include "JsonOutput.h"
#include "ToolCommand.h"

#include "stores/TFavoriteIconManager.h"
#include "stores/TFileCacheManager.h"
#include "stores/TThumbnailManager.h"

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

// The entries the program keeps when it loads FOLDER/Thumbnails.dat.
int PrintThumbnails(const QStringList& arguments)
{
    const QString folder = arguments.at(0);
    TThumbnailManager thumbnails;
    thumbnails.SetFolder(folder);
    thumbnails.LoadIndex(QDir(folder).filePath(QString::fromLatin1(TThumbnailManager::kIndexFileName)));
    QJsonArray entries;
    for (const TThumbnailRec& entry : thumbnails.Items())
        entries.append(QJsonObject{{u"URL"_s, entry.URL}, {u"FileName"_s, entry.FileName}});
    PrintJson(QJsonObject{{u"entries"_s, entries}});
    return 0;
}

// The icons the program offers once it has set FOLDER (writing the default icon when it is
// missing) and loaded FOLDER/FavIcons.dat: the default entry first.
int PrintFavoriteIcons(const QStringList& arguments)
{
    const QString folder = arguments.at(0);
    TFavoriteIconManager icons;
    icons.SetFolder(folder);
    icons.LoadIndex(QDir(folder).filePath(QString::fromLatin1(TFavoriteIconManager::kIndexFileName)));
    QJsonArray entries;
    icons.ForEachIcon([&](const QString& name, const QString& fileName) {
        entries.append(QJsonObject{{u"Name"_s, name}, {u"FileName"_s, fileName}});
    });
    PrintJson(QJsonObject{{u"entries"_s, entries}});
    return 0;
}

} // namespace

std::vector<ToolCommand> StoresCommands()
{
    return {
        {"cache", "FOLDER", 1, PrintCache},
        {"thumbnails", "FOLDER", 1, PrintThumbnails},
        {"favicons", "FOLDER", 1, PrintFavoriteIcons},
    };
}
