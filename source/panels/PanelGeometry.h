#pragma once

#include "pictures/ColorNames.h"

#include <QPoint>
#include <QRect>

#include <cstdint>
#include <vector>

enum TCornerStyle : uint8_t
{
    csRect,
    csRound
};

enum TMVDelimiterOrientation : uint8_t
{
    doHorizontal,
    doVertical
};

enum TMVFillType : uint8_t
{
    ftSolid,
    ftGradientTNT,
    ftGradientTN,
    ftGradientNT
};

// The geometry of the panels and separators, apart from painting.
namespace PanelGeometry {

inline constexpr TColor kLineColor = 0xCECECE;
inline constexpr TColor kFadedLineColor = 0xF4F4F4;

// The outline of a TSpecialFrame of w x h, clockwise from the top-left; a round corner
// takes two points, a square one one.
std::vector<QPoint> SpecialFramePolygon(int width, int height, TCornerStyle topLeft, TCornerStyle topRight,
                                        TCornerStyle bottomRight, TCornerStyle bottomLeft);

// The row (horizontal) or column (vertical) of a delimiter's one-pixel line.
int DelimiterLinePosition(TMVDelimiterOrientation orientation, int width, int height);

// One stretch of the line, [From, To) along it, fading from StartColor to EndColor.
struct TDelimiterPart
{
    int From = 0;
    int To = 0;
    TColor StartColor = kLineColor;
    TColor EndColor = kLineColor;

    bool operator==(const TDelimiterPart&) const = default;
};
std::vector<TDelimiterPart> DelimiterParts(TMVFillType fillType, int length);

inline constexpr int kCaptionBarHeight = 19;
inline constexpr int kCollapsedHeight = 20;
inline constexpr int kHelpAreaHeight = 19;

// Where a TMVFrame's children go; empty while collapsed.
QRect FrameClientRect(const QRect& client, bool collapsed, bool showCaptionBar, bool showHelpArea,
                      int helpAreaHeight, int bottomSpace);

// The width the wrapped help text is measured in; a glyph width of 0 means no glyph.
int HelpTextWidth(int clientWidth, int helpGlyphWidth, int hideGlyphWidth);

// The help area's height for wrapped text of that measured height.
int WrappedHelpAreaHeight(int textHeight);

} // namespace PanelGeometry
