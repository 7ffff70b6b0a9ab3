#include "TWebCategoryList.h"

#include "TWebCategoryClass.h"
#include "common/Errors.h"

using namespace Qt::Literals::StringLiterals;

TWebCategoryList::~TWebCategoryList() = default;

TWebCategoryClass& TWebCategoryList::Add(int32_t id, const QString& title)
{
    auto category = std::make_shared<TWebCategoryClass>(id, title);
    m_items.push_back(category);
    m_firstById.try_emplace(id, category.get());
    return *category;
}

TWebCategoryClass& TWebCategoryList::Items(int index) const
{
    if (index < 0 || index >= Count())
        throw EMorvalenError(u"Index out of range!"_s);
    return *m_items[size_t(index)];
}

void TWebCategoryList::Clear()
{
    m_firstById.clear();
    m_items.clear();
}

TWebCategoryClass* TWebCategoryList::FindById(int32_t id) const
{
    const auto found = m_firstById.find(id);
    return found == m_firstById.end() ? nullptr : found->second;
}
