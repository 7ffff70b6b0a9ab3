#pragma once

#include <QString>

#include <cstdint>
#include <memory>

// One catalog category: its number on the catalog server and its title.
//
// Categories belong to the category tree. Web applications refer to theirs without owning
// it and drop the reference by themselves when the tree frees the category, which is why
// a category is always held by a shared pointer (see TWebApplicationClass::Category).
class TWebCategoryClass final : public std::enable_shared_from_this<TWebCategoryClass>
{
public:
    TWebCategoryClass() = default;
    TWebCategoryClass(int32_t id, QString title) : m_id(id), m_title(std::move(title)) {}

    TWebCategoryClass(const TWebCategoryClass&) = delete;
    TWebCategoryClass& operator=(const TWebCategoryClass&) = delete;

    // The identity: lists find categories by it, so it is fixed at creation.
    int32_t ID() const { return m_id; }
    const QString& Title() const { return m_title; }

    void SetTitle(const QString& value) { m_title = value; }

private:
    const int32_t m_id = 0;
    QString m_title;
};
