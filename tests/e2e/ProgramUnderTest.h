#pragma once

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <optional>

class TMorvalenBaseClass;

// What the end-to-end tests share when they start the real program.
namespace ProgramUnderTest {

// The program's own runtime, configuration and data folders in home (made, for the owner
// only), with its traces on: on the X server display, or off-screen without one.
QProcessEnvironment Environment(const QTemporaryDir& home, const QByteArray& display = {});

// Reads the program's standard error into trace until it holds text; false when timeoutMs
// pass or the program ends first.
bool WaitForTrace(QProcess& program, QByteArray& trace, const QByteArray& text, int timeoutMs = 60000);

// The program's options for dataFolder, with a catalog server that never answers.
QStringList Options(const QString& dataFolder);
// Starts the program and waits for its main window's first show; false when it did not come.
bool Start(QProcess& program, const QProcessEnvironment& environment, const QStringList& options,
           QByteArray& trace);

// The data folder (made when missing) with a data file of one installed site, which describe
// sets up.
void SaveSite(const QString& dataFolder, const std::function<void(TMorvalenBaseClass& site)>& describe);

// xdotool on the X server display; its output, or nothing when it failed.
std::optional<QString> Xdotool(const QByteArray& display, const QStringList& arguments);
// The title of the active window on display; empty when there is none.
QString ActiveWindowName(const QByteArray& display);

} // namespace ProgramUnderTest
