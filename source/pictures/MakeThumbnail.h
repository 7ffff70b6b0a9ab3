#pragma once

#include <QImage>

// Every site thumbnail has the same framed look, whatever it was made from (a captured page,
// a catalog screenshot).
inline constexpr int kThumbnailPictureWidth = 100;
inline constexpr int kThumbnailPictureHeight = 75;
inline constexpr int kThumbnailWidth = 105;
inline constexpr int kThumbnailHeight = 80;

// The page picture shrunk to 100 x 75, sharpened with the factor 2.0 and framed into the
// 105 x 80 thumbnail, whose corners outside the card are transparent. An empty page gives an
// empty image.
QImage MakeThumbnail(const QImage& page);
