#pragma once

#include <QString>

#include <cstdint>
#include <optional>

// A colour value as the program stores and passes it: $00BBGGRR for ordinary colours (red in
// the low byte), $FF000000 plus an index for the system colours.
using TColor = int32_t;

namespace ColorNames {

inline constexpr TColor kNone = 0x1FFFFFFF;
inline constexpr TColor kDefault = 0x20000000;

// The colour of a name such as "clRed" or "clBtnFace", matched without regard to case.
std::optional<TColor> IdentToColor(const QString& name);

// A colour name, or a whole number in decimal or in hexadecimal after a "$", as a 32-bit
// colour value. Nothing when the text is neither.
std::optional<TColor> StringToColor(const QString& text);

// The name of a named colour ("clRed"), or the colour as "$00BBGGRR" when it has none.
QString ColorToString(TColor color);

} // namespace ColorNames
