// The version file: any bytes give a version or none, never a crash.
#include "FuzzSupport.h"
#include "catalog/TRemoteVersion.h"
#include "common/Errors.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TRemoteVersion version;
    try {
        version.LoadFromFile(InputFile(data, size));
    } catch (const EMorvalenError&) {
        return 0;
    }
    if (!version.Found() && version.Version() != 0)
        std::abort();
    return 0;
}
