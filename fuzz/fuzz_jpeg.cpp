// JpegFile: any bytes decode or raise the program's error, and a picture never has more pixels
// than it was allowed. The allowance is small, so that the fuzzer explores the refusals too.
#include "FuzzSupport.h"
#include "pictures/EInvalidGraphic.h"
#include "pictures/JpegFile.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    constexpr qsizetype kAllowed = 512 * 512;
    try {
        const QImage image = JpegFile::Read(Bytes(data, size), kAllowed);
        if (image.isNull() || qsizetype(image.width()) * image.height() > kAllowed)
            std::abort();
    } catch (const EInvalidGraphic&) {
    }
    return 0;
}
