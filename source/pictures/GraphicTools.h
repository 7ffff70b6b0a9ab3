#pragma once

#include "Colors.h"

#include <QIcon>
#include <QImage>
#include <QRect>
#include <QString>

class QPainter;
class TExIcon;

// The program's small picture helpers: named pictures from the resources, the best small
// icon, the two-colour gradient of every control, and the three steps that turn a captured
// page into a site thumbnail (shrink, sharpen, frame). Free functions without state.
//
// "Bitmaps" are QImages: 32 bits per pixel is Format_RGB32 (the fourth byte carries no
// colour), 24 bits per pixel is Format_RGB888.
namespace GraphicTools {

// The program's PNG picture of that name, looked up in upper case. Never fails: a missing or
// unreadable picture gives a 16 x 16 white square with a red outline.
QImage LoadPngResource(const QString& name);

// The picture for a screen of that many device pixels to the program's pixel: above 1 the
// picture drawn at twice the pixels, its devicePixelRatio 2, so that a painter draws it at
// the same size as LoadPngResource's, and sharp. Layouts measure it with
// deviceIndependentSize().
QImage LoadPngResource(const QString& name, qreal devicePixelRatio);
// The ratio of the program's screens (QT_SCALE_FACTOR and the screens' own), 1 without a
// window system.
qreal ProgramPixelRatio();

// The same picture for a picture holder (LoadPngResource's fallback included).
QImage LoadResourcePicture(const QString& name);

// The program's icon of that name with each of its sizes, for tool bars, menus and windows;
// an empty icon when there is none.
QIcon LoadIconResource(const QString& name);

// Whether the program has a picture of that name (no placeholder involved).
bool HasPngResource(const QString& name);

// Sets target to the 16 x 16 image of greatest colour depth (the first among equals) of the
// icon file, when fileName names an existing file, else of the program's icon resourceName.
// Without such an image, or on any failure, target keeps its picture.
void LoadBestSmallIcon(TExIcon& target, const QString& fileName, const QString& resourceName);

enum GradientDirection
{
    gdHorizontal = 0,
    gdVertical = 1
};

// From startColor at the left (or top) edge to endColor at the right (or bottom) edge,
// each line one interpolated colour.
void GradientFillRect(QPainter& canvas, const QRect& rect, TColor startColor, int direction, TColor endColor);

// The brightness-corrected average of the block of (w + 1) x (h + 1) pixels at (x0, y0), clipped
// to the bitmap, as one 32-bit pixel. The bitmap must be Format_RGB32.
QRgb BlockAverage(const QImage& bitmap, int x0, int y0, int h, int w);

// Replaces the bitmap by its resampled copy of newWidth x newHeight (32 bits per pixel).
// Returns false, leaving the bitmap alone, when a size is not positive or the bitmap is empty.
bool ShrinkBitmap(QImage& bitmap, int newWidth, int newHeight);

// Sharpens source into destination (24 bits per pixel) with the factor; source and
// destination may be the same image, which is then sharpened in place (each pixel sees its
// upper and left neighbours already sharpened). Throws EMorvalenError "Bitmap must be at
// least 3x3" or "Alpha must be >1 and <6", writing nothing.
void SharpenBitmap(const QImage& source, QImage& destination, double factor);

// The picture at its natural size, centred on a cardWidth x cardHeight card with an outline
// and a shadow line at the right and bottom, as a picture with alpha: every pixel left in the
// magenta key colour (the corners outside card and shadow) is transparent.
QImage MakeFramedPng(const QImage& picture, int cardWidth, int cardHeight, TColor cardColor,
                     TColor frameColor, TColor shadowColor);

} // namespace GraphicTools
