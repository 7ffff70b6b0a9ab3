#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

// Where a site tile draws what, apart from painting. Rectangles are Qt rectangles (right
// and bottom are the last pixels inside).
namespace TileGeometry {

inline constexpr int kWidth = 280;
inline constexpr int kHeight = 90;
inline constexpr int kHeaderHeight = 28;
// The text column starts this far right of the thumbnail's edge when there is one.
inline constexpr int kThumbnailColumn = 108;
// A pressed pointer must move this far (in x or y) before a drag starts.
inline constexpr int kDragThreshold = 20;
inline constexpr int kIconSize = 16;

struct TTileLayout
{
    // The card's outline; the shadow lies under and right of it.
    QRect Card;
    // Inside the outline.
    QRect Inner;
    // The band at the top where the title and the button go.
    QRect Header;
    // The run or close button: where its picture goes and where it is clicked.
    QPoint ButtonPos;
    QRect ButtonZone;
    QPoint ThumbnailPos;
    // The shortcut overlay's top-left over the thumbnail's lower-left corner.
    QPoint ShortcutPos;
    QPoint IconPos;
    QRect Title;
    QRect Address;
    QRect Description;
};

struct TTileContent
{
    bool HasThumbnail = false;
    bool HasIcon = false;
    bool ButtonShows = false;
    int ShortcutHeight = 32;
};

TTileLayout Layout(QSize size, const TTileContent& content);

// The address line: the address, after "(n) " when the site opens n tabs (its extra tab
// addresses and itself).
QString AddressText(const QString& url, qsizetype extraTabs);

// Whether a pointer pressed at from and now at to has moved far enough to start a drag.
bool DragThresholdReached(QPoint from, QPoint to);

} // namespace TileGeometry
