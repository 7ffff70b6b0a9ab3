#include "FileUtils.h"

#include "Errors.h"

#include <QFile>
#include <QSaveFile>

namespace FileUtils {

std::optional<QByteArray> ReadWholeFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return data;
}

void WriteFileAtomically(const QString& path, QByteArrayView data)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw EFileError(QStringLiteral("Cannot create file \"%1\". %2").arg(path, file.errorString()));
    if (file.write(data.data(), data.size()) != data.size() || !file.commit())
        throw EFileError(QStringLiteral("Cannot write file \"%1\". %2").arg(path, file.errorString()));
}

} // namespace FileUtils
