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
    const QFileInfo program(programFolder);
    if (!programFolder.isEmpty() && program.isDir() && program.isWritable())
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
