#include "SitePages.h"

using namespace Qt::Literals::StringLiterals;

namespace SitePages {

namespace {

QByteArray Page(const QString& title, const QString& baseURL, const QString& body)
{
    return (uR"(<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<title>%1 - Morvalen Desktop</title>
<style>
body { font-family: Tahoma, "DejaVu Sans", sans-serif; font-size: 14px; margin: 0; color: #222; }
header { background: linear-gradient(#ffffff, #e4e4e4); border-bottom: 1px solid #cecece; padding: 12px 24px; }
header a { margin-right: 18px; color: #4860f0; text-decoration: underline; }
header strong { font-size: 20px; margin-right: 32px; }
header strong span { color: #4860f0; }
main { max-width: 860px; margin: 0 auto; padding: 8px 24px 32px; line-height: 1.5; }
h2 { border-bottom: 1px solid #cecece; padding-bottom: 4px; margin-top: 28px; }
table { border-collapse: collapse; } td, th { border: 1px solid #cecece; padding: 4px 8px; text-align: left; }
code { background: #f3f4f6; padding: 1px 4px; }
</style>
</head>
<body>
<header><strong>Morvalen <span>Desktop</span></strong>
<a href="%2/">Start</a><a href="%2/help/">Online help</a><a href="%2/download/">Download</a></header>
<main>
<h1>%1</h1>
%3
</main>
</body>
</html>
)"_s)
        .arg(Escape(title), baseURL, body)
        .toUtf8();
}

} // namespace

QString Escape(const QString& text)
{
    return text.toHtmlEscaped();
}

QByteArray StartPage(const CatalogSource& source, const QString& baseURL)
{
    QString categories;
    for (const SourceCategory& category : source.Categories())
        categories +=
            u"<li>%1 (%2 sub-categories)</li>\n"_s.arg(Escape(category.title)).arg(category.children.size());
    return Page(u"Welcome"_s, baseURL,
                uR"(<p>Morvalen Desktop brings a catalog of %1 web applications to your desktop. Browse them
by what is new, recommended, popular or best rated, or by category; search the catalog; install
the sites you like as tiles that open in their own browser windows, watched for changes if you
wish.</p>
<h2>The catalog's categories</h2>
<ul>
%2</ul>
<p>New to the program? Read the <a href="%3/help/">online help</a>.</p>
)"_s.arg(source.Applications().size())
                    .arg(categories, baseURL));
}

QByteArray Help(const QString& baseURL)
{
    return Page(u"Online help"_s, baseURL, uR"(
<p>Morvalen Desktop keeps the web applications you use as installed sites on your desktop and
lets you discover new ones in an online catalog. Each installed site opens in a browser window of
its own, with its own tabs, its own window position and, if you like, a watch that tells you when
the page changes.</p>

<h2>The catalog tabs</h2>
<p><b>What's New</b>, <b>Recommended</b>, <b>Popular</b> and <b>Highest Rated</b> show lists of the
catalog, newest first. Click a column header to sort by name, rating, description or date; click it
again to turn the order around. The panel <b>Detailed info</b> below a list shows the selected
application: its picture (click <i>View full size</i> for the whole screenshot), category,
popularity, price, the browsers it supports and its rating. The links above the description
install the site, visit it, open its sign-up page or recommend it to a friend by mail.</p>
<p>Right-click the row of tabs to hide tabs you do not need; <i>Refresh</i> shows them again.</p>

<h2>Categories</h2>
<p>The tree on the left holds the catalog's categories and their sub-categories, with the number of
applications known in each. Select one to see its applications on the right; the list is brought
up to date from the catalog server while you look at it.</p>

<h2>Installed</h2>
<p>Every site you installed is a tile with its picture, title and description. Double-click a tile
(or use its run button) to open the site. Right-click a tile to edit, rename, remove, rate or create
shortcuts for it. Drag tiles to arrange them; the order is kept.</p>

<h2>Searching</h2>
<p>Type words into the search box at the top and press Enter. The catalog server answers with every
application whose name, tagline or description contains all the words, best matches first. Each
search gets a tab of its own; close it with the button at its top right.</p>

<h2>Adding a site</h2>
<p><b>Add site</b> in the toolbar installs the application selected in a catalog list or a search,
or opens the site dialog for an address of your own. In the site dialog you set the title, address,
description and browser engine, extra tabs that open with the site, a change watch with its
interval, and the shortcuts (desktop, start menu, quick launch, start with the system).</p>

<h2>Rating a site</h2>
<p>Right-click an installed catalog site and choose <i>Rate site...</i> to give it one to five stars.
Your rating goes to the catalog server and counts in the site's user rating.</p>

<h2>Settings</h2>
<p><i>File, Settings...</i> (Ctrl+P) sets how often the catalog is refreshed, when to look for a new
version, how long downloaded catalog files are kept, the default browser engine and window size,
whether closed browser windows go to the notification area, and whether the program starts with
your desktop session.</p>

<h2>Notifications</h2>
<p>A watched site that changes while its window is in the background is announced in a small
window above the taskbar. Click a line to bring the site to the front.</p>

<h2>Updates</h2>
<p><i>Help, Check for updates...</i> asks the catalog server for the newest version and offers its
<a href="%1/download/">download page</a> when there is one.</p>
)"_s.arg(baseURL));
}

QByteArray Download(const std::vector<SourceVersion>& versions, const QString& baseURL)
{
    QString list;
    for (auto version = versions.rbegin(); version != versions.rend(); ++version) {
        list += u"<h2>Version %1.%2.%3.%4</h2>\n<p>%5</p>\n"_s.arg(version->major)
                    .arg(version->minor)
                    .arg(version->release)
                    .arg(version->build)
                    .arg(Escape(version->description).replace(u'\n', u"<br>"_s));
    }
    if (list.isEmpty())
        list = u"<p>No version has been published yet.</p>"_s;
    return Page(u"Download Morvalen Desktop"_s, baseURL,
                uR"(<p>Morvalen Desktop is built from its source code for Linux desktops. Ask the
operator of this catalog for packages of the version you need.</p>
)"_s + list);
}

QByteArray FireFox(const QString& baseURL)
{
    return Page(u"Download FireFox component"_s, baseURL, uR"(
<p>Morvalen Desktop shows sites with one of two browser engines. The first engine is built into
the program. The second, the FireFox engine, is not available for this system yet.</p>
<p>Until it is, choose the first engine in the settings and in the site dialog; every site works
with it.</p>
)"_s);
}

} // namespace SitePages
