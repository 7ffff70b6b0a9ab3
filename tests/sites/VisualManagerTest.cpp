#include "common/BinaryStream.h"
#include "common/Errors.h"
#include "sites/SitesDataFile.h"
#include "sites/TMVVisualManager.h"
#include "sites/TMVWebElement.h"
#include "sites/TMVWebElementDrag.h"
#include "sites/TMorvalenBaseClass.h"
#include "support/TestSupport.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

std::unique_ptr<TMorvalenBaseClass> Site(const QString& title, const QString& url = {}, int runs = 0)
{
    auto site = std::make_unique<TMorvalenBaseClass>();
    site->SetTitle(title);
    site->SetURL(url.isEmpty() ? u"http://%1.example/"_s.arg(title.toLower()) : url);
    site->SetRunCount(runs);
    site->SetDescription(u"About "_s + title);
    return site;
}

QByteArray DataFile(const QStringList& titles)
{
    SiteArrangement::TSiteList sites;
    for (const QString& title : titles)
        sites.push_back(Site(title));
    return SitesDataFile::Serialize(sites);
}

class TMVVisualManagerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_box.resize(600, 400);
        m_manager.SetScrollBox(&m_box);
        m_manager.OnViewChanged = [this](TMVVisualManager&) {
            ++m_viewChanges;
        };
        m_manager.OnSaveFailed = [this](TMVVisualManager&, const QString& message) {
            m_saveErrors << message;
        };
        m_manager.OnDamagedFileKept = [this](TMVVisualManager&, const QString& copy) {
            m_keptCopies << copy;
        };
    }

    QString DataPath() const { return m_folder.filePath(u"MorvalenDesktop.dat"_s); }

    QStringList Order() const
    {
        QStringList titles;
        for (const auto& item : m_manager.Items())
            titles << item->Title();
        return titles;
    }

    QStringList StoredOrder() const
    {
        QStringList titles;
        for (const auto& record : SitesDataFile::Parse(ReadFile(DataPath())).records)
            titles << record->Title();
        return titles;
    }

    TMVWebElement* Tile(const QString& title) const
    {
        for (const auto& item : m_manager.Items()) {
            if (item->Title() == title)
                return m_manager.TileOf(item.get());
        }
        return nullptr;
    }

    void AddSites(const QStringList& titles)
    {
        for (const QString& title : titles)
            m_manager.AddItem(Site(title));
    }

    QTemporaryDir m_folder;
    QScrollArea m_box;
    TMVVisualManager m_manager;
    int m_viewChanges = 0;
    QStringList m_saveErrors;
    QStringList m_keptCopies;
};

} // namespace

TEST_F(TMVVisualManagerTest, LoadsInStoredOrderWithoutLayoutOrViewChange)
{
    WriteFile(DataPath(), DataFile({u"Notes"_s, u"Atlas"_s, u"Mail"_s}));
    QStringList loaded;
    m_manager.OnItemLoaded = [&](TMVVisualManager&, TMorvalenBaseClass& record) {
        // Before its tile exists: the shortcut detection may change what the tile shows.
        EXPECT_EQ(m_manager.TileOf(&record), nullptr);
        loaded << record.Title();
    };
    m_manager.LoadFromFile(DataPath());
    EXPECT_EQ(loaded, QStringList({u"Notes"_s, u"Atlas"_s, u"Mail"_s}));
    EXPECT_EQ(Order(), loaded);
    EXPECT_EQ(m_viewChanges, 0);
    ASSERT_EQ(m_manager.Count(), 3);
    for (int i = 0; i < 3; ++i) {
        TMVWebElement* tile = m_manager.MVViewers(i);
        EXPECT_EQ(m_manager.TileOf(tile->MorvalenItem()), tile);
        EXPECT_EQ(tile->parentWidget(), m_box.widget());
    }
    EXPECT_THROW(m_manager.MVViewers(3), EMorvalenError);
    try {
        m_manager.MVViewers(-1);
    } catch (const EMorvalenError& error) {
        EXPECT_EQ(error.Message(), u"TMVVisualManager.GetMVViewers: Index out of range!"_s);
    }
    // Nothing was lost, so nothing is kept aside when saving.
    EXPECT_TRUE(m_manager.Save());
    EXPECT_TRUE(m_keptCopies.isEmpty());
}

TEST_F(TMVVisualManagerTest, ArrangeModeFromTheConfigurationSortsTheLoadedSites)
{
    WriteFile(DataPath(), DataFile({u"Notes"_s, u"Atlas"_s, u"Mail"_s}));
    m_manager.SetArrangeMode(amByName);
    m_manager.LoadFromFile(DataPath());
    EXPECT_EQ(Order(), QStringList({u"Atlas"_s, u"Mail"_s, u"Notes"_s}));
    // Creation order stays the file's.
    EXPECT_EQ(m_manager.MVViewers(0)->MorvalenItem()->Title(), u"Notes"_s);
    EXPECT_EQ(m_viewChanges, 0);
}

TEST_F(TMVVisualManagerTest, HeaderWithCountZeroLoadsNothingAndRaisesNothing)
{
    QByteArray data("MorvalenDesktop Data. ");
    data.append(QByteArray(4, '\0'));
    WriteFile(DataPath(), data);
    int callbacks = 0;
    m_manager.OnItemLoaded = [&](TMVVisualManager&, TMorvalenBaseClass&) {
        ++callbacks;
    };
    m_manager.OnTileCreated = [&](TMVVisualManager&, TMVWebElement&) {
        ++callbacks;
    };
    m_manager.OnCountChanged = [&](TMVVisualManager&) {
        ++callbacks;
    };
    m_manager.LoadFromFile(DataPath());
    EXPECT_EQ(m_manager.Count(), 0);
    EXPECT_EQ(callbacks + m_viewChanges, 0);
    EXPECT_EQ(m_manager.FileName(), DataPath());
}

TEST_F(TMVVisualManagerTest, DamagedRecordIsSkippedAndTheFileKeptAsideBeforeTheFirstSave)
{
    QByteArray data = DataFile({u"Atlas"_s, u"Mail"_s, u"Notes"_s});
    // Spoil the second record's checksum: it follows the first record's frame.
    BinaryReader reader(data);
    reader.Skip(26);
    const qint64 firstSize = reader.ReadInt64();
    const qsizetype secondChecksum = 26 + 12 + firstSize + 8;
    data[secondChecksum] = char(data[secondChecksum] ^ 0x5A);
    WriteFile(DataPath(), data);

    m_manager.LoadFromFile(DataPath());
    EXPECT_EQ(Order(), QStringList({u"Atlas"_s, u"Notes"_s}));
    // Untouched until something changes.
    EXPECT_EQ(ReadFile(DataPath()), data);

    m_manager.AddItem(Site(u"Zoo"_s));
    ASSERT_EQ(m_keptCopies.size(), 1);
    EXPECT_TRUE(m_keptCopies[0].startsWith(DataPath() + u".damaged-"_s));
    EXPECT_EQ(ReadFile(m_keptCopies[0]), data);
    EXPECT_EQ(StoredOrder(), QStringList({u"Atlas"_s, u"Notes"_s, u"Zoo"_s}));
    // Kept once: later saves overwrite only the data file.
    m_manager.RemoveTile(Tile(u"Zoo"_s));
    EXPECT_EQ(m_keptCopies.size(), 1);
    EXPECT_EQ(QDir(m_folder.path()).entryList({u"*.damaged-*"_s}).size(), 1);
}

TEST_F(TMVVisualManagerTest, WrongHeaderLoadsNothingButLosesNothing)
{
    const QByteArray data = "MorvalenDesktop Data? and then some sites";
    WriteFile(DataPath(), data);
    m_manager.LoadFromFile(DataPath());
    EXPECT_EQ(m_manager.Count(), 0);
    m_manager.AddItem(Site(u"Mail"_s));
    ASSERT_EQ(m_keptCopies.size(), 1);
    EXPECT_EQ(ReadFile(m_keptCopies[0]), data);
    EXPECT_EQ(StoredOrder(), QStringList({u"Mail"_s}));
}

TEST_F(TMVVisualManagerTest, FailedSaveIsReportedOnceKeepsTheSitesAndIsRetried)
{
    // A file where the data file's folder should be: no save can create it.
    const QString folder = m_folder.filePath(u"data"_s);
    WriteFile(folder, "not a folder");
    const QString path = folder + u"/MorvalenDesktop.dat"_s;
    m_manager.LoadFromFile(path);
    m_manager.AddItem(Site(u"Atlas"_s));
    m_manager.AddItem(Site(u"Mail"_s));
    EXPECT_TRUE(m_manager.LastSaveFailed());
    EXPECT_EQ(m_saveErrors.size(), 1);
    EXPECT_EQ(m_manager.Count(), 2);

    QFile::remove(folder);
    QDir().mkpath(folder);
    m_manager.MoveItem(Tile(u"Atlas"_s), Tile(u"Mail"_s));
    EXPECT_FALSE(m_manager.LastSaveFailed());
    EXPECT_EQ(SitesDataFile::Parse(ReadFile(path)).records.size(), 2u);
    // A new failure is reported again.
    QDir(folder).removeRecursively();
    WriteFile(folder, "not a folder");
    m_manager.RemoveTile(Tile(u"Atlas"_s));
    EXPECT_EQ(m_saveErrors.size(), 2);
}

TEST_F(TMVVisualManagerTest, DraggingTilesOntoTilesReordersAndSaves)
{
    m_manager.LoadFromFile(DataPath());
    AddSites({u"1"_s, u"2"_s, u"3"_s, u"4"_s});
    m_viewChanges = 0;

    // A left-button drop moves: the first onto the third.
    TMVWebElement* third = Tile(u"3"_s);
    TMVWebElementDrag first(Tile(u"1"_s));
    bool accept = true;
    third->OnDragOver(*third, first, QPoint(5, 5), accept);
    EXPECT_TRUE(accept);
    third->OnDragDrop(*third, first, QPoint(5, 5), Qt::NoModifier);
    EXPECT_EQ(Order(), QStringList({u"2"_s, u"3"_s, u"1"_s, u"4"_s}));
    EXPECT_EQ(StoredOrder(), Order());
    // The fourth onto the second (backwards: lands before it).
    m_manager.MoveItem(Tile(u"2"_s), Tile(u"4"_s));
    EXPECT_EQ(Order(), QStringList({u"4"_s, u"2"_s, u"3"_s, u"1"_s}));

    // With Ctrl the two exchange places.
    TMVWebElement* last = Tile(u"1"_s);
    TMVWebElementDrag fromFirst(Tile(u"4"_s));
    last->OnDragDrop(*last, fromFirst, QPoint(5, 5), Qt::ControlModifier);
    EXPECT_EQ(Order(), QStringList({u"1"_s, u"2"_s, u"3"_s, u"4"_s}));
    EXPECT_EQ(StoredOrder(), Order());
    EXPECT_EQ(m_viewChanges, 3);
    // And the tiles stand where the new order puts them.
    EXPECT_LT(Tile(u"1"_s)->x(), Tile(u"2"_s)->x());

    // A tile is not dropped on itself.
    TMVWebElementDrag itself(last);
    Tile(u"1"_s)->OnDragOver(*Tile(u"1"_s), itself, QPoint(), accept);
    EXPECT_FALSE(accept);
}

TEST_F(TMVVisualManagerTest, RightButtonDropOffersTheMenuAndMovesOnlyWhenAsked)
{
    QMenu dropMenu;
    m_manager.SetDropMenu(&dropMenu);
    AddSites({u"1"_s, u"2"_s, u"3"_s});
    TMVWebElement* target = Tile(u"3"_s);
    TMVWebElementDrag drag(Tile(u"1"_s));
    drag.SetRightButtonReleased(true);
    target->OnDragDrop(*target, drag, QPoint(5, 5), Qt::NoModifier);
    EXPECT_EQ(Order(), QStringList({u"1"_s, u"2"_s, u"3"_s}));
    EXPECT_EQ(m_manager.DropTarget(), target);
    ASSERT_TRUE(WaitUntil([&] { return dropMenu.isVisible(); }));
    dropMenu.hide();
    m_manager.DropExchange();
    EXPECT_EQ(Order(), QStringList({u"3"_s, u"2"_s, u"1"_s}));
    EXPECT_EQ(m_manager.DropTarget(), nullptr);
    // Nothing pending: the menu's items do nothing.
    m_manager.DropMove();
    EXPECT_EQ(Order(), QStringList({u"3"_s, u"2"_s, u"1"_s}));

    target->OnDragDrop(*Tile(u"2"_s), drag, QPoint(5, 5), Qt::NoModifier);
    m_manager.CancelDrop();
    m_manager.DropMove();
    EXPECT_EQ(Order(), QStringList({u"3"_s, u"2"_s, u"1"_s}));
}

TEST_F(TMVVisualManagerTest, MovingInPopularityOrderSwitchesToManualOnce)
{
    m_manager.AddItem(Site(u"a"_s, {}, 5));
    m_manager.AddItem(Site(u"b"_s, {}, 3));
    m_manager.Arrange(amByPopularity);
    m_viewChanges = 0;
    // A run does not reorder until the next arrange.
    Tile(u"b"_s)->MorvalenItem()->SetRunCount(9);
    m_manager.AddItem(Site(u"c"_s, {}, 1));
    EXPECT_EQ(Order(), QStringList({u"b"_s, u"a"_s, u"c"_s}));

    m_manager.MoveItem(Tile(u"b"_s), Tile(u"c"_s));
    EXPECT_EQ(m_manager.ArrangeMode(), amManual);
    EXPECT_EQ(m_viewChanges, 1);
    EXPECT_EQ(Order(), QStringList({u"c"_s, u"b"_s, u"a"_s}));
}

TEST_F(TMVVisualManagerTest, FindsSitesByAddressElementIdAndTitle)
{
    m_box.show();
    QApplication::setActiveWindow(&m_box);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&m_box));
    m_manager.AddItem(Site(u"Secure"_s, u"https://secure.example.com"_s));
    m_manager.AddItem(Site(u"Mail"_s, u" HTTP://Mail.Example.com/ "_s));
    m_manager.AddItem(Site(u"Maps"_s, u"http://maps.example.com"_s));
    EXPECT_EQ(m_manager.FindByURL(u"mail.example.com"_s), Tile(u"Mail"_s));
    EXPECT_EQ(m_manager.FindByURL(u"http://MAIL.example.com/"_s), Tile(u"Mail"_s));
    EXPECT_EQ(m_manager.FindByURL(u"http://secure.example.com"_s), nullptr);
    EXPECT_EQ(m_manager.FindByURL(u"https://secure.example.com/"_s), Tile(u"Secure"_s));
    EXPECT_EQ(m_manager.FindByURL(u""_s), nullptr);

    const QString id = Tile(u"Maps"_s)->MorvalenItem()->ElementId();
    EXPECT_EQ(m_manager.FindByElementId(id.toLower()), Tile(u"Maps"_s));
    EXPECT_EQ(m_manager.FindByElementId(u"0123456789abcdef0123"_s), nullptr);

    EXPECT_TRUE(m_manager.FocusByTitle(u"ma"_s));
    EXPECT_EQ(m_manager.FocusedTile(), Tile(u"Mail"_s));
    EXPECT_TRUE(m_manager.FocusByTitle(u"map"_s));
    EXPECT_EQ(m_manager.FocusedTile(), Tile(u"Maps"_s));
    EXPECT_FALSE(m_manager.FocusByTitle(u"x"_s));
    EXPECT_EQ(m_manager.FocusedTile(), Tile(u"Maps"_s));
}

TEST_F(TMVVisualManagerTest, ResizeLaysOutAgainAndKeepsTheFocusedTileInView)
{
    m_box.resize(320, 300);
    m_box.show();
    QApplication::setActiveWindow(&m_box);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&m_box));
    for (int i = 0; i < 12; ++i)
        m_manager.AddItem(Site(u"Site %1"_s.arg(i, 2, 10, QChar(u'0'))));
    // One 280-pixel tile per row.
    EXPECT_EQ(Tile(u"Site 01"_s)->pos(), QPoint(10, 120));
    TMVWebElement* last = Tile(u"Site 11"_s);
    last->setFocus();

    m_box.resize(1000, 300);
    ASSERT_TRUE(WaitUntil([&] { return Tile(u"Site 01"_s)->pos() == QPoint(300, 20); }));
    EXPECT_EQ(Tile(u"Site 03"_s)->pos(), QPoint(10, 120));
    // The focused tile is within the visible part of the box.
    const QRect visible(QPoint(0, m_box.verticalScrollBar()->value()), m_box.viewport()->size());
    EXPECT_TRUE(visible.contains(last->geometry())) << visible.y();
}

TEST_F(TMVVisualManagerTest, TilesNameTheirSitesForAssistiveTechnology)
{
    AddSites({u"Mail"_s});
    TMVWebElement* tile = Tile(u"Mail"_s);
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(tile);
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->text(QAccessible::Name), u"Mail"_s);
    EXPECT_EQ(accessible->text(QAccessible::Description), u"About Mail"_s);
    tile->MorvalenItem()->SetTitle(u"Post"_s);
    m_manager.TileChanged(*tile);
    EXPECT_EQ(accessible->text(QAccessible::Name), u"Post"_s);
}
