#include "TExIcon.h"

#include "EInvalidGraphic.h"
#include "PictureResources.h"
#include "common/Errors.h"
#include "common/FileUtils.h"

#include <QFile>
#include <QPainter>
#include <QtEndian>

using namespace Qt::Literals::StringLiterals;
using namespace IconImageData;

namespace {

constexpr qsizetype kHeaderSize = 6;
constexpr qsizetype kEntrySize = 16;
constexpr uint16_t kIconType = 1;

[[noreturn]] void FailInvalidIcon()
{
    throw EInvalidGraphic(u"Invalid Icon or Cursor"_s);
}

uint16_t Word(QByteArrayView data, qsizetype offset)
{
    return qFromLittleEndian<uint16_t>(data.data() + offset);
}

uint32_t DWord(QByteArrayView data, qsizetype offset)
{
    return qFromLittleEndian<uint32_t>(data.data() + offset);
}

void AppendWord(QByteArray& data, uint16_t value)
{
    const char bytes[2] = {char(value & 0xFF), char(value >> 8)};
    data.append(bytes, 2);
}

void AppendDWord(QByteArray& data, uint32_t value)
{
    AppendWord(data, uint16_t(value & 0xFFFF));
    AppendWord(data, uint16_t(value >> 16));
}

} // namespace

TExIcon::TExIcon()
{
    auto image = std::make_shared<TExIconImage>();
    image->Width = kStandardSize;
    image->Height = kStandardSize;
    image->PixelFormat = pf4bit;
    m_images.push_back(std::move(image));
}

void TExIcon::LoadFromStream(QByteArrayView data)
{
    if (data.size() < kHeaderSize)
        FailInvalidIcon();
    if (Word(data, 2) != kIconType)
        FailInvalidIcon();
    // A file without images would leave the icon without a current image.
    const int count = Word(data, 4);
    if (count == 0 || kHeaderSize + kEntrySize * count > data.size())
        FailInvalidIcon();

    // The new images replace the old ones only when all of them loaded.
    std::vector<std::shared_ptr<TExIconImage>> images;
    images.reserve(size_t(count));
    for (int i = 0; i < count; ++i) {
        const qsizetype entry = kHeaderSize + kEntrySize * i;
        const uint32_t size = DWord(data, entry + 8);
        const uint32_t offset = DWord(data, entry + 12);
        if (offset > uint64_t(data.size()) || size > uint64_t(data.size()) - offset)
            FailInvalidIcon();

        auto image = std::make_shared<TExIconImage>();
        image->Width = uchar(data[entry]) == 0 ? 256 : uchar(data[entry]);
        image->Height = uchar(data[entry + 1]) == 0 ? 256 : uchar(data[entry + 1]);
        image->Data = data.sliced(offset, size).toByteArray();
        ClearImageSize(image->Data);
        image->PixelFormat = Check(image->Data);
        images.push_back(std::move(image));
    }
    m_images = std::move(images);
    m_currentIndex = 0;
    Changed();
}

QByteArray TExIcon::SaveToStream()
{
    if (m_images.size() > 0xFFFF)
        throw EMorvalenError(u"Range check error"_s);
    const int count = ImageCount();

    for (const auto& image : m_images) {
        if (image->Data.isEmpty()) {
            if (image->Handle.isNull())
                FailInvalidIcon();
            image->Data = Encode(image->Handle, image->PixelFormat);
        }
    }

    QByteArray stream;
    AppendWord(stream, 0);
    AppendWord(stream, kIconType);
    AppendWord(stream, uint16_t(count));
    uint32_t offset = uint32_t(kHeaderSize + kEntrySize * count);
    for (const auto& image : m_images) {
        if (image->Width > 255 || image->Height > 255 || image->Width < 0 || image->Height < 0)
            throw EMorvalenError(u"Range check error"_s);
        if (image->PixelFormat == pf15bit)
            FailInvalidIcon();
        static constexpr uint8_t kColorCount[] = {0, 2, 16, 0, 0, 0, 0, 0};
        static constexpr uint16_t kBitCount[] = {0, 0, 0, 8, 0, 16, 24, 32};
        stream.append(char(image->Width));
        stream.append(char(image->Height));
        stream.append(char(kColorCount[image->PixelFormat]));
        stream.append('\0');
        AppendWord(stream, 1);
        AppendWord(stream, kBitCount[image->PixelFormat]);
        AppendDWord(stream, uint32_t(image->Data.size()));
        AppendDWord(stream, offset);
        offset += uint32_t(image->Data.size());
    }
    for (const auto& image : m_images)
        stream.append(image->Data);
    return stream;
}

void TExIcon::LoadFromFile(const QString& path)
{
    const std::optional<QByteArray> data = FileUtils::ReadWholeFile(path);
    if (!data)
        throw EFileError(u"Cannot read file \"%1\"."_s.arg(path));
    LoadFromStream(*data);
}

void TExIcon::SaveToFile(const QString& path)
{
    FileUtils::WriteFileAtomically(path, SaveToStream());
}

void TExIcon::LoadFromResourceName(const QString& name)
{
    const std::optional<QByteArray> data = FileUtils::ReadWholeFile(PictureResources::IconPath(name));
    if (!data || name.isEmpty())
        throw EMorvalenError(u"Resource %1 not found"_s.arg(name));
    LoadFromStream(*data);
}

const TExIconImage& TExIcon::Images(int index) const
{
    if (index < 0 || index >= ImageCount())
        throw EMorvalenError(u"Index out of range!"_s);
    return *m_images[size_t(index)];
}

void TExIcon::SetCurrentIndex(int index)
{
    if (index < 0 || index >= ImageCount())
        throw EMorvalenError(u"Index out of range!"_s);
    if (index == m_currentIndex)
        return;
    m_currentIndex = index;
    Changed();
}

QImage TExIcon::Handle()
{
    TExIconImage& image = Current();
    if (image.Handle.isNull() && !image.Data.isEmpty()) {
        image.Handle = Decode(image.Data);
        image.Width = image.Handle.width();
        image.Height = image.Handle.height();
    }
    return image.Handle;
}

QImage TExIcon::ReleaseHandle()
{
    QImage handle = Handle();
    if (m_images[size_t(m_currentIndex)].use_count() == 1)
        Current().Handle = QImage();
    return handle;
}

QList<QRgb> TExIcon::Palette()
{
    TExIconImage& image = Current();
    if (!image.PaletteDone && !image.Data.isEmpty() && image.PixelFormat <= pf8bit) {
        image.Palette = ColorTable(image.Data);
        image.PaletteDone = true;
    }
    return image.Palette;
}

bool TExIcon::Empty() const
{
    return Current().Handle.isNull() && Current().Data.isEmpty();
}

int TExIcon::Width() const
{
    return Current().Width;
}

int TExIcon::Height() const
{
    return Current().Height;
}

void TExIcon::Assign(const TExIcon& other)
{
    if (&other == this)
        return;
    m_images = other.m_images;
    m_currentIndex = other.m_currentIndex;
    MaskColor = other.MaskColor;
    Changed();
}

void TExIcon::AssignCurrentImage(const TExIcon& other)
{
    m_images = {other.m_images[size_t(other.m_currentIndex)]};
    m_currentIndex = 0;
    MaskColor = other.MaskColor;
    Changed();
}

void TExIcon::AssignPicture(const QImage& picture)
{
    if (picture.isNull())
        FailInvalidIcon();
    const TExIconImage& current = Current();
    const QSize size(std::max(1, current.Width), std::max(1, current.Height));
    const QImage rendered = picture.size() == size
                                ? picture
                                : picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    auto image = std::make_shared<TExIconImage>();
    image->Width = size.width();
    image->Height = size.height();
    image->PixelFormat = current.PixelFormat;
    image->Data = Encode(rendered, current.PixelFormat);
    m_images[size_t(m_currentIndex)] = std::move(image);
    Changed();
}

void TExIcon::SetPictures(const std::vector<QImage>& pictures, PixelFormat format)
{
    if (pictures.empty())
        FailInvalidIcon();
    std::vector<std::shared_ptr<TExIconImage>> images;
    for (const QImage& picture : pictures) {
        if (picture.isNull())
            FailInvalidIcon();
        auto image = std::make_shared<TExIconImage>();
        image->Handle = picture.convertToFormat(QImage::Format_ARGB32);
        image->Width = picture.width();
        image->Height = picture.height();
        image->PixelFormat = format;
        images.push_back(std::move(image));
    }
    m_images = std::move(images);
    m_currentIndex = 0;
    Changed();
}

QImage TExIcon::ToBitmap()
{
    QImage bitmap(std::max(1, Width()), std::max(1, Height()), QImage::Format_RGB888);
    bitmap.fill(ColorToQColor(MaskColor));
    const QImage picture = Handle();
    if (!picture.isNull()) {
        QPainter painter(&bitmap);
        painter.drawImage(bitmap.rect(), picture);
    }
    return bitmap;
}

void TExIcon::Draw(QPainter& painter, const QRect& rect)
{
    const QImage picture = Handle();
    if (!picture.isNull())
        painter.drawImage(rect, picture);
}

TExIconImage& TExIcon::Current()
{
    return *m_images[size_t(m_currentIndex)];
}

const TExIconImage& TExIcon::Current() const
{
    return *m_images[size_t(m_currentIndex)];
}

void TExIcon::Changed()
{
    if (OnChange)
        OnChange();
}
