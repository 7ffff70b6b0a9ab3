#include "HttpCaching.h"

#include <QCryptographicHash>
#include <QDateTime>

#include <array>

namespace HttpCaching {

namespace {

constexpr std::array<const char*, 7> kDays = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
constexpr std::array<const char*, 7> kLongDays = {"Monday", "Tuesday",  "Wednesday", "Thursday",
                                                  "Friday", "Saturday", "Sunday"};
constexpr std::array<const char*, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                 "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// Reads a date field by field; every step checks what it takes, so no length is trusted.
class DateReader final
{
public:
    explicit DateReader(QByteArrayView text) : m_text(text) {}

    bool Literal(QByteArrayView literal)
    {
        if (!m_text.sliced(m_at).startsWith(literal))
            return false;
        m_at += literal.size();
        return true;
    }

    // Exactly count digits, or with padBlank one blank and count - 1 digits (asctime's day).
    std::optional<int> Digits(int count, bool padBlank = false)
    {
        if (padBlank && m_at < m_text.size() && m_text[m_at] == ' ') {
            ++m_at;
            --count;
        }
        if (m_at + count > m_text.size())
            return std::nullopt;
        int value = 0;
        for (int i = 0; i < count; ++i) {
            const char c = m_text[m_at + i];
            if (c < '0' || c > '9')
                return std::nullopt;
            value = value * 10 + (c - '0');
        }
        m_at += count;
        return value;
    }

    // One of names; its index.
    template <size_t N>
    std::optional<int> Name(const std::array<const char*, N>& names)
    {
        for (size_t i = 0; i < N; ++i) {
            if (Literal(names[i]))
                return int(i);
        }
        return std::nullopt;
    }

    // "HH:MM:SS" as seconds of the day.
    std::optional<int> Time()
    {
        const auto hours = Digits(2);
        if (!hours || !Literal(":"))
            return std::nullopt;
        const auto minutes = Digits(2);
        if (!minutes || !Literal(":"))
            return std::nullopt;
        const auto seconds = Digits(2);
        // 60 is a leap second.
        if (!seconds || *hours > 23 || *minutes > 59 || *seconds > 60)
            return std::nullopt;
        return *hours * 3600 + *minutes * 60 + *seconds;
    }

    bool AtEnd() const { return m_at == m_text.size(); }

private:
    QByteArrayView m_text;
    qsizetype m_at = 0;
};

std::optional<int64_t> Seconds(int year, int month, int day, int secondsOfDay)
{
    const QDate date(year, month + 1, day);
    if (!date.isValid())
        return std::nullopt;
    return date.startOfDay(Qt::UTC).toSecsSinceEpoch() + secondsOfDay;
}

// "Sun, 06 Nov 1994 08:49:37 GMT" (IMF-fixdate) or "Sunday, 06-Nov-94 08:49:37 GMT" (RFC 850):
// they differ in the day's name, what parts the date and the year's digits. A two-digit year
// more than 50 years ahead is of the last century.
template <size_t N>
std::optional<int64_t> DayFirstDate(QByteArrayView text, const std::array<const char*, N>& days,
                                    QByteArrayView separator, int yearDigits)
{
    DateReader reader(text);
    if (!reader.Name(days) || !reader.Literal(", "))
        return std::nullopt;
    const auto day = reader.Digits(2);
    if (!day || !reader.Literal(separator))
        return std::nullopt;
    const auto month = reader.Name(kMonths);
    if (!month || !reader.Literal(separator))
        return std::nullopt;
    const auto digits = reader.Digits(yearDigits);
    if (!digits || !reader.Literal(" "))
        return std::nullopt;
    const auto time = reader.Time();
    if (!time || !reader.Literal(" GMT") || !reader.AtEnd())
        return std::nullopt;
    int year = *digits;
    if (yearDigits == 2) {
        const int thisYear = QDate::currentDate().year();
        year += thisYear - thisYear % 100;
        if (year > thisYear + 50)
            year -= 100;
    }
    return Seconds(year, *month, *day, *time);
}

// "Sun Nov  6 08:49:37 1994"
std::optional<int64_t> AscTimeDate(QByteArrayView text)
{
    DateReader reader(text);
    if (!reader.Name(kDays) || !reader.Literal(" "))
        return std::nullopt;
    const auto month = reader.Name(kMonths);
    if (!month || !reader.Literal(" "))
        return std::nullopt;
    const auto day = reader.Digits(2, true);
    if (!day || !reader.Literal(" "))
        return std::nullopt;
    const auto time = reader.Time();
    if (!time || !reader.Literal(" "))
        return std::nullopt;
    const auto year = reader.Digits(4);
    if (!year || !reader.AtEnd())
        return std::nullopt;
    return Seconds(*year, *month, *day, *time);
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

// The characters an entity tag may hold between its quotes.
bool IsTagCharacter(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return u == 0x21 || (u >= 0x23 && u != 0x7F);
}

// The opaque part of one tag, quotes included, or nothing when it is no tag.
QByteArrayView Opaque(QByteArrayView tag)
{
    if (tag.startsWith("W/"))
        tag = tag.sliced(2);
    if (tag.size() < 2 || !tag.startsWith('"') || !tag.endsWith('"'))
        return {};
    for (const char c : tag.sliced(1, tag.size() - 2)) {
        if (!IsTagCharacter(c))
            return {};
    }
    return tag;
}

} // namespace

QByteArray EntityTag(QByteArrayView body)
{
    // 128 bits of SHA-256: no two answers of a catalog collide.
    return '"' + QCryptographicHash::hash(body, QCryptographicHash::Sha256).first(16).toHex() + '"';
}

QByteArray FormatDate(int64_t seconds)
{
    const QDateTime time = QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC);
    const QDate date = time.date();
    const QTime clock = time.time();
    return QByteArray(kDays[size_t(date.dayOfWeek() - 1)]) + ", " +
           QByteArray::number(date.day()).rightJustified(2, '0') + ' ' + kMonths[size_t(date.month() - 1)] +
           ' ' + QByteArray::number(date.year()).rightJustified(4, '0') + ' ' +
           QByteArray::number(clock.hour()).rightJustified(2, '0') + ':' +
           QByteArray::number(clock.minute()).rightJustified(2, '0') + ':' +
           QByteArray::number(clock.second()).rightJustified(2, '0') + " GMT";
}

std::optional<int64_t> ParseDate(QByteArrayView text)
{
    text = text.trimmed();
    if (text.size() > 64)
        return std::nullopt;
    if (auto seconds = DayFirstDate(text, kDays, " ", 4))
        return seconds;
    if (auto seconds = DayFirstDate(text, kLongDays, "-", 2))
        return seconds;
    return AscTimeDate(text);
}

bool NoneMatchNames(QByteArrayView ifNoneMatch, QByteArrayView entityTag)
{
    const QByteArrayView wanted = Opaque(entityTag);
    if (wanted.isEmpty())
        return false;
    const QByteArrayView list = ifNoneMatch.trimmed();
    if (list == "*")
        return true;
    qsizetype at = 0;
    while (at < list.size()) {
        while (at < list.size() && (IsBlank(list[at]) || list[at] == ','))
            ++at;
        if (at == list.size())
            break;
        // One tag: an optional W/, then a quoted opaque part.
        const qsizetype start = at;
        if (list.sliced(at).startsWith("W/"))
            at += 2;
        if (at >= list.size() || list[at] != '"')
            return false;
        const qsizetype close = list.indexOf('"', at + 1);
        if (close < 0)
            return false;
        at = close + 1;
        const QByteArrayView tag = Opaque(list.sliced(start, at - start));
        if (tag.isEmpty())
            return false;
        if (tag == wanted)
            return true;
        while (at < list.size() && IsBlank(list[at]))
            ++at;
        if (at < list.size() && list[at] != ',')
            return false;
    }
    return false;
}

bool IsNotModified(const QByteArray& ifNoneMatch, const QByteArray& ifModifiedSince, QByteArrayView entityTag,
                   int64_t lastModified)
{
    if (!ifNoneMatch.isNull())
        return NoneMatchNames(ifNoneMatch, entityTag);
    if (ifModifiedSince.isNull() || lastModified <= 0)
        return false;
    const std::optional<int64_t> since = ParseDate(ifModifiedSince);
    return since && lastModified <= *since;
}

} // namespace HttpCaching
