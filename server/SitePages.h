#pragma once

#include "CatalogSource.h"

#include <QByteArray>
#include <QString>

// The program's web site: the start page, the online help and the download pages. The
// program opens them in its own browser windows.
namespace SitePages {

QByteArray StartPage(const CatalogSource& source, const QString& baseURL);
QByteArray Help(const QString& baseURL);
QByteArray Download(const std::vector<SourceVersion>& versions, const QString& baseURL);
QByteArray FireFox(const QString& baseURL);

// Text made safe for HTML: &, <, > and " are written as entities.
QString Escape(const QString& text);

} // namespace SitePages
