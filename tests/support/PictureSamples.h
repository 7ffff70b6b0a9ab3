#pragma once

#include <QByteArray>
#include <QImage>

#include <cstdint>
#include <vector>

// Picture and icon files built byte by byte for the tests, so that each test knows exactly
// what the file holds.
namespace PictureSamples {

// A 40-byte bitmap header of an icon image (height doubled), image-size field 0.
QByteArray DibHeader(int width, int height, int bitCount, uint32_t compression = 0, uint32_t colorsUsed = 0);

// A 16 x 16 icon image of 4 bits: a 16-colour table, pixel (x, y) has colour index (x + y) % 16,
// the mask sets the top row transparent.
QByteArray FourBitImage();

// A 16 x 16 icon image of 32 bits: pixel (x, y) is (red 16x, green 16y, blue 128, alpha 255),
// the top-left pixel fully transparent; with an all-zero mask.
QByteArray ThirtyTwoBitImage();

struct IconEntry
{
    QByteArray data;
    int width = 16;
    int height = 16;
    int colorCount = 0;
    int bitCount = 0;
};

// An icon file laid out as the program writes it: header, entries, then the images in order.
QByteArray IconFile(const std::vector<IconEntry>& entries, uint16_t type = 1);

// The two-image icon of 16 x 16 at 4 bits and 16 x 16 at 32 bits.
QByteArray TwoImageIcon();

// A picture with every kind of pixel a test may care about: colour gradients and a
// half-transparent region.
QImage ColourfulPicture(int width, int height, bool withAlpha);

QByteArray MakeJpeg(const QImage& image, bool progressive = false);
QByteArray MakeGif(const QImage& image, bool interlaced = false, int transparentIndex = -1);

} // namespace PictureSamples
