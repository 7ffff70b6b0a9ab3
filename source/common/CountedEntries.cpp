#include "CountedEntries.h"

CountedEntries::CountedEntries(BinaryReader& reader, QByteArrayView header, qsizetype minEntrySize)
    : m_reader(reader), m_minEntrySize(minEntrySize)
{
    if (reader.Remaining() < header.size() || reader.ReadBytes(header.size()) != header)
        return;
    m_headerValid = true;
    if (reader.Remaining() >= 4)
        m_count = reader.ReadInteger();
}

bool CountedEntries::Next()
{
    if (m_taken >= m_count || m_reader.Remaining() < m_minEntrySize)
        return false;
    ++m_taken;
    return true;
}
