#pragma once

#include <QString>

// The texts a browser window derives from page titles.
namespace BrowserTitles {

// Cuts text to about limit characters at a word or sentence break and appends "...". A
// text is kept whole when the part that would go is not more than a third of it.
QString ShortenTitle(const QString& text, int limit);

// The hint of a site window's tray icon after a page title changed.
QString TrayHint(const QString& siteTitle, const QString& pageTitle, int tabCount);

// The window caption of a site.
QString WindowCaption(const QString& siteTitle);

} // namespace BrowserTitles
