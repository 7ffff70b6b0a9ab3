// The installed sites' data file: any bytes parse without a crash, and what parsed writes
// back and parses to the same records.
#include "FuzzSupport.h"
#include "sites/SitesDataFile.h"
#include "sites/TMorvalenBaseClass.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const SitesDataFile::LoadResult loaded = SitesDataFile::Parse(Bytes(data, size));
    if (!loaded.headerValid)
        return 0;
    const QByteArray written = SitesDataFile::Serialize(loaded.records);
    const SitesDataFile::LoadResult again = SitesDataFile::Parse(written);
    if (!again.headerValid || again.skipped != 0 || again.records.size() != loaded.records.size() ||
        SitesDataFile::Serialize(again.records) != written)
        std::abort();
    return 0;
}
