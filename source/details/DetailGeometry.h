#pragma once

#include "pictures/RectEdges.h"

#include <QRect>
#include <QSize>
#include <QString>

#include <array>
#include <cstdint>

enum TRatingType : uint8_t
{
    rtRating,
    rtPopularity
};

// The catalog detail controls' layout rules, apart from painting: where captions, values,
// rating pictures, the screenshot, its zoom link and the links go. Rectangles are Qt
// rectangles (right and bottom are the last pixels inside).
namespace DetailGeometry {

// (outer - inner) / 2, the half rounded toward zero.
constexpr int CentredOffset(int outer, int inner)
{
    return (outer - inner) / 2;
}

// A rectangle from its left and top edges and the edges just past its right and bottom.
using RectEdges::FromEdges;

// The caption of a caption-and-value line: at the left of the client rectangle, as wide as
// the text, from its centred top down to the client's bottom.
QRect CaptionRect(const QRect& client, int captionWidth, int captionHeight);

// Where a property text's value goes. A value that fits after the caption and a gap of 8
// pixels sits flush with the right edge; one that does not starts after that gap and ends
// in an ellipsis (Fits false).
struct TValuePlacement
{
    QRect Rect;
    bool Fits = true;
};
TValuePlacement PropertyValueRect(const QRect& client, int captionWidth, int valueWidth, int valueHeight);

inline constexpr int kMaxRating = 5;

// A rating as a whole percentage of kMaxRating, the half rounded to the even neighbour.
int RatingPercent(float rating);

enum TRatingPicture : uint8_t
{
    rpEmpty,
    rpHalf,
    rpFull
};

// Picture 1 to 5 of a rating of that percentage: full from 20 per picture, half from 10
// below that.
TRatingPicture RatingPictureAt(int percent, int index);
std::array<TRatingPicture, 5> RatingPictures(float rating);

// "Rating 4.5" or "Popularity 4.5".
QString RatingHintText(TRatingType type, float rating);

// The left edge of the first of five pictures of that width, right-aligned in the client.
int FirstRatingPictureLeft(const QRect& client, int pictureWidth);

// The four browser icons (16 x 16) from 70 pixels before the right edge, 18 apart.
QRect BrowserIconRect(const QRect& client, int index);

// The links bar's links in the order Install, Visit site, Signup, Tell a Friend.
inline constexpr int kLinkCount = 4;

struct TLinkMeasure
{
    int TextWidth = 0;
    int TextHeight = 0;
};

struct TLinkPlacement
{
    // Icon and text, the click rectangle; empty when the link is not drawn.
    QRect Bounds;
    QPoint IconPos;
    QRect TextRect;
    bool Shown = false;
};

// Lays the links out from the right edge leftwards, each after a gap of indentElement;
// the first link that would reach the left edge is dropped with all links to its left.
std::array<TLinkPlacement, kLinkCount> LinksBarLayout(QSize bar,
                                                      const std::array<TLinkMeasure, kLinkCount>& links,
                                                      QSize icon, int indentElement, int indentImage);

// The image display's area for the picture inside a border, and the picture centred in it
// at its natural size.
QRect ImageArea(QSize display, int border);
QRect ImageRect(QSize display, int border, QSize picture);

// The zoom link under the picture: the text's zone and the glyph's top-left. A text wider
// than the room is elided (Elided true).
struct TZoomLinkPlacement
{
    QRect Zone;
    QPoint GlyphPos;
    bool Elided = false;
};
TZoomLinkPlacement ZoomLinkPlacement(QSize display, int border, const QRect& image, int glyphWidth,
                                     int textWidth);

} // namespace DetailGeometry
