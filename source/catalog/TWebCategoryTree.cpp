#include "TWebCategoryTree.h"

#include "CatalogXml.h"
#include "TWebCategoryNode.h"
#include "common/Errors.h"

#include <cstring>

using namespace Qt::Literals::StringLiterals;

namespace {

bool IsCategory(const pugi::xml_node& element)
{
    return std::strcmp(element.name(), "category") == 0 && element.attribute("id") &&
           element.attribute("title");
}

int32_t IdOf(const pugi::xml_node& element)
{
    const pugi::xml_attribute id = element.attribute("id");
    if (const std::optional<int32_t> value = CatalogXml::ToInteger(id.value()))
        return *value;
    throw EMorvalenError(u"'%1' is not a valid integer value"_s.arg(CatalogXml::AttributeText(id)));
}

} // namespace

TWebCategoryTree::TWebCategoryTree() = default;
TWebCategoryTree::~TWebCategoryTree() = default;

TWebCategoryNode& TWebCategoryTree::AddNode(int32_t id, const QString& title)
{
    if (FindById(id))
        throw EMorvalenError(u"Category already exists. ID="_s + QString::number(id));
    const int index = Count();
    TWebCategoryNode& node = *m_nodes.emplace_back(std::make_unique<TWebCategoryNode>(id, title));
    m_index.insert(id, {&node.Category(), index});
    WatchChildren(index);
    return node;
}

void TWebCategoryTree::WatchChildren(int node)
{
    m_nodes[size_t(node)]->Children().m_changed = [this, node](TWebCategoryClass* added) {
        if (added)
            IndexSubCategory(node, added);
        else
            RebuildIndex();
    };
}

TWebCategoryNode& TWebCategoryTree::Nodes(int index) const
{
    if (index < 0 || index >= Count())
        throw EMorvalenError(u"Index out of range!"_s);
    return *m_nodes[size_t(index)];
}

void TWebCategoryTree::Clear()
{
    m_index.clear();
    m_nodes.clear();
}

TWebCategoryClass* TWebCategoryTree::FindById(int32_t id) const
{
    const auto found = m_index.constFind(id);
    return found == m_index.cend() ? nullptr : found->category;
}

void TWebCategoryTree::IndexSubCategory(int node, TWebCategoryClass* added)
{
    // The new sub-category is the last one of its node. It becomes the first of its
    // identifier unless a category of this node or of an earlier one already is.
    const auto found = m_index.find(added->ID());
    if (found == m_index.end())
        m_index.insert(added->ID(), {added, node});
    else if (found->node > node)
        *found = {added, node};
}

void TWebCategoryTree::RebuildIndex()
{
    m_index.clear();
    for (int i = 0; i < Count(); ++i) {
        const TWebCategoryNode& node = *m_nodes[size_t(i)];
        if (!m_index.contains(node.Category().ID()))
            m_index.insert(node.Category().ID(), {&node.Category(), i});
        for (int j = 0; j < node.Children().Count(); ++j) {
            TWebCategoryClass& child = node.Children().Items(j);
            if (!m_index.contains(child.ID()))
                m_index.insert(child.ID(), {&child, i});
        }
    }
}

void TWebCategoryTree::LoadFromFile(const QString& fileName)
{
    FileRead read = ReadFile(fileName);
    Take(read);
}

TWebCategoryTree::FileRead TWebCategoryTree::ReadFile(const QString& fileName)
{
    FileRead read;
    pugi::xml_document document;
    if (std::optional<QString> error = CatalogXml::LoadFile(document, fileName)) {
        read.Error = std::move(error);
        return read;
    }

    const pugi::xml_node root = document.document_element();
    if (std::strcmp(root.name(), "categories") != 0)
        return read;
    bool hasCategory = false;
    for (const pugi::xml_node& element : root.children()) {
        if (IsCategory(element)) {
            hasCategory = true;
            break;
        }
    }
    if (!hasCategory)
        return read;

    read.Tree = std::make_unique<TWebCategoryTree>();
    try {
        read.Tree->Fill(root);
    } catch (const EMorvalenError& error) {
        read.Error = error.Message();
    }
    return read;
}

void TWebCategoryTree::Fill(const pugi::xml_node& root)
{
    for (const pugi::xml_node& element : root.children()) {
        if (!IsCategory(element))
            continue;
        TWebCategoryNode& node =
            AddNode(IdOf(element), CatalogXml::AttributeText(element.attribute("title")));
        for (const pugi::xml_node& child : element.children()) {
            if (IsCategory(child))
                node.Children().Add(IdOf(child), CatalogXml::AttributeText(child.attribute("title")));
        }
    }
}

void TWebCategoryTree::Take(FileRead& read)
{
    if (read.Tree) {
        Clear();
        m_nodes = std::move(read.Tree->m_nodes);
        read.Tree->Clear();
        // The nodes' lists told the tree that read them.
        for (int i = 0; i < Count(); ++i)
            WatchChildren(i);
        RebuildIndex();
        read.Tree.reset();
    }
    if (read.Error)
        throw EMorvalenError(*read.Error);
}
