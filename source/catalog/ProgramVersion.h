#pragma once

#include <QString>

#include <cstdint>
#include <optional>

// Versions compare as packed 32-bit numbers: major, minor, release and build from the
// highest byte to the lowest.

// Packs the four parts of a version file entry; each part keeps only its low 8 bits, so
// 256 counts as 0 and -1 as 255.
uint32_t PackVersion(int32_t major, int32_t minor, int32_t release, int32_t build);

// Packs a program version given as four 16-bit words, the way the program's version was
// always packed: ((major * 256 + minor) * 2^16 + (release * 256 + build)) modulo 2^32.
// For parts below 256 this equals PackVersion; larger parts spill into the next part.
uint32_t PackProgramVersion(uint16_t major, uint16_t minor, uint16_t release, uint16_t build);

// The program's own version as set in CMake (project VERSION a.b.c.d), packed. Empty when
// the build did not provide it.
std::optional<uint32_t> ProgramVersion();

// "a.b.c.d": the four bytes of a packed version from the highest to the lowest.
QString VersionText(uint32_t packed);
