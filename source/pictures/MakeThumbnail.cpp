#include "MakeThumbnail.h"

#include "Colors.h"
#include "GraphicTools.h"

namespace {

constexpr double kSharpenFactor = 2.0;
constexpr TColor kFrameColor = 0xB19694;
constexpr TColor kShadowColor = 0xBBBBBB;

} // namespace

QImage MakeThumbnail(const QImage& page)
{
    QImage bitmap = page;
    if (!GraphicTools::ShrinkBitmap(bitmap, kThumbnailPictureWidth, kThumbnailPictureHeight))
        return QImage();
    GraphicTools::SharpenBitmap(bitmap, bitmap, kSharpenFactor);
    return GraphicTools::MakeFramedPng(bitmap, kThumbnailWidth, kThumbnailHeight, clWindow, kFrameColor,
                                       kShadowColor);
}
