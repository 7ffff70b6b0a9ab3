#include "GraphicTools.h"

#include "EInvalidGraphic.h"
#include "PictureLimits.h"
#include "PictureResources.h"
#include "PngFile.h"

#include "TExIcon.h"
#include "common/Errors.h"
#include "common/FileUtils.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>

#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace {

QImage Placeholder()
{
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(qRgb(0xFF, 0xFF, 0xFF));
    for (int i = 0; i < 16; ++i) {
        image.setPixel(i, 0, qRgb(0xFF, 0, 0));
        image.setPixel(i, 15, qRgb(0xFF, 0, 0));
        image.setPixel(0, i, qRgb(0xFF, 0, 0));
        image.setPixel(15, i, qRgb(0xFF, 0, 0));
    }
    return image;
}

// numerator / denominator rounded to the nearest integer, halves to even; both positive.
int64_t DivideRounded(int64_t numerator, int64_t denominator)
{
    int64_t quotient = numerator / denominator;
    const int64_t twiceRemainder = 2 * (numerator % denominator);
    if (twiceRemainder > denominator || (twiceRemainder == denominator && quotient % 2 != 0))
        ++quotient;
    return quotient;
}

void FillRect(QImage& image, const QRect& rect, QRgb color)
{
    const QRect clipped = rect & image.rect();
    for (int y = clipped.top(); y <= clipped.bottom(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        std::fill(line + clipped.left(), line + clipped.right() + 1, color);
    }
}

void SetPixel(QImage& image, int x, int y, QRgb color)
{
    if (image.valid(x, y))
        reinterpret_cast<QRgb*>(image.scanLine(y))[x] = color;
}

QRgb OpaqueColor(TColor color)
{
    return ColorToQColor(color).rgb() | 0xFF000000;
}

} // namespace

namespace GraphicTools {

bool HasPngResource(const QString& name)
{
    return !name.isEmpty() && QFileInfo::exists(PictureResources::PngPath(name));
}

QIcon LoadIconResource(const QString& name)
{
    QIcon result;
    try {
        TExIcon icon;
        icon.LoadFromResourceName(name);
        for (int i = 0; i < icon.ImageCount(); ++i) {
            icon.SetCurrentIndex(i);
            result.addPixmap(QPixmap::fromImage(icon.Handle()));
        }
    } catch (const EMorvalenError&) {
        return {};
    }
    return result;
}

QImage LoadPngResource(const QString& name)
{
    if (!name.isEmpty()) {
        if (const std::optional<QByteArray> data =
                FileUtils::ReadWholeFile(PictureResources::PngPath(name))) {
            try {
                return PngFile::Read(*data, PictureLimits::kNamedPicture);
            } catch (const EInvalidGraphic&) {
                // The placeholder shows that the picture is broken.
            }
        }
    }
    return Placeholder();
}

QImage LoadPngResource(const QString& name, qreal devicePixelRatio)
{
    QImage normal = LoadPngResource(name);
    if (devicePixelRatio <= 1.01 || name.isEmpty())
        return normal;
    if (const std::optional<QByteArray> data =
            FileUtils::ReadWholeFile(PictureResources::SharpPngPath(name))) {
        try {
            QImage sharp = PngFile::Read(*data, PictureLimits::kNamedPicture);
            // Only a picture of exactly twice the size can stand in for the normal one.
            if (sharp.size() == normal.size() * 2) {
                sharp.setDevicePixelRatio(2.0);
                return sharp;
            }
        } catch (const EInvalidGraphic&) {
            // The normal picture is still right, if less sharp.
        }
    }
    return normal;
}

qreal ProgramPixelRatio()
{
    return qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
}

QImage LoadResourcePicture(const QString& name)
{
    return LoadPngResource(name);
}

void LoadBestSmallIcon(TExIcon& target, const QString& fileName, const QString& resourceName)
{
    try {
        TExIcon source;
        if (!fileName.isEmpty() && QFileInfo::exists(fileName))
            source.LoadFromFile(fileName);
        else if (!resourceName.isEmpty())
            source.LoadFromResourceName(resourceName);
        else
            return;

        int best = -1;
        for (int i = 0; i < source.ImageCount(); ++i) {
            const TExIconImage& image = source.Images(i);
            if (image.Width == 16 && image.Height == 16 &&
                (best < 0 || image.PixelFormat > source.Images(best).PixelFormat))
                best = i;
        }
        if (best < 0)
            return;
        source.SetCurrentIndex(best);
        // An image that does not decode must not replace a good one.
        if (source.Handle().isNull())
            return;
        target.AssignCurrentImage(source);
    } catch (const EMorvalenError&) {
        // The target keeps its picture.
    }
}

void GradientFillRect(QPainter& canvas, const QRect& rect, TColor startColor, int direction, TColor endColor)
{
    const QColor start = ColorToQColor(startColor);
    const QColor end = ColorToQColor(endColor);
    const bool horizontal = direction == gdHorizontal;
    const int steps = horizontal ? rect.width() : rect.height();
    if (rect.width() <= 0 || rect.height() <= 0)
        return;
    // Channels as 16-bit values, as the platform's gradient fill takes them.
    const auto channel = [steps](int from, int to, int step) {
        const int64_t from16 = int64_t(from) << 8;
        const int64_t to16 = int64_t(to) << 8;
        return int((from16 + (to16 - from16) * step / steps) >> 8);
    };
    for (int step = 0; step < steps; ++step) {
        const QColor color(channel(start.red(), end.red(), step), channel(start.green(), end.green(), step),
                           channel(start.blue(), end.blue(), step));
        const QRect line = horizontal ? QRect(rect.left() + step, rect.top(), 1, rect.height())
                                      : QRect(rect.left(), rect.top() + step, rect.width(), 1);
        canvas.fillRect(line, color);
    }
}

QRgb BlockAverage(const QImage& bitmap, int x0, int y0, int h, int w)
{
    if (y0 + h >= bitmap.height())
        h = bitmap.height() - y0 - 1;
    if (x0 + w >= bitmap.width())
        w = bitmap.width() - x0 - 1;

    // The divisor counts the block twice over, w x h and once per pixel; the factor 1.8 of
    // the brightness correction is applied as 9 / 5 in exact integer arithmetic.
    int64_t divisor = int64_t(w) * h;
    int64_t red = 0;
    int64_t green = 0;
    int64_t blue = 0;
    const int firstRow = std::max(y0, 0);
    const int lastRow = std::min(y0 + h, bitmap.height() - 1);
    const int firstColumn = std::max(x0, 0);
    const int lastColumn = std::min(x0 + w, bitmap.width() - 1);
    for (int y = firstRow; y <= lastRow; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(bitmap.constScanLine(y));
        for (int x = firstColumn; x <= lastColumn; ++x) {
            red += qRed(line[x]);
            green += qGreen(line[x]);
            blue += qBlue(line[x]);
        }
    }
    if (lastRow >= firstRow && lastColumn >= firstColumn)
        divisor += int64_t(lastRow - firstRow + 1) * (lastColumn - firstColumn + 1);
    if (divisor == 0)
        divisor = 1;
    // A negative divisor comes only from a block that lies outside the bitmap: nothing summed.
    const auto scaled = [divisor](int64_t sum) {
        return divisor < 0 ? 0 : int(std::min<int64_t>(255, DivideRounded(9 * sum, 5 * divisor)));
    };
    return qRgb(scaled(red), scaled(green), scaled(blue));
}

bool ShrinkBitmap(QImage& bitmap, int newWidth, int newHeight)
{
    if (newWidth <= 0 || newHeight <= 0 || bitmap.isNull())
        return false;
    // The block averages ignore alpha, so a picture with alpha is read as it stands: a page
    // picture may be large, and a converted copy would double its memory.
    const bool direct = bitmap.format() == QImage::Format_RGB32 || bitmap.format() == QImage::Format_ARGB32;
    const QImage source = direct ? bitmap : bitmap.convertToFormat(QImage::Format_RGB32);
    // Single precision, positions accumulated step by step, as the resampler always did.
    const float sy = float(double(source.height()) / newHeight);
    const float sx = float(double(source.width()) / newWidth);
    const int block = int(sy);

    QImage work(newWidth, newHeight, QImage::Format_RGB32);
    float y = 0.0f;
    for (int j = 0; j < newHeight; ++j, y += sy) {
        auto* line = reinterpret_cast<QRgb*>(work.scanLine(j));
        const int row = int(std::lrint(y));
        float x = 0.0f;
        for (int i = 0; i < newWidth; ++i, x += sx)
            line[i] = BlockAverage(source, int(std::lrint(x)), row, block, block);
    }
    bitmap = std::move(work);
    return true;
}

void SharpenBitmap(const QImage& source, QImage& destination, double factor)
{
    if (source.width() < 3 || source.height() < 3)
        throw EMorvalenError(u"Bitmap must be at least 3x3"_s);
    if (!(factor > 1.0 && factor < 6.0))
        throw EMorvalenError(u"Alpha must be >1 and <6"_s);

    const bool inPlace = &source == &destination;
    const QImage original = inPlace ? QImage() : source.convertToFormat(QImage::Format_RGB888);
    destination = inPlace ? destination.convertToFormat(QImage::Format_RGB888) : original.copy();
    uchar* bits = destination.bits(); // detaches: from here on reads and writes hit one buffer
    Q_UNUSED(bits);
    const QImage& from = inPlace ? destination : original;

    const int64_t a = std::llrint(factor * 65536.0);
    const int64_t b = std::llrint((factor - 1.0) / 5.0 * 65536.0);
    const int width = destination.width();
    const int height = destination.height();
    for (int y = 1; y < height - 1; ++y) {
        const uchar* above = from.constScanLine(y - 1);
        const uchar* here = from.constScanLine(y);
        const uchar* below = from.constScanLine(y + 1);
        uchar* target = destination.scanLine(y);
        for (int x = 3; x < 3 * (width - 1); ++x) {
            const int64_t centre = here[x];
            const int64_t sum = centre + above[x] + below[x] + here[x - 3] + here[x + 3];
            const int64_t value = ((centre * a + 32767) >> 16) - ((sum * b + 32767) >> 16);
            target[x] = uchar(std::clamp<int64_t>(value, 0, 255));
        }
    }
}

QImage MakeFramedPng(const QImage& picture, int cardWidth, int cardHeight, TColor cardColor,
                     TColor frameColor, TColor shadowColor)
{
    if (cardWidth <= 0 || cardHeight <= 0)
        return QImage();
    constexpr QRgb kKeyColor = 0xFFFF00FF;
    QImage bitmap(cardWidth, cardHeight, QImage::Format_RGB32);
    bitmap.fill(kKeyColor);

    // The outline covers columns 0 .. width - 2 and rows 0 .. height - 2; the card fills inside it.
    const QRgb frame = OpaqueColor(frameColor);
    FillRect(bitmap, QRect(0, 0, cardWidth - 1, cardHeight - 1), frame);
    FillRect(bitmap, QRect(1, 1, cardWidth - 3, cardHeight - 3), OpaqueColor(cardColor));

    if (!picture.isNull()) {
        QPainter painter(&bitmap);
        painter.drawImage(
            QPoint((cardWidth - 3 - picture.width()) / 2 + 1, (cardHeight - 3 - picture.height()) / 2 + 1),
            picture);
    }

    // From (1, H - 1) to (W - 1, H - 1), then up to (W - 1, 0), each line without its end point.
    const QRgb shadow = OpaqueColor(shadowColor);
    for (int x = 1; x < cardWidth - 1; ++x)
        SetPixel(bitmap, x, cardHeight - 1, shadow);
    for (int y = cardHeight - 1; y > 0; --y)
        SetPixel(bitmap, cardWidth - 1, y, shadow);

    // The transparent colour is the one left in the bottom-left corner.
    const QRgb transparent = bitmap.pixel(0, cardHeight - 1);
    QImage framed = bitmap.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < cardHeight; ++y) {
        auto* line = reinterpret_cast<QRgb*>(framed.scanLine(y));
        for (int x = 0; x < cardWidth; ++x) {
            if (line[x] == transparent)
                line[x] &= 0x00FFFFFF;
        }
    }
    return framed;
}

} // namespace GraphicTools
