#pragma once

#include "TExIconImage.h"

#include "Colors.h"

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QPainter;

// Every image of an icon file (several sizes and colour depths in one ICO file), not just
// one. The favorite-icon store checks and stores downloaded icons with it; the graphic tools
// pick the best small image from it.
//
// Each image keeps its bytes exactly as the file had them, so loading and saving an icon
// reproduces every image byte for byte under a freshly computed directory. Width, height,
// palette and drawing refer to the current image.
class TExIcon final
{
public:
    // The system's standard icon size, the size of the empty image of a new icon.
    static constexpr int kStandardSize = 32;

    // One empty image of the standard size with 4 bits per pixel.
    TExIcon();

    // Throws EInvalidGraphic ("Invalid Icon or Cursor", "Pixel Format Not Valid for Icons or
    // Cursors"); the icon is unchanged then.
    void LoadFromStream(QByteArrayView data);
    // Throws EInvalidGraphic for an image that cannot be written, and EMorvalenError ("Range
    // check error") for images wider or higher than 255 pixels.
    QByteArray SaveToStream();
    // As LoadFromStream; EFileError when the file cannot be read.
    void LoadFromFile(const QString& path);
    // Replaces the file atomically.
    void SaveToFile(const QString& path);
    // One of the program's own icons, looked up with the name in upper case; EMorvalenError
    // when there is none.
    void LoadFromResourceName(const QString& name);

    int ImageCount() const { return int(m_images.size()); }
    const TExIconImage& Images(int index) const;

    int CurrentIndex() const { return m_currentIndex; }
    // Signals a change when the index differs; out of range raises "Index out of range!".
    void SetCurrentIndex(int index);

    // The current image as a picture with alpha, decoded on first use. Throws EInvalidGraphic
    // when its data is not a valid image.
    QImage Handle();
    // Hands the picture to the caller; an image no other icon shares forgets it.
    QImage ReleaseHandle();
    // The colour table of the current image (8 bits or less), red-green-blue.
    QList<QRgb> Palette();

    bool Empty() const;
    int Width() const;
    int Height() const;

    // The background an icon is drawn on when it becomes a bitmap.
    TColor MaskColor = 0xF8E6FE;

    // Shares the other icon's images and takes its current index and mask colour.
    void Assign(const TExIcon& other);
    // Holds only the other icon's current image, shared.
    void AssignCurrentImage(const TExIcon& other);
    // Replaces the current image by the picture rendered at the current image's size and
    // depth, with its transparency as the mask.
    void AssignPicture(const QImage& picture);
    // Replaces every image by images made from the pictures at the given depth (icons drawn
    // by the program); their file data is built when the icon is saved.
    void SetPictures(const std::vector<QImage>& pictures, IconImageData::PixelFormat format);

    // The current image on a MaskColor background, 24 bits per pixel.
    QImage ToBitmap();
    // Draws the current image stretched into the rectangle, with its transparency.
    void Draw(QPainter& painter, const QRect& rect);

    // Raised when the current image changes (load, index, assignment).
    std::function<void()> OnChange;

private:
    TExIconImage& Current();
    const TExIconImage& Current() const;
    void Changed();

    std::vector<std::shared_ptr<TExIconImage>> m_images;
    int m_currentIndex = 0;
};
