#pragma once

#include "CatalogSource.h"

#include <QImage>

// Draws the catalog's pictures: a screenshot-like card of an application (a browser window
// with the application's name, tagline and a page layout of its own) and the thumbnail made
// from it. The same application always gives the same pixels. Needs a QGuiApplication for
// the fonts and must run on its thread.
namespace CardPainter {

constexpr int kScreenshotWidth = 640;
constexpr int kScreenshotHeight = 480;
constexpr int kThumbnailWidth = 160;
constexpr int kThumbnailHeight = 120;

QImage Screenshot(const SourceApplication& application, const QString& categoryTitle);
QImage Thumbnail(const QImage& screenshot);

} // namespace CardPainter
