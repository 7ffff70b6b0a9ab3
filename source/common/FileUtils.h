#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace FileUtils {

// The whole file, or nothing when it does not exist or cannot be read.
std::optional<QByteArray> ReadWholeFile(const QString& path);

// Replaces the file in one step: the bytes go to a temporary file in the same folder,
// which is then renamed over the old one, so a crash or a full disk never leaves a
// half-written file. Throws EFileError when the file cannot be written.
void WriteFileAtomically(const QString& path, QByteArrayView data);

} // namespace FileUtils
