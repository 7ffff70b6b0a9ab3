#include "ProgramVersion.h"

using namespace Qt::Literals::StringLiterals;

uint32_t PackVersion(int32_t major, int32_t minor, int32_t release, int32_t build)
{
    const auto byte = [](int32_t part) {
        return uint32_t(part) & 0xFFu;
    };
    return byte(major) << 24 | byte(minor) << 16 | byte(release) << 8 | byte(build);
}

uint32_t PackProgramVersion(uint16_t major, uint16_t minor, uint16_t release, uint16_t build)
{
    // Unsigned arithmetic wraps modulo 2^32, which is the rule.
    const uint32_t high = uint32_t(major) * 256u + minor;
    const uint32_t low = uint32_t(release) * 256u + build;
    return high * 65536u + low;
}

std::optional<uint32_t> ProgramVersion()
{
#if defined(MORVALEN_VERSION_MAJOR) && defined(MORVALEN_VERSION_MINOR) && defined(MORVALEN_VERSION_PATCH) && \
    defined(MORVALEN_VERSION_TWEAK)
    // A part CMake leaves out expands to nothing; "+ 0" turns that into 0. Parts are words
    // in a version resource, hence the cut to 16 bits.
    return PackProgramVersion(uint16_t(MORVALEN_VERSION_MAJOR + 0), uint16_t(MORVALEN_VERSION_MINOR + 0),
                              uint16_t(MORVALEN_VERSION_PATCH + 0), uint16_t(MORVALEN_VERSION_TWEAK + 0));
#else
    return std::nullopt;
#endif
}

QString VersionText(uint32_t packed)
{
    return u"%1.%2.%3.%4"_s.arg(packed >> 24)
        .arg(packed >> 16 & 0xFFu)
        .arg(packed >> 8 & 0xFFu)
        .arg(packed & 0xFFu);
}
