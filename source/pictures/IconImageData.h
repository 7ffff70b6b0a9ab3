#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>

#include <cstdint>

// One image of an icon file as the file stores it: a device-independent bitmap (header with
// doubled height, colour table, colour bits, 1-bit transparency mask) or, as most sites serve
// their favicons today, a whole PNG file.
namespace IconImageData {

// The pixel formats of icon images (TExIconImage::PixelFormat).
enum PixelFormat : uint8_t
{
    pf1bit = 1,
    pf4bit = 2,
    pf8bit = 3,
    pf15bit = 4,
    pf16bit = 5,
    pf24bit = 6,
    pf32bit = 7,
};

bool IsPng(QByteArrayView data);

// The pixel format of the image, after checking that the bytes hold the whole image its
// header describes. Throws EInvalidGraphic: "Pixel Format Not Valid for Icons or Cursors"
// for a bit count or compression icons do not use, "Invalid Icon or Cursor" for anything
// else. A PNG image counts as 32 bits.
PixelFormat Check(QByteArrayView data);

// Width and height of the image as its own header gives them.
QSize Size(QByteArrayView data);

// The colour table of a bitmap of 8 bits or less, red-green-blue; empty for other images.
QList<QRgb> ColorTable(QByteArrayView data);

// Sets the bitmap header's image-size field to 0 (PNG data is left alone).
void ClearImageSize(QByteArray& data);

// The picture with alpha (ARGB32). 32-bit images take their alpha channel, or the mask
// when every alpha byte is 0 (written by programs that knew no alpha); all other depths
// take the mask. Throws as Check.
QImage Decode(QByteArrayView data);

// A bitmap in the icon layout at the given depth, the mask set where the picture is more
// than half transparent. Depths of 8 bits or less get a colour table of the picture's own
// colours in order of appearance (black first when something is transparent), and colours
// past the table's size take the nearest entry.
QByteArray Encode(const QImage& picture, PixelFormat format);

// Bits per pixel of a pixel format (15 for pf15bit).
int BitCount(PixelFormat format);

} // namespace IconImageData
