#include "ScreenshotPlacement.h"

namespace ScreenshotPlacement {

Placement Place(QSize picture, int headerHeight, const QRect& workArea, const FrameMetrics& frame)
{
    const int width = 2 * frame.frameWidth + picture.width() + 8;
    const int height = frame.frameHeight + picture.height() + headerHeight + frame.captionHeight + 12;
    if (width >= workArea.width() - 10 || height >= workArea.height() - 28)
        return {true, {}};
    const int left = workArea.left() + (workArea.width() - width) / 2;
    const int top = workArea.top() + (workArea.height() - height) / 2;
    return {false, QRect(left, top, width, height)};
}

} // namespace ScreenshotPlacement
