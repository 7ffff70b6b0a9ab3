#pragma once

#include <QImage>
#include <QString>

#include <functional>

class QWidget;

// Shows the capture form for the address at that screen size, modal over parent, and gives
// the page it captured; a null image when the user cancelled or nothing could be captured.
using TThumbnailCapture = std::function<QImage(const QString& url, int width, int height, QWidget* parent)>;
