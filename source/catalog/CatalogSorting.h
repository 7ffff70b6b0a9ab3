#pragma once

#include <QString>

#include <cstdint>
#include <vector>

class TWebApplicationClass;

// The columns of every catalog list; search result lists add the category column.
enum TCatalogColumn : int
{
    ccTitle = 0,
    ccRating = 1,
    ccDescription = 2,
    ccDate = 3,
    ccCategory = 4,
};

// Ratings come from the catalog as single-precision numbers; two that differ only below what
// single precision resolves are the same rating.
bool SameRating(float a, float b);

// Compares two applications by one column in ascending sense (<0, 0, >0): titles, taglines
// and category names case-insensitively in the user's locale, ratings as SameRating says,
// dates by whole days. There is no second key.
int CompareApplications(const TWebApplicationClass& a, const TWebApplicationClass& b, int column);

// The direction a column sorts in when its header is first clicked: best ratings and newest
// dates first, texts from A to Z.
bool SortsDescendingFirst(int column);

// Sorts rows by a column. Stable, so equal rows keep the order the list gave them. Texts are
// compared through collation keys made once per row, which keeps a sort of tens of thousands
// of rows well under the time of one frame.
void SortApplications(std::vector<TWebApplicationClass*>& rows, int column, bool descending);

// The date column's text: "Jan 05, 2024" in English whatever the locale, as the catalog
// shows its dates.
QString FormatDateAdded(double dateAdded);
