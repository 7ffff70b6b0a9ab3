#include "TWebCategoryList.h"

#include "TWebCategoryClass.h"
#include "common/Errors.h"

using namespace Qt::Literals::StringLiterals;

TWebCategoryList::~TWebCategoryList() = default;

TWebCategoryClass& TWebCategoryList::Add(int32_t id, const QString& title)
{
    auto category = std::make_shared<TWebCategoryClass>(id, title);
    m_items.push_back(category);
    TWebCategoryClass*& first = m_firstById[id];
    if (!first)
        first = category.get();
    if (m_changed)
        m_changed(category.get());
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
    if (m_changed)
        m_changed(nullptr);
}

TWebCategoryClass* TWebCategoryList::FindById(int32_t id) const
{
    return m_firstById.value(id, nullptr);
}
