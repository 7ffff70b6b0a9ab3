#include "CatalogSorting.h"

#include "TWebApplicationClass.h"
#include "TWebCategoryClass.h"
#include "common/DateTime.h"

#include <QCollator>
#include <QLocale>

#include <algorithm>
#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace {

// The resolution single precision is trusted to, relative to the smaller magnitude and
// never below it in absolute terms.
constexpr float kSingleResolution = 1e-4f;

// The user's collation over case-folded text: the C locale compares code points, in which
// case sensitivity cannot be switched off, so letter case is removed before comparing.
QCollator& TextCollator()
{
    static QCollator collator = [] {
        QCollator made{QLocale()};
        made.setCaseSensitivity(Qt::CaseInsensitive);
        return made;
    }();
    return collator;
}

const QString& TextOf(const TWebApplicationClass& application, int column)
{
    static const QString none;
    switch (column) {
    case ccTitle:
        return application.Title();
    case ccDescription:
        return application.Tagline();
    case ccCategory:
        return application.Category() ? application.Category()->Title() : none;
    default:
        return none;
    }
}

int Sign(int value)
{
    return (value > 0) - (value < 0);
}

int CompareRatings(float a, float b)
{
    if (SameRating(a, b))
        return 0;
    return a < b ? -1 : 1;
}

// Day counts before 1899-12-30 count the time of day forward too, so the day is the
// integral part toward zero.
int64_t WholeDays(double dateAdded)
{
    return int64_t(std::trunc(dateAdded));
}

int CompareDates(double a, double b)
{
    const int64_t dayA = WholeDays(a);
    const int64_t dayB = WholeDays(b);
    return (dayA > dayB) - (dayA < dayB);
}

bool IsTextColumn(int column)
{
    return column == ccTitle || column == ccDescription || column == ccCategory;
}

} // namespace

bool SameRating(float a, float b)
{
    const float epsilon =
        std::max(std::min(std::fabs(a), std::fabs(b)) * kSingleResolution, kSingleResolution);
    return std::fabs(a - b) <= epsilon;
}

int CompareApplications(const TWebApplicationClass& a, const TWebApplicationClass& b, int column)
{
    switch (column) {
    case ccRating:
        return CompareRatings(a.UserRating(), b.UserRating());
    case ccDate:
        return CompareDates(a.DateAdded(), b.DateAdded());
    default:
        if (!IsTextColumn(column))
            return 0;
        return Sign(
            TextCollator().compare(TextOf(a, column).toCaseFolded(), TextOf(b, column).toCaseFolded()));
    }
}

bool SortsDescendingFirst(int column)
{
    return column == ccRating || column == ccDate;
}

void SortApplications(std::vector<TWebApplicationClass*>& rows, int column, bool descending)
{
    if (IsTextColumn(column)) {
        struct Keyed
        {
            QCollatorSortKey key;
            TWebApplicationClass* row;
        };
        std::vector<Keyed> keyed;
        keyed.reserve(rows.size());
        const QCollator& collator = TextCollator();
        for (TWebApplicationClass* row : rows)
            keyed.push_back({collator.sortKey(TextOf(*row, column).toCaseFolded()), row});
        std::stable_sort(keyed.begin(), keyed.end(), [descending](const Keyed& a, const Keyed& b) {
            return descending ? b.key.compare(a.key) < 0 : a.key.compare(b.key) < 0;
        });
        for (size_t i = 0; i < rows.size(); ++i)
            rows[i] = keyed[i].row;
        return;
    }
    // Stable merging never walks past the ends, even with the fuzzy equality of ratings.
    std::stable_sort(rows.begin(), rows.end(), [column, descending](const auto* a, const auto* b) {
        const int order = CompareApplications(*a, *b, column);
        return descending ? order > 0 : order < 0;
    });
}

QString FormatDateAdded(double dateAdded)
{
    const QDateTime when = DateTime::ToQDateTime(dateAdded);
    return QLocale::c().toString(when.date(), u"MMM dd, yyyy"_s);
}
