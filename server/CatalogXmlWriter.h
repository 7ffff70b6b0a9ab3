#pragma once

#include "CatalogSource.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <vector>

// Writes the files the program reads: the category list, the catalog lists (every list,
// category and search answer has the same format) and the version file. UTF-8 XML.
namespace CatalogXmlWriter {

// <categories><category id=".." title=".."><category .../></category></categories>
QByteArray CategoryList(const std::vector<SourceCategory>& categories);

// The user rating an application shows: its catalog rating merged with the users' ratings.
using UserRatingFn = std::function<double(const SourceApplication&)>;

// <webapplications><webapp nid=".." cat_id="..">...</webapp></webapplications>, in the given
// order. Picture addresses are absolute, below baseURL ("http://host:port").
QByteArray ApplicationList(const std::vector<const SourceApplication*>& applications, const QString& baseURL,
                           const UserRatingFn& userRating);

// <products><product id="MorvalenDesktop"><versions><version major=".." ...>
QByteArray VersionFile(const std::vector<SourceVersion>& versions, const QString& downloadURL);

// The addresses of an application's pictures below baseURL. The program stores a downloaded
// picture under the last segment of its address, so every picture has a name of its own.
QString ScreenshotPath(const SourceApplication& application);
QString ThumbnailPath(const SourceApplication& application);

// A number as the lists write it: "." as the decimal point, at most two decimals, no
// trailing zeros ("4.5", "87.25", "3").
QString FormatNumber(double value);

} // namespace CatalogXmlWriter
