#pragma once

#include "pictures/ColorNames.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

// One band of a progress bar's fill: a vertical two-colour gradient Height pixels high.
struct GradientSection
{
    TColor StartColor = 0;
    TColor EndColor = 0;
    int32_t Height = 0;

    bool operator==(const GradientSection&) const = default;
};

// A named set of sections, kept and stored with the bar but not used for drawing.
struct TGradientPressetRec
{
    QString Name;
    std::vector<GradientSection> Sections;

    bool operator==(const TGradientPressetRec&) const = default;
};

// What a progress bar stores besides its ordinary properties.
struct TLPBStoredForm
{
    int32_t BarHeight = 20;
    std::vector<GradientSection> Sections;
    std::vector<TGradientPressetRec> Pressets;

    bool operator==(const TLPBStoredForm&) const = default;
};

// The bar's three binary properties, little-endian:
//   "BarHeight"              Integer
//   "GradientSectionData"    Integer count, then per section start colour, end colour, height
//   "CustomGradientPressets" Integer count, then per preset a name (1-byte length, then the
//                            bytes), an Integer section count and the sections
// Readers check every count against the bytes that are there and raise EStreamReadError on a
// short or inconsistent property; bytes after the property's end are ignored.
namespace LabelProgressBarData {

inline constexpr char kBarHeightName[] = "BarHeight";
inline constexpr char kGradientSectionDataName[] = "GradientSectionData";
inline constexpr char kCustomGradientPressetsName[] = "CustomGradientPressets";

QByteArray WriteBarHeight(int32_t barHeight);
int32_t ReadBarHeight(QByteArrayView data);

QByteArray WriteGradientSections(const std::vector<GradientSection>& sections);
std::vector<GradientSection> ReadGradientSections(QByteArrayView data);

// A name longer than 255 bytes is cut at the last whole character that fits.
QByteArray WritePressets(const std::vector<TGradientPressetRec>& pressets);
std::vector<TGradientPressetRec> ReadPressets(QByteArrayView data);

// The gradient of a bar without stored sections: around the base colour, lightened by 100
// at the top and darkened by 100 at the bottom, over the bar height less the border.
std::vector<GradientSection> DefaultGradient(int barHeight, bool boldBorder, TColor baseColor = 0xFF0000);

// The forms of the program's three bars.
TLPBStoredForm MainWindowBar();
TLPBStoredForm BrowserWindowBar();
TLPBStoredForm ThumbnailFormBar();

} // namespace LabelProgressBarData
