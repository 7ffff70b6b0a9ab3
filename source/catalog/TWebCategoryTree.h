#pragma once

#include <QHash>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class TWebCategoryClass;
class TWebCategoryNode;
namespace pugi {
class xml_node;
}

// The catalog's categories in two levels: top-level categories in document order, each
// with its sub-categories.
//
// The category list file (/xmlcache/categorylist.xml on the catalog server; element and
// attribute names are case-sensitive):
//
//   <categories>                              document element
//     <category id="12" title="Office">       a top-level category
//       <category id="31" title="Mail"/>      one of its sub-categories
//     </category>
//   </categories>
//
// - id is a decimal 32-bit integer (optional sign, blanks around it allowed); title is
//   the category's name, verbatim.
// - Only these two levels are read: deeper category elements, other elements, text and
//   category elements that lack id or title are ignored.
// - A top-level id must not repeat any id read before it, top-level or sub-category; a
//   sub-category's id may repeat (FindById then answers the first in document order).
class TWebCategoryTree final
{
public:
    TWebCategoryTree();
    ~TWebCategoryTree();

    TWebCategoryTree(const TWebCategoryTree&) = delete;
    TWebCategoryTree& operator=(const TWebCategoryTree&) = delete;

    // Appends a top-level category. Throws EMorvalenError "Category already exists. ID=<id>"
    // when FindById(id) finds a category anywhere in the tree.
    TWebCategoryNode& AddNode(int32_t id, const QString& title);

    // Throws EMorvalenError "Index out of range!" outside 0..Count-1.
    TWebCategoryNode& Nodes(int index) const;
    int Count() const { return int(m_nodes.size()); }

    // Frees every node with its category and sub-categories. Applications that referred to
    // one of them lose their category; TWebApplicationList::ResolveCategories finds the
    // new ones.
    void Clear();

    // The first category with this identifier: for each node in order its own category,
    // then its sub-categories in order. Null when there is none.
    TWebCategoryClass* FindById(int32_t id) const;

    // Reads a category list file.
    // - A file that cannot be read or is not well-formed XML throws EMorvalenError, and
    //   the tree stays as it was.
    // - A document that is not a category list (its document element is not categories,
    //   or no category child of it has both id and title) changes nothing.
    // - Otherwise the tree is cleared and filled in document order. A repeated top-level id
    //   throws "Category already exists. ID=<id>" and an id that is not an integer throws
    //   "'<text>' is not a valid integer value"; the nodes read before either stay.
    void LoadFromFile(const QString& fileName);

    // A category list file read but not yet taken: what LoadFromFile does in two halves, so
    // that the reading can run on any thread and only Take on the tree's own.
    struct FileRead
    {
        // What the tree becomes; null when the file changes nothing.
        std::unique_ptr<TWebCategoryTree> Tree;
        // What LoadFromFile would throw.
        std::optional<QString> Error;
    };
    // Touches no tree: safe on any thread.
    static FileRead ReadFile(const QString& fileName);
    // Becomes read's tree when it has one (the categories move; read is left empty), then
    // throws its error as LoadFromFile does.
    void Take(FileRead& read);

private:
    // Where an identifier is first found in tree order: its category and the index of the
    // node that holds it (as its own category or as a sub-category).
    struct IndexEntry
    {
        TWebCategoryClass* category;
        int node;
    };

    void IndexSubCategory(int node, TWebCategoryClass* added);
    void WatchChildren(int node);
    // Appends the categories of a category list's document element.
    void Fill(const pugi::xml_node& root);
    void RebuildIndex();

    std::vector<std::unique_ptr<TWebCategoryNode>> m_nodes;
    // Every application of every list read asks for its category, so FindById must not
    // walk the tree. Nodes are only ever appended and sub-categories appended to a node,
    // which keeps the index easy to keep up to date; only clearing a node's sub-categories
    // rebuilds it.
    QHash<int32_t, IndexEntry> m_index;
};
