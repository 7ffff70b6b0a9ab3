#pragma once

#include <QColor>
#include <QImage>
#include <QString>

#include <vector>

// Made-up web pages, site icons and the program's link icons for the gallery's tiles and
// details panel.
namespace SamplePictures {

// A web page of 800 x 600 in the site's colour: header with its name, navigation, a hero
// picture, columns of text. variant (0 to 3) changes the arrangement.
QImage WebPage(const QColor& accent, const QString& name, int variant);

// The page as a tile shows it: shrunk, sharpened and framed.
QImage Thumbnail(const QColor& accent, const QString& name, int variant);

// A 16 x 16 favourite icon: a rounded square in the colour with a white letter.
QImage SiteIcon(const QColor& color, QChar letter);

// The program's 16 x 16 icon of that resource name.
QImage ProgramIcon(const QString& resourceName);

// The links bar's icons by image index: Install, Visit site, Signup, Tell a Friend, Installed.
std::vector<QImage> LinkIcons();

} // namespace SamplePictures
