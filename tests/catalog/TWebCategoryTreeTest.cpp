#include "catalog/TWebCategoryTree.h"
#include "catalog/TWebCategoryClass.h"
#include "catalog/TWebCategoryList.h"
#include "catalog/TWebCategoryNode.h"
#include "common/Errors.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// Runs the call and returns the message of the EMorvalenError it throws; empty when it
// throws nothing.
template <typename Call>
QString ErrorOf(Call call)
{
    try {
        call();
    } catch (const EMorvalenError& error) {
        return error.Message();
    }
    return {};
}

// "id:title" per node, sub-categories in brackets, to compare a whole tree at once.
QString Outline(const TWebCategoryTree& tree)
{
    QStringList nodes;
    for (int i = 0; i < tree.Count(); ++i) {
        const TWebCategoryNode& node = tree.Nodes(i);
        QStringList children;
        for (int j = 0; j < node.Children().Count(); ++j)
            children << u"%1:%2"_s.arg(node.Children().Items(j).ID()).arg(node.Children().Items(j).Title());
        nodes << u"%1:%2[%3]"_s.arg(node.Category().ID()).arg(node.Category().Title(), children.join(u' '));
    }
    return nodes.join(u' ');
}

class CategoryTreeFiles : public ::testing::Test
{
protected:
    QTemporaryDir m_dir;
    TWebCategoryTree m_tree;

    QString Write(const QByteArray& xml)
    {
        const QString path = m_dir.filePath(u"categorylist%1.xml"_s.arg(++m_files));
        WriteFile(path, xml);
        return path;
    }

    // Loads a small tree that later loads must either replace or leave alone.
    void LoadFirstTree()
    {
        m_tree.LoadFromFile(
            Write(R"(<categories><category id="1" title="One"><category id="11" title="Eleven"/>)"
                  R"(</category><category id="2" title="Two"/></categories>)"));
        ASSERT_EQ(Outline(m_tree), u"1:One[11:Eleven] 2:Two[]"_s);
    }

private:
    int m_files = 0;
};

} // namespace

TEST(TWebCategoryList, KeepsOrderAndDuplicatesAndFindsTheFirst)
{
    TWebCategoryList list;
    TWebCategoryClass& first = list.Add(7, u"First"_s);
    list.Add(8, u"Other"_s);
    list.Add(7, u"Second"_s);
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Items(2).Title(), u"Second"_s);
    EXPECT_EQ(list.FindById(7), &first);
    EXPECT_EQ(list.FindById(9), nullptr);

    EXPECT_EQ(ErrorOf([&] { list.Items(3); }), u"Index out of range!"_s);
    EXPECT_EQ(ErrorOf([&] { list.Items(-1); }), u"Index out of range!"_s);

    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.FindById(7), nullptr);
    EXPECT_EQ(ErrorOf([&] { list.Items(0); }), u"Index out of range!"_s);
}

TEST(TWebCategoryTree, AddNodeRefusesAnIdentifierKnownAnywhereInTheTree)
{
    TWebCategoryTree tree;
    tree.AddNode(1, u"One"_s).Children().Add(5, u"Five"_s);
    EXPECT_EQ(ErrorOf([&] { tree.AddNode(1, u"Again"_s); }), u"Category already exists. ID=1"_s);
    EXPECT_EQ(ErrorOf([&] { tree.AddNode(5, u"Sub again"_s); }), u"Category already exists. ID=5"_s);
    EXPECT_EQ(ErrorOf([&] { tree.AddNode(-3, u"Negative"_s); }), QString());
    EXPECT_EQ(ErrorOf([&] { tree.AddNode(-3, u"Negative"_s); }), u"Category already exists. ID=-3"_s);
    EXPECT_EQ(tree.Count(), 2);

    EXPECT_EQ(ErrorOf([&] { tree.Nodes(2); }), u"Index out of range!"_s);
    EXPECT_EQ(ErrorOf([&] { tree.Nodes(-1); }), u"Index out of range!"_s);
}

TEST(TWebCategoryTree, FindByIdSearchesEachNodeThenItsChildrenInOrder)
{
    TWebCategoryTree tree;
    TWebCategoryNode& office = tree.AddNode(1, u"Office"_s);
    TWebCategoryNode& games = tree.AddNode(2, u"Games"_s);
    TWebCategoryClass& mail = office.Children().Add(11, u"Mail"_s);
    // A sub-category added to an earlier node later on wins over a later node's children.
    TWebCategoryClass& cards = games.Children().Add(20, u"Cards"_s);
    TWebCategoryClass& earlier = office.Children().Add(20, u"Also twenty"_s);

    EXPECT_EQ(tree.FindById(11), &mail);
    EXPECT_EQ(tree.FindById(2), &games.Category());
    EXPECT_EQ(tree.FindById(20), &earlier);
    EXPECT_NE(tree.FindById(20), &cards);
    EXPECT_EQ(tree.FindById(3), nullptr);

    // Even a node's own category loses to a sub-category of an earlier node.
    TWebCategoryClass& two = office.Children().Add(2, u"Two under office"_s);
    EXPECT_EQ(tree.FindById(2), &two);
    // Clearing sub-categories gives the identifiers back to whoever comes next.
    office.Children().Clear();
    EXPECT_EQ(tree.FindById(2), &games.Category());
    EXPECT_EQ(tree.FindById(20), &cards);
    EXPECT_EQ(tree.FindById(11), nullptr);
    EXPECT_EQ(tree.FindById(1), &office.Category());
    // And AddNode still sees every identifier.
    office.Children().Add(30, u"Thirty"_s);
    EXPECT_THROW(tree.AddNode(30, u"Thirty again"_s), EMorvalenError);

    tree.Clear();
    EXPECT_EQ(tree.Count(), 0);
    EXPECT_EQ(tree.FindById(1), nullptr);
}

TEST_F(CategoryTreeFiles, ReadsTwoLevelsInDocumentOrderAndIgnoresEverythingElse)
{
    m_tree.LoadFromFile(Write(R"(<?xml version="1.0" encoding="UTF-8"?>
<categories>
  Text is not used.
  <category id="10" title="Office &amp; Work">
    <category id="12" title="Mail">
      <category id="99" title="Three levels deep"/>
    </category>
    <category id="11" title=""/>
    <category id="13"/>
    <group><category id="98" title="Under another element"/></group>
  </category>
  <Category id="97" title="Wrong case"/>
  <category title="No id"/>
  <other id="96" title="Other element"/>
  <category id=" +5 " title="Bl&#xE4;tter &#x1F600;"/>
</categories>)"));

    EXPECT_EQ(Outline(m_tree), u"10:Office & Work[12:Mail 11:] 5:Bl\u00e4tter \U0001F600[]"_s);
    for (int32_t absent : {99, 98, 97, 96, 13})
        EXPECT_EQ(m_tree.FindById(absent), nullptr) << absent;
    // A sub-category's identifier finds the sub-category, not its parent.
    ASSERT_NE(m_tree.FindById(12), nullptr);
    EXPECT_EQ(m_tree.FindById(12), &m_tree.Nodes(0).Children().Items(0));
}

TEST_F(CategoryTreeFiles, ALoadReplacesTheTreeButADocumentOfAnotherKindLeavesItAlone)
{
    LoadFirstTree();
    const TWebCategoryClass* one = m_tree.FindById(1);

    for (
        const QByteArray& notCategories : {
            R"(<categories><category id="3"/><category title="x"/><item id="4" title="y"/></categories>)"_qba,
            R"(<categories/>)"_qba,
            R"(<categories><group><category id="3" title="Nested"/></group></categories>)"_qba,
            R"(<webapplications><category id="3" title="Wrong document"/></webapplications>)"_qba,
        }) {
        m_tree.LoadFromFile(Write(notCategories));
        EXPECT_EQ(Outline(m_tree), u"1:One[11:Eleven] 2:Two[]"_s) << notCategories.toStdString();
        // Untouched means the same objects, which applications may refer to.
        EXPECT_EQ(m_tree.FindById(1), one);
    }

    m_tree.LoadFromFile(Write(R"(<categories><category id="3" title="Three"/></categories>)"));
    EXPECT_EQ(Outline(m_tree), u"3:Three[]"_s);
}

TEST_F(CategoryTreeFiles, DuplicateIdentifiersAmongSubCategoriesAreKept)
{
    m_tree.LoadFromFile(Write(R"(<categories>
  <category id="1" title="One"><category id="7" title="First seven"/></category>
  <category id="2" title="Two"><category id="7" title="Second seven"/><category id="2" title="Own id"/></category>
</categories>)"));
    EXPECT_EQ(Outline(m_tree), u"1:One[7:First seven] 2:Two[7:Second seven 2:Own id]"_s);
    EXPECT_EQ(m_tree.FindById(7)->Title(), u"First seven"_s);
    EXPECT_EQ(m_tree.FindById(2)->Title(), u"Two"_s);
}

TEST_F(CategoryTreeFiles, ARepeatedTopLevelIdentifierStopsTheLoadAfterTheNodesBeforeIt)
{
    LoadFirstTree();
    const QString repeatsTopLevel = Write(R"(<categories>
  <category id="4" title="Four"/><category id="5" title="Five"/><category id="4" title="Again"/>
  <category id="6" title="Never read"/>
</categories>)");
    EXPECT_EQ(ErrorOf([&] { m_tree.LoadFromFile(repeatsTopLevel); }), u"Category already exists. ID=4"_s);
    EXPECT_EQ(Outline(m_tree), u"4:Four[] 5:Five[]"_s);

    const QString repeatsSubCategory = Write(R"(<categories>
  <category id="4" title="Four"><category id="-8" title="Minus eight"/></category>
  <category id="-8" title="Top"/>
</categories>)");
    EXPECT_EQ(ErrorOf([&] { m_tree.LoadFromFile(repeatsSubCategory); }), u"Category already exists. ID=-8"_s);
    EXPECT_EQ(Outline(m_tree), u"4:Four[-8:Minus eight]"_s);
}

TEST_F(CategoryTreeFiles, AnIdentifierThatIsNotAnIntegerStopsTheLoad)
{
    const struct
    {
        QByteArray xml;
        QString message;
        QString kept;
    } cases[] = {
        {R"(<categories><category id="1" title="A"/><category id="x2" title="B"/></categories>)",
         u"'x2' is not a valid integer value"_s, u"1:A[]"_s},
        {R"(<categories><category id="1" title="A"><category id="" title="Empty"/></category></categories>)",
         u"'' is not a valid integer value"_s, u"1:A[]"_s},
        {R"(<categories><category id="2147483648" title="Too large"/></categories>)",
         u"'2147483648' is not a valid integer value"_s, QString()},
        {R"(<categories><category id="1.5" title="Fraction"/></categories>)",
         u"'1.5' is not a valid integer value"_s, QString()},
    };
    for (const auto& c : cases) {
        const QString path = Write(c.xml);
        EXPECT_EQ(ErrorOf([&] { m_tree.LoadFromFile(path); }), c.message) << c.xml.toStdString();
        EXPECT_EQ(Outline(m_tree), c.kept) << c.xml.toStdString();
    }
}

TEST_F(CategoryTreeFiles, AFileThatIsNotXmlIsAnErrorAndChangesNothing)
{
    LoadFirstTree();
    const QString broken = Write("<categories>\n  <category id=\"3\" title=\"Three\">\n</categories>\n");
    const QString message = ErrorOf([&] { m_tree.LoadFromFile(broken); });
    EXPECT_TRUE(message.contains(broken)) << message.toStdString();
    EXPECT_TRUE(message.contains(u"line 3"_s)) << message.toStdString();

    EXPECT_EQ(ErrorOf([&] { m_tree.LoadFromFile(m_dir.filePath(u"missing.xml"_s)); }),
              u"Cannot read \"%1\"."_s.arg(m_dir.filePath(u"missing.xml"_s)));
    EXPECT_FALSE(ErrorOf([&] { m_tree.LoadFromFile(Write("")); }).isEmpty());
    EXPECT_EQ(Outline(m_tree), u"1:One[11:Eleven] 2:Two[]"_s);
}
