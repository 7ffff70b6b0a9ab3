#include "catalog/TWebApplicationList.h"
#include "catalog/TWebApplicationClass.h"
#include "catalog/TWebCategoryClass.h"
#include "catalog/TWebCategoryNode.h"
#include "catalog/TWebCategoryTree.h"
#include "common/Errors.h"
#include "support/TestSupport.h"

#include <QLocale>

#include <gtest/gtest.h>

#include <stdexcept>

using namespace Qt::Literals::StringLiterals;

namespace {

QByteArray Catalog(const QByteArray& webapps)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<webapplications>\n" + webapps +
           "\n</webapplications>\n";
}

QByteArray WebApp(int nid, int categoryId, const QByteArray& title, const QByteArray& more = {})
{
    return u"<webapp nid=\"%1\" cat_id=\"%2\"><description><title>"_s.arg(nid).arg(categoryId).toUtf8() +
           title + "</title></description>" + more + "</webapp>";
}

QList<int32_t> Ids(const TWebApplicationList::Applications& applications)
{
    QList<int32_t> ids;
    for (const TWebApplicationClass* application : applications)
        ids << application->ID();
    return ids;
}

QList<int32_t> Ids(const TWebApplicationList& list)
{
    QList<int32_t> ids;
    for (int i = 0; i < list.Count(); ++i)
        ids << list.Items(i).ID();
    return ids;
}

// Makes a locale the default for the lifetime of the object.
class ScopedDefaultLocale final
{
public:
    explicit ScopedDefaultLocale(const QLocale& locale) { QLocale::setDefault(locale); }
    ~ScopedDefaultLocale() { QLocale::setDefault(m_previous); }

    ScopedDefaultLocale(const ScopedDefaultLocale&) = delete;
    ScopedDefaultLocale& operator=(const ScopedDefaultLocale&) = delete;

private:
    const QLocale m_previous;
};

// A category tree answering the list's category questions, the way the main window wires
// them, and a count of the list's change reports.
class ApplicationListFiles : public ::testing::Test
{
protected:
    void SetUp() override
    {
        LoadCategories(R"(<categories><category id="1" title="Office"><category id="11" title="Mail"/>)"
                       R"(</category><category id="2" title="Games"/></categories>)");
        m_list.OnGetCategory = [this](TWebApplicationList&, int32_t categoryId) {
            ++m_questions;
            return m_tree.FindById(categoryId);
        };
        m_list.OnListChanged = [this](TWebApplicationList&) {
            ++m_changes;
        };
    }

    QString Write(const QByteArray& xml)
    {
        const QString path = m_dir.filePath(u"list%1.xml"_s.arg(++m_files));
        WriteFile(path, xml);
        return path;
    }

    void LoadCategories(const QByteArray& xml) { m_tree.LoadFromFile(Write(xml)); }

    TWebApplicationList::Applications Load(const QByteArray& xml)
    {
        TWebApplicationList::Applications target;
        m_list.LoadFromFile(Write(xml), &target);
        return target;
    }

    TWebApplicationClass& Only(const QByteArray& webapp)
    {
        m_list.LoadFromFile(Write(Catalog(webapp)));
        EXPECT_EQ(m_list.Count(), 1);
        return m_list.Items(0);
    }

    QTemporaryDir m_dir;
    TWebCategoryTree m_tree;
    TWebApplicationList m_list;
    int m_questions = 0;
    int m_changes = 0;

private:
    int m_files = 0;
};

} // namespace

TEST_F(ApplicationListFiles, ReadsEveryFieldOfTheFormat)
{
    const TWebApplicationClass& a = Only(R"(<webapp nid="1042" cat_id="11">
  <description>
    <title>Mail &amp; More</title>
    <tagline>  Spaces stay  </tagline>
    <maindescription><![CDATA[<b>Markup</b> stays text]]> and &lt;more&gt;</maindescription>
  </description>
  <links>
    <main_url>http://main.example/</main_url>
    <signup_url>http://main.example/signup?a=1&amp;b=2</signup_url>
    <login_url>http://main.example/login</login_url>
    <app_url>http://app.example/</app_url>
  </links>
  <images>
    <thumbnail_url>http://img.example/t.png</thumbnail_url>
    <screenshot_url>http://img.example/s.jpg</screenshot_url>
  </images>
  <browser ie="True" firefox="True" opera="False" safari="True"/>
  <rating userrating="4.5" popularity="87.25"/>
  <price cost="$9.99 / month"/>
  <options wizard="True" premium="True"/>
  <dateadded>1199145600</dateadded>
</webapp>)");

    EXPECT_EQ(a.ID(), 1042);
    ASSERT_NE(a.Category(), nullptr);
    EXPECT_EQ(a.Category(), m_tree.FindById(11));
    EXPECT_EQ(a.CategoryId(), 11);
    EXPECT_EQ(a.Title(), u"Mail & More"_s);
    EXPECT_EQ(a.Tagline(), u"  Spaces stay  "_s);
    EXPECT_EQ(a.MainDescription(), u"<b>Markup</b> stays text and <more>"_s);
    EXPECT_EQ(a.MainURL(), u"http://main.example/"_s);
    EXPECT_EQ(a.SignupURL(), u"http://main.example/signup?a=1&b=2"_s);
    EXPECT_EQ(a.LoginURL(), u"http://main.example/login"_s);
    EXPECT_EQ(a.AppURL(), u"http://app.example/"_s);
    EXPECT_EQ(a.ThumbnailURL(), u"http://img.example/t.png"_s);
    EXPECT_EQ(a.ScreenshotURL(), u"http://img.example/s.jpg"_s);
    EXPECT_TRUE(a.IE());
    EXPECT_TRUE(a.FireFox());
    EXPECT_FALSE(a.Opera());
    EXPECT_TRUE(a.Safari());
    EXPECT_EQ(a.UserRating(), 4.5f);
    EXPECT_EQ(a.Popularity(), 87.25f);
    EXPECT_EQ(a.Cost(), u"$9.99 / month"_s);
    EXPECT_TRUE(a.Wizard());
    EXPECT_TRUE(a.Premium());
    // 2008-01-01 00:00 UTC.
    EXPECT_DOUBLE_EQ(a.DateAdded(), 39448.0);
    EXPECT_EQ(m_changes, 1);
}

TEST_F(ApplicationListFiles, MissingElementsLeaveTheDefaults)
{
    const TWebApplicationClass& a =
        Only(R"(<webapp nid="1" cat_id="2"><browser/><rating/><price/><options/></webapp>)");
    EXPECT_TRUE(a.Title().isEmpty());
    EXPECT_TRUE(a.MainURL().isEmpty());
    EXPECT_TRUE(a.Cost().isEmpty());
    EXPECT_FALSE(a.IE() || a.FireFox() || a.Opera() || a.Safari() || a.Wizard() || a.Premium());
    EXPECT_EQ(a.UserRating(), 0.0f);
    EXPECT_EQ(a.Popularity(), 0.0f);
    EXPECT_EQ(a.DateAdded(), 0.0);
    EXPECT_EQ(a.Category(), m_tree.FindById(2));
}

TEST_F(ApplicationListFiles, FlagsAreTrueOnlyForTheExactTextTrue)
{
    for (const QByteArray& text :
         {"true"_qba, "TRUE"_qba, " True"_qba, "True "_qba, "1"_qba, "yes"_qba, ""_qba}) {
        TWebApplicationList list;
        list.OnGetCategory = m_list.OnGetCategory;
        list.LoadFromFile(
            Write(Catalog(R"(<webapp nid="1" cat_id="2"><browser ie=")" + text +
                          R"(" firefox="True"/><options wizard=")" + text + R"("/></webapp>)")));
        ASSERT_EQ(list.Count(), 1);
        EXPECT_FALSE(list.Items(0).IE()) << text.toStdString();
        EXPECT_FALSE(list.Items(0).Wizard()) << text.toStdString();
        EXPECT_TRUE(list.Items(0).FireFox()) << text.toStdString();
    }
}

TEST_F(ApplicationListFiles, OnlyTheFirstElementOfEachNameCounts)
{
    const TWebApplicationClass& a = Only(R"(<webapp nid="1" cat_id="2">
  <title>Not in description</title>
  <main_url>http://not-in-links.example/</main_url>
  <description><tagline>First tagline</tagline><title>First</title><title>Second</title>
    <links><main_url>http://inside-description.example/</main_url></links></description>
  <description><title>Second group</title><maindescription>Second group</maindescription></description>
  <links/>
  <links><main_url>http://second-links.example/</main_url></links>
  <rating userrating="3"/><rating userrating="5" popularity="9"/>
  <dateadded>86400</dateadded><dateadded>172800</dateadded>
  <webapp nid="2" cat_id="2"><description><title>Nested webapp</title></description></webapp>
</webapp>)");
    EXPECT_EQ(a.Title(), u"First"_s);
    EXPECT_EQ(a.Tagline(), u"First tagline"_s);
    EXPECT_TRUE(a.MainDescription().isEmpty());
    EXPECT_TRUE(a.MainURL().isEmpty());
    EXPECT_EQ(a.UserRating(), 3.0f);
    EXPECT_EQ(a.Popularity(), 0.0f);
    EXPECT_DOUBLE_EQ(a.DateAdded(), 25570.0);
    EXPECT_EQ(m_list.FindById(2), nullptr);
}

TEST_F(ApplicationListFiles, RatingsReadWithAPointInEveryLocale)
{
    const ScopedDefaultLocale german(QLocale(QLocale::German, QLocale::Germany));
    ASSERT_EQ(QLocale().decimalPoint(), u","_s);
    const struct
    {
        QByteArray text;
        float value;
    } cases[] = {
        {"4.5", 4.5f},   {"4,5", 0.0f}, {"-1.25", -1.25f}, {"+2", 2.0f},  {"1.5e2", 150.0f},
        {" 3.5 ", 3.5f}, {"abc", 0.0f}, {"4.5x", 0.0f},    {"inf", 0.0f}, {"nan", 0.0f},
        {"1e40", 0.0f},  {"", 0.0f},    {"0x1p3", 0.0f},   {"+-1", 0.0f},
    };
    for (const auto& c : cases) {
        TWebApplicationList list;
        list.OnGetCategory = m_list.OnGetCategory;
        list.LoadFromFile(Write(Catalog(R"(<webapp nid="1" cat_id="2"><rating userrating=")" + c.text +
                                        R"(" popularity=")" + c.text + R"("/></webapp>)")));
        ASSERT_EQ(list.Count(), 1);
        EXPECT_EQ(list.Items(0).UserRating(), c.value) << c.text.toStdString();
        EXPECT_EQ(list.Items(0).Popularity(), c.value) << c.text.toStdString();
    }
}

TEST_F(ApplicationListFiles, DateAddedIsSecondsSince1970AsADayCount)
{
    const struct
    {
        QByteArray element;
        double days;
    } cases[] = {
        {"<dateadded>0</dateadded>", 25569.0},
        {"<dateadded>43200</dateadded>", 25569.5},
        {"<dateadded>-86400</dateadded>", 25568.0},
        {"<dateadded>\n 86400 \n</dateadded>", 25570.0},
        {"<dateadded>soon</dateadded>", 25569.0},
        {"<dateadded></dateadded>", 25569.0},
        {"<dateadded/>", 25569.0},
        {"", 0.0},
    };
    for (const auto& c : cases) {
        TWebApplicationList list;
        list.OnGetCategory = m_list.OnGetCategory;
        list.LoadFromFile(Write(Catalog(R"(<webapp nid="1" cat_id="2">)" + c.element + "</webapp>")));
        ASSERT_EQ(list.Count(), 1);
        EXPECT_DOUBLE_EQ(list.Items(0).DateAdded(), c.days) << c.element.toStdString();
    }
}

TEST_F(ApplicationListFiles, EntriesWithoutUsableNumbersAreSkipped)
{
    const auto target = Load(Catalog(R"(
<webapp nid="1" cat_id="x"/>
<webapp nid="x" cat_id="2"/>
<webapp nid="-1" cat_id="2"/>
<webapp nid="3" cat_id="-1"/>
<webapp nid="-5" cat_id="2"/>
<webapp nid="2147483648" cat_id="2"/>
<webapp nid="6"/>
<webapp cat_id="2"/>
<webapp nid=" 7 " cat_id="+2"/>
<webapp nid="0" cat_id="11"/>)"));
    EXPECT_EQ(Ids(target), QList<int32_t>({7, 0}));
    EXPECT_EQ(Ids(m_list), QList<int32_t>({7, 0}));

    // A negative number is never found again, so it must not be added on every read.
    Load(Catalog(R"(<webapp nid="-5" cat_id="2"/><webapp nid="7" cat_id="2"/>)"));
    EXPECT_EQ(m_list.Count(), 2);
}

TEST_F(ApplicationListFiles, AKnownApplicationKeepsItsDetailsAndFollowsTheLaterCategory)
{
    Load(Catalog(WebApp(5, 11, "A", R"(<rating userrating="2"/>)")));
    TWebApplicationClass* known = m_list.FindById(5);
    ASSERT_NE(known, nullptr);

    const auto target = Load(Catalog(WebApp(5, 2, "B", R"(<rating userrating="5"/>)")));
    EXPECT_EQ(m_list.Count(), 1);
    EXPECT_EQ(target, TWebApplicationList::Applications({known}));
    EXPECT_EQ(known->Title(), u"A"_s);
    EXPECT_EQ(known->UserRating(), 2.0f);
    EXPECT_EQ(known->Category(), m_tree.FindById(2));
    EXPECT_EQ(m_list.CountInCategory(m_tree.FindById(2)), 1);
    EXPECT_EQ(m_list.CountInCategory(m_tree.FindById(11)), 0);
}

TEST_F(ApplicationListFiles, UnknownCategoriesDropNewApplicationsButKeepKnownOnes)
{
    Load(Catalog(WebApp(5, 11, "Known")));
    const auto target = Load(Catalog(WebApp(6, 404, "New") + WebApp(5, 404, "Known elsewhere")));

    EXPECT_EQ(Ids(target), QList<int32_t>({5}));
    EXPECT_EQ(m_list.FindById(6), nullptr);
    ASSERT_NE(m_list.FindById(5), nullptr);
    EXPECT_EQ(m_list.FindById(5)->Category(), nullptr);
    EXPECT_EQ(m_list.FindById(5)->CategoryId(), 404);
    EXPECT_EQ(m_list.CountInCategory(nullptr), 1);
}

TEST_F(ApplicationListFiles, ReadingTheSameListTwiceAddsNothingAndFillsTheTargetAlike)
{
    const QByteArray xml =
        Catalog(WebApp(9, 2, "Nine") + WebApp(3, 11, "Three") + WebApp(9, 1, "Nine again"));
    const auto first = Load(xml);
    const auto second = Load(xml);
    EXPECT_EQ(Ids(first), QList<int32_t>({9, 3, 9}));
    EXPECT_EQ(first, second);
    EXPECT_EQ(Ids(m_list), QList<int32_t>({9, 3}));
    EXPECT_EQ(m_list.FindById(9)->Title(), u"Nine"_s);
    // The repeated entry in the same file moved it to category 1.
    EXPECT_EQ(m_list.FindById(9)->Category(), m_tree.FindById(1));
    EXPECT_EQ(m_changes, 2);
}

TEST_F(ApplicationListFiles, TheTargetListIsSetOnlyDuringItsRead)
{
    TWebApplicationList::Applications target;
    TWebApplicationList::Applications* seen = nullptr;
    m_list.OnGetCategory = [&](TWebApplicationList& sender, int32_t categoryId) {
        seen = sender.TargetList();
        return m_tree.FindById(categoryId);
    };
    m_list.LoadFromFile(Write(Catalog(WebApp(1, 2, "One"))), &target);
    EXPECT_EQ(seen, &target);
    EXPECT_EQ(m_list.TargetList(), nullptr);

    m_list.OnGetCategory = [&](TWebApplicationList&, int32_t) -> TWebCategoryClass* {
        throw std::runtime_error("owner failed");
    };
    EXPECT_THROW(m_list.LoadFromFile(Write(Catalog(WebApp(2, 2, "Two"))), &target), std::runtime_error);
    EXPECT_EQ(m_list.TargetList(), nullptr);
}

TEST_F(ApplicationListFiles, ChangeReportsFollowEveryCatalogListAndTheirErrorsAreSwallowed)
{
    m_list.OnListChanged = [this](TWebApplicationList&) {
        ++m_changes;
        throw EMorvalenError(u"view failed"_s);
    };
    EXPECT_NO_THROW(Load(Catalog(WebApp(1, 2, "One"))));
    EXPECT_EQ(m_changes, 1);
    EXPECT_EQ(m_list.Count(), 1);

    // Nothing of these is a catalog list: no report.
    Load(Catalog(R"(<webapp nid="2"/><item nid="3" cat_id="2"/>)"));
    Load("<webapplications><webapp nid=\"4\" cat_id=\"2\">");
    Load(R"(<categories><category id="1" title="x"/></categories>)");
    m_list.LoadFromFile(m_dir.filePath(u"missing.xml"_s));
    EXPECT_EQ(m_changes, 1);
    EXPECT_EQ(Ids(m_list), QList<int32_t>({1}));
}

TEST_F(ApplicationListFiles, WithoutAnOwnerNothingNewIsAddedAndKnownCategoriesStay)
{
    Load(Catalog(WebApp(1, 11, "One")));
    m_list.OnGetCategory = nullptr;
    m_list.OnListChanged = nullptr;
    const auto target = Load(Catalog(WebApp(1, 2, "One") + WebApp(2, 2, "Two")));
    EXPECT_EQ(Ids(target), QList<int32_t>({1}));
    EXPECT_EQ(Ids(m_list), QList<int32_t>({1}));
    EXPECT_EQ(m_list.Items(0).Category(), m_tree.FindById(11));
}

TEST_F(ApplicationListFiles, AddFindByIdAndItemsFollowTheStoreOrder)
{
    TWebApplicationClass& first = m_list.Add(4, m_tree.FindById(1));
    m_list.Add(0, nullptr);
    m_list.Add(4, m_tree.FindById(2));
    EXPECT_EQ(m_list.FindById(4), &first);
    EXPECT_EQ(m_list.FindById(-4), nullptr);
    EXPECT_EQ(m_list.Items(1).ID(), 0);
    EXPECT_EQ(m_list.FindById(0), &m_list.Items(1));
    EXPECT_EQ(m_list.CountInCategory(m_tree.FindById(1)), 1);

    // A reset clears everything but the identity, so the list still finds it.
    first.SetTitle(u"Title"_s);
    first.SetUserRating(3.0f);
    first.Reset();
    EXPECT_EQ(first.ID(), 4);
    EXPECT_EQ(m_list.FindById(4), &first);
    EXPECT_EQ(first.Category(), nullptr);
    EXPECT_EQ(first.CategoryId(), -1);
    EXPECT_TRUE(first.Title().isEmpty());
    EXPECT_EQ(first.UserRating(), 0.0f);

    for (int index : {-1, 3}) {
        try {
            m_list.Items(index);
            ADD_FAILURE() << index;
        } catch (const EMorvalenError& error) {
            EXPECT_EQ(error.Message(), u"Index out of range!"_s);
        }
    }
    m_list.Clear();
    EXPECT_EQ(m_list.Count(), 0);
    EXPECT_EQ(m_list.FindById(4), nullptr);
}

TEST_F(ApplicationListFiles, ReloadingTheCategoryTreeNeverLeavesADanglingCategory)
{
    Load(Catalog(WebApp(1, 11, "Mail app") + WebApp(2, 2, "Game")));
    TWebApplicationClass* mailApp = m_list.FindById(1);
    ASSERT_EQ(mailApp->Category()->Title(), u"Mail"_s);

    // The new tree renames category 11 and no longer has 2.
    LoadCategories(R"(<categories><category id="1" title="Office"><category id="11" title="Messages"/>)"
                   R"(</category><category id="3" title="News"/></categories>)");
    EXPECT_EQ(mailApp->Category(), nullptr);
    EXPECT_EQ(m_list.CountInCategory(m_tree.FindById(11)), 0);

    const int changesBefore = m_changes;
    m_list.ResolveCategories();
    EXPECT_EQ(m_changes, changesBefore + 1);
    ASSERT_NE(mailApp->Category(), nullptr);
    EXPECT_EQ(mailApp->Category()->Title(), u"Messages"_s);
    EXPECT_EQ(m_list.CountInCategory(m_tree.FindById(11)), 1);
    EXPECT_EQ(m_list.FindById(2)->Category(), nullptr);
    EXPECT_EQ(m_list.FindById(2)->CategoryId(), 2);

    // Once a tree knows category 2 again, the game finds it.
    LoadCategories(R"(<categories><category id="2" title="Games again"/></categories>)");
    m_list.ResolveCategories();
    EXPECT_EQ(m_list.FindById(2)->Category()->Title(), u"Games again"_s);
    EXPECT_EQ(mailApp->Category(), nullptr);
}
