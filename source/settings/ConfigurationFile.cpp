#include "ConfigurationFile.h"

#include "TApplicationsSettings.h"
#include "common/BinaryStream.h"
#include "common/FileUtils.h"

namespace ConfigurationFile {

bool Load(const QString& path, TApplicationsSettings& settings, uint8_t& arrangeMode)
{
    const std::optional<QByteArray> data = FileUtils::ReadWholeFile(path);
    if (!data)
        return false;
    BinaryReader reader(*data);
    settings.LoadFromStream(reader);
    arrangeMode = reader.AtEnd() ? 0 : reader.ReadByte();
    return true;
}

QByteArray Serialize(const TApplicationsSettings& settings, uint8_t arrangeMode)
{
    BinaryWriter writer(TApplicationsSettings::kBlockSize + 1);
    settings.SaveToStream(writer);
    writer.WriteByte(arrangeMode);
    return writer.TakeData();
}

void Save(const QString& path, const TApplicationsSettings& settings, uint8_t arrangeMode)
{
    FileUtils::WriteFileAtomically(path, Serialize(settings, arrangeMode));
}

} // namespace ConfigurationFile
