#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

// The readers that take a file name get the fuzzer's bytes through one file in a folder of the
// harness's own, rewritten for each input.
inline QString InputFile(const uint8_t* data, size_t size)
{
    static QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("input"));
    FILE* file = std::fopen(path.toLocal8Bit().constData(), "wb");
    if (file != nullptr) {
        std::fwrite(data, 1, size, file);
        std::fclose(file);
    }
    return path;
}

inline QByteArrayView Bytes(const uint8_t* data, size_t size)
{
    return QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size));
}
