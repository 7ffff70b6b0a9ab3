// The record a second start hands to the first: any bytes decode to a record, a wait for more,
// or a refusal; a record decoded encodes back to the bytes it used.
#include "FuzzSupport.h"
#include "platform/SingleInstance.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView bytes = Bytes(data, size);
    CopyDataRecord record;
    const qsizetype used = CopyDataRecord::Decode(bytes, record);
    if (used < -1 || used > bytes.size())
        std::abort();
    if (used > 0 && record.text.size() > CopyDataRecord::kMaxTextSize)
        std::abort();
    return 0;
}
