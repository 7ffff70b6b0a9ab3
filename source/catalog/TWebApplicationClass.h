#pragma once

#include <QString>

#include <cstdint>
#include <memory>

class TWebCategoryClass;

// One web application of the online catalog, identified by its catalog number (ID). The
// application list owns it for the whole run; views and menus refer to it.
//
// Every field defaults to zero, false or empty and has no category. Texts are kept as the
// catalog list wrote them. The addresses (URLs) are plain text as well; where the program
// first ran they were narrow strings in the system code page, which here is UTF-8, so
// nothing is lost.
class TWebApplicationClass final
{
public:
    explicit TWebApplicationClass(int32_t id = 0);

    TWebApplicationClass(const TWebApplicationClass&) = delete;
    TWebApplicationClass& operator=(const TWebApplicationClass&) = delete;

    // Puts every field back to its default, the category included, except the catalog
    // number: it is the application's identity, by which the list finds it.
    void Reset();

    // Days since 1899-12-30 (see common/DateTime.h); 0.0 when the list gave no date.
    double DateAdded() const { return m_dateAdded; }
    bool Opera() const { return m_opera; }
    // The category, or null: none was known for the application's category number, or the
    // category tree has freed it since (it was reloaded). Never a dangling pointer.
    TWebCategoryClass* Category() const;
    // The category number the catalog gave last, whether or not the tree knows it; -1
    // before any.
    int32_t CategoryId() const { return m_categoryId; }
    const QString& Cost() const { return m_cost; }
    bool Premium() const { return m_premium; }
    float UserRating() const { return m_userRating; }
    const QString& ScreenshotURL() const { return m_screenshotURL; }
    float Popularity() const { return m_popularity; }
    bool Safari() const { return m_safari; }
    bool IE() const { return m_ie; }
    const QString& Tagline() const { return m_tagline; }
    bool FireFox() const { return m_fireFox; }
    const QString& MainURL() const { return m_mainURL; }
    const QString& Title() const { return m_title; }
    int32_t ID() const { return m_id; }
    const QString& MainDescription() const { return m_mainDescription; }
    const QString& LoginURL() const { return m_loginURL; }
    const QString& AppURL() const { return m_appURL; }
    const QString& ThumbnailURL() const { return m_thumbnailURL; }
    bool Wizard() const { return m_wizard; }
    const QString& SignupURL() const { return m_signupURL; }

    // A category also sets CategoryId to its ID; null keeps CategoryId, so the number
    // survives until a category tree knows it. The category must belong to a category
    // tree or list (they hold categories by shared pointer); any other counts as null.
    void SetCategory(TWebCategoryClass* category);
    void SetCategoryId(int32_t value) { m_categoryId = value; }

    // Texts are taken by value, so that a freshly read one moves in without touching a
    // reference count.
    void SetDateAdded(double value) { m_dateAdded = value; }
    void SetOpera(bool value) { m_opera = value; }
    void SetCost(QString value) { m_cost = std::move(value); }
    void SetPremium(bool value) { m_premium = value; }
    void SetUserRating(float value) { m_userRating = value; }
    void SetScreenshotURL(QString value) { m_screenshotURL = std::move(value); }
    void SetPopularity(float value) { m_popularity = value; }
    void SetSafari(bool value) { m_safari = value; }
    void SetIE(bool value) { m_ie = value; }
    void SetTagline(QString value) { m_tagline = std::move(value); }
    void SetFireFox(bool value) { m_fireFox = value; }
    void SetMainURL(QString value) { m_mainURL = std::move(value); }
    void SetTitle(QString value) { m_title = std::move(value); }
    void SetMainDescription(QString value) { m_mainDescription = std::move(value); }
    void SetLoginURL(QString value) { m_loginURL = std::move(value); }
    void SetAppURL(QString value) { m_appURL = std::move(value); }
    void SetThumbnailURL(QString value) { m_thumbnailURL = std::move(value); }
    void SetWizard(bool value) { m_wizard = value; }
    void SetSignupURL(QString value) { m_signupURL = std::move(value); }

private:
    double m_dateAdded = 0.0;
    bool m_opera = false;
    // The tree owns categories and frees them when it is reloaded. The weak reference
    // notices that; the plain pointer is only handed out while the weak one is alive.
    std::weak_ptr<TWebCategoryClass> m_categoryRef;
    TWebCategoryClass* m_category = nullptr;
    int32_t m_categoryId = -1;
    QString m_cost;
    bool m_premium = false;
    float m_userRating = 0.0f;
    QString m_screenshotURL;
    float m_popularity = 0.0f;
    bool m_safari = false;
    bool m_ie = false;
    QString m_tagline;
    bool m_fireFox = false;
    QString m_mainURL;
    QString m_title;
    const int32_t m_id;
    QString m_mainDescription;
    QString m_loginURL;
    QString m_appURL;
    QString m_thumbnailURL;
    bool m_wizard = false;
    QString m_signupURL;
};
