#pragma once

#include <QString>

class CatalogSite;

// The static part of a catalog as files, for nginx, Apache or a CDN to serve: every answer of
// CatalogSite::StaticPaths under its request path ("xmlcache/whatsnew.xml", "images/
// thumbnail7.jpg", "help/index.html"), each with the bytes the server answers and its
// Last-Modified as its time. Search and ratings stay with the server.
namespace CatalogExport {

// Writes the export into a new folder beside folder, then puts it in folder's place in one
// step (the earlier export, if any, is then removed), so that a web server never serves half
// an export. folder must be missing, empty or an earlier export: anything else is refused
// untouched. Returns the number of files. Throws EMorvalenError.
int Write(CatalogSite& site, const QString& folder, const QString& baseURL);

} // namespace CatalogExport
