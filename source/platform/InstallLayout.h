#pragma once

#include <QString>

// Where an installed program finds the files installed with it. The folders are compiled in
// relative to the program's own folder, so an install moved to another prefix (or unpacked
// into a temporary one) still finds them; the absolute folders of the configured prefix are
// the fallback for a program started from elsewhere.
namespace InstallLayout {

// The folder of the program's helper programs (under the install's libexec folder).
QString HelperFolder(const QString& programFolder);
// The same folder of the configured install.
QString ConfiguredHelperFolder();

// The folder of the program's own loadable modules (under the install's library folder).
QString ModuleFolder(const QString& programFolder);
// The same folder of the configured install.
QString ConfiguredModuleFolder();

// The folder of the program's read-only data (under the install's data folder).
QString DataFolder(const QString& programFolder);

// The folder of the installed sample catalog (the one that holds catalog.json), or empty
// when no install beside programFolder, nor the configured one, holds it.
QString SampleCatalogFolder(const QString& programFolder);

} // namespace InstallLayout
