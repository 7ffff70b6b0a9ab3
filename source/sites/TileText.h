#pragma once

#include <QFontMetrics>
#include <QRect>
#include <QStaticText>
#include <QString>
#include <QStringList>

#include <vector>

class QPainter;

// A tile's texts fitted to their places: measured, elided and wrapped once, and drawn again
// at every paint until the text or its room changes. The Installed tab paints hundreds of
// tiles; laying their texts out anew each time would cost most of the paint.
namespace TileText {

// One line, elided to the width.
struct TFittedLine
{
    QString Source;
    int Width = -1;
    QString Shown;
    // Shown, laid out once in the font it was fitted with.
    QStaticText Static;
};
const TFittedLine& FitLine(TFittedLine& memo, const QString& text, const QFont& font,
                           const QFontMetrics& metrics, int width);

// A description: one line when it is narrower than the width, else up to two lines broken at
// words, the last ending in an ellipsis when text is left over (as does a word too long for
// a line).
struct TFittedBlock
{
    QString Source;
    int Width = -1;
    bool OneLine = true;
    QStringList Lines;
    std::vector<QStaticText> Static;
};
const TFittedBlock& FitBlock(TFittedBlock& memo, const QString& text, const QFont& font, int width);

// Draws a fitted line at the left of rect, at its top or centred vertically, in the painter's
// font (the one it was fitted with); no clipping needed, the line fits.
void DrawLine(QPainter& painter, const QFontMetrics& metrics, const QRect& rect, const QStaticText& shown,
              bool centred);

} // namespace TileText
