#pragma once

#include <QString>

#include <array>
#include <cstdint>

// Paths on the catalog server and the addresses the catalog views derive from an
// application.

inline constexpr char16_t kCategoryListPath[] = u"/xmlcache/categorylist.xml";
inline constexpr char16_t kVersionFilePath[] = u"/download/version.xml";

// The four lists behind the tabs, in the order they are requested.
enum TCatalogListKind : int
{
    clWhatsNew = 0,
    clRecommended = 1,
    clPopular = 2,
    clHighestRated = 3,
};
inline constexpr int kCatalogListCount = 4;

// "/xmlcache/whatsnew.xml" and so on.
QString CatalogListPath(int kind);
// "/xmlcache/category<id>.xml".
QString CategoryFilePath(int32_t categoryId);

// The address "Visit site" opens: the main address, unless it embeds a further full address
// after its own (a redirecting link), then the text from the last "http://" (any letter case)
// to the end. An "http://" that only ends the text does not count.
QString VisitAddress(const QString& mainURL);

// The search request for a text: the query in double quotes as the server expects it, with
// every byte of the quoted UTF-8 text that is not an unreserved address character
// percent-encoded, so blanks, quotes, "&" and any letter reach the server as typed.
QString SearchPath(const QString& text);

// How one of the five rating stars is drawn.
enum TStarKind : uint8_t
{
    skEmpty,
    skHalf,
    skFull,
};

// The five stars of a rating from 0 to 5, in steps of half a star: the rating times 20,
// rounded half to even, fills a star per 20 points and half a star for 10 more.
std::array<TStarKind, 5> RatingStarKinds(float rating);
