// Thumbnails.dat and FavIcons.dat: any bytes parse, and the entries write back unchanged.
#include "FuzzSupport.h"
#include "stores/NamePairIndexFile.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::vector<NamePairIndexFile::Entry> entries = NamePairIndexFile::Parse(Bytes(data, size));
    const QByteArray written = NamePairIndexFile::Serialize(entries);
    if (NamePairIndexFile::Parse(written) != entries)
        std::abort();
    for (const auto& entry : entries)
        NamePairIndexFile::IsPlainFileName(entry.second);
    return 0;
}
