#pragma once

#include <QString>

// The program's helper programs (other processes it starts, such as the second engine's
// host), found where a build tree or a portable copy keeps them, or where an install put them.
namespace HelperPrograms {

// The path of the helper program called name: beside the program in programFolder when it is
// there, else in the install's helper folder (InstallLayout::HelperFolder, then the configured
// one). Empty when none of them holds an executable file of that name.
QString Find(const QString& name, const QString& programFolder);

// The same for the running program.
QString Find(const QString& name);

} // namespace HelperPrograms
