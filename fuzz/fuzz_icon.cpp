// The icon codec, pixels included: any bytes load or raise the program's error; every image
// that loads decodes or raises it, within its allowance; a loaded icon writes back and reloads.
#include "FuzzSupport.h"
#include "common/Errors.h"
#include "pictures/PictureLimits.h"
#include "pictures/TExIcon.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TExIcon icon;
    try {
        icon.LoadFromStream(Bytes(data, size));
    } catch (const EMorvalenError&) {
        return 0;
    }
    for (int i = 0; i < icon.ImageCount(); ++i) {
        icon.SetCurrentIndex(i);
        try {
            const QImage image = icon.Handle();
            if (qsizetype(image.width()) * image.height() > PictureLimits::kIconImage)
                std::abort();
            icon.Palette();
        } catch (const EMorvalenError&) {
        }
    }
    try {
        const QByteArray written = icon.SaveToStream();
        TExIcon again;
        again.LoadFromStream(written);
        if (again.ImageCount() != icon.ImageCount())
            std::abort();
    } catch (const EMorvalenError&) {
    }
    return 0;
}
