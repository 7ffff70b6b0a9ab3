#pragma once

#include <QHash>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class TWebCategoryClass;
class TWebCategoryTree;

// An ordered list of categories that owns them: the sub-categories of one top-level
// category.
class TWebCategoryList final
{
public:
    TWebCategoryList() = default;
    ~TWebCategoryList();

    TWebCategoryList(const TWebCategoryList&) = delete;
    TWebCategoryList& operator=(const TWebCategoryList&) = delete;

    // Appends a new category. Identifiers are not checked for duplicates.
    TWebCategoryClass& Add(int32_t id, const QString& title);

    // Throws EMorvalenError "Index out of range!" outside 0..Count-1.
    TWebCategoryClass& Items(int index) const;
    int Count() const { return int(m_items.size()); }

    // Frees every category; applications that referred to one lose their category.
    void Clear();

    // The first category with this identifier, or null.
    TWebCategoryClass* FindById(int32_t id) const;

private:
    friend class TWebCategoryTree;

    std::vector<std::shared_ptr<TWebCategoryClass>> m_items;
    // The first category of each identifier, so that a long list answers at once.
    QHash<int32_t, TWebCategoryClass*> m_firstById;
    // Set by the tree that owns the list, which keeps an index over all its categories:
    // called with each category added, and with null when the list was cleared.
    std::function<void(TWebCategoryClass* added)> m_changed;
};
