#include "UnreadCount.h"

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace UnreadCount {

namespace {

// A count has at most this many digits; a longer number is part of the title.
constexpr qsizetype kMaxDigits = 6;

// The number of the digits from..to (exclusive); -1 when they are no count.
int Number(const QString& text, qsizetype from, qsizetype to)
{
    if (to <= from || to - from > kMaxDigits)
        return -1;
    int value = 0;
    for (qsizetype index = from; index < to; ++index) {
        const char16_t digit = text.at(index).unicode();
        if (digit < u'0' || digit > u'9')
            return -1;
        value = value * 10 + (digit - u'0');
    }
    return std::min(value, kMaxCount);
}

int Leading(const QString& title)
{
    qsizetype start = 0;
    while (start < title.size() && title.at(start).isSpace())
        ++start;
    if (start >= title.size())
        return -1;
    const QChar open = title.at(start);
    const QChar close = open == u'(' ? u')' : open == u'[' ? u']' : QChar();
    if (close.isNull())
        return -1;
    const qsizetype end = title.indexOf(close, start + 1);
    if (end < 0)
        return -1;
    // "(3)Inbox" is a name, not a count.
    if (end + 1 < title.size() && !title.at(end + 1).isSpace())
        return -1;
    return Number(title, start + 1, end);
}

int Trailing(const QString& title)
{
    qsizetype end = title.size();
    while (end > 0 && title.at(end - 1).isSpace())
        --end;
    if (end < 4 || title.at(end - 1) != u')')
        return -1;
    const qsizetype open = title.lastIndexOf(u'(', end - 1);
    if (open < 1 || !title.at(open - 1).isSpace())
        return -1;
    return Number(title, open + 1, end - 1);
}

} // namespace

int FromTitle(const QString& title)
{
    if (const int leading = Leading(title); leading >= 0)
        return leading;
    return std::max(Trailing(title), 0);
}

QString WithCount(const QString& text, int count)
{
    if (count <= 0)
        return text;
    return u"("_s + QString::number(count) + u") "_s + text;
}

} // namespace UnreadCount
