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
    node.Children().m_changed = [this, index](TWebCategoryClass* added) {
        if (added)
            IndexSubCategory(index, added);
        else
            RebuildIndex();
    };
    return node;
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
    pugi::xml_document document;
    if (const std::optional<QString> error = CatalogXml::LoadFile(document, fileName))
        throw EMorvalenError(*error);

    const pugi::xml_node root = document.document_element();
    if (std::strcmp(root.name(), "categories") != 0)
        return;
    bool hasCategory = false;
    for (const pugi::xml_node& element : root.children()) {
        if (IsCategory(element)) {
            hasCategory = true;
            break;
        }
    }
    if (!hasCategory)
        return;

    Clear();
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
