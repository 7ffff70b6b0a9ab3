#include "catalog/CatalogSorting.h"
#include "catalog/TWebApplicationClass.h"
#include "catalog/TWebCategoryNode.h"
#include "catalog/TWebCategoryTree.h"
#include "common/DateTime.h"

#include <gtest/gtest.h>

#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

class Sorting : public ::testing::Test
{
protected:
    TWebApplicationClass& Add(const QString& title, const QString& tagline, float rating, double date,
                              int32_t category = 1)
    {
        auto& application =
            *m_owned.emplace_back(std::make_unique<TWebApplicationClass>(int32_t(m_owned.size())));
        application.SetTitle(title);
        application.SetTagline(tagline);
        application.SetUserRating(rating);
        application.SetDateAdded(date);
        application.SetCategory(m_tree.FindById(category));
        m_rows.push_back(&application);
        return application;
    }

    std::vector<QString> Titles() const
    {
        std::vector<QString> titles;
        for (const TWebApplicationClass* row : m_rows)
            titles.push_back(row->Title());
        return titles;
    }

    void SetUp() override
    {
        TWebCategoryNode& office = m_tree.AddNode(1, u"office"_s);
        office.Children().Add(2, u"Mail"_s);
        m_tree.AddNode(3, u"Zoo"_s);
    }

    TWebCategoryTree m_tree;
    std::vector<std::unique_ptr<TWebApplicationClass>> m_owned;
    std::vector<TWebApplicationClass*> m_rows;
};

using TitleList = std::vector<QString>;

TEST_F(Sorting, TextColumnsIgnoreLetterCaseAndKeepTiesInListOrder)
{
    Add(u"beta"_s, u"b"_s, 1, 45000, 3);
    Add(u"Alpha"_s, u"C"_s, 1, 45000, 2);
    Add(u"ALPHA"_s, u"a"_s, 1, 45000, 1);
    Add(u"Gamma"_s, u"B"_s, 1, 45000, 2);

    SortApplications(m_rows, ccTitle, false);
    EXPECT_EQ(Titles(), (TitleList{u"Alpha"_s, u"ALPHA"_s, u"beta"_s, u"Gamma"_s}));
    SortApplications(m_rows, ccTitle, true);
    EXPECT_EQ(Titles(), (TitleList{u"Gamma"_s, u"beta"_s, u"Alpha"_s, u"ALPHA"_s}));

    SortApplications(m_rows, ccDescription, false);
    EXPECT_EQ(Titles(), (TitleList{u"ALPHA"_s, u"Gamma"_s, u"beta"_s, u"Alpha"_s}));

    // Categories by name: "Mail" (twice, kept in order), "office", "Zoo".
    SortApplications(m_rows, ccCategory, false);
    EXPECT_EQ(Titles(), (TitleList{u"Gamma"_s, u"Alpha"_s, u"ALPHA"_s, u"beta"_s}));
    EXPECT_EQ(CompareApplications(*m_rows[0], *m_rows[1], ccCategory), 0);
    EXPECT_LT(CompareApplications(*m_rows[2], *m_rows[3], ccCategory), 0);
}

TEST_F(Sorting, AnApplicationWithoutCategorySortsFirst)
{
    Add(u"with"_s, {}, 1, 45000, 2);
    Add(u"without"_s, {}, 1, 45000, 99);
    SortApplications(m_rows, ccCategory, false);
    EXPECT_EQ(Titles(), (TitleList{u"without"_s, u"with"_s}));
}

TEST_F(Sorting, DatesCompareByWholeDaysOnly)
{
    // Same day, morning and evening: equal; the list order stays.
    Add(u"evening"_s, {}, 1, 45000.9);
    Add(u"morning"_s, {}, 1, 45000.1);
    Add(u"next day"_s, {}, 1, 45001.0);
    Add(u"day before"_s, {}, 1, 44999.99);
    EXPECT_EQ(CompareApplications(*m_rows[0], *m_rows[1], ccDate), 0);
    EXPECT_GT(CompareApplications(*m_rows[2], *m_rows[0], ccDate), 0);

    SortApplications(m_rows, ccDate, true);
    EXPECT_EQ(Titles(), (TitleList{u"next day"_s, u"evening"_s, u"morning"_s, u"day before"_s}));
    SortApplications(m_rows, ccDate, false);
    EXPECT_EQ(Titles(), (TitleList{u"day before"_s, u"evening"_s, u"morning"_s, u"next day"_s}));
}

TEST_F(Sorting, DatesBeforeTheEpochCountTheirDayTowardZero)
{
    // -1.25 is 1899-12-29 06:00 and -1.75 is 18:00 of the same day.
    Add(u"a"_s, {}, 1, -1.25);
    Add(u"b"_s, {}, 1, -1.75);
    EXPECT_EQ(CompareApplications(*m_rows[0], *m_rows[1], ccDate), 0);
}

TEST_F(Sorting, RatingsEqualWithinSinglePrecision)
{
    Add(u"four"_s, {}, 4.0f, 45000);
    Add(u"almost four"_s, {}, std::nextafter(4.0f, 5.0f), 45000);
    Add(u"four and a half"_s, {}, 4.5f, 45000);
    Add(u"zero"_s, {}, 0.0f, 45000);
    Add(u"tiny"_s, {}, 1e-6f, 45000);
    EXPECT_EQ(CompareApplications(*m_rows[0], *m_rows[1], ccRating), 0);
    EXPECT_EQ(CompareApplications(*m_rows[3], *m_rows[4], ccRating), 0);
    EXPECT_LT(CompareApplications(*m_rows[0], *m_rows[2], ccRating), 0);
    EXPECT_FALSE(SameRating(3.5f, 3.6f));

    SortApplications(m_rows, ccRating, true);
    EXPECT_EQ(Titles(), (TitleList{u"four and a half"_s, u"four"_s, u"almost four"_s, u"zero"_s, u"tiny"_s}));
}

TEST_F(Sorting, FirstClickDirections)
{
    EXPECT_FALSE(SortsDescendingFirst(ccTitle));
    EXPECT_TRUE(SortsDescendingFirst(ccRating));
    EXPECT_FALSE(SortsDescendingFirst(ccDescription));
    EXPECT_TRUE(SortsDescendingFirst(ccDate));
    EXPECT_FALSE(SortsDescendingFirst(ccCategory));
}

TEST_F(Sorting, ManyEqualFuzzyRatingsSortWithoutHarm)
{
    // Values a hair apart chain into one "equal" run; the sort must stay inside the list.
    for (int i = 0; i < 2000; ++i)
        Add(QString::number(i), {}, 2.0f + float(i % 7) * 1e-5f, 45000);
    SortApplications(m_rows, ccRating, true);
    EXPECT_EQ(m_rows.size(), 2000u);
}

TEST(DateText, ShowsMonthDayAndYearInEnglish)
{
    const QDateTime when(QDate(2024, 3, 5), QTime(23, 30));
    EXPECT_EQ(FormatDateAdded(DateTime::FromQDateTime(when)), u"Mar 05, 2024"_s);
    EXPECT_EQ(FormatDateAdded(DateTime::FromQDateTime(QDateTime(QDate(2007, 12, 31), QTime(0, 0)))),
              u"Dec 31, 2007"_s);
}

} // namespace
