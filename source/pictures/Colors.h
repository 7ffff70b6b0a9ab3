#pragma once

#include <QColor>

#include <cstdint>

// A colour value as the program stores and passes it: $00BBGGRR for ordinary colours (red in
// the low byte), $FF000000 plus an index for the system colours, which are drawn in the
// desktop's current colour.
using TColor = int32_t;

inline constexpr TColor kSystemColorFlag = TColor(0xFF000000);

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clFuchsia = 0xFF00FF;

// The system colours the program uses, by their index.
inline constexpr TColor clHighlight = kSystemColorFlag | 13;
inline constexpr TColor clHighlightText = kSystemColorFlag | 14;
inline constexpr TColor clBtnFace = kSystemColorFlag | 15;
inline constexpr TColor clBtnShadow = kSystemColorFlag | 16;
inline constexpr TColor clGrayText = kSystemColorFlag | 17;
inline constexpr TColor clBtnText = kSystemColorFlag | 18;
inline constexpr TColor clWindow = kSystemColorFlag | 5;
inline constexpr TColor clWindowText = kSystemColorFlag | 8;
inline constexpr TColor clMenuText = kSystemColorFlag | 7;
inline constexpr TColor clBtnHighlight = kSystemColorFlag | 20;
inline constexpr TColor cl3DDkShadow = kSystemColorFlag | 21;
inline constexpr TColor clMenuBar = kSystemColorFlag | 30;

// $00BBGGRR from red, green and blue.
constexpr TColor RGBColor(int red, int green, int blue)
{
    return TColor((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}

// The colour to paint with: ordinary colours as they are, system colours from the
// application's palette (Qt's default palette where there is no GUI application).
QColor ColorToQColor(TColor color);

// The $00BBGGRR value of a colour, with system colours resolved.
TColor ColorToRGB(TColor color);
