#pragma once

#include "HttpTransfer.h"

#include <QString>

#include <atomic>
#include <functional>
#include <vector>

class QImage;

// One entry of the icon index.
struct TFavoriteIconItemRec
{
    // The site name shown in the icon box: the key, compared case-insensitively.
    QString Name;
    // The icon's file name inside the icon folder.
    QString FileName;
};

// The small icons of the installed sites, one ".ico" file per site name in one folder, with
// the index FavIcons.dat beside them. Once the folder is set the first entry is always the
// default icon "Web", whose file the program writes from its own icon when it is missing.
// The icon a page names in its head (<link rel="icon" href=...>), resolved against the page's
// address; empty when it names none or not a web address.
QString DeclaredIconAddress(QByteArrayView page, const QString& pageAddress);

class TFavoriteIconManager final
{
public:
    static constexpr char kIndexFileName[] = "FavIcons.dat";
    static constexpr char kDefaultName[] = "Web";
    static constexpr char kDefaultFileName[] = "default_favicon.ico";
    static constexpr char kDefaultIconResource[] = "res_ico_DefaultFavoriteIcon";
    // A site's icon is a few kilobytes; anything much larger is not one.
    static constexpr qint64 kMaxIconSize = 4 * 1024 * 1024;

    using IconCallback = std::function<void(const QString& name, const QString& fileName)>;

    // Keeps the folder with a trailing "/"; when it exists, makes sure of the default entry.
    void SetFolder(const QString& folder);
    const QString& Folder() const { return m_folder; }

    // When the file exists, replaces the entries by those of the file whose icon is present
    // in the folder and puts the default entry first. Remembers the name in any case.
    void LoadIndex(const QString& fileName);
    // Rewrites the remembered index file atomically, the default entry first. Throws
    // EFileError when it cannot be written.
    void SaveIndex() const;
    const QString& FileName() const { return m_fileName; }

    // Deletes the files of the folder that neither are the index file nor are named by an
    // entry.
    void Cleanup() const;

    // Fetches the favicon.ico at the root of the address's host and keeps it under the site
    // name, unless an entry of that name exists already. name receives the entry to select:
    // the site's, or the default one when nothing usable arrived. The transfer runs on a
    // worker thread; the caller waits for it while the main thread's events (painting) go on,
    // but not user input. The index is not written here.
    void DownloadIcon(const QString& url, QString& name);
    // A picture of the site's icon that came another way (the page's icon, as the engine has
    // it): kept as the site name's icon file, in the same form as a fetched one, replacing an
    // earlier one. The entry's file name; empty when the picture or the name is unusable or
    // the file cannot be written. The index is not written here.
    QString StorePageIcon(const QString& url, const QImage& picture);
    // Ends a running DownloadIcon soon, with the default name.
    void StopDownload() { m_stopRequested = true; }

    QString FileNameOfName(const QString& name, bool useDefault) const;
    QString NameOfFileName(const QString& fileName, bool useDefault) const;
    // Calls callback for every entry in list order.
    void ForEachIcon(const IconCallback& callback) const;
    QString DefaultName() const;
    QString DefaultFileName() const;

    const std::vector<TFavoriteIconItemRec>& Items() const { return m_items; }

    // The limits of the icon transfer; tests shorten them.
    HttpLimits Limits{5000, 50000, kMaxIconSize};

private:
    void EnsureDefaultIcon();
    // Runs the transfer on a worker thread while the caller's events go on.
    bool FetchWhileWaiting(const QString& address, QByteArray& data);
    // Stores an ICO, PNG, GIF or JPEG as the store's icon file; false for anything else.
    static bool StoreIcon(QByteArrayView data, const QString& path);
    static bool StorePicture(const QImage& picture, const QString& path);

    QString m_folder;
    std::vector<TFavoriteIconItemRec> m_items;
    QString m_fileName;
    std::atomic<bool> m_stopRequested = false;
    bool m_downloading = false;
};
