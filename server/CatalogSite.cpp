#include "CatalogSite.h"

#include "CatalogXmlWriter.h"
#include "PictureEncoder.h"
#include "RatingStore.h"
#include "RequestTarget.h"
#include "SitePages.h"

#include "common/Errors.h"

#include <QRegularExpression>

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace {

const QByteArray kXml = "text/xml; charset=utf-8";
const QByteArray kHtml = "text/html; charset=utf-8";
const QByteArray kText = "text/plain; charset=utf-8";

// Lists for several Host names are cached; a client that makes up names must not make the
// cache grow without end.
constexpr qsizetype kMaxCachedLists = 2000;

SiteAnswer Text(int status, const QString& text)
{
    return {status, kText, text.toUtf8() + '\n'};
}

SiteAnswer NotFound(const QByteArray& path)
{
    return Text(404, u"Not found: %1"_s.arg(QString::fromUtf8(path)));
}

// A whole decimal number without sign; nothing else.
std::optional<int32_t> Decimal(QByteArrayView text)
{
    if (text.isEmpty() || text.size() > 10)
        return std::nullopt;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
    }
    const qint64 value = text.toLongLong();
    if (value > INT32_MAX)
        return std::nullopt;
    return int32_t(value);
}

} // namespace

CatalogSite::CatalogSite(CatalogSource source, RatingStore& ratings, PictureFn pictures, Settings settings)
    : m_source(std::move(source)), m_ratings(ratings), m_pictures(std::move(pictures)), m_settings(settings),
      m_search(m_source)
{
    for (const SourceCategory& category : m_source.Categories()) {
        m_categoryTitles.insert(category.id, category.title);
        for (const SourceCategory& child : category.children)
            m_categoryTitles.insert(child.id, child.title);
    }
}

double CatalogSite::UserRating(const SourceApplication& application) const
{
    const RatingStore::Totals totals = m_ratings.TotalsOf(application.id);
    return (application.rating + double(totals.sum)) / double(1 + totals.count);
}

QString CatalogSite::BaseURLFor(QByteArrayView hostHeader, const QString& fallback)
{
    static const QRegularExpression host(
        u"^(?:[A-Za-z0-9](?:[A-Za-z0-9.-]{0,251}[A-Za-z0-9])?|\\[[0-9A-Fa-f:.]{2,45}\\])(?::[0-9]{1,5})?$"_s);
    const QString text = QString::fromLatin1(hostHeader);
    if (!host.match(text).hasMatch())
        return fallback;
    return u"http://"_s + text;
}

SiteAnswer CatalogSite::Answer(QByteArrayView target, const QString& baseURL, const QString& clientAddress)
{
    const std::optional<QByteArray> path = RequestTarget::SafePath(target);
    if (!path)
        return Text(400, u"Bad request: the path is not allowed"_s);
    const QByteArrayView query = RequestTarget::Query(target);

    if (*path == "/" || *path == "/index.html")
        return {200, kHtml, SitePages::StartPage(m_source, baseURL)};
    if (*path == "/help" || *path == "/help/" || *path == "/help/index.html")
        return {200, kHtml, SitePages::Help(baseURL)};
    if (*path == "/download" || *path == "/download/" || *path == "/download/index.html")
        return {200, kHtml, SitePages::Download(m_source.Versions(), baseURL)};
    if (*path == "/download/FireFox")
        return {200, kHtml, SitePages::FireFox(baseURL)};
    if (*path == "/download/version.xml")
        return {200, kXml, CatalogXmlWriter::VersionFile(m_source.Versions(), baseURL + u"/download/"_s)};

    if (*path == "/xmlcache/categorylist.xml")
        return {200, kXml, CatalogXmlWriter::CategoryList(m_source.Categories())};
    const size_t listSize = size_t(std::max(m_settings.listSize, 0));
    if (*path == "/xmlcache/whatsnew.xml")
        return CachedList(u"whatsnew"_s, baseURL, [&] { return Newest({}, listSize); });
    if (*path == "/xmlcache/recommended.xml") {
        return CachedList(u"recommended"_s, baseURL, [&] {
            return Newest([](const SourceApplication& application) { return application.recommended; },
                          listSize);
        });
    }
    if (*path == "/xmlcache/popular.xml") {
        return CachedList(u"popular"_s, baseURL, [&] {
            return ByKey([](const SourceApplication& application) { return application.popularity; },
                         listSize);
        });
    }
    if (*path == "/xmlcache/highestrated.xml") {
        return CachedList(u"highestrated"_s, baseURL, [&] {
            return ByKey([this](const SourceApplication& application) { return UserRating(application); },
                         listSize);
        });
    }
    if (path->startsWith("/xmlcache/category"))
        return CategoryFile(*path, baseURL);
    if (*path == "/xmlsearch.php")
        return Search(query, baseURL);
    if (*path == "/link/update.php")
        return Rate(query, clientAddress);
    if (path->startsWith("/images/"))
        return Picture(*path);
    return NotFound(*path);
}

SiteAnswer CatalogSite::CachedList(const QString& name, const QString& baseURL,
                                   const std::function<std::vector<const SourceApplication*>()>& select)
{
    const QString key = name + u'\n' + baseURL;
    const int64_t generation = m_ratings.Generation();
    {
        const std::lock_guard lock(m_cacheMutex);
        const auto found = m_lists.constFind(key);
        if (found != m_lists.constEnd() && found->generation == generation)
            return {200, kXml, found->body};
    }
    QByteArray body = CatalogXmlWriter::ApplicationList(
        select(), baseURL, [this](const SourceApplication& application) { return UserRating(application); });
    const std::lock_guard lock(m_cacheMutex);
    if (m_lists.size() >= kMaxCachedLists)
        m_lists.clear();
    m_lists.insert(key, {generation, body});
    return {200, kXml, body};
}

SiteAnswer CatalogSite::CategoryFile(const QByteArray& path, const QString& baseURL)
{
    static const QRegularExpression pattern(u"^/xmlcache/category([0-9]{1,10})\\.xml$"_s);
    const QRegularExpressionMatch match = pattern.match(QString::fromUtf8(path));
    const std::optional<int32_t> id = match.hasMatch() ? Decimal(match.captured(1).toLatin1()) : std::nullopt;
    const SourceCategory* category = id ? m_source.FindCategory(*id) : nullptr;
    if (category == nullptr)
        return NotFound(path);
    // A top-level category's file holds its sub-categories' applications as well.
    QSet<int32_t> ids{category->id};
    for (const SourceCategory& child : category->children)
        ids.insert(child.id);
    return CachedList(u"category%1"_s.arg(category->id), baseURL, [&] {
        return Newest(
            [&](const SourceApplication& application) { return ids.contains(application.categoryId); },
            SIZE_MAX);
    });
}

SiteAnswer CatalogSite::Search(QByteArrayView query, const QString& baseURL)
{
    // The same words in the same order give the same answer: popular searches come from the
    // cache like the lists.
    const QString words = CatalogSearch::Words(RequestTarget::SearchText(query)).join(u' ');
    return CachedList(u"search "_s + words, baseURL,
                      [&] { return m_search.Find(words, size_t(std::max(m_settings.searchLimit, 0))); });
}

SiteAnswer CatalogSite::Rate(QByteArrayView query, const QString& voter)
{
    const auto parameters = RequestTarget::StrictParameters(query);
    if (!parameters || parameters->size() != 2 || !parameters->contains("imgId") ||
        !parameters->contains("rating"))
        return Text(400, u"Bad request: a rating needs exactly imgId and rating"_s);
    const std::optional<int32_t> id = Decimal(parameters->at("imgId"));
    if (!id || m_source.FindApplication(*id) == nullptr)
        return Text(400, u"Bad request: imgId names no application of the catalog"_s);
    const QByteArray& rating = parameters->at("rating");
    if (rating.size() != 1 || rating[0] < '1' || rating[0] > '5')
        return Text(400, u"Bad request: the rating must be 1, 2, 3, 4 or 5"_s);
    try {
        m_ratings.Add(*id, rating[0] - '0', voter);
    } catch (const EMorvalenError& error) {
        return Text(500, error.Message());
    }
    return Text(
        200, u"Thank you: rating %1 stored for application %2"_s.arg(QChar::fromLatin1(rating[0])).arg(*id));
}

SiteAnswer CatalogSite::Picture(const QByteArray& path)
{
    static const QRegularExpression pattern(
        u"^/images/(screenshot|thumbnail)([0-9]{1,10})\\.(jpg|png|gif)$"_s);
    const QRegularExpressionMatch match = pattern.match(QString::fromUtf8(path));
    const std::optional<int32_t> id = match.hasMatch() ? Decimal(match.captured(2).toLatin1()) : std::nullopt;
    const SourceApplication* application = id ? m_source.FindApplication(*id) : nullptr;
    if (application == nullptr || application->pictureFormat != match.captured(3))
        return NotFound(path);
    const QByteArray contentType = PictureEncoder::ContentType(application->pictureFormat);
    {
        const std::lock_guard lock(m_pictureMutex);
        const auto found = m_pictureFiles.constFind(path);
        if (found != m_pictureFiles.constEnd())
            return {200, contentType, *found};
    }
    QByteArray file;
    try {
        file = m_pictures(*application, match.captured(1) == u"thumbnail"_s);
    } catch (const EMorvalenError& error) {
        return Text(500, error.Message());
    }
    const std::lock_guard lock(m_pictureMutex);
    m_pictureFiles.insert(path, file);
    return {200, contentType, file};
}

std::vector<const SourceApplication*>
CatalogSite::Newest(const std::function<bool(const SourceApplication&)>& filter, size_t limit) const
{
    std::vector<const SourceApplication*> selected;
    for (const SourceApplication& application : m_source.Applications()) {
        if (!filter || filter(application))
            selected.push_back(&application);
    }
    const auto newer = [](const SourceApplication* a, const SourceApplication* b) {
        return a->dateAdded != b->dateAdded ? a->dateAdded > b->dateAdded : a->id < b->id;
    };
    if (selected.size() > limit) {
        std::partial_sort(selected.begin(), selected.begin() + qsizetype(limit), selected.end(), newer);
        selected.resize(limit);
    } else {
        std::sort(selected.begin(), selected.end(), newer);
    }
    return selected;
}

std::vector<const SourceApplication*>
CatalogSite::ByKey(const std::function<double(const SourceApplication&)>& key, size_t limit) const
{
    std::vector<std::pair<double, const SourceApplication*>> keyed;
    keyed.reserve(m_source.Applications().size());
    for (const SourceApplication& application : m_source.Applications())
        keyed.emplace_back(key(application), &application);
    const auto better = [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first > b.first : a.second->id < b.second->id;
    };
    const size_t count = std::min(limit, keyed.size());
    std::partial_sort(keyed.begin(), keyed.begin() + qsizetype(count), keyed.end(), better);
    std::vector<const SourceApplication*> selected;
    for (size_t i = 0; i < count; ++i)
        selected.push_back(keyed[i].second);
    return selected;
}
