#pragma once

#include "TWebCategoryClass.h"
#include "TWebCategoryList.h"

#include <memory>

// A top-level category together with its sub-categories. The node owns both; they live
// exactly as long as the node.
class TWebCategoryNode final
{
public:
    TWebCategoryNode(int32_t id, const QString& title)
        : m_category(std::make_shared<TWebCategoryClass>(id, title))
    {}

    TWebCategoryNode(const TWebCategoryNode&) = delete;
    TWebCategoryNode& operator=(const TWebCategoryNode&) = delete;

    TWebCategoryClass& Category() const { return *m_category; }
    TWebCategoryList& Children() { return m_children; }
    const TWebCategoryList& Children() const { return m_children; }

private:
    std::shared_ptr<TWebCategoryClass> m_category;
    TWebCategoryList m_children;
};
