#pragma once

#include <QString>

#include <cstdint>
#include <vector>

enum TLPBPercentMode : uint8_t
{
    percentNone,
    percentCenter,
    percentFloat,
    percentStart
};

enum TLPBPercentType : uint8_t
{
    showPercent,
    showCount,
    showRange,
    showStatic
};

enum TLPBPercentBoundVisibility : uint8_t
{
    bvMinVisible = 1,
    bvInside = 2,
    bvMaxVisible = 4
};
using TLPBPercentBoundVisibilitySet = uint8_t;

// The arithmetic of TLabelProgressBar's bar line, in pixels of the fill area (x = 0 at its
// left edge), free of painting so that it is tested on its own.
namespace ProgressBarGeometry {

// Columns [Left, Left + Width) of the fill area that show the pattern, clipped to it, and the
// x of each shadow line, at most the area's width (the column a shadowed bar keeps free).
struct TFillRun
{
    int Left = 0;
    int Width = 0;

    bool operator==(const TFillRun&) const = default;
};

struct TFillPlan
{
    std::vector<TFillRun> Runs;
    std::vector<int> Shadows;
};

// round((position - min) x width / (max - min)), halves to even, within 0..width; 0 when
// max is not above min.
int FillWidth(int64_t position, int64_t min, int64_t max, int width);

// Whole segments from the left while their start lies below fillWidth - 1; the last one may
// reach past fillWidth.
TFillPlan Segments(int fillWidth, int areaWidth, int segmentWidth, int segmentSpace, bool segmentShadow);

// A smooth strip of fillWidth pixels, with a shadow line at its right end.
TFillPlan SmoothFill(int fillWidth, int areaWidth, bool segmentShadow);

// The busy group: up to three segments starting at (segmentWidth + segmentSpace) x counter.
// Once the group has no room left, the counter starts again at -3, three steps before the
// left edge. NormalizeAnimationCounter gives the counter the step actually draws with.
int NormalizeAnimationCounter(int counter, int areaWidth, int segmentWidth, int segmentSpace);
TFillPlan AnimationGroup(int counter, int areaWidth, int segmentWidth, int segmentSpace, bool segmentShadow);

// The label text: "%d%%" of position x 100 / max for showPercent, else the count, the range
// "%d of %d" or "Processing".
QString PercentText(TLPBPercentType type, int position, int min, int max);
bool PercentVisible(TLPBPercentBoundVisibilitySet visibility, int position, int min, int max);
// The left edge of the label box of boxWidth in a fill area of areaWidth filled to fillWidth.
int PercentBoxLeft(TLPBPercentMode mode, int areaWidth, int fillWidth, int boxWidth);

// The estimate of the time left, in seconds, rounded: elapsed / (position - min) x
// (max - position), or elapsed x (max - min) while position - min is not above 1.
int64_t TimeLeftSeconds(double elapsedSeconds, int position, int min, int max);

// The format with "[Hours]", "[Minutes]" and "[Seconds]" replaced by the parts of seconds,
// each with a leading "0" below 10.
QString FormatInfoTime(const QString& format, int64_t seconds);

} // namespace ProgressBarGeometry
