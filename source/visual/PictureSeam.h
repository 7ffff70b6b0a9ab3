#pragma once

// TEMPORARY: the picture library (GraphicTools, Colors, the named pictures) is being built on
// another branch. The controls reach it only through these three calls, which become
// ColorToQColor, GraphicTools::GradientFillRect and GraphicTools::LoadPngResource once it has
// landed; until then they only stand in: no system colours, flat gradients, no pictures.

#include "ColorNames.h"

#include <QColor>
#include <QImage>
#include <QRect>
#include <QString>

class QPainter;

namespace PictureSeam {

QColor ToQColor(TColor color);
void GradientFillRect(QPainter& canvas, const QRect& rect, TColor startColor, int direction, TColor endColor);
QImage LoadPngResource(const QString& name);

} // namespace PictureSeam
