#pragma once

#include "CatalogSearch.h"
#include "CatalogSource.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

#include <functional>
#include <mutex>

class RatingStore;

// One answer of the catalog site.
struct SiteAnswer
{
    int status = 200;
    QByteArray contentType;
    QByteArray body;
    // A file any cache may keep (the catalog's files, pictures and pages), with its validators;
    // search and rating answers and refusals are none.
    bool cacheable = false;
    QByteArray entityTag;
    int64_t lastModified = 0; // seconds since 1970
};

// Everything the catalog server answers, apart from the HTTP transport: the catalog files,
// search, ratings, the version file, the program's web pages and the catalog's pictures.
// Answer may be called from several threads at once.
class CatalogSite final
{
public:
    struct Settings
    {
        // How many applications the What's New, Popular, Highest Rated and Recommended lists hold.
        int listSize = 50;
        // How many applications a search answers at most.
        int searchLimit = 200;
        // When the catalog was last changed (seconds since 1970): the time of every file that
        // no vote changes. A file the users' ratings go into is as new as the newest vote.
        int64_t catalogTime = 0;
    };

    // Draws one picture of an application in its format (the screenshot, or the thumbnail).
    using PictureFn = std::function<QByteArray(const SourceApplication&, bool thumbnail)>;

    CatalogSite(CatalogSource source, RatingStore& ratings, PictureFn pictures, Settings settings);

    CatalogSite(const CatalogSite&) = delete;
    CatalogSite& operator=(const CatalogSite&) = delete;

    // The answer to a GET of target (the path and query exactly as the client sent them).
    // Addresses inside the answer start with baseURL ("http://host:port"). A rating counts as
    // the vote of clientAddress, unless the request is a HEAD: that only asks how a GET would
    // be answered, and a crawler's or cache's HEAD must not vote.
    SiteAnswer Answer(QByteArrayView target, const QString& baseURL, const QString& clientAddress = {},
                      bool head = false);

    // Every path whose answer is a file, the same for every client of one address: what an
    // export writes. Pages have one path each ("/help/index.html", not "/help/").
    QList<QByteArray> StaticPaths() const;

    // The rating the lists show: the mean of the catalog's rating and every voter's rating.
    double UserRating(const SourceApplication& application) const;

    // "http://" + the client's Host header when it is a plain host name or address with an
    // optional port, otherwise fallback. Lists name pictures by the address the client used.
    static QString BaseURLFor(QByteArrayView hostHeader, const QString& fallback);

    const CatalogSource& Source() const { return m_source; }

private:
    struct FileEntry
    {
        int64_t generation;
        QByteArray body;
        QByteArray entityTag;
    };

    // A file of the catalog, made once for each base address (and, when rated, again after
    // each change of the ratings).
    SiteAnswer CachedFile(const QByteArray& path, const QString& baseURL, const QByteArray& contentType,
                          bool rated, const std::function<QByteArray()>& make);
    SiteAnswer CachedList(const QByteArray& path, const QString& baseURL,
                          const std::function<std::vector<const SourceApplication*>()>& select);
    SiteAnswer Search(QByteArrayView query, const QString& baseURL);
    SiteAnswer Rate(QByteArrayView query, const QString& voter, bool store);
    SiteAnswer Picture(const QByteArray& path);
    SiteAnswer CategoryFile(const QByteArray& path, const QString& baseURL);

    std::vector<const SourceApplication*> Newest(const std::function<bool(const SourceApplication&)>& filter,
                                                 size_t limit) const;
    std::vector<const SourceApplication*> ByKey(const std::function<double(const SourceApplication&)>& key,
                                                size_t limit) const;

    const CatalogSource m_source;
    RatingStore& m_ratings;
    PictureFn m_pictures;
    Settings m_settings;
    CatalogSearch m_search;
    QHash<int32_t, QString> m_categoryTitles;

    std::mutex m_cacheMutex;
    QHash<QString, FileEntry> m_files;
    QHash<QString, QByteArray> m_searches;
    int64_t m_searchGeneration = -1;
    std::mutex m_pictureMutex;
    QHash<QByteArray, FileEntry> m_pictureFiles;
};
