#pragma once

#include "IconImageData.h"

#include <QByteArray>
#include <QImage>
#include <QList>

// One image of an icon. Icon objects share their images (std::shared_ptr); an image lives
// as long as one of them holds it.
struct TExIconImage
{
    // Icon rather than cursor: the only kind the program makes.
    bool IsIcon = true;
    // The decoded picture, made from Data on demand (the platform icon handle of old).
    QImage Handle;
    // The colour table of images of 8 bits or less, red-green-blue.
    QList<QRgb> Palette;
    bool PaletteDone = false;
    // The image exactly as an icon file stores it; empty when the image only has a Handle.
    QByteArray Data;
    int Width = 0;
    int Height = 0;
    IconImageData::PixelFormat PixelFormat = IconImageData::pf4bit;
};
