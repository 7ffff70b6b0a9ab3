#pragma once

#include <QRect>
#include <QSize>

// Where the screenshot preview goes once its picture is known.
namespace ScreenshotPlacement {

// The window frame the size rule counts with.
struct FrameMetrics
{
    int frameWidth = 3;  // each side
    int frameHeight = 3; // counted once
    int captionHeight = 23;
};

struct Placement
{
    // Too big for the work area: the window is maximized and geometry means nothing.
    bool maximized = false;
    // The whole window, frame and caption included.
    QRect geometry;
};

// Width 2 x frame width + picture width + 8, height frame height + picture height + header
// height + caption height + 12. A window narrower than the work area by more than 10 and
// lower by more than 28 pixels is centred in the work area (halves rounded toward zero);
// any other is maximized.
Placement Place(QSize picture, int headerHeight, const QRect& workArea, const FrameMetrics& frame = {});

} // namespace ScreenshotPlacement
