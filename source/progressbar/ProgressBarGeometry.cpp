#include "ProgressBarGeometry.h"

#include <algorithm>
#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace ProgressBarGeometry {

namespace {

constexpr int kGroupSegments = 3;
constexpr int kRestartCounter = -3;

void AddRun(TFillPlan& plan, int left, int width, int areaWidth)
{
    const int from = std::max(left, 0);
    const int to = std::min(left + width, areaWidth);
    if (to > from)
        plan.Runs.push_back({from, to - from});
}

// A shadow may stand right after the area: the bar keeps that column free for it.
void AddShadow(TFillPlan& plan, int x, int areaWidth)
{
    if (x >= 0 && x <= areaWidth)
        plan.Shadows.push_back(x);
}

int GroupSize(int counter, int areaWidth, int step)
{
    return std::min((areaWidth - step * counter) / step, kGroupSegments);
}

QString TwoDigits(int64_t value)
{
    return value < 10 ? u"0"_s + QString::number(value) : QString::number(value);
}

} // namespace

int FillWidth(int64_t position, int64_t min, int64_t max, int width)
{
    if (max <= min || width <= 0)
        return 0;
    const int64_t numerator = (position - min) * width;
    const int64_t denominator = max - min;
    int64_t quotient = numerator / denominator;
    const int64_t remainder = numerator % denominator;
    if (remainder > 0 && (2 * remainder > denominator || (2 * remainder == denominator && (quotient & 1))))
        ++quotient;
    return int(std::clamp<int64_t>(quotient, 0, width));
}

TFillPlan Segments(int fillWidth, int areaWidth, int segmentWidth, int segmentSpace, bool segmentShadow)
{
    TFillPlan plan;
    if (segmentWidth + segmentSpace <= 0)
        return plan;
    for (int x = 0; x < fillWidth - 1;) {
        AddRun(plan, x, segmentWidth, areaWidth);
        x += segmentWidth;
        if (segmentShadow && segmentSpace > 1 && fillWidth > 1)
            AddShadow(plan, x, areaWidth);
        x += segmentSpace;
    }
    return plan;
}

TFillPlan SmoothFill(int fillWidth, int areaWidth, bool segmentShadow)
{
    TFillPlan plan;
    AddRun(plan, 0, fillWidth, areaWidth);
    if (segmentShadow && fillWidth > 0)
        AddShadow(plan, fillWidth, areaWidth);
    return plan;
}

int NormalizeAnimationCounter(int counter, int areaWidth, int segmentWidth, int segmentSpace)
{
    const int step = segmentWidth + segmentSpace;
    if (step <= 0)
        return kRestartCounter;
    // A group with no room left starts over; after a shrink the room may even be negative,
    // and the group must still come back.
    return GroupSize(counter, areaWidth, step) <= 0 ? kRestartCounter : counter;
}

TFillPlan AnimationGroup(int counter, int areaWidth, int segmentWidth, int segmentSpace, bool segmentShadow)
{
    TFillPlan plan;
    const int step = segmentWidth + segmentSpace;
    if (step <= 0)
        return plan;
    const int segments = GroupSize(counter, areaWidth, step);
    for (int i = 0; i < segments; ++i) {
        const int left = step * (counter + i);
        AddRun(plan, left, segmentWidth, areaWidth);
        if (segmentShadow && segmentSpace > 1)
            AddShadow(plan, left + segmentWidth, areaWidth);
    }
    return plan;
}

QString PercentText(TLPBPercentType type, int position, int min, int max)
{
    switch (type) {
    case showPercent: {
        // A range ending at 0 has no percentage of its end to show.
        const double percent = max != 0 ? double(position) * 100.0 / double(max) : 0.0;
        return QString::number(int64_t(std::nearbyint(percent))) + u'%';
    }
    case showCount:
        return QString::number(int64_t(position) - min);
    case showRange:
        return u"%1 of %2"_s.arg(int64_t(position) - min).arg(int64_t(max) - min);
    case showStatic:
        break;
    }
    return u"Processing"_s;
}

bool PercentVisible(TLPBPercentBoundVisibilitySet visibility, int position, int min, int max)
{
    if (position == min)
        return visibility & bvMinVisible;
    if (position == max)
        return visibility & bvMaxVisible;
    return visibility & bvInside;
}

int PercentBoxLeft(TLPBPercentMode mode, int areaWidth, int fillWidth, int boxWidth)
{
    switch (mode) {
    case percentCenter:
        return (areaWidth - boxWidth) / 2;
    case percentFloat:
        return std::min(fillWidth + 4, areaWidth - 4 - boxWidth);
    case percentStart:
    case percentNone:
        break;
    }
    return 4;
}

int64_t TimeLeftSeconds(double elapsedSeconds, int position, int min, int max)
{
    const double done = double(position) - double(min);
    const double estimate = done > 1 ? elapsedSeconds / done * (double(max) - double(position))
                                     : elapsedSeconds * (double(max) - double(min));
    return int64_t(std::nearbyint(std::max(estimate, 0.0)));
}

QString FormatInfoTime(const QString& format, int64_t seconds)
{
    seconds = std::max<int64_t>(seconds, 0);
    QString text = format;
    text.replace(u"[Hours]"_s, TwoDigits(seconds / 3600));
    text.replace(u"[Minutes]"_s, TwoDigits(seconds / 60 % 60));
    text.replace(u"[Seconds]"_s, TwoDigits(seconds % 60));
    return text;
}

} // namespace ProgressBarGeometry
