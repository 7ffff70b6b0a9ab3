#include "CatalogAddresses.h"

#include <QUrl>

#include <cmath>

using namespace Qt::Literals::StringLiterals;

QString CatalogListPath(int kind)
{
    switch (kind) {
    case clWhatsNew:
        return u"/xmlcache/whatsnew.xml"_s;
    case clRecommended:
        return u"/xmlcache/recommended.xml"_s;
    case clPopular:
        return u"/xmlcache/popular.xml"_s;
    case clHighestRated:
        return u"/xmlcache/highestrated.xml"_s;
    default:
        return {};
    }
}

QString CategoryFilePath(int32_t categoryId)
{
    return u"/xmlcache/category%1.xml"_s.arg(categoryId);
}

QString VisitAddress(const QString& mainURL)
{
    static const QString scheme = u"http://"_s;
    int found = 0;
    qsizetype last = -1;
    // Occurrences that start no later than eight characters before the end.
    for (qsizetype i = 0; i + scheme.size() < mainURL.size(); ++i) {
        if (QStringView(mainURL).sliced(i, scheme.size()).compare(scheme, Qt::CaseInsensitive) == 0) {
            ++found;
            last = i;
        }
    }
    return found > 1 ? mainURL.sliced(last) : mainURL;
}

QString SearchPath(const QString& text)
{
    const QByteArray quoted = QUrl::toPercentEncoding(u"\""_s + text + u"\""_s);
    return u"/xmlsearch.php?query="_s + QString::fromLatin1(quoted) + u"&action=search"_s;
}

std::array<TStarKind, 5> RatingStarKinds(float rating)
{
    // std::nearbyint rounds half to even in the default rounding mode.
    const long score = rating == 0.0f ? 0 : std::lround(std::nearbyint(double(rating) * 20.0));
    std::array<TStarKind, 5> stars{};
    for (long i = 1; i <= 5; ++i) {
        if (i * 20 <= score)
            stars[size_t(i - 1)] = skFull;
        else if ((i - 1) * 20 < score && score < i * 20 && score - (i - 1) * 20 >= 10)
            stars[size_t(i - 1)] = skHalf;
        else
            stars[size_t(i - 1)] = skEmpty;
    }
    return stars;
}
