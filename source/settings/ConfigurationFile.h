#pragma once

#include <QString>

#include <cstdint>

class TApplicationsSettings;

// MorvalenDesktop.cfg: the 30-byte settings block, then the one-byte view block (the
// arrange mode of the installed sites).
namespace ConfigurationFile {

// Reads the file into the settings and returns the arrange mode (0 when the file ends
// before it). False when the file does not exist or cannot be read; the settings keep
// their defaults then.
bool Load(const QString& path, TApplicationsSettings& settings, uint8_t& arrangeMode);

QByteArray Serialize(const TApplicationsSettings& settings, uint8_t arrangeMode);
// Replaces the file atomically; throws EFileError when it cannot be written.
void Save(const QString& path, const TApplicationsSettings& settings, uint8_t arrangeMode);

} // namespace ConfigurationFile
