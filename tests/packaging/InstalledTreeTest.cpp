// `cmake --install` of the build into a temporary prefix, checked file by file, with the
// freedesktop and systemd validators, and the installed programs started from there.

#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

struct Finished
{
    bool started = false;
    int exitCode = -1;
    QString output;
};

Finished RunProgram(const QString& program, const QStringList& arguments, int timeoutMs = 60000)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    Finished result;
    result.started = process.waitForStarted(10000);
    if (result.started && !process.waitForFinished(timeoutMs))
        process.kill();
    result.output = QString::fromUtf8(process.readAll());
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return result;
}

class InstalledTree : public ::testing::Test
{
protected:
    static inline QTemporaryDir* s_prefix = nullptr;

    static void SetUpTestSuite()
    {
        s_prefix = new QTemporaryDir;
        const Finished install =
            RunProgram(QStringLiteral(MORVALEN_CMAKE_COMMAND),
                       {u"--install"_s, QStringLiteral(MORVALEN_BUILD_DIR), u"--prefix"_s, s_prefix->path()});
        ASSERT_EQ(install.exitCode, 0) << install.output.toStdString();
    }

    static void TearDownTestSuite()
    {
        delete s_prefix;
        s_prefix = nullptr;
    }

    static QString Installed(const QString& relative) { return s_prefix->filePath(relative); }
    static QString Bin(const QString& name)
    {
        return Installed(QStringLiteral(MORVALEN_TEST_BINDIR) + u'/' + name);
    }
    static QString Share(const QString& relative)
    {
        return Installed(QStringLiteral(MORVALEN_TEST_DATAROOTDIR) + u'/' + relative);
    }
    static QString DesktopEntry() { return Share(u"applications/morvalen-desktop.desktop"_s); }
    static QString Metainfo()
    {
        return Share(u"metainfo/"_s + QStringLiteral(MORVALEN_TEST_APPSTREAM_ID) + u".metainfo.xml"_s);
    }
    static QString Unit()
    {
        return Installed(QStringLiteral(MORVALEN_TEST_UNITDIR) + u"/morvalen-catalog-server.service"_s);
    }

    // The value of key in the [Desktop Entry] group.
    static QString EntryValue(const QString& key)
    {
        const QString text = QString::fromUtf8(ReadFile(DesktopEntry()));
        const QRegularExpression line(u"^"_s + QRegularExpression::escape(key) + u"=(.*)$"_s,
                                      QRegularExpression::MultilineOption);
        return line.match(text).captured(1);
    }

    // A validator the machine lacks skips the test with its name; deps.sh installs them all.
    static QString Validator(const QString& name) { return QStandardPaths::findExecutable(name); }
};

} // namespace

TEST_F(InstalledTree, HoldsThePrograms_TheirData_Icons_ManualPagesAndDocuments)
{
    // Without its engine module an installed program could open no site window.
    EXPECT_TRUE(
        QFileInfo(Installed(QStringLiteral(MORVALEN_TEST_MODULEDIR) + u"/morvalen-webengine.so"_s)).isFile());
    for (const QString& program : {u"morvalen-desktop"_s, u"morvalen-tool"_s, u"morvalen-catalog-server"_s}) {
        const QFileInfo file(Bin(program));
        EXPECT_TRUE(file.isFile() && file.isExecutable()) << program.toStdString();
        const QByteArray manual =
            ReadFile(Installed(QStringLiteral(MORVALEN_TEST_MANDIR) + u"/man1/"_s + program + u".1.gz"_s));
        // gzip, and without a stored name or time (the same bytes in every build).
        ASSERT_GE(manual.size(), 10) << program.toStdString();
        EXPECT_EQ(manual.left(3), QByteArray("\x1f\x8b\x08")) << program.toStdString();
        EXPECT_EQ(manual.mid(4, 4), QByteArray(4, '\0')) << program.toStdString();
    }
    EXPECT_EQ(ReadFile(Installed(QStringLiteral(MORVALEN_TEST_DATAROOTDIR) +
                                 u"/morvalen-desktop/catalog/catalog.json"_s)),
              ReadFile(QStringLiteral(MORVALEN_SOURCE_DIR) + u"/server/catalog/catalog.json"_s));

    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QString path = Share(u"icons/hicolor/%1x%1/apps/morvalen-desktop.png"_s.arg(size));
        const QImage icon(path);
        ASSERT_FALSE(icon.isNull()) << path.toStdString();
        EXPECT_EQ(icon.size(), QSize(size, size)) << path.toStdString();
        // Drawn, with a transparent margin and an opaque middle.
        EXPECT_TRUE(icon.hasAlphaChannel());
        EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0) << path.toStdString();
        EXPECT_EQ(qAlpha(icon.pixel(size / 2, size / 2)), 255) << path.toStdString();
    }

    EXPECT_TRUE(QFileInfo(DesktopEntry()).isFile());
    EXPECT_TRUE(QFileInfo(Metainfo()).isFile());
    EXPECT_TRUE(QFileInfo(Unit()).isFile());
    EXPECT_TRUE(QFileInfo(Installed(QStringLiteral(MORVALEN_TEST_DOCDIR) + u"/copyright"_s)).isFile());
    EXPECT_TRUE(QFileInfo(Installed(QStringLiteral(MORVALEN_TEST_DOCDIR) + u"/changelog.gz"_s)).isFile());
}

TEST_F(InstalledTree, MenuEntryAndAppStreamDataPassTheirValidators)
{
    // The entry starts the program where this build installs it, with the installed icon.
    EXPECT_EQ(EntryValue(u"Exec"_s),
              QStringLiteral(MORVALEN_TEST_CONFIGURED_BINDIR) + u"/morvalen-desktop"_s);
    EXPECT_EQ(EntryValue(u"Icon"_s), u"morvalen-desktop"_s);
    const QString metainfo = QString::fromUtf8(ReadFile(Metainfo()));
    EXPECT_TRUE(
        metainfo.contains(u"<launchable type=\"desktop-id\">morvalen-desktop.desktop</launchable>"_s));
    EXPECT_TRUE(metainfo.contains(u"<release version=\"%1\""_s.arg(QStringLiteral(MORVALEN_TEST_VERSION))));

    const QString desktopValidator = Validator(u"desktop-file-validate"_s);
    const QString appstreamValidator = Validator(u"appstreamcli"_s);
    if (desktopValidator.isEmpty() || appstreamValidator.isEmpty())
        GTEST_SKIP()
            << "desktop-file-validate (desktop-file-utils) or appstreamcli (appstream) is not installed";
    const Finished entry = RunProgram(desktopValidator, {DesktopEntry()});
    EXPECT_EQ(entry.exitCode, 0) << entry.output.toStdString();
    // desktop-file-validate reports hints with a zero exit status; the entry has none.
    EXPECT_EQ(entry.output, QString()) << entry.output.toStdString();
    const Finished appstream =
        RunProgram(appstreamValidator, {u"validate"_s, u"--no-net"_s, u"--pedantic"_s, Metainfo()});
    EXPECT_EQ(appstream.exitCode, 0) << appstream.output.toStdString();
}

TEST_F(InstalledTree, ServiceUnitVerifies)
{
    const QString unit = QString::fromUtf8(ReadFile(Unit()));
    EXPECT_TRUE(unit.contains(u"\nExecStart="_s + QStringLiteral(MORVALEN_TEST_CONFIGURED_BINDIR) +
                              u"/morvalen-catalog-server --catalog "_s +
                              QStringLiteral(MORVALEN_TEST_CONFIGURED_DATADIR) + u"/catalog "_s));
    for (const QString& setting : {u"DynamicUser=yes"_s, u"StateDirectory=morvalen-catalog-server"_s,
                                   u"ProtectSystem=strict"_s, u"NoNewPrivileges=yes"_s})
        EXPECT_TRUE(unit.contains(u'\n' + setting + u'\n')) << setting.toStdString();

    const QString analyzer = Validator(u"systemd-analyze"_s);
    if (analyzer.isEmpty())
        GTEST_SKIP() << "systemd-analyze (systemd) is not installed";
    // The unit as it reads in this prefix: its program where this install put it.
    QTemporaryDir folder;
    const QString copy = folder.filePath(u"morvalen-catalog-server.service"_s);
    WriteFile(copy, QString(unit)
                        .replace(QStringLiteral(MORVALEN_TEST_CONFIGURED_BINDIR) + u'/',
                                 QFileInfo(Bin(u"x"_s)).path() + u'/')
                        .toUtf8());
    const Finished verify = RunProgram(analyzer, {u"verify"_s, u"--man=no"_s, copy});
    EXPECT_EQ(verify.exitCode, 0) << verify.output.toStdString();
    // A misspelt setting is only a message (and the hardening it names silently missing).
    EXPECT_EQ(verify.output, QString()) << verify.output.toStdString();
}

TEST_F(InstalledTree, InstalledProgramsRunAndTheServerFindsItsSampleCatalog)
{
    const Finished version = RunProgram(Bin(u"morvalen-desktop"_s), {u"--version"_s});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.output, u"Morvalen Desktop %1\n"_s.arg(QStringLiteral(MORVALEN_TEST_VERSION)));

    // Started without --catalog, the installed server loads the catalog installed beside it
    // (this prefix is not the configured one, so only the layout finds it).
    ASSERT_FALSE(
        QFileInfo::exists(QStringLiteral(MORVALEN_TEST_CONFIGURED_DATADIR) + u"/catalog/catalog.json"_s))
        << "a catalog is installed at the configured prefix; the lookup beside the program cannot be told "
           "apart";
    QProcess server;
    server.setProcessChannelMode(QProcess::MergedChannels);
    server.start(Bin(u"morvalen-catalog-server"_s), {u"--port"_s, u"0"_s, u"--db"_s, u":memory:"_s});
    ASSERT_TRUE(server.waitForStarted(10000));
    QByteArray output;
    EXPECT_TRUE(WaitUntil(
        [&] {
            server.waitForReadyRead(50);
            output += server.readAll();
            return output.contains("Listening on http://127.0.0.1:") ||
                   server.state() == QProcess::NotRunning;
        },
        60000));
    EXPECT_TRUE(output.contains("Listening on http://127.0.0.1:")) << output.toStdString();
    server.terminate();
    EXPECT_TRUE(server.waitForFinished(20000));

    // Without it, the server says what it misses instead of starting empty.
    ASSERT_TRUE(QFile::remove(
        Installed(QStringLiteral(MORVALEN_TEST_DATAROOTDIR) + u"/morvalen-desktop/catalog/catalog.json"_s)));
    const Finished refused =
        RunProgram(Bin(u"morvalen-catalog-server"_s), {u"--port"_s, u"0"_s, u"--db"_s, u":memory:"_s});
    EXPECT_NE(refused.exitCode, 0);
    EXPECT_TRUE(refused.output.contains(u"--catalog DIR is required"_s)) << refused.output.toStdString();
}
