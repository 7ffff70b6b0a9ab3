#include "TWebApplicationList.h"

#include "CatalogXml.h"
#include "TWebApplicationClass.h"
#include "common/Errors.h"

#include <cstring>
#include <exception>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr double kUnixEpochDays = 25569.0; // 1970-01-01 as a day count
constexpr double kSecondsPerDay = 86400.0;

bool IsWebApp(const pugi::xml_node& element)
{
    return std::strcmp(element.name(), "webapp") == 0 && element.attribute("nid") &&
           element.attribute("cat_id");
}

int32_t NumberOrMinusOne(const pugi::xml_attribute& attribute)
{
    return CatalogXml::ToInteger(attribute.value()).value_or(-1);
}

QString ChildText(const pugi::xml_node& group, const char* name)
{
    return CatalogXml::ElementText(group.child(name));
}

// The details of a new application from its webapp element.
void ReadDetails(TWebApplicationClass& application, const pugi::xml_node& webapp)
{
    if (const pugi::xml_node description = webapp.child("description")) {
        application.SetTitle(ChildText(description, "title"));
        application.SetTagline(ChildText(description, "tagline"));
        application.SetMainDescription(ChildText(description, "maindescription"));
    }
    if (const pugi::xml_node links = webapp.child("links")) {
        application.SetMainURL(ChildText(links, "main_url"));
        application.SetSignupURL(ChildText(links, "signup_url"));
        application.SetLoginURL(ChildText(links, "login_url"));
        application.SetAppURL(ChildText(links, "app_url"));
    }
    if (const pugi::xml_node images = webapp.child("images")) {
        application.SetThumbnailURL(ChildText(images, "thumbnail_url"));
        application.SetScreenshotURL(ChildText(images, "screenshot_url"));
    }
    if (const pugi::xml_node browser = webapp.child("browser")) {
        application.SetIE(CatalogXml::ToFlag(browser.attribute("ie")));
        application.SetFireFox(CatalogXml::ToFlag(browser.attribute("firefox")));
        application.SetOpera(CatalogXml::ToFlag(browser.attribute("opera")));
        application.SetSafari(CatalogXml::ToFlag(browser.attribute("safari")));
    }
    if (const pugi::xml_node rating = webapp.child("rating")) {
        application.SetUserRating(
            CatalogXml::ToSingle(rating.attribute("userrating").value()).value_or(0.0f));
        application.SetPopularity(
            CatalogXml::ToSingle(rating.attribute("popularity").value()).value_or(0.0f));
    }
    if (const pugi::xml_node price = webapp.child("price"))
        application.SetCost(CatalogXml::AttributeText(price.attribute("cost")));
    if (const pugi::xml_node options = webapp.child("options")) {
        application.SetWizard(CatalogXml::ToFlag(options.attribute("wizard")));
        application.SetPremium(CatalogXml::ToFlag(options.attribute("premium")));
    }
    if (const pugi::xml_node dateAdded = webapp.child("dateadded")) {
        const QByteArray text = CatalogXml::ElementText(dateAdded).toUtf8();
        const double seconds = CatalogXml::ToDouble(text.constData()).value_or(0.0);
        application.SetDateAdded(seconds / kSecondsPerDay + kUnixEpochDays);
    }
}

// Sets the target list for one read and takes it away again however the read ends.
class TargetListScope final
{
public:
    TargetListScope(TWebApplicationList::Applications*& slot, TWebApplicationList::Applications* list)
        : m_slot(slot), m_previous(slot)
    {
        m_slot = list;
    }
    ~TargetListScope() { m_slot = m_previous; }

    TargetListScope(const TargetListScope&) = delete;
    TargetListScope& operator=(const TargetListScope&) = delete;

private:
    TWebApplicationList::Applications*& m_slot;
    TWebApplicationList::Applications* m_previous;
};

} // namespace

TWebApplicationList::TWebApplicationList() = default;
TWebApplicationList::~TWebApplicationList() = default;

TWebApplicationClass& TWebApplicationList::Add(int32_t id, TWebCategoryClass* category)
{
    auto application = std::make_unique<TWebApplicationClass>();
    application->SetID(id);
    application->SetCategory(category);
    TWebApplicationClass& added = *application;
    m_items.push_back(std::move(application));
    m_firstById.try_emplace(id, &added);
    return added;
}

void TWebApplicationList::LoadFromFile(const QString& fileName, Applications* targetList)
{
    const TargetListScope scope(m_targetList, targetList);

    pugi::xml_document document;
    if (CatalogXml::LoadFile(document, fileName))
        return;
    const pugi::xml_node root = document.document_element();
    if (std::strcmp(root.name(), "webapplications") != 0)
        return;
    bool hasWebApp = false;
    for (const pugi::xml_node& element : root.children()) {
        if (IsWebApp(element)) {
            hasWebApp = true;
            break;
        }
    }
    if (!hasWebApp)
        return;

    for (const pugi::xml_node& element : root.children()) {
        if (!IsWebApp(element))
            continue;
        const int32_t id = NumberOrMinusOne(element.attribute("nid"));
        const int32_t categoryId = NumberOrMinusOne(element.attribute("cat_id"));
        // FindById never finds a negative number, so such an entry would be added again on
        // every read.
        if (id < 0 || categoryId == -1)
            continue;

        if (TWebApplicationClass* known = FindById(id)) {
            if (OnGetCategory) {
                known->SetCategoryId(categoryId);
                known->SetCategory(OnGetCategory(*this, categoryId));
            }
            if (m_targetList)
                m_targetList->push_back(known);
            continue;
        }

        TWebCategoryClass* category = OnGetCategory ? OnGetCategory(*this, categoryId) : nullptr;
        if (!category)
            continue;
        TWebApplicationClass& added = Add(id, category);
        added.SetCategoryId(categoryId);
        if (m_targetList)
            m_targetList->push_back(&added);
        ReadDetails(added, element);
    }

    RaiseListChanged();
}

TWebApplicationClass& TWebApplicationList::Items(int index) const
{
    if (index < 0 || index >= Count())
        throw EMorvalenError(u"Index out of range!"_s);
    return *m_items[size_t(index)];
}

TWebApplicationClass* TWebApplicationList::FindById(int32_t id) const
{
    if (id < 0)
        return nullptr;
    const auto found = m_firstById.find(id);
    return found == m_firstById.end() ? nullptr : found->second;
}

int TWebApplicationList::CountInCategory(const TWebCategoryClass* category) const
{
    int count = 0;
    for (const auto& application : m_items) {
        if (application->Category() == category)
            ++count;
    }
    return count;
}

void TWebApplicationList::Clear()
{
    m_firstById.clear();
    m_items.clear();
}

void TWebApplicationList::ResolveCategories()
{
    if (OnGetCategory) {
        for (const auto& application : m_items) {
            const int32_t categoryId = application->CategoryId();
            application->SetCategory(OnGetCategory(*this, categoryId));
            application->SetCategoryId(categoryId);
        }
    }
    RaiseListChanged();
}

void TWebApplicationList::RaiseListChanged()
{
    if (!OnListChanged)
        return;
    try {
        OnListChanged(*this);
    } catch (const std::exception&) {
        // A view that failed to refresh must not undo a read that succeeded.
    }
}
