#include "TWebApplicationClass.h"

#include "TWebCategoryClass.h"

// The members' initialisers are the defaults Reset restores.
TWebApplicationClass::TWebApplicationClass(int32_t id) : m_id(id) {}

void TWebApplicationClass::Reset()
{
    m_dateAdded = 0.0;
    m_opera = false;
    m_categoryRef.reset();
    m_category = nullptr;
    m_categoryId = -1;
    m_cost.clear();
    m_premium = false;
    m_userRating = 0.0f;
    m_screenshotURL.clear();
    m_popularity = 0.0f;
    m_safari = false;
    m_ie = false;
    m_tagline.clear();
    m_fireFox = false;
    m_mainURL.clear();
    m_title.clear();
    m_mainDescription.clear();
    m_loginURL.clear();
    m_appURL.clear();
    m_thumbnailURL.clear();
    m_wizard = false;
    m_signupURL.clear();
}

TWebCategoryClass* TWebApplicationClass::Category() const
{
    return m_categoryRef.expired() ? nullptr : m_category;
}

void TWebApplicationClass::SetCategory(TWebCategoryClass* category)
{
    // weak_from_this is empty for a category that no shared pointer owns; such a category
    // could vanish unnoticed, so it is not kept.
    m_categoryRef = category ? category->weak_from_this() : std::weak_ptr<TWebCategoryClass>();
    m_category = m_categoryRef.expired() ? nullptr : category;
    if (m_category)
        m_categoryId = category->ID();
}
