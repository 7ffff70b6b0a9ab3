#pragma once

#include <QRect>
#include <QSize>

#include <optional>

// The measures and rectangles of the owner-drawn menu items, apart from fonts and painting.
// Item rectangles are QRects; "right" and "bottom" below mean the first pixel outside.
namespace MenuMetrics {

enum TMVMenuKind
{
    mkPopup,
    mkMain,
    mkTray,
    mkWebItem
};

inline constexpr int kGlyphColumnWidth = 24;
inline constexpr int kMinItemHeight = 22;
inline constexpr int kSeparatorHeight = 7;
// The catalog item menu's title item makes room for the rating strip.
inline constexpr int kRatingExtraWidth = 79;
inline constexpr int kRatingStripWidth = 75;
// The desktop widens every owner-drawn item by its check mark's width less one beyond what
// the item measured; the measures below count on that room (the catalog menu's rating strip
// would otherwise run into the heading).
inline constexpr int kPlatformItemAllowance = 12;

// An ordinary item: caption + 8, shortcut + 40 when there is one, 8 and the glyph column;
// the taller text + 6, at least 22.
QSize ItemSize(QSize caption, std::optional<QSize> shortcut);

// A title item (a separator with a hint), from its heading measured in bold.
QSize TitleItemSize(TMVMenuKind kind, QSize heading);

// A top-level item of the main menu bar.
QSize TopLevelItemSize(QSize caption);

QRect GlyphColumn(const QRect& item);
// The 20 x 20 box behind a checked item's glyph.
QRect CheckBox(const QRect& item);
// Caption and shortcut of an ordinary item.
QRect ItemTextRect(const QRect& item);
// The gradient band of a menu's first title item.
QRect TitleBand(const QRect& item);
// Where a title item's heading is drawn.
QRect TitleTextRect(TMVMenuKind kind, const QRect& item, bool firstItem);
// The strip handed to OnDrawRating: from text right - 99 to text right - 24.
QRect RatingStrip(const QRect& titleText);
// The caption of a main menu bar item.
QRect TopLevelTextRect(const QRect& item);

} // namespace MenuMetrics
