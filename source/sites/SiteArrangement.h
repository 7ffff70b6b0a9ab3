#pragma once

#include <QPoint>
#include <QSize>
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

class TMorvalenBaseClass;

// How the installed sites are ordered on screen and in the data file.
enum TArrangeMode : uint8_t
{
    amManual = 0,
    amByName = 1,
    amByPopularity = 2
};

// The order and placement of the installed sites' tiles, apart from the widgets.
namespace SiteArrangement {

using TSiteList = std::vector<std::unique_ptr<TMorvalenBaseClass>>;

// Two addresses name the same site when they are equal after trimming, lower-casing and
// dropping one trailing "/" and one leading "http://". "https://" stays: a secure address
// is another site. An address that is empty after trimming matches nothing.
bool SameSiteURL(const QString& a, const QString& b);

// By name: titles in the user's collation, case-sensitive. By popularity: the most run
// first, equal counts by name. A manual order is left as it is.
void Sort(TSiteList& items, uint8_t mode);

// The dragged entry takes the target's place: dragged forward it lands after the target,
// dragged backward before it.
void Move(TSiteList& items, int target, int dragged);

struct TTilePlacement
{
    std::vector<QPoint> Positions;
    // Right and bottom edge of the tiles plus the margin; what a scroll range must hold.
    QSize Extent;
};

// Rows from (10, 20), 10 pixels apart. A further tile stays in the row only while its right
// edge plus 10 is still left of clientWidth; the first tile of a row is always placed.
TTilePlacement Place(const std::vector<QSize>& sizes, int clientWidth);
// The same for tiles that all have one size.
TTilePlacement Place(int count, QSize size, int clientWidth);

} // namespace SiteArrangement
