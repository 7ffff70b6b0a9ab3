#pragma once

#include <QString>

// The desktop's file manager and file handlers, for files the program saved.
namespace FileManager {

// Opens the file with the desktop's program for its type; false when none could be started.
bool OpenFile(const QString& path);

// Shows the file selected in its folder: org.freedesktop.FileManager1's ShowItems on the
// session bus (or the D-Bus connection of that name, for tests), and where no file manager
// answers there, the folder opened as the desktop opens folders. Never waits for the bus.
void ShowInFolder(const QString& path, const QString& connectionName = QString());

} // namespace FileManager
