#include "JsonOutput.h"
#include "ToolCommand.h"

#include "common/FileUtils.h"
#include "pictures/MakeThumbnail.h"
#include "pictures/PictureFile.h"
#include "pictures/PictureLimits.h"
#include "pictures/PngFile.h"
#include "pictures/TExIcon.h"

#include <QJsonArray>

using namespace Qt::Literals::StringLiterals;

namespace {

QJsonObject IconImagesToJson(const TExIcon& icon)
{
    QJsonArray images;
    for (int i = 0; i < icon.ImageCount(); ++i) {
        const TExIconImage& image = icon.Images(i);
        images.append(QJsonObject{{u"Width"_s, image.Width},
                                  {u"Height"_s, image.Height},
                                  {u"PixelFormat"_s, int(image.PixelFormat)}});
    }
    return QJsonObject{{u"images"_s, images}};
}

// A PNG, JPEG or GIF page picture made into the framed 105 x 80 site thumbnail.
int WriteThumbnail(const QStringList& arguments)
{
    const QImage thumbnail = MakeThumbnail(PictureFile::Load(arguments[0], PictureLimits::kPagePicture));
    FileUtils::WriteFileAtomically(arguments[1], PngFile::Write(thumbnail));
    PrintJson(QJsonObject{{u"Width"_s, thumbnail.width()}, {u"Height"_s, thumbnail.height()}});
    return 0;
}

int PrintIcon(const QStringList& arguments)
{
    TExIcon icon;
    icon.LoadFromFile(arguments[0]);
    PrintJson(IconImagesToJson(icon));
    return 0;
}

// Loads and saves again: every image's data byte for byte, the directory computed afresh.
int CopyIcon(const QStringList& arguments)
{
    TExIcon icon;
    icon.LoadFromFile(arguments[0]);
    icon.SaveToFile(arguments[1]);
    PrintJson(IconImagesToJson(icon));
    return 0;
}

} // namespace

std::vector<ToolCommand> PictureCommands()
{
    return {
        {"thumbnail", "IN OUT", 2, WriteThumbnail},
        {"icon", "FILE", 1, PrintIcon},
        {"icon-copy", "IN OUT", 2, CopyIcon},
    };
}
