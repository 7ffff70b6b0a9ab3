#include "PanelGeometry.h"

namespace PanelGeometry {

std::vector<QPoint> SpecialFramePolygon(int width, int height, TCornerStyle topLeft, TCornerStyle topRight,
                                        TCornerStyle bottomRight, TCornerStyle bottomLeft)
{
    const int w = width;
    const int h = height;
    std::vector<QPoint> points;
    points.reserve(8);
    if (topLeft == csRound)
        points.insert(points.end(), {{0, 2}, {2, 0}});
    else
        points.push_back({0, 0});
    if (topRight == csRound)
        points.insert(points.end(), {{w - 3, 0}, {w - 1, 2}});
    else
        points.push_back({w - 1, 0});
    if (bottomRight == csRound)
        points.insert(points.end(), {{w - 1, h - 3}, {w - 3, h - 1}});
    else
        points.push_back({w - 1, h - 1});
    if (bottomLeft == csRound)
        points.insert(points.end(), {{2, h - 1}, {0, h - 3}});
    else
        points.push_back({0, h - 1});
    return points;
}

int DelimiterLinePosition(TMVDelimiterOrientation orientation, int width, int height)
{
    return ((orientation == doHorizontal ? height : width) - 1) / 2;
}

std::vector<TDelimiterPart> DelimiterParts(TMVFillType fillType, int length)
{
    if (length <= 0)
        return {};
    switch (fillType) {
    case ftGradientTN:
        return {{0, length, kFadedLineColor, kLineColor}};
    case ftGradientNT:
        return {{0, length, kLineColor, kFadedLineColor}};
    case ftGradientTNT: {
        // For odd lengths the two halves share the middle pixel.
        const int half = length / 2;
        return {{0, length - half, kFadedLineColor, kLineColor}, {half, length, kLineColor, kFadedLineColor}};
    }
    case ftSolid:
        break;
    }
    return {{0, length, kLineColor, kLineColor}};
}

QRect FrameClientRect(const QRect& client, bool collapsed, bool showCaptionBar, bool showHelpArea,
                      int helpAreaHeight, int bottomSpace)
{
    if (collapsed)
        return {};
    QRect rect = client.adjusted(1, 1, -1, -1);
    if (showCaptionBar)
        rect.setTop(rect.top() + kCaptionBarHeight);
    if (showHelpArea)
        rect.setBottom(rect.bottom() - helpAreaHeight);
    rect.setBottom(rect.bottom() - bottomSpace);
    return rect.isValid() ? rect : QRect(rect.topLeft(), QSize(0, 0));
}

int HelpTextWidth(int clientWidth, int helpGlyphWidth, int hideGlyphWidth)
{
    int glyphs = helpGlyphWidth > 0 ? helpGlyphWidth + 10 : 6;
    if (hideGlyphWidth > 0)
        glyphs += hideGlyphWidth + 4;
    return clientWidth - 15 - glyphs;
}

int WrappedHelpAreaHeight(int textHeight)
{
    return textHeight + 4 > 18 ? textHeight + 4 : kHelpAreaHeight;
}

} // namespace PanelGeometry
