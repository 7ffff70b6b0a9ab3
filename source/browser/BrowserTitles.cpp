#include "BrowserTitles.h"

using namespace Qt::Literals::StringLiterals;

namespace BrowserTitles {

QString ShortenTitle(const QString& text, int limit)
{
    const int length = int(text.size());
    if (limit >= length || length / 3 >= length - limit)
        return text;
    int position = limit;
    while (position >= 2) {
        const char16_t c = char16_t(text.at(position - 1).unicode() & 0xFF);
        if (c == u' ' || c == u'!' || c == u'-' || c == u'.' || c == u'?')
            break;
        --position;
    }
    return text.left(position >= 2 ? position : limit) + u"..."_s;
}

QString TrayHint(const QString& siteTitle, const QString& pageTitle, int tabCount)
{
    if (tabCount > 1)
        return siteTitle + u" ("_s + QString::number(tabCount) + u" windows)"_s;
    if (pageTitle.trimmed().toLower().startsWith(siteTitle.toLower()))
        return pageTitle;
    return siteTitle + u": "_s + pageTitle;
}

QString WindowCaption(const QString& siteTitle)
{
    return u"Morvalen Desktop: "_s + siteTitle;
}

} // namespace BrowserTitles
