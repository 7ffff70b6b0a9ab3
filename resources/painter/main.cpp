// morvalen-picture-painter: draws every named picture and icon of the program into a folder,
// with the resource collection file that compiles them into the program. The build runs it;
// the drawings in this folder are the pictures' only source.
//
//   morvalen-picture-painter OUTPUT_FOLDER [--sheet FILE]
//
// The program's icon for the desktop's menus goes into OUTPUT_FOLDER/hicolor/, laid out as the
// icon theme is, at every size the install puts there.
//
// --sheet also writes every picture and icon enlarged four times onto one PNG, for review.

#include "Painter.h"

#include "common/Errors.h"
#include "common/FileUtils.h"
#include "pictures/IconImageData.h"
#include "pictures/PictureNames.h"
#include "pictures/PngFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QtEndian>

#include <cstdio>

using namespace Qt::Literals::StringLiterals;

namespace {

QString Name(std::string_view name)
{
    return QString::fromUtf8(name.data(), qsizetype(name.size()));
}

void AppendWord(QByteArray& data, uint16_t value)
{
    data.append(char(value & 0xFF));
    data.append(char(value >> 8));
}

void AppendDWord(QByteArray& data, uint32_t value)
{
    AppendWord(data, uint16_t(value & 0xFFFF));
    AppendWord(data, uint16_t(value >> 16));
}

// An icon file of 32-bit images with masks, one per picture.
QByteArray IconFile(const std::vector<QImage>& pictures)
{
    std::vector<QByteArray> images;
    for (const QImage& picture : pictures)
        images.push_back(IconImageData::Encode(picture, IconImageData::pf32bit));
    QByteArray file;
    AppendWord(file, 0);
    AppendWord(file, 1);
    AppendWord(file, uint16_t(images.size()));
    uint32_t offset = uint32_t(6 + 16 * images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        file.append(char(pictures[i].width()));
        file.append(char(pictures[i].height()));
        file.append('\0'); // colour count
        file.append('\0');
        AppendWord(file, 1); // planes
        AppendWord(file, 32);
        AppendDWord(file, uint32_t(images[i].size()));
        AppendDWord(file, offset);
        offset += uint32_t(images[i].size());
    }
    for (const QByteArray& image : images)
        file.append(image);
    return file;
}

// Every drawing enlarged four times, in rows, on a light background.
class ContactSheet final
{
public:
    void Add(const QImage& image) { m_images.push_back(image); }

    QImage Render() const
    {
        constexpr int kScale = 4;
        constexpr int kGap = 12;
        constexpr int kWidth = 1400;
        int x = kGap;
        int y = kGap;
        int rowHeight = 0;
        std::vector<QPoint> places;
        for (const QImage& image : m_images) {
            const QSize size = image.size() * kScale;
            if (x + size.width() + kGap > kWidth) {
                x = kGap;
                y += rowHeight + kGap;
                rowHeight = 0;
            }
            places.emplace_back(x, y);
            x += size.width() + kGap;
            rowHeight = std::max(rowHeight, size.height());
        }
        QImage sheet(kWidth, y + rowHeight + kGap, QImage::Format_ARGB32);
        sheet.fill(QColor(0xF4, 0xF5, 0xF7));
        QPainter painter(&sheet);
        for (size_t i = 0; i < m_images.size(); ++i)
            painter.drawImage(QRect(places[i], m_images[i].size() * kScale), m_images[i]);
        return sheet;
    }

private:
    std::vector<QImage> m_images;
};

ContactSheet g_sheet;

constexpr int kProgramIconSizes[] = {16, 24, 32, 48, 64, 128, 256};

template <typename Sizes>
void PaintIcon(const QDir& folder, std::string_view name, const Sizes& sizes, QStringList& entries)
{
    std::vector<QImage> pictures;
    for (const int size : sizes) {
        QImage picture = DrawIcon(name, size);
        if (picture.isNull())
            throw EMorvalenError(u"No drawing for the icon %1"_s.arg(Name(name)));
        g_sheet.Add(picture);
        pictures.push_back(std::move(picture));
    }
    const QString file = u"icons/"_s + Name(name).toUpper() + u".ico"_s;
    FileUtils::WriteFileAtomically(folder.filePath(file), IconFile(pictures));
    entries.append(file);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const bool withSheet = arguments.size() == 4 && arguments[2] == u"--sheet"_s;
    if (arguments.size() != 2 && !withSheet) {
        std::fputs("Usage: morvalen-picture-painter OUTPUT_FOLDER [--sheet FILE]\n", stderr);
        return 2;
    }
    try {
        const QDir folder(arguments[1]);
        if (!folder.mkpath(u"pictures"_s) || !folder.mkpath(u"icons"_s))
            throw EFileError(u"Cannot create the folders in %1"_s.arg(folder.path()));

        QStringList entries;
        for (const PictureNames::Picture& picture : PictureNames::kPictures) {
            const QImage image = DrawPicture(picture.name, picture.width, picture.height);
            if (image.isNull())
                throw EMorvalenError(u"No drawing for the picture %1"_s.arg(Name(picture.name)));
            const QString file = u"pictures/"_s + Name(picture.name).toUpper() + u".png"_s;
            FileUtils::WriteFileAtomically(folder.filePath(file), PngFile::Write(image));
            entries.append(file);
            g_sheet.Add(image);
            // Twice the pixels for HiDPI screens, drawn from the same drawing, not enlarged.
            const QString sharp = u"pictures/"_s + Name(picture.name).toUpper() + u"@2x.png"_s;
            FileUtils::WriteFileAtomically(
                folder.filePath(sharp),
                PngFile::Write(DrawPicture(picture.name, picture.width, picture.height, 2)));
            entries.append(sharp);
        }
        for (const std::string_view name : PictureNames::kIcons)
            PaintIcon(folder, name, PictureNames::kIconSizes, entries);
        PaintIcon(folder, PictureNames::kDefaultFavoriteIcon, PictureNames::kDefaultFavoriteIconSizes,
                  entries);

        for (const int size : kProgramIconSizes) {
            const QString file = u"hicolor/%1x%1/apps/morvalen-desktop.png"_s.arg(size);
            if (!folder.mkpath(QFileInfo(file).path()))
                throw EFileError(u"Cannot create the folders in %1"_s.arg(folder.path()));
            const QImage icon = DrawProgramIcon(size);
            FileUtils::WriteFileAtomically(folder.filePath(file), PngFile::Write(icon));
            g_sheet.Add(icon);
        }

        QString collection = u"<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n<qresource prefix=\"/\">\n"_s;
        for (const QString& entry : entries)
            collection += u"    <file>"_s + entry + u"</file>\n"_s;
        collection += u"</qresource>\n</RCC>\n"_s;
        FileUtils::WriteFileAtomically(folder.filePath(u"pictures.qrc"_s), collection.toUtf8());
        if (withSheet)
            FileUtils::WriteFileAtomically(arguments[3], PngFile::Write(g_sheet.Render()));
    } catch (const EMorvalenError& error) {
        std::fprintf(stderr, "morvalen-picture-painter: %s\n", error.what());
        return 1;
    }
    return 0;
}
