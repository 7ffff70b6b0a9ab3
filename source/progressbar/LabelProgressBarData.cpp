#include "LabelProgressBarData.h"

#include "common/BinaryStream.h"
#include "common/Errors.h"
#include "pictures/ColorSteps.h"

namespace LabelProgressBarData {

namespace {

constexpr qsizetype kSectionSize = 12;
constexpr qsizetype kMaxNameBytes = 255;

void WriteSections(BinaryWriter& writer, const std::vector<GradientSection>& sections)
{
    writer.WriteInteger(int32_t(sections.size()));
    for (const GradientSection& section : sections) {
        writer.WriteInteger(section.StartColor);
        writer.WriteInteger(section.EndColor);
        writer.WriteInteger(section.Height);
    }
}

std::vector<GradientSection> ReadSections(BinaryReader& reader)
{
    const int32_t count = reader.ReadInteger();
    // The count is the data's word, not ours.
    if (count < 0 || count > reader.Remaining() / kSectionSize)
        throw EStreamReadError();
    std::vector<GradientSection> sections(static_cast<size_t>(count));
    for (GradientSection& section : sections) {
        section.StartColor = reader.ReadInteger();
        section.EndColor = reader.ReadInteger();
        section.Height = reader.ReadInteger();
    }
    return sections;
}

QByteArray ShortStringBytes(const QString& name)
{
    QByteArray bytes = name.toUtf8();
    if (bytes.size() <= kMaxNameBytes)
        return bytes;
    qsizetype end = kMaxNameBytes;
    // Step back over continuation bytes so no character is cut in half.
    while (end > 0 && (uchar(bytes.at(end)) & 0xC0) == 0x80)
        --end;
    bytes.truncate(end);
    return bytes;
}

} // namespace

QByteArray WriteBarHeight(int32_t barHeight)
{
    BinaryWriter writer;
    writer.WriteInteger(barHeight);
    return writer.TakeData();
}

int32_t ReadBarHeight(QByteArrayView data)
{
    BinaryReader reader(data);
    return reader.ReadInteger();
}

QByteArray WriteGradientSections(const std::vector<GradientSection>& sections)
{
    BinaryWriter writer(4 + qsizetype(sections.size()) * kSectionSize);
    WriteSections(writer, sections);
    return writer.TakeData();
}

std::vector<GradientSection> ReadGradientSections(QByteArrayView data)
{
    BinaryReader reader(data);
    return ReadSections(reader);
}

QByteArray WritePressets(const std::vector<TGradientPressetRec>& pressets)
{
    BinaryWriter writer;
    writer.WriteInteger(int32_t(pressets.size()));
    for (const TGradientPressetRec& presset : pressets) {
        const QByteArray name = ShortStringBytes(presset.Name);
        writer.WriteByte(uint8_t(name.size()));
        writer.WriteBytes(name);
        WriteSections(writer, presset.Sections);
    }
    return writer.TakeData();
}

std::vector<TGradientPressetRec> ReadPressets(QByteArrayView data)
{
    BinaryReader reader(data);
    const int32_t count = reader.ReadInteger();
    // Each preset takes at least its name length and its section count.
    if (count < 0 || count > reader.Remaining() / 5)
        throw EStreamReadError();
    std::vector<TGradientPressetRec> pressets(static_cast<size_t>(count));
    for (TGradientPressetRec& presset : pressets) {
        const uint8_t length = reader.ReadByte();
        presset.Name = QString::fromUtf8(reader.ReadBytes(length));
        presset.Sections = ReadSections(reader);
    }
    return pressets;
}

std::vector<GradientSection> DefaultGradient(int barHeight, bool boldBorder, TColor baseColor)
{
    const int height = barHeight - (boldBorder ? 8 : 6);
    const int outer = (height - 1) / 2;
    return {
        {ColorSteps::Lighten(baseColor, 100), baseColor, outer},
        {baseColor, baseColor, height - 2 * outer},
        {baseColor, ColorSteps::Darken(baseColor, 100), outer},
    };
}

TLPBStoredForm MainWindowBar()
{
    return {19, {{0xF48F7E, 0xEA6550, 3}, {0xE3604B, 0xBD5F55, 7}, {0xB25C54, 0x6F3C38, 3}}, {}};
}

TLPBStoredForm BrowserWindowBar()
{
    return {17, {{0xFFD4D5, 0xFF0000, 5}, {0xFF0000, 0xFF0000, 1}, {0xFF0000, 0x2A0001, 5}}, {}};
}

TLPBStoredForm ThumbnailFormBar()
{
    return {20, {{0xFFD4D5, 0xFF0000, 6}, {0xFF0000, 0xFF0000, 2}, {0xFF0000, 0x2A0001, 6}}, {}};
}

} // namespace LabelProgressBarData
