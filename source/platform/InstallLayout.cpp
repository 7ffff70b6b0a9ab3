#include "InstallLayout.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::Literals::StringLiterals;

namespace InstallLayout {

namespace {

// The configured install folders, absolute (CMake's GNUInstallDirs).
const QString kBinFolder = QStringLiteral(MORVALEN_INSTALL_FULL_BINDIR);
const QString kHelperFolder = QStringLiteral(MORVALEN_INSTALL_FULL_HELPERDIR);
const QString kModuleFolder = QStringLiteral(MORVALEN_INSTALL_FULL_MODULEDIR);
const QString kDataFolder = QStringLiteral(MORVALEN_INSTALL_FULL_DATADIR);

// folder as seen from programFolder, when the install is where the program is.
QString BesideProgram(const QString& programFolder, const QString& folder)
{
    const QString relative = QDir(kBinFolder).relativeFilePath(folder);
    return QDir::cleanPath(QDir(programFolder).absoluteFilePath(relative));
}

} // namespace

QString HelperFolder(const QString& programFolder)
{
    return BesideProgram(programFolder, kHelperFolder);
}

QString ConfiguredHelperFolder()
{
    return QDir::cleanPath(kHelperFolder);
}

QString ModuleFolder(const QString& programFolder)
{
    return BesideProgram(programFolder, kModuleFolder);
}

QString ConfiguredModuleFolder()
{
    return QDir::cleanPath(kModuleFolder);
}

QString DataFolder(const QString& programFolder)
{
    return BesideProgram(programFolder, kDataFolder);
}

QString SampleCatalogFolder(const QString& programFolder)
{
    for (const QString& data : {DataFolder(programFolder), QDir::cleanPath(kDataFolder)}) {
        const QString folder = data + u"/catalog"_s;
        if (QFileInfo(folder + u"/catalog.json"_s).isFile())
            return folder;
    }
    return {};
}

} // namespace InstallLayout
