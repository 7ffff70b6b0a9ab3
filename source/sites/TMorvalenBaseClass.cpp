#include "TMorvalenBaseClass.h"

#include "common/BinaryStream.h"
#include "common/Errors.h"

#include <QRandomGenerator>

using namespace Qt::Literals::StringLiterals;

TMorvalenBaseClass::TMorvalenBaseClass() : TMorvalenBaseClass(WithoutElementId{})
{
    m_elementId = NewElementId();
}

TMorvalenBaseClass::TMorvalenBaseClass(WithoutElementId) : m_url(u"http://"_s) {}

QString TMorvalenBaseClass::NewElementId()
{
    static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
    // 20 digits of 4 bits each, from one draw of the system's random source.
    std::array<quint32, 3> bits;
    QRandomGenerator::system()->fillRange(bits.data(), bits.size());
    QString id(20, Qt::Uninitialized);
    for (int i = 0; i < 20; ++i)
        id[i] = QChar(kDigits[(bits[i / 8] >> (4 * (i % 8))) & 0xF]);
    return id;
}

void TMorvalenBaseClass::SetRunCount(int32_t value)
{
    if (value > 0)
        m_runCount = value;
}

void TMorvalenBaseClass::SetWindowPlacement(int32_t left, int32_t top, int32_t width, int32_t height,
                                            uint8_t windowState)
{
    m_windowPlacement = {left, top, width, height, windowState};
    Changed();
}

void TMorvalenBaseClass::Changed()
{
    if (OnChange)
        OnChange(*this);
}

std::unique_ptr<TMorvalenBaseClass> TMorvalenBaseClass::FromStream(BinaryReader& reader)
{
    const int64_t size = reader.ReadInt64();
    const int32_t checkSum = reader.ReadInteger();
    if (size < 0 || size > reader.Remaining()) {
        reader.SetPosition(reader.Size());
        throw EStreamReadError();
    }
    const QByteArrayView payload = reader.ReadBytes(qsizetype(size));
    if (StreamCheckSum(payload) != checkSum)
        throw EMorvalenError(u"Invalid check sum detected!"_s);

    // The identifier comes from the payload: no need to draw one first.
    std::unique_ptr<TMorvalenBaseClass> record(new TMorvalenBaseClass(WithoutElementId{}));
    BinaryReader payloadReader(payload);
    record->ReadPayload(payloadReader);
    return record;
}

void TMorvalenBaseClass::LoadFromStream(BinaryReader& reader)
{
    // Read into a fresh record first, so a record that fails changes nothing here.
    std::unique_ptr<TMorvalenBaseClass> loaded = FromStream(reader);
    m_title = std::move(loaded->m_title);
    m_url = std::move(loaded->m_url);
    m_description = std::move(loaded->m_description);
    m_browserEngine = loaded->m_browserEngine;
    m_favIconFileName = std::move(loaded->m_favIconFileName);
    m_runAsTrayIcon = loaded->m_runAsTrayIcon;
    m_thumbnailScreenSize = loaded->m_thumbnailScreenSize;
    m_windowPlacement = loaded->m_windowPlacement;
    m_elementId = std::move(loaded->m_elementId);
    m_runCount = loaded->m_runCount;
    m_tabURLs = std::move(loaded->m_tabURLs);
    m_userRating = loaded->m_userRating;
    m_canRate = loaded->m_canRate;
    m_catalogId = loaded->m_catalogId;
    m_monitorChanges = loaded->m_monitorChanges;
    m_monitorInterval = loaded->m_monitorInterval;
}

void TMorvalenBaseClass::ReadPayload(BinaryReader& payload)
{
    m_title = payload.ReadWideString();
    m_url = payload.ReadWideString();
    m_description = payload.ReadWideString();
    m_browserEngine = payload.ReadByte();
    m_favIconFileName = payload.ReadAnsiString();
    m_runAsTrayIcon = payload.ReadBoolean();
    m_thumbnailScreenSize = payload.ReadByte();
    m_windowPlacement.Left = payload.ReadInteger();
    m_windowPlacement.Top = payload.ReadInteger();
    m_windowPlacement.Width = payload.ReadInteger();
    m_windowPlacement.Height = payload.ReadInteger();
    m_windowPlacement.WindowState = payload.ReadByte();
    payload.Skip(3);
    m_elementId = payload.ReadAnsiString();
    m_runCount = payload.ReadInteger();
    m_tabURLs = payload.ReadWideStringList();
    m_tabURLs.removeAll(QString());
    m_userRating = payload.ReadSingle();
    m_canRate = payload.ReadBoolean();
    m_catalogId = payload.ReadInteger();
    m_monitorChanges = payload.ReadBoolean();
    m_monitorInterval = payload.ReadByte();
}

void TMorvalenBaseClass::WritePayload(BinaryWriter& payload) const
{
    payload.WriteWideString(m_title);
    payload.WriteWideString(m_url);
    payload.WriteWideString(m_description);
    payload.WriteByte(m_browserEngine);
    payload.WriteAnsiString(m_favIconFileName);
    payload.WriteBoolean(m_runAsTrayIcon);
    payload.WriteByte(m_thumbnailScreenSize);
    payload.WriteInteger(m_windowPlacement.Left);
    payload.WriteInteger(m_windowPlacement.Top);
    payload.WriteInteger(m_windowPlacement.Width);
    payload.WriteInteger(m_windowPlacement.Height);
    payload.WriteByte(m_windowPlacement.WindowState);
    payload.WriteBytes(QByteArrayView("\0\0\0", 3));
    payload.WriteAnsiString(m_elementId);
    payload.WriteInteger(m_runCount);
    payload.WriteWideStringList(m_tabURLs);
    payload.WriteSingle(m_userRating);
    payload.WriteBoolean(m_canRate);
    payload.WriteInteger(m_catalogId);
    payload.WriteBoolean(m_monitorChanges);
    payload.WriteByte(m_monitorInterval);
}

void TMorvalenBaseClass::SaveToStream(BinaryWriter& writer) const
{
    // The payload is written in place; its size and checksum are filled in afterwards.
    const qsizetype frame = writer.Size();
    writer.WriteInt64(0);
    writer.WriteInteger(0);
    WritePayload(writer);
    const qsizetype payloadStart = frame + 12;
    const qsizetype payloadSize = writer.Size() - payloadStart;
    writer.OverwriteInt64(frame, payloadSize);
    writer.OverwriteInteger(frame + 8, StreamCheckSum(QByteArrayView(writer.Data()).sliced(payloadStart)));
}

int32_t StreamCheckSum(QByteArrayView data)
{
    uint32_t sum = 0;
    for (const char byte : data)
        sum += static_cast<uint8_t>(byte);
    return static_cast<int32_t>(sum);
}

QString LaunchArgument(const TMorvalenBaseClass& record, TShortcutKind kind)
{
    QString argument = u"\"Element="_s + record.ElementId();
    if (kind == skWindowsStartup)
        argument += u" RunMinimized"_s;
    return argument + u'"';
}
