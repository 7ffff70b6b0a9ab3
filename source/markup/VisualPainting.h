#pragma once

#include "HtmlMarkup.h"

#include <QColor>
#include <QFont>
#include <QPoint>
#include <QRect>
#include <QString>

class QPainter;

// Drawing with the pixel rules the controls are specified in: a rectangle's outline lies on
// its own border pixels and a line leaves out its end point.
namespace VisualPainting {

// Fill and a one-pixel outline on the rectangle's border pixels; a transparent colour
// leaves that part out.
void Rectangle(QPainter& painter, const QRect& rect, const QColor& outline, const QColor& fill);

// A horizontal or vertical line from "from" up to, not including, "to".
void Line(QPainter& painter, QPoint from, QPoint to, const QColor& color);

QFont FontWithStyle(QFont font, TFontStyles style);
TFontStyles StyleOfFont(const QFont& font);

enum TTextLineFlag
{
    tlLeft = 0,
    tlCenter = 1,
    tlRight = 2,
    tlHideMnemonic = 4,
    tlShowMnemonic = 8,
    tlEllipsis = 16
};

// One line of text, vertically centred in rect, clipped to it: mnemonic prefixes hidden,
// shown (the character after "&" underlined) or left alone, with an ellipsis at the end when
// it does not fit.
void TextLine(QPainter& painter, const QRect& rect, const QString& text, int flags);

enum TWrapFlag
{
    wrEndEllipsis = 1,  // text that does not fit the height ends its last line in an ellipsis
    wrWordEllipsis = 2, // a word wider than the line ends in an ellipsis
    wrShowMnemonic = 4  // the character after "&" is underlined (else the prefix is hidden)
};

// Text broken at word boundaries into lines of rect's width, from rect's top, clipped to it.
void WrappedText(QPainter& painter, const QRect& rect, const QString& text, int flags);
// The height such text takes in that width.
int WrappedTextHeight(const QFont& font, int width, const QString& text);

// The width one line of text takes with the mnemonic prefix hidden.
int TextLineWidth(const QFont& font, const QString& text);

} // namespace VisualPainting
