#include "DataFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

using namespace Qt::Literals::StringLiterals;

namespace DataFolder {

namespace {

QString WithDelimiter(const QString& folder)
{
    QString path = QDir::cleanPath(QDir(folder).absolutePath());
    if (!path.endsWith(u'/'))
        path += u'/';
    return path;
}

} // namespace

QString Resolve(const QString& option, const QString& programFolder)
{
    if (!option.isEmpty()) {
        QDir().mkpath(option);
        return WithDelimiter(option);
    }
    // Only a copy marked portable keeps its files beside itself: a build tree is not special,
    // and deleting it must never take the user's sites with it.
    if (!programFolder.isEmpty() &&
        QFileInfo(QDir(programFolder).filePath(QString::fromUtf16(kPortableMark))).isFile())
        return WithDelimiter(programFolder);
    const QString user = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const QString folder = user + u"/MorvalenDesktop"_s;
    QDir().mkpath(folder);
    return WithDelimiter(folder);
}

void EnsureFolder(const QString& folder)
{
    QDir directory(folder);
    if (!directory.exists())
        QDir().mkdir(folder);
}

} // namespace DataFolder
