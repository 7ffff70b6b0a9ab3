#pragma once

#include <QFont>
#include <QRect>
#include <QSize>
#include <QString>

class QPainter;

// One line of text as the detail controls and the tile draw it: from the top of its
// rectangle, clipped to it, without a background.
namespace DetailText {

enum TLineFlag
{
    // "&x" underlines x; "&&" shows one "&".
    ShowMnemonic = 1,
    // "&" marks are dropped without underlining.
    HideMnemonic = 2,
    // Text wider than the rectangle ends in "...".
    Ellipsis = 4,
    AlignRight = 8,
    // Vertically centred instead of from the top.
    VCenter = 16
};

// The line as it shows (mnemonic marks taken out): its width and the font's line height.
QSize LineSize(const QFont& font, const QString& text);

void DrawLine(QPainter& painter, const QRect& rect, const QString& text, int flags);

} // namespace DetailText
