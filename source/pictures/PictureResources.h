#pragma once

#include <QString>

// Where the program's named pictures and icons live: Qt resources compiled from what
// resources/ draws, under their names in upper case.
namespace PictureResources {

// ":/pictures/NAME.png" and ":/icons/NAME.ico"; registers the resources on first use.
QString PngPath(const QString& name);
// The same picture at twice its pixels: ":/pictures/NAME@2x.png".
QString SharpPngPath(const QString& name);
QString IconPath(const QString& name);

} // namespace PictureResources
