#include "platform/FileManager.h"

#include "support/DesktopHandler.h"
#include "support/TestNotificationService.h"
#include "support/TestSupport.h"

#include <QDBusConnection>
#include <QObject>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// The desktop's file manager on the test's bus: what it was asked to show.
class TestFileManager final : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")

public:
    QStringList Shown;

public slots:
    void ShowItems(const QStringList& uris, const QString&) { Shown += uris; }
};

} // namespace

TEST(FileManager, ShowsTheFileInItsFolderAndOpensTheFolderWhereNoFileManagerAnswers)
{
    TestNotificationService bus(false);
    if (!bus.Running())
        GTEST_SKIP() << "dbus-daemon is not installed";
    QTemporaryDir folder;
    const QString file = folder.filePath(u"report (1).pdf"_s);
    DesktopHandler opener(u"file"_s);

    // No file manager on the bus: the folder opens instead, and nothing is left waiting.
    const QDBusConnection client = bus.ClientConnection();
    FileManager::ShowInFolder(file, client.name());
    ASSERT_TRUE(WaitUntil([&] { return !opener.Opened.isEmpty(); }));
    EXPECT_EQ(opener.Opened, QList<QUrl>{QUrl::fromLocalFile(folder.path())});

    TestFileManager manager;
    QDBusConnection service = QDBusConnection::connectToBus(bus.Address(), u"test-file-manager"_s);
    ASSERT_TRUE(service.registerObject(u"/org/freedesktop/FileManager1"_s, &manager,
                                       QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(service.registerService(u"org.freedesktop.FileManager1"_s));
    opener.Opened.clear();
    FileManager::ShowInFolder(file, client.name());
    ASSERT_TRUE(WaitUntil([&] { return !manager.Shown.isEmpty(); }));
    // The file's address, with the space and parentheses of a free name encoded.
    EXPECT_EQ(manager.Shown, QStringList{QUrl::fromLocalFile(file).toString(QUrl::FullyEncoded)});
    EXPECT_TRUE(manager.Shown.constFirst().contains(u"report%20(1).pdf"_s))
        << manager.Shown.constFirst().toStdString();
    ProcessEventsFor(200);
    EXPECT_TRUE(opener.Opened.isEmpty());
    QDBusConnection::disconnectFromBus(u"test-file-manager"_s);
}

#include "FileManagerTest.moc"
