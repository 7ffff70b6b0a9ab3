#include "FileUtils.h"

#include "Errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <filesystem>
#include <system_error>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr QLatin1StringView kSavingMark = ".saving-"_L1;
// QTemporaryFile fills its six placeholders with letters; digits are allowed for good measure.
constexpr int kRandomLength = 6;

bool IsRandomPart(QStringView text)
{
    if (text.size() != kRandomLength)
        return false;
    for (const QChar c : text) {
        if (!(c.isDigit() || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z')))
            return false;
    }
    return true;
}

} // namespace

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
    const QFileInfo info(path);
    const QString target = info.isSymLink() ? info.symLinkTarget() : path;
    QTemporaryFile file(target + kSavingMark + u"XXXXXX"_s);
    if (!file.open())
        throw EFileError(u"Cannot create file \"%1\". %2"_s.arg(path, file.errorString()));
    const QFileInfo old(target);
    const QFile::Permissions permissions = old.exists()
                                               ? old.permissions()
                                               : QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser |
                                                     QFile::WriteUser | QFile::ReadGroup | QFile::ReadOther;
    if (file.write(data.data(), data.size()) != data.size() || !file.flush() ||
        !file.setPermissions(permissions))
        throw EFileError(u"Cannot write file \"%1\". %2"_s.arg(path, file.errorString()));
    std::error_code error;
    std::filesystem::rename(QFile::encodeName(file.fileName()).toStdString(),
                            QFile::encodeName(target).toStdString(), error);
    if (error)
        throw EFileError(
            u"Cannot write file \"%1\". %2"_s.arg(path, QString::fromStdString(error.message())));
    file.setAutoRemove(false);
}

bool IsTemporaryFileName(const QString& fileName, const QString& ownerName)
{
    const qsizetype mark = fileName.lastIndexOf(kSavingMark);
    if (mark <= 0 || !IsRandomPart(QStringView(fileName).sliced(mark + kSavingMark.size())))
        return false;
    return ownerName.isEmpty() || QStringView(fileName).first(mark) == ownerName;
}

int RemoveStaleTemporaryFiles(const QString& folder, const QStringList& ownerNames)
{
    if (folder.isEmpty())
        return 0;
    const QDir directory(folder);
    int removed = 0;
    // Links and folders are never the writer's: only plain files go.
    for (const QFileInfo& entry : directory.entryInfoList(QDir::Files | QDir::Hidden | QDir::NoSymLinks)) {
        const QString name = entry.fileName();
        bool stale = ownerNames.isEmpty() && IsTemporaryFileName(name);
        for (const QString& owner : ownerNames)
            stale = stale || IsTemporaryFileName(name, owner);
        if (stale && QFile::remove(entry.filePath()))
            ++removed;
    }
    return removed;
}

} // namespace FileUtils
