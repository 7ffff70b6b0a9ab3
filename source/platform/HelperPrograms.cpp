#include "HelperPrograms.h"

#include "InstallLayout.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace HelperPrograms {

QString Find(const QString& name, const QString& programFolder)
{
    // A name with a folder in it would let a caller's text pick any program on the disk.
    if (name.isEmpty() || name.contains(u'/') || name == u"." || name == u"..")
        return {};
    const QString folders[] = {programFolder, InstallLayout::HelperFolder(programFolder),
                               InstallLayout::ConfiguredHelperFolder()};
    for (const QString& folder : folders) {
        if (folder.isEmpty())
            continue;
        const QFileInfo candidate(QDir(folder).filePath(name));
        if (candidate.isFile() && candidate.isExecutable())
            return QDir::cleanPath(candidate.absoluteFilePath());
    }
    return {};
}

QString Find(const QString& name)
{
    return Find(name, QCoreApplication::applicationDirPath());
}

} // namespace HelperPrograms
