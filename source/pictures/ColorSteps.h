#pragma once

#include "ColorNames.h"

// Lighter and darker shades of a colour on the 0..240 hue, saturation and lightness scale
// of the desktop's colour dialog. Colours are $00BBGGRR values; system colours must be
// resolved by the caller first.
namespace ColorSteps {

struct THLSColor
{
    int Hue = 0;
    int Lightness = 0;
    int Saturation = 0;

    bool operator==(const THLSColor&) const = default;
};

THLSColor ColorToHLS(TColor color);

// Back to $00BBGGRR. The hue picks its sixth of the circle as Hue / 239 x 6; halves round
// to even.
TColor HLSToColor(const THLSColor& hls);

// Lightness + amount (at most 255) or - amount (at least 0). An amount of 0 returns the
// colour unchanged.
TColor Lighten(TColor color, int amount);
TColor Darken(TColor color, int amount);

} // namespace ColorSteps
