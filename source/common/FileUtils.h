#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace FileUtils {

// The whole file, or nothing when it does not exist or cannot be read.
std::optional<QByteArray> ReadWholeFile(const QString& path);

// Replaces the file in one step: the bytes go to a temporary file "NAME.saving-XXXXXX" in the
// same folder, which is then renamed over the old one, so a crash or a full disk never leaves a
// half-written file. The old file's permissions are kept; a link is followed. Throws
// EFileError when the file cannot be written.
void WriteFileAtomically(const QString& path, QByteArrayView data);

// Whether fileName is a temporary file of WriteFileAtomically, for the file ownerName when that
// is given, else for any file.
bool IsTemporaryFileName(const QString& fileName, const QString& ownerName = {});

// Removes from folder the temporary files a save killed before its rename left behind: those of
// the named files, or every one when ownerNames is empty (for a folder that only its owner
// writes). Nothing else is touched. Returns how many were removed.
int RemoveStaleTemporaryFiles(const QString& folder, const QStringList& ownerNames = {});

} // namespace FileUtils
