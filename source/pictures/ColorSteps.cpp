#include "ColorSteps.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace ColorSteps {

namespace {

constexpr int kScale = 240;
// The hue that closes the circle when converting back.
constexpr int kHueCircle = 239;

int Red(TColor color)
{
    return color & 0xFF;
}

int Green(TColor color)
{
    return (color >> 8) & 0xFF;
}

int Blue(TColor color)
{
    return (color >> 16) & 0xFF;
}

int RoundHalfEven(double value)
{
    return int(std::nearbyint(value));
}

// numerator / denominator rounded to the nearest whole number, halves to even.
int64_t DivideHalfEven(int64_t numerator, int64_t denominator)
{
    int64_t quotient = numerator / denominator;
    int64_t remainder = numerator % denominator;
    if (remainder < 0) {
        quotient -= 1;
        remainder += denominator;
    }
    if (2 * remainder > denominator || (2 * remainder == denominator && (quotient & 1) != 0))
        quotient += 1;
    return quotient;
}

int ToChannel(int64_t numerator, int64_t denominator)
{
    return int(std::clamp<int64_t>(DivideHalfEven(numerator * 255, denominator), 0, 255));
}

TColor Adjust(TColor color, int64_t delta)
{
    if (delta == 0)
        return color;
    THLSColor hls = ColorToHLS(color);
    hls.Lightness = int(std::clamp<int64_t>(hls.Lightness + delta, 0, 255));
    return HLSToColor(hls);
}

} // namespace

THLSColor ColorToHLS(TColor color)
{
    const int red = Red(color);
    const int green = Green(color);
    const int blue = Blue(color);
    const int high = std::max({red, green, blue});
    const int low = std::min({red, green, blue});
    THLSColor hls;
    hls.Lightness = RoundHalfEven(double(high + low) * kScale / 510.0);
    if (high == low)
        return hls;

    const double delta = high - low;
    const double sum = high + low;
    hls.Saturation = RoundHalfEven(delta * kScale / (sum <= 255.0 ? sum : 510.0 - sum));
    double sixths = 0;
    if (red == high)
        sixths = (green - blue) / delta;
    else if (green == high)
        sixths = 2.0 + (blue - red) / delta;
    else
        sixths = 4.0 + (red - green) / delta;
    hls.Hue = RoundHalfEven(sixths * kScale / 6.0);
    if (hls.Hue < 0)
        hls.Hue += kScale;
    if (hls.Hue >= kScale)
        hls.Hue -= kScale;
    return hls;
}

TColor HLSToColor(const THLSColor& hls)
{
    // Exact rational arithmetic over one common denominator, so that a channel landing on a
    // half (212.5, 42.5) rounds to even the same way on every machine.
    const int64_t L = hls.Lightness;
    const int64_t S = hls.Saturation;
    constexpr int64_t kDenominator = int64_t(kScale) * kScale * kHueCircle * 2;

    // Chroma = (1 - |2L - 1|) x S, in units of 1 / (240 x 240).
    const int64_t chroma = (kScale - std::llabs(2 * L - kScale)) * S;
    const int64_t chromaD = chroma * kHueCircle * 2;
    const int64_t matchD = L * (kDenominator / kScale) - chroma * kHueCircle;

    // The hue as sixths of the circle: Hue / 239 x 6, wrapped to the circle.
    const int64_t hueSixths = ((int64_t(hls.Hue) * 6) % (6 * kHueCircle) + 6 * kHueCircle) % (6 * kHueCircle);
    const int64_t sector = hueSixths / kHueCircle;
    const int64_t withinTwo = hueSixths % (2 * kHueCircle);
    const int64_t secondD = chroma * (kHueCircle - std::llabs(withinTwo - kHueCircle)) * 2;

    int64_t r = 0, g = 0, b = 0;
    switch (sector) {
    case 0:
        r = chromaD;
        g = secondD;
        break;
    case 1:
        r = secondD;
        g = chromaD;
        break;
    case 2:
        g = chromaD;
        b = secondD;
        break;
    case 3:
        g = secondD;
        b = chromaD;
        break;
    case 4:
        r = secondD;
        b = chromaD;
        break;
    default:
        r = chromaD;
        b = secondD;
        break;
    }
    const int red = ToChannel(r + matchD, kDenominator);
    const int green = ToChannel(g + matchD, kDenominator);
    const int blue = ToChannel(b + matchD, kDenominator);
    return TColor(red | (green << 8) | (blue << 16));
}

TColor Lighten(TColor color, int amount)
{
    return Adjust(color, amount);
}

TColor Darken(TColor color, int amount)
{
    return Adjust(color, -int64_t(amount));
}

} // namespace ColorSteps
