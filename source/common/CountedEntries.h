#pragma once

#include "BinaryStream.h"

#include <QByteArrayView>

#include <cstdint>

// The layout the data file and the store indexes share: a header text (some have none), an
// Integer entry count, then the entries. The count is the file's word, not ours: an entry is
// attempted only while the count allows one and at least the smallest entry's bytes are left,
// so a damaged count never makes a reader loop or allocate past the file's end.
class CountedEntries final
{
public:
    // Reads the header (nothing when header is empty) and the count. A file whose header is
    // short or different is not valid; a valid file that ends after its header holds no entries.
    CountedEntries(BinaryReader& reader, QByteArrayView header, qsizetype minEntrySize);

    bool HeaderValid() const { return m_headerValid; }
    // The count as the file gives it; 0 when there is none.
    int32_t Count() const { return m_count; }
    // How many entries Next has allowed.
    int32_t Taken() const { return m_taken; }

    // True when one more entry is to be read.
    bool Next();

private:
    BinaryReader& m_reader;
    qsizetype m_minEntrySize;
    bool m_headerValid = false;
    int32_t m_count = 0;
    int32_t m_taken = 0;
};
