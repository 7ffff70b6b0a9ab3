// Cache.dat: any bytes parse, and what parsed writes back to the same entries.
#include "FuzzSupport.h"
#include "stores/CacheIndexFile.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const CacheIndexFile::ParseResult parsed = CacheIndexFile::Parse(Bytes(data, size));
    if (!parsed.headerValid)
        return 0;
    const QByteArray written = CacheIndexFile::Serialize(parsed.entries);
    const CacheIndexFile::ParseResult again = CacheIndexFile::Parse(written);
    if (!again.headerValid || again.entries.size() != parsed.entries.size() ||
        CacheIndexFile::Serialize(again.entries) != written)
        std::abort();
    return 0;
}
