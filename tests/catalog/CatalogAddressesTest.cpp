#include "catalog/CatalogAddresses.h"

#include <QUrl>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

TEST(VisitAddress, OneHttpIsUsedWhole)
{
    EXPECT_EQ(VisitAddress(u"http://mail.example.com/start?x=1"_s), u"http://mail.example.com/start?x=1"_s);
    EXPECT_EQ(VisitAddress(u"https://example.com/"_s), u"https://example.com/"_s);
    EXPECT_EQ(VisitAddress(QString()), QString());
}

TEST(VisitAddress, AnEmbeddedAddressIsVisitedFromItsHttp)
{
    EXPECT_EQ(VisitAddress(u"http://track.example.com/go?to=http://real.example.org/page"_s),
              u"http://real.example.org/page"_s);
    // Letter case does not matter, and the last of three wins.
    EXPECT_EQ(VisitAddress(u"HTTP://a.example/?u=Http://b.example/?v=hTtP://c.example/x"_s),
              u"hTtP://c.example/x"_s);
}

TEST(VisitAddress, AnHttpThatOnlyEndsTheTextDoesNotCount)
{
    EXPECT_EQ(VisitAddress(u"http://a.example/?next=http://"_s), u"http://a.example/?next=http://"_s);
    EXPECT_EQ(VisitAddress(u"http://a.example/?next=http://x"_s), u"http://x"_s);
}

TEST(SearchPath, QuotesTheTextAndEncodesWhatAnAddressCannotHold)
{
    EXPECT_EQ(SearchPath(u"mail"_s), u"/xmlsearch.php?query=%22mail%22&action=search"_s);
    const QString path = SearchPath(u"web \"mail\" & café 日本"_s);
    EXPECT_FALSE(path.contains(u' '));
    EXPECT_EQ(path.count(u'"'), 0);
    EXPECT_EQ(path.count(u'&'), 1);
    // Decoded, the query is the quoted text exactly.
    const QString query =
        path.sliced(path.indexOf(u'=') + 1).chopped(QStringLiteral("&action=search").size());
    EXPECT_EQ(QUrl::fromPercentEncoding(query.toLatin1()), u"\"web \"mail\" & café 日本\""_s);
    EXPECT_EQ(SearchPath(QString()), u"/xmlsearch.php?query=%22%22&action=search"_s);
}

TEST(CatalogPaths, ListsAndCategories)
{
    EXPECT_EQ(CatalogListPath(clWhatsNew), u"/xmlcache/whatsnew.xml"_s);
    EXPECT_EQ(CatalogListPath(clRecommended), u"/xmlcache/recommended.xml"_s);
    EXPECT_EQ(CatalogListPath(clPopular), u"/xmlcache/popular.xml"_s);
    EXPECT_EQ(CatalogListPath(clHighestRated), u"/xmlcache/highestrated.xml"_s);
    EXPECT_EQ(CategoryFilePath(31), u"/xmlcache/category31.xml"_s);
}

using Stars = std::array<TStarKind, 5>;

TEST(RatingStars, HalvesAndWholes)
{
    EXPECT_EQ(RatingStarKinds(0.0f), (Stars{skEmpty, skEmpty, skEmpty, skEmpty, skEmpty}));
    EXPECT_EQ(RatingStarKinds(0.5f), (Stars{skHalf, skEmpty, skEmpty, skEmpty, skEmpty}));
    EXPECT_EQ(RatingStarKinds(3.4f), (Stars{skFull, skFull, skFull, skEmpty, skEmpty}));
    EXPECT_EQ(RatingStarKinds(3.5f), (Stars{skFull, skFull, skFull, skHalf, skEmpty}));
    EXPECT_EQ(RatingStarKinds(5.0f), (Stars{skFull, skFull, skFull, skFull, skFull}));
}

TEST(RatingStars, HalfAStarNeedsTenPointsOfTwenty)
{
    EXPECT_EQ(RatingStarKinds(0.45f)[0], skEmpty);
    EXPECT_EQ(RatingStarKinds(0.475f)[0], skEmpty); // 9.4999.. points in single precision
    EXPECT_EQ(RatingStarKinds(0.95f)[0], skHalf);
    EXPECT_EQ(RatingStarKinds(0.97f)[0], skHalf); // 19.4 points
    EXPECT_EQ(RatingStarKinds(0.99f)[0], skFull); // 19.8 rounds to a whole star
    EXPECT_EQ(RatingStarKinds(4.26f), (Stars{skFull, skFull, skFull, skFull, skEmpty}));
    // Out of range ratings fill or empty every star and nothing more.
    EXPECT_EQ(RatingStarKinds(7.0f), (Stars{skFull, skFull, skFull, skFull, skFull}));
    EXPECT_EQ(RatingStarKinds(-2.0f), (Stars{skEmpty, skEmpty, skEmpty, skEmpty, skEmpty}));
}

} // namespace
