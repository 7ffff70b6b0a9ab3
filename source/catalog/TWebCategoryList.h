#pragma once

#include <QString>

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

class TWebCategoryClass;

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
    std::vector<std::shared_ptr<TWebCategoryClass>> m_items;
    // The first category of each identifier, so that a long list answers at once.
    std::unordered_map<int32_t, TWebCategoryClass*> m_firstById;
};
