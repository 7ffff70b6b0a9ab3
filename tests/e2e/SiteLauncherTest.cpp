// A site launcher written for the running program, started by hand as the desktop starts it.

#include "ProgramUnderTest.h"
#include "platform/DesktopEntry.h"
#include "sites/TMorvalenBaseClass.h"
#include "sites/TSiteShortcuts.h"
#include "support/LauncherTestFolders.h"
#include "support/TestHttpServer.h"
#include "support/TestSupport.h"

#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

TEST(TSiteShortcuts, ALaunchersExecLineReachesTheRunningProgram)
{
    QTemporaryDir home;
    const QProcessEnvironment environment = ProgramUnderTest::Environment(home);
    // A data folder with a blank and a "%", which the Exec line must carry through.
    const QString dataFolder = home.filePath(u"my 100% sites"_s);
    const QStringList options{u"--data-folder="_s + dataFolder,
                              u"--catalog-server=http://127.0.0.1:%1"_s.arg(TestHttpServer::UnusedPort())};

    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(MORVALEN_DESKTOP_PATH), options);
    ASSERT_TRUE(program.waitForStarted(10000));
    QByteArray trace;
    const auto waitForTrace = [&](const QByteArray& text) {
        return ProgramUnderTest::WaitForTrace(program, trace, text, 30000);
    };
    ASSERT_TRUE(waitForTrace("start-up message")) << trace.toStdString();

    LauncherTestFolders folders;
    const TSiteShortcuts shortcuts(folders, QStringList{QStringLiteral(MORVALEN_DESKTOP_PATH)} + options,
                                   dataFolder + u"/FavIcons"_s);
    TMorvalenBaseClass site;
    site.SetTitle(u"Web Mail"_s);
    site.SetShortcutKinds(1 << skStartMenu);
    ASSERT_TRUE(shortcuts.CreateShortcuts(site));
    const QString path = folders.Folder(lpApplicationsMenu) + u"/Web Mail.desktop"_s;
    EXPECT_EQ(DesktopFileComplaints(path), QString());
    const std::optional<DesktopEntry> entry = DesktopEntry::Read(path);
    ASSERT_TRUE(entry.has_value());
    // As a launcher does: unquote the Exec line, then turn "%%" back into "%".
    std::optional<QStringList> command = DesktopEntry::SplitExec(entry->exec);
    ASSERT_TRUE(command.has_value() && !command->isEmpty());
    for (QString& argument : *command)
        argument.replace(u"%%"_s, u"%"_s);

    QProcess launcher;
    launcher.setProcessEnvironment(environment);
    launcher.start(command->takeFirst(), *command);
    ASSERT_TRUE(launcher.waitForFinished(30000));
    EXPECT_EQ(launcher.exitCode(), 0) << launcher.readAllStandardError().toStdString();
    EXPECT_TRUE(waitForTrace("parameter \"Element=" + site.ElementId().toLatin1() + '"'))
        << trace.toStdString();

    program.terminate();
    ASSERT_TRUE(program.waitForFinished(20000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0) << QByteArray(trace + program.readAllStandardError()).toStdString();
}
