#include "CatalogViewsFixture.h"

#include "catalog/CatalogAddresses.h"
#include "catalog/TWebApplicationClass.h"
#include "catalogviews/TCatalogListModel.h"
#include "catalogviews/TCatalogListView.h"
#include "catalogviews/TfrSearchResultFrame.h"
#include "server/TestCatalog.h"

#include <QLineEdit>
#include <QTest>
#include <QToolButton>

using namespace Qt::Literals::StringLiterals;

namespace {

class CatalogSearchTest : public CatalogViewsTest
{
protected:
    void SetUp() override
    {
        CatalogViewsTest::SetUp();
        MakeViews();
        // Results are read like every catalog list: an application counts only in a
        // category the tree knows.
        RefreshAndWait();
    }

    // Searches and waits for the answer.
    TSearchResultRec& SearchAndWait(const QString& text)
    {
        m_search->Search(text);
        TSearchResultRec* record = nullptr;
        for (const auto& candidate : m_search->Records()) {
            if (candidate->Text == text)
                record = candidate.get();
        }
        EXPECT_NE(record, nullptr);
        EXPECT_TRUE(WaitUntil([record] { return record->Count >= 0; }));
        return *record;
    }

    QString TabText(const TSearchResultRec& record) const
    {
        return m_pages->tabText(m_pages->indexOf(record.Sheet));
    }
};

TEST_F(CatalogSearchTest, ASearchOpensATabThatShowsTheAnswer)
{
    const int before = m_pages->count();
    m_search->Search(u"mail"_s);
    ASSERT_EQ(m_pages->count(), before + 1);
    const TSearchResultRec& record = *m_search->Records().front();
    EXPECT_EQ(m_pages->currentWidget(), record.Sheet);
    EXPECT_EQ(TabText(record), u"Searching: mail"_s);
    EXPECT_EQ(record.Frame->Title(),
              u"Searching for Web 2.0 sites containing <color clBlue><b>mail</b></color>. Please wait..."_s);
    EXPECT_EQ(record.Count, -1);
    EXPECT_FALSE(record.Frame->List().isVisibleTo(record.Frame));

    ASSERT_TRUE(WaitUntil([&] { return record.Count >= 0; }));
    ASSERT_GT(record.Count, 0);
    EXPECT_EQ(TabText(record), u"Search: mail - %1"_s.arg(record.Count));
    EXPECT_EQ(
        record.Frame->Title(),
        u"Search results for <color clBlue><b>mail</b></color>. Results: <b>%1</b>."_s.arg(record.Count));
    EXPECT_TRUE(record.Frame->List().isVisibleTo(record.Frame));
    const auto& rows = record.Frame->List().Model().Applications();
    ASSERT_EQ(int(rows.size()), record.Count);
    EXPECT_EQ(record.Frame->List().Model().columnCount(), 5);
    for (size_t i = 1; i < rows.size(); ++i)
        EXPECT_GE(std::trunc(rows[i - 1]->DateAdded()), std::trunc(rows[i]->DateAdded()));

    // The focused result is what the catalog actions act on.
    record.Frame->List().FocusApplication(rows.front());
    EXPECT_EQ(m_views->FocusedApplication(), rows.front());
    m_views->VisitFocused();
    ASSERT_EQ(m_window.opened.size(), 1u);
    EXPECT_EQ(m_window.opened[0].title, rows.front()->Title());
}

TEST_F(CatalogSearchTest, TheSameTextAgainActivatesItsTab)
{
    TSearchResultRec& first = SearchAndWait(u"photo"_s);
    const int pages = m_pages->count();
    m_pages->setCurrentIndex(0);
    m_search->Search(u"photo"_s);
    EXPECT_EQ(m_pages->count(), pages);
    EXPECT_EQ(m_pages->currentWidget(), first.Sheet);
    EXPECT_EQ(m_search->Records().size(), 1u);
}

TEST_F(CatalogSearchTest, ANothingFoundTabIsReusedByTheNextSearch)
{
    TSearchResultRec& empty = SearchAndWait(u"zzqxv nothing"_s);
    EXPECT_EQ(empty.Count, 0);
    EXPECT_EQ(TabText(empty), u"Search: zzqxv nothing - not found"_s);
    EXPECT_EQ(empty.Frame->Title(), u"Nothing found for <color clRed>zzqxv nothing</color>."_s);
    QWidget* sheet = empty.Sheet;
    const int pages = m_pages->count();

    m_search->Search(u"mail"_s);
    EXPECT_EQ(m_pages->count(), pages);
    EXPECT_EQ(m_search->Records().size(), 1u);
    EXPECT_EQ(m_search->Records().front()->Sheet, sheet);
    EXPECT_EQ(TabText(*m_search->Records().front()), u"Searching: mail"_s);
    ASSERT_TRUE(WaitUntil([&] { return m_search->Records().front()->Count > 0; }));

    // A search that found something keeps its tab: the next one opens another.
    m_search->Search(u"photo"_s);
    EXPECT_EQ(m_pages->count(), pages + 1);
}

TEST_F(CatalogSearchTest, BlanksQuotesAndAnyLetterReachTheServer)
{
    // A catalog with "Café Mail" (number 3), which only the accented word finds.
    ASSERT_TRUE(m_server->Stop());
    WriteFile(m_dir.filePath(u"catalog.json"_s), kTestCatalog);
    StartServer(m_dir.path());
    MakeViews();
    RefreshAndWait();

    TSearchResultRec& accented = SearchAndWait(u"café"_s);
    ASSERT_EQ(accented.Count, 1);
    EXPECT_EQ(accented.Frame->List().Model().Application(0)->ID(), 3);
    EXPECT_EQ(TabText(accented), u"Search: café - 1"_s);

    TSearchResultRec& words = SearchAndWait(u"café's calm"_s);
    EXPECT_EQ(words.Count, 1);
    // Quotes inside the text separate words on the server, as blanks do.
    TSearchResultRec& quoted = SearchAndWait(u"\"café's\" calm"_s);
    ASSERT_EQ(quoted.Count, 1);
    EXPECT_EQ(quoted.Frame->List().Model().Application(0)->ID(), 3);
    TSearchResultRec& plain = SearchAndWait(u"cafe"_s);
    EXPECT_EQ(plain.Count, 0);
}

TEST_F(CatalogSearchTest, ClosingTabsActivatesTheNeighbourAsThePageControlExpects)
{
    TSearchResultRec& a = SearchAndWait(u"mail"_s);
    TSearchResultRec& b = SearchAndWait(u"photo"_s);
    TSearchResultRec& c = SearchAndWait(u"music"_s);
    ASSERT_GT(a.Count, 0);
    ASSERT_GT(b.Count, 0);
    ASSERT_GT(c.Count, 0);
    QWidget* sheetA = a.Sheet;
    QWidget* sheetC = c.Sheet;
    const int count = m_pages->count();

    // The last tab: the one before it becomes active.
    c.Frame->CloseButton().click();
    EXPECT_EQ(m_pages->count(), count - 1);
    EXPECT_EQ(m_pages->currentWidget(), b.Sheet);
    EXPECT_EQ(m_pages->indexOf(sheetC), -1);

    // A middle tab: the tab that moves into its place.
    m_pages->setCurrentWidget(sheetA);
    a.Frame->CloseButton().click();
    EXPECT_EQ(m_pages->count(), count - 2);
    ASSERT_EQ(m_search->Records().size(), 1u);
    EXPECT_EQ(m_pages->currentWidget(), m_search->Records().front()->Sheet);
}

TEST_F(CatalogSearchTest, ATabWaitingForItsPictureStaysOpen)
{
    TSearchResultRec& record = SearchAndWait(u"mail"_s);
    ASSERT_GT(record.Count, 0);
    TWebApplicationClass* withPicture = nullptr;
    for (TWebApplicationClass* row : record.Frame->List().Model().Applications()) {
        if (!row->ThumbnailURL().isEmpty() && m_cache->GetCachedFileName(row->ThumbnailURL(), true).isEmpty())
            withPicture = row;
    }
    ASSERT_NE(withPicture, nullptr);
    record.Frame->List().FocusApplication(withPicture);
    ASSERT_EQ(record.Frame->PendingPictures(), 1);
    const int count = m_pages->count();
    m_search->CloseSearchTab(*record.Frame);
    EXPECT_EQ(m_pages->count(), count);
    ASSERT_TRUE(WaitUntil([&] { return record.Frame->PendingPictures() == 0; }));
    m_search->CloseSearchTab(*record.Frame);
    EXPECT_EQ(m_pages->count(), count - 1);
}

TEST_F(CatalogSearchTest, AnUnansweredSearchSaysSoGivesItsTabOnAndCloses)
{
    ASSERT_TRUE(m_server->Stop());
    m_search->Search(u"mail"_s);
    const TSearchResultRec& record = *m_search->Records().front();
    ASSERT_TRUE(WaitUntil([&] { return record.Count != -1; }));
    // No answer counts as nothing found, said as such, so the tab neither waits for ever...
    EXPECT_EQ(record.Count, 0);
    EXPECT_EQ(TabText(record), u"Search: mail - not reached"_s);
    EXPECT_TRUE(record.Frame->Title().startsWith(u"The catalog server could not be reached."_s));
    // ...nor keeps the next search out.
    m_search->Search(u"notes"_s);
    ASSERT_EQ(m_search->Records().size(), 1u);
    EXPECT_EQ(TabText(record), u"Searching: notes"_s);
    ASSERT_TRUE(WaitUntil([&] { return record.Count != -1; }));
    const int count = m_pages->count();
    m_search->CloseSearchTab(*record.Frame);
    EXPECT_EQ(m_pages->count(), count - 1);
    EXPECT_TRUE(m_search->Records().empty());
}

TEST_F(CatalogSearchTest, TypingCapitalsSearchesLowerCase)
{
    QLineEdit edit;
    m_search->AttachSearchEdit(edit);
    QTest::keyClicks(&edit, u"Web MAIL"_s);
    EXPECT_EQ(edit.text(), u"web mail"_s);
    QTest::keyClick(&edit, Qt::Key_Return);
    ASSERT_EQ(m_search->Records().size(), 1u);
    EXPECT_EQ(m_search->Records().front()->Text, u"web mail"_s);
    EXPECT_TRUE(m_search->Records().front()->Address.endsWith(SearchPath(u"web mail"_s)));
}

TEST_F(CatalogSearchTest, TheCategoryColumnLeadsToTheCategory)
{
    TSearchResultRec& record = SearchAndWait(u"mail"_s);
    ASSERT_GT(record.Count, 0);
    TCatalogListView& list = record.Frame->List();
    list.resize(900, 300);
    list.show();
    TWebApplicationClass* first = list.Model().Application(0);
    const QRect cell = list.visualRect(list.Model().index(0, 4));
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(m_pages->currentIndex(), TCatalogViews::kCategoriesPage);
    EXPECT_EQ(m_views->ListView(3).FocusedApplication(), first);
}

} // namespace
