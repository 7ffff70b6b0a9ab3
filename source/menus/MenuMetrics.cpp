#include "MenuMetrics.h"
#include "pictures/RectEdges.h"

#include <algorithm>

namespace MenuMetrics {

namespace {

using RectEdges::Bottom;
using RectEdges::FromEdges;
using RectEdges::Right;

} // namespace

QSize ItemSize(QSize caption, std::optional<QSize> shortcut)
{
    const int width = caption.width() + 8 + (shortcut ? shortcut->width() + 40 : 0) + 8 + kGlyphColumnWidth;
    const int textHeight = std::max(caption.height(), shortcut ? shortcut->height() : 0);
    return {width, std::max(textHeight + 6, kMinItemHeight)};
}

QSize TitleItemSize(TMVMenuKind kind, QSize heading)
{
    switch (kind) {
    case mkMain:
        return {heading.width() + 8, heading.height() + 15};
    case mkWebItem:
        return {heading.width() + 32 + kRatingExtraWidth, heading.height() + 14};
    case mkPopup:
    case mkTray:
        break;
    }
    return {heading.width() + 32, heading.height() + 14};
}

QSize TopLevelItemSize(QSize caption)
{
    return {caption.width() + 8, caption.height() + 6};
}

QRect GlyphColumn(const QRect& item)
{
    return FromEdges(item.x(), item.y(), item.x() + kGlyphColumnWidth, Bottom(item));
}

QRect CheckBox(const QRect& item)
{
    return FromEdges(item.x() + 1, item.y() + 1, item.x() + 21, item.y() + 21);
}

QRect ItemTextRect(const QRect& item)
{
    return FromEdges(item.x() + 4 + kGlyphColumnWidth, item.y() + 3, Right(item) - 4, Bottom(item) - 3);
}

QRect TitleBand(const QRect& item)
{
    return FromEdges(item.x(), item.y(), Right(item), Bottom(item) - 3);
}

QRect TitleTextRect(TMVMenuKind kind, const QRect& item, bool firstItem)
{
    const int left = item.x() + (kind == mkWebItem ? 16 : 28);
    if (firstItem)
        return FromEdges(left, item.y(), Right(item) - 4, Bottom(item) - 4);
    return FromEdges(left, item.y() + 3, Right(item) - 4, Bottom(item) - 4);
}

QRect RatingStrip(const QRect& titleText)
{
    return FromEdges(Right(titleText) - 99, titleText.y(), Right(titleText) - 24, Bottom(titleText));
}

QRect TopLevelTextRect(const QRect& item)
{
    return FromEdges(item.x() + 4, item.y() + 3, Right(item) - 4, Bottom(item) - 3);
}

} // namespace MenuMetrics
