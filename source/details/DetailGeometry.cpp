#include "DetailGeometry.h"

#include <algorithm>
#include <cmath>

namespace DetailGeometry {

namespace {

using RectEdges::Bottom;
using RectEdges::Right;

} // namespace

QRect CaptionRect(const QRect& client, int captionWidth, int captionHeight)
{
    const int top = client.y() + CentredOffset(client.height(), captionHeight);
    return FromEdges(client.x(), top, client.x() + captionWidth, Bottom(client));
}

TValuePlacement PropertyValueRect(const QRect& client, int captionWidth, int valueWidth, int valueHeight)
{
    const int offset = CentredOffset(client.height(), valueHeight);
    const int top = client.y() + offset;
    const int bottom = Bottom(client) - offset;
    const int start = client.x() + captionWidth + 8;
    if (start + valueWidth <= Right(client))
        return {FromEdges(Right(client) - valueWidth, top, Right(client), bottom), true};
    return {FromEdges(start, top, Right(client), bottom), false};
}

int RatingPercent(float rating)
{
    if (rating == 0.0f || !std::isfinite(rating))
        return 0;
    // std::nearbyint rounds in the default mode: to nearest, halves to even.
    return int(std::nearbyint(double(rating) * 100.0 / kMaxRating));
}

TRatingPicture RatingPictureAt(int percent, int index)
{
    if (percent >= 20 * index)
        return rpFull;
    if (percent >= 20 * index - 10)
        return rpHalf;
    return rpEmpty;
}

std::array<TRatingPicture, 5> RatingPictures(float rating)
{
    const int percent = RatingPercent(rating);
    std::array<TRatingPicture, 5> pictures{};
    for (int i = 0; i < 5; ++i)
        pictures[size_t(i)] = RatingPictureAt(percent, i + 1);
    return pictures;
}

QString RatingHintText(TRatingType type, float rating)
{
    // asprintf always writes a decimal point, whatever the desktop's language.
    return QString::asprintf(type == rtPopularity ? "Popularity %2.1f" : "Rating %2.1f", double(rating));
}

int FirstRatingPictureLeft(const QRect& client, int pictureWidth)
{
    return Right(client) - 5 * pictureWidth;
}

QRect BrowserIconRect(const QRect& client, int index)
{
    return QRect(Right(client) - 70 + 18 * index, client.y() + CentredOffset(client.height(), 16), 16, 16);
}

std::array<TLinkPlacement, kLinkCount> LinksBarLayout(QSize bar,
                                                      const std::array<TLinkMeasure, kLinkCount>& links,
                                                      QSize icon, int indentElement, int indentImage)
{
    std::array<TLinkPlacement, kLinkCount> placements{};
    int x = bar.width();
    for (int i = kLinkCount - 1; i >= 0; --i) {
        const TLinkMeasure& link = links[size_t(i)];
        x -= indentElement;
        const int elementWidth = link.TextWidth + indentImage + icon.width();
        const int elementHeight = std::max(link.TextHeight, icon.height());
        // No room: this link and every link to its left stay away.
        if (x - elementWidth <= 0)
            break;
        x -= elementWidth;
        const int top = CentredOffset(bar.height(), elementHeight);
        TLinkPlacement& placement = placements[size_t(i)];
        placement.Shown = true;
        placement.IconPos = QPoint(x, CentredOffset(bar.height(), icon.height()));
        placement.TextRect =
            FromEdges(x + icon.width() + indentImage, top, x + elementWidth, bar.height() - top);
        placement.Bounds = FromEdges(x, top, x + elementWidth, bar.height() - top);
    }
    return placements;
}

QRect ImageArea(QSize display, int border)
{
    return FromEdges(border, border, display.width() - border - 6, display.height() - border - 32);
}

QRect ImageRect(QSize display, int border, QSize picture)
{
    const QRect area = ImageArea(display, border);
    return QRect(area.x() + CentredOffset(area.width(), picture.width()),
                 area.y() + CentredOffset(area.height(), picture.height()), picture.width(),
                 picture.height());
}

TZoomLinkPlacement ZoomLinkPlacement(QSize display, int border, const QRect& image, int glyphWidth,
                                     int textWidth)
{
    const int room = display.width() - 2 * border - (glyphWidth + 4);
    const int below = Bottom(image);
    TZoomLinkPlacement placement;
    if (textWidth > room) {
        placement.Zone = FromEdges(border + glyphWidth + 4, below + 12, display.width() - border, below + 30);
        placement.Elided = true;
    } else {
        const int indent = CentredOffset(room, textWidth);
        placement.Zone =
            FromEdges(border + glyphWidth + indent, below + 8, display.width() - border - indent, below + 26);
    }
    placement.GlyphPos = QPoint(placement.Zone.x() - glyphWidth - 4, placement.Zone.y());
    return placement;
}

} // namespace DetailGeometry
