#include "CatalogSite.h"

#include "CatalogXmlWriter.h"
#include "HttpCaching.h"
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

// Files for several Host names and searches are cached; a client that makes up names or
// words must not make a cache grow without end.
constexpr qsizetype kMaxCachedLists = 2000;

SiteAnswer Text(int status, const QString& text)
{
    return {status, kText, text.toUtf8() + '\n', false, {}, 0};
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

SiteAnswer CatalogSite::Answer(QByteArrayView target, const QString& baseURL, const QString& clientAddress,
                               bool head)
{
    const std::optional<QByteArray> path = RequestTarget::SafePath(target);
    if (!path)
        return Text(400, u"Bad request: the path is not allowed"_s);
    const QByteArrayView query = RequestTarget::Query(target);

    // Each page answers at several paths, but is one file, cached under one name.
    if (*path == "/" || *path == "/index.html")
        return CachedFile("/index.html", baseURL, kHtml, false,
                          [&] { return SitePages::StartPage(m_source, baseURL); });
    if (*path == "/help" || *path == "/help/" || *path == "/help/index.html")
        return CachedFile("/help/index.html", baseURL, kHtml, false,
                          [&] { return SitePages::Help(baseURL); });
    if (*path == "/download" || *path == "/download/" || *path == "/download/index.html")
        return CachedFile("/download/index.html", baseURL, kHtml, false,
                          [&] { return SitePages::Download(m_source.Versions(), baseURL); });
    if (*path == "/download/FireFox")
        return CachedFile(*path, baseURL, kHtml, false, [&] { return SitePages::FireFox(baseURL); });
    if (*path == "/download/version.xml")
        return CachedFile(*path, baseURL, kXml, false, [&] {
            return CatalogXmlWriter::VersionFile(m_source.Versions(), baseURL + u"/download/"_s);
        });

    if (*path == "/xmlcache/categorylist.xml")
        return CachedFile(*path, {}, kXml, false,
                          [&] { return CatalogXmlWriter::CategoryList(m_source.Categories()); });
    const size_t listSize = size_t(std::max(m_settings.listSize, 0));
    if (*path == "/xmlcache/whatsnew.xml")
        return CachedList(*path, baseURL, [&] { return Newest({}, listSize); });
    if (*path == "/xmlcache/recommended.xml") {
        return CachedList(*path, baseURL, [&] {
            return Newest([](const SourceApplication& application) { return application.recommended; },
                          listSize);
        });
    }
    if (*path == "/xmlcache/popular.xml") {
        return CachedList(*path, baseURL, [&] {
            return ByKey([](const SourceApplication& application) { return application.popularity; },
                         listSize);
        });
    }
    if (*path == "/xmlcache/highestrated.xml") {
        return CachedList(*path, baseURL, [&] {
            return ByKey([this](const SourceApplication& application) { return UserRating(application); },
                         listSize);
        });
    }
    if (path->startsWith("/xmlcache/category"))
        return CategoryFile(*path, baseURL);
    if (*path == "/xmlsearch.php")
        return Search(query, baseURL);
    if (*path == "/link/update.php")
        return Rate(query, clientAddress, !head);
    if (path->startsWith("/images/"))
        return Picture(*path);
    return NotFound(*path);
}

QList<QByteArray> CatalogSite::StaticPaths() const
{
    QList<QByteArray> paths{"/index.html",
                            "/help/index.html",
                            "/download/index.html",
                            "/download/FireFox",
                            "/download/version.xml",
                            "/xmlcache/categorylist.xml",
                            "/xmlcache/whatsnew.xml",
                            "/xmlcache/recommended.xml",
                            "/xmlcache/popular.xml",
                            "/xmlcache/highestrated.xml"};
    for (const SourceCategory& category : m_source.Categories()) {
        paths.append("/xmlcache/category" + QByteArray::number(category.id) + ".xml");
        for (const SourceCategory& child : category.children)
            paths.append("/xmlcache/category" + QByteArray::number(child.id) + ".xml");
    }
    for (const SourceApplication& application : m_source.Applications()) {
        paths.append(CatalogXmlWriter::ThumbnailPath(application).toUtf8());
        paths.append(CatalogXmlWriter::ScreenshotPath(application).toUtf8());
    }
    return paths;
}

SiteAnswer CatalogSite::CachedFile(const QByteArray& path, const QString& baseURL,
                                   const QByteArray& contentType, bool rated,
                                   const std::function<QByteArray()>& make)
{
    const QString key = QString::fromUtf8(path) + u'\n' + baseURL;
    const int64_t generation = rated ? m_ratings.Generation() : 0;
    const int64_t time =
        rated ? std::max(m_settings.catalogTime, m_ratings.LastVoteTime()) : m_settings.catalogTime;
    {
        const std::lock_guard lock(m_cacheMutex);
        const auto found = m_files.constFind(key);
        if (found != m_files.constEnd() && found->generation == generation)
            return {200, contentType, found->body, true, found->entityTag, time};
    }
    QByteArray body = make();
    QByteArray tag = HttpCaching::EntityTag(body);
    const std::lock_guard lock(m_cacheMutex);
    if (m_files.size() >= kMaxCachedLists)
        m_files.clear();
    m_files.insert(key, {generation, body, tag});
    return {200, contentType, body, true, tag, time};
}

SiteAnswer CatalogSite::CachedList(const QByteArray& path, const QString& baseURL,
                                   const std::function<std::vector<const SourceApplication*>()>& select)
{
    return CachedFile(path, baseURL, kXml, true, [&] {
        return CatalogXmlWriter::ApplicationList(
            select(), baseURL,
            [this](const SourceApplication& application) { return UserRating(application); });
    });
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
    // "category010.xml" is the file of category 10 too, but cached once.
    return CachedList("/xmlcache/category" + QByteArray::number(category->id) + ".xml", baseURL, [&] {
        return Newest(
            [&](const SourceApplication& application) { return ids.contains(application.categoryId); },
            SIZE_MAX);
    });
}

SiteAnswer CatalogSite::Search(QByteArrayView query, const QString& baseURL)
{
    // The same words in the same order give the same answer: popular searches come from a
    // cache of their own, which made-up searches cannot empty of the lists.
    const QString words = CatalogSearch::Words(RequestTarget::SearchText(query)).join(u' ');
    const QString key = words + u'\n' + baseURL;
    const int64_t generation = m_ratings.Generation();
    {
        const std::lock_guard lock(m_cacheMutex);
        if (m_searchGeneration != generation) {
            m_searches.clear();
            m_searchGeneration = generation;
        }
        const auto found = m_searches.constFind(key);
        if (found != m_searches.constEnd())
            return {200, kXml, *found, false, {}, 0};
    }
    QByteArray body = CatalogXmlWriter::ApplicationList(
        m_search.Find(words, size_t(std::max(m_settings.searchLimit, 0))), baseURL,
        [this](const SourceApplication& application) { return UserRating(application); });
    const std::lock_guard lock(m_cacheMutex);
    if (m_searches.size() >= kMaxCachedLists)
        m_searches.clear();
    if (m_searchGeneration == generation)
        m_searches.insert(key, body);
    return {200, kXml, body, false, {}, 0};
}

SiteAnswer CatalogSite::Rate(QByteArrayView query, const QString& voter, bool store)
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
        if (store)
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
            return {200, contentType, found->body, true, found->entityTag, m_settings.catalogTime};
    }
    QByteArray file;
    try {
        file = m_pictures(*application, match.captured(1) == u"thumbnail"_s);
    } catch (const EMorvalenError& error) {
        return Text(500, error.Message());
    }
    QByteArray tag = HttpCaching::EntityTag(file);
    const std::lock_guard lock(m_pictureMutex);
    m_pictureFiles.insert(path, {0, file, tag});
    return {200, contentType, file, true, tag, m_settings.catalogTime};
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
