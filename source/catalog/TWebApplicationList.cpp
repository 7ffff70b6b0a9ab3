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

int32_t NumberOrMinusOne(const pugi::xml_attribute& attribute)
{
    return CatalogXml::ToInteger(attribute.value()).value_or(-1);
}

// The details of a new application from its webapp element.
void ReadDetails(TWebApplicationClass& application, const pugi::xml_node& webapp)
{
    using CatalogXml::ElementText;
    using CatalogXml::FirstChildren;
    using CatalogXml::ToFlag;

    enum
    {
        Description,
        Links,
        Images,
        Browser,
        Rating,
        Price,
        Options,
        DateAdded
    };
    pugi::xml_node group[8];
    FirstChildren(webapp,
                  {"description", "links", "images", "browser", "rating", "price", "options", "dateadded"},
                  group);

    if (group[Description]) {
        pugi::xml_node text[3];
        FirstChildren(group[Description], {"title", "tagline", "maindescription"}, text);
        application.SetTitle(ElementText(text[0]));
        application.SetTagline(ElementText(text[1]));
        application.SetMainDescription(ElementText(text[2]));
    }
    if (group[Links]) {
        pugi::xml_node url[4];
        FirstChildren(group[Links], {"main_url", "signup_url", "login_url", "app_url"}, url);
        application.SetMainURL(ElementText(url[0]));
        application.SetSignupURL(ElementText(url[1]));
        application.SetLoginURL(ElementText(url[2]));
        application.SetAppURL(ElementText(url[3]));
    }
    if (group[Images]) {
        pugi::xml_node url[2];
        FirstChildren(group[Images], {"thumbnail_url", "screenshot_url"}, url);
        application.SetThumbnailURL(ElementText(url[0]));
        application.SetScreenshotURL(ElementText(url[1]));
    }
    if (const pugi::xml_node browser = group[Browser]) {
        application.SetIE(ToFlag(browser.attribute("ie")));
        application.SetFireFox(ToFlag(browser.attribute("firefox")));
        application.SetOpera(ToFlag(browser.attribute("opera")));
        application.SetSafari(ToFlag(browser.attribute("safari")));
    }
    if (const pugi::xml_node rating = group[Rating]) {
        application.SetUserRating(
            CatalogXml::ToSingle(rating.attribute("userrating").value()).value_or(0.0f));
        application.SetPopularity(
            CatalogXml::ToSingle(rating.attribute("popularity").value()).value_or(0.0f));
    }
    if (group[Price])
        application.SetCost(CatalogXml::AttributeText(group[Price].attribute("cost")));
    if (const pugi::xml_node options = group[Options]) {
        application.SetWizard(ToFlag(options.attribute("wizard")));
        application.SetPremium(ToFlag(options.attribute("premium")));
    }
    if (group[DateAdded]) {
        // The bytes may still belong to the document; either way they end with a zero.
        const QByteArray text = CatalogXml::ElementTextUtf8(group[DateAdded]);
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
    auto application = std::make_unique<TWebApplicationClass>(id);
    application->SetCategory(category);
    TWebApplicationClass& added = *application;
    m_items.push_back(std::move(application));
    // One lookup: a new slot starts out null.
    TWebApplicationClass*& first = m_firstById[id];
    if (!first)
        first = &added;
    return added;
}

TWebApplicationList::FileRead::FileRead() = default;
TWebApplicationList::FileRead::FileRead(FileRead&&) noexcept = default;
TWebApplicationList::FileRead& TWebApplicationList::FileRead::operator=(FileRead&&) noexcept = default;
TWebApplicationList::FileRead::~FileRead() = default;

TWebApplicationList::FileRead TWebApplicationList::ReadFile(const QString& fileName)
{
    FileRead read;
    pugi::xml_document document;
    if (CatalogXml::LoadFile(document, fileName))
        return read;
    const pugi::xml_node root = document.document_element();
    if (std::strcmp(root.name(), "webapplications") != 0)
        return read;
    read.IsList = true;
    for (const pugi::xml_node& element : root.children("webapp")) {
        const pugi::xml_attribute nid = element.attribute("nid");
        const pugi::xml_attribute catId = element.attribute("cat_id");
        if (!nid || !catId)
            continue;
        read.HasWebApp = true;
        const int32_t id = NumberOrMinusOne(nid);
        const int32_t categoryId = NumberOrMinusOne(catId);
        // FindById never finds a negative number, so such an entry would be added again on
        // every read.
        if (id < 0 || categoryId == -1)
            continue;
        auto details = std::make_unique<TWebApplicationClass>(id);
        details->SetCategoryId(categoryId);
        ReadDetails(*details, element);
        read.Entries.push_back({id, categoryId, std::move(details)});
    }
    return read;
}

bool TWebApplicationList::LoadFromFile(const QString& fileName, Applications* targetList)
{
    return Merge(ReadFile(fileName), targetList);
}

bool TWebApplicationList::Merge(FileRead read, Applications* targetList)
{
    const TargetListScope scope(m_targetList, targetList);
    if (!read.IsList)
        return false;
    // A list without entries is read, and changes nothing.
    if (!read.HasWebApp)
        return true;

    for (FileRead::Entry& entry : read.Entries) {
        if (TWebApplicationClass* known = FindById(entry.Id)) {
            if (OnGetCategory) {
                known->SetCategoryId(entry.CategoryId);
                known->SetCategory(OnGetCategory(*this, entry.CategoryId));
            }
            if (m_targetList)
                m_targetList->push_back(known);
            continue;
        }

        TWebCategoryClass* category = OnGetCategory ? OnGetCategory(*this, entry.CategoryId) : nullptr;
        if (!category)
            continue;
        entry.Details->SetCategory(category);
        TWebApplicationClass& added = *entry.Details;
        m_items.push_back(std::move(entry.Details));
        TWebApplicationClass*& first = m_firstById[entry.Id];
        if (!first)
            first = &added;
        if (m_targetList)
            m_targetList->push_back(&added);
    }

    RaiseListChanged();
    return true;
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
    return m_firstById.value(id, nullptr);
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
