#include "TFavoriteIconManager.h"

#include "NamePairIndexFile.h"
#include "SiteAddress.h"
#include "pictures/IconImageData.h"
#include "pictures/PictureFile.h"
#include "pictures/PictureLimits.h"
#include "pictures/TExIcon.h"

#include "common/FileUtils.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QImage>
#include <QRegularExpression>
#include <QThread>
#include <QUrl>

#include <algorithm>
#include <stdexcept>
#include <thread>

using namespace Qt::Literals::StringLiterals;

void TFavoriteIconManager::SetFolder(const QString& folder)
{
    m_folder = folder;
    if (!m_folder.isEmpty() && !m_folder.endsWith(u'/'))
        m_folder += u'/';
    if (!m_folder.isEmpty() && QFileInfo(m_folder).isDir())
        EnsureDefaultIcon();
}

void TFavoriteIconManager::EnsureDefaultIcon()
{
    if (!m_items.empty() && m_items.front().Name == QLatin1StringView(kDefaultName))
        return;
    const QString path = m_folder + QLatin1StringView(kDefaultFileName);
    if (!QFileInfo::exists(path)) {
        // Without the file the tile falls back on the program's own icon; the entry stays.
        try {
            TExIcon icon;
            icon.LoadFromResourceName(QString::fromLatin1(kDefaultIconResource));
            icon.SaveToFile(path);
        } catch (const std::exception&) {
        }
    }
    m_items.insert(m_items.begin(),
                   {QString::fromLatin1(kDefaultName), QString::fromLatin1(kDefaultFileName)});
}

void TFavoriteIconManager::LoadIndex(const QString& fileName)
{
    // Saves killed before their rename leave temporaries beside the index and in the folder,
    // which only this store writes.
    FileUtils::RemoveStaleTemporaryFiles(QFileInfo(fileName).path(), {QFileInfo(fileName).fileName()});
    FileUtils::RemoveStaleTemporaryFiles(m_folder);
    if (const std::optional<QByteArray> data = FileUtils::ReadWholeFile(fileName)) {
        m_items.clear();
        for (auto& [name, iconFile] : NamePairIndexFile::Parse(*data)) {
            // A name from the file never reaches outside the folder.
            if (NamePairIndexFile::IsPlainFileName(iconFile) && QFileInfo(m_folder + iconFile).isFile())
                m_items.push_back({std::move(name), std::move(iconFile)});
        }
        EnsureDefaultIcon();
    }
    m_fileName = fileName;
}

void TFavoriteIconManager::SaveIndex() const
{
    if (m_fileName.isEmpty())
        return;
    std::vector<NamePairIndexFile::Entry> entries;
    entries.reserve(m_items.size());
    for (const TFavoriteIconItemRec& item : m_items)
        entries.emplace_back(item.Name, item.FileName);
    FileUtils::WriteFileAtomically(m_fileName, NamePairIndexFile::Serialize(entries));
}

void TFavoriteIconManager::Cleanup() const
{
    QStringList keep;
    keep.append(m_fileName.isEmpty() ? QString::fromLatin1(kIndexFileName)
                                     : QFileInfo(m_fileName).fileName());
    for (const TFavoriteIconItemRec& item : m_items)
        keep.append(item.FileName);
    NamePairIndexFile::DeleteFilesNotNamed(m_folder, keep);
}

bool TFavoriteIconManager::FetchWhileWaiting(const QString& address, QByteArray& data)
{
    QCoreApplication* application = QCoreApplication::instance();
    if (!application || QThread::currentThread() != application->thread())
        return DownloadToStream(address, data, Limits, [this] { return m_stopRequested.load(); });

    bool fetched = false;
    QEventLoop waiting;
    std::thread worker([&] {
        fetched = DownloadToStream(address, data, Limits, [this] { return m_stopRequested.load(); });
        // Queued: runs once the loop below is running, however soon the transfer ends.
        QMetaObject::invokeMethod(&waiting, &QEventLoop::quit, Qt::QueuedConnection);
    });
    waiting.exec(QEventLoop::ExcludeUserInputEvents);
    worker.join();
    return fetched;
}

bool TFavoriteIconManager::StorePicture(const QImage& picture, const QString& path)
{
    if (picture.isNull())
        return false;
    // The sizes the tiles, menus, windows and launchers draw, so that the store holds one form
    // only.
    std::vector<QImage> sizes;
    for (const int side : {16, 32, 48})
        sizes.push_back(picture.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    TExIcon icon;
    icon.SetPictures(sizes, IconImageData::pf32bit);
    if (icon.Empty() || icon.ImageCount() == 0)
        return false;
    icon.SaveToFile(path);
    return true;
}

bool TFavoriteIconManager::StoreIcon(QByteArrayView data, const QString& path)
{
    try {
        if (PictureFile::Sniff(data) != PictureFile::Format::Unknown)
            return StorePicture(PictureFile::Read(data, PictureLimits::kIconImage), path);
        TExIcon icon;
        icon.LoadFromStream(data);
        if (icon.Empty() || icon.ImageCount() == 0)
            return false;
        icon.SaveToFile(path);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

QString TFavoriteIconManager::StorePageIcon(const QString& url, const QImage& picture)
{
    const QString key = SiteNameOfURL(url);
    if (m_folder.isEmpty() || key.isEmpty() ||
        key.compare(QLatin1String(kDefaultName), Qt::CaseInsensitive) == 0)
        return {};
    const auto existing = std::find_if(m_items.begin(), m_items.end(), [&](const TFavoriteIconItemRec& item) {
        return item.Name.compare(key, Qt::CaseInsensitive) == 0;
    });
    const QString iconFile = existing != m_items.end() ? existing->FileName : key + u".ico"_s;
    if (!NamePairIndexFile::IsPlainFileName(key) || !NamePairIndexFile::IsPlainFileName(iconFile))
        return {};
    try {
        if (!StorePicture(picture, m_folder + iconFile))
            return {};
    } catch (const std::exception&) {
        return {};
    }
    if (existing == m_items.end())
        m_items.push_back({key, iconFile});
    return iconFile;
}

QString DeclaredIconAddress(QByteArrayView page, const QString& pageAddress)
{
    // Only the head matters, and a page may be anything: a bounded look at its start.
    const QString head = QString::fromUtf8(page.first(std::min<qsizetype>(page.size(), 256 * 1024)));
    static const QRegularExpression link(u"<link\\b[^>]*>"_s, QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression rel(u"\\brel\\s*=\\s*(\"[^\"]*\"|'[^']*'|[^\\s>]+)"_s,
                                        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression href(u"\\bhref\\s*=\\s*(\"[^\"]*\"|'[^']*'|[^\\s>]+)"_s,
                                         QRegularExpression::CaseInsensitiveOption);
    const auto value = [](const QRegularExpressionMatch& match) {
        QString text = match.captured(1);
        if (text.startsWith(u'"') || text.startsWith(u'\''))
            text = text.mid(1, text.size() - 2);
        return text.trimmed();
    };
    for (auto it = link.globalMatch(head); it.hasNext();) {
        const QString tag = it.next().captured(0);
        const QStringList kinds = value(rel.match(tag)).toLower().split(u' ', Qt::SkipEmptyParts);
        if (!kinds.contains(u"icon"_s))
            continue;
        const QString target = value(href.match(tag));
        if (target.isEmpty())
            continue;
        const QUrl resolved = QUrl(pageAddress).resolved(QUrl(target));
        if (resolved.isValid() && (resolved.scheme() == u"http"_s || resolved.scheme() == u"https"_s))
            return resolved.toString();
    }
    return {};
}

void TFavoriteIconManager::DownloadIcon(const QString& url, QString& name)
{
    name = DefaultName();
    // The wait runs events; a second request from one of them gets the default at once.
    if (m_downloading)
        return;

    const QString key = SiteNameOfURL(url);
    for (const TFavoriteIconItemRec& item : m_items) {
        if (item.Name.compare(key, Qt::CaseInsensitive) == 0) {
            name = item.Name;
            return;
        }
    }
    // The site name becomes a file name: one that cannot be one gets no icon of its own.
    const QString iconFile = key + u".ico"_s;
    if (!NamePairIndexFile::IsPlainFileName(key) || !NamePairIndexFile::IsPlainFileName(iconFile) ||
        m_folder.isEmpty())
        return;

    QString address = AddURLScheme(HostOfURL(url.toLower()));
    if (!address.contains("favicon.ico"_L1)) {
        if (!address.endsWith(u'/'))
            address += u'/';
        address += u"favicon.ico"_s;
    }

    m_downloading = true;
    m_stopRequested = false;
    QByteArray data;
    bool stored =
        FetchWhileWaiting(address, data) && !m_stopRequested && StoreIcon(data, m_folder + iconFile);
    // Many sites have no /favicon.ico and name their icon in the page instead.
    if (!stored && !m_stopRequested) {
        QByteArray page;
        const QString declared = FetchWhileWaiting(AddURLScheme(url), page) && !m_stopRequested
                                     ? DeclaredIconAddress(page, AddURLScheme(url))
                                     : QString();
        data.clear();
        stored = !declared.isEmpty() && FetchWhileWaiting(declared, data) && !m_stopRequested &&
                 StoreIcon(data, m_folder + iconFile);
    }
    m_downloading = false;
    if (!stored)
        return;
    m_items.push_back({key, iconFile});
    name = key;
}

QString TFavoriteIconManager::FileNameOfName(const QString& name, bool useDefault) const
{
    for (const TFavoriteIconItemRec& item : m_items) {
        if (item.Name.compare(name, Qt::CaseInsensitive) == 0)
            return item.FileName;
    }
    return useDefault ? DefaultFileName() : QString();
}

QString TFavoriteIconManager::NameOfFileName(const QString& fileName, bool useDefault) const
{
    for (const TFavoriteIconItemRec& item : m_items) {
        if (item.FileName.compare(fileName, Qt::CaseInsensitive) == 0)
            return item.Name;
    }
    return useDefault ? DefaultName() : QString();
}

void TFavoriteIconManager::ForEachIcon(const IconCallback& callback) const
{
    if (!callback)
        return;
    for (const TFavoriteIconItemRec& item : m_items)
        callback(item.Name, item.FileName);
}

QString TFavoriteIconManager::DefaultName() const
{
    return m_items.empty() ? QString() : m_items.front().Name;
}

QString TFavoriteIconManager::DefaultFileName() const
{
    return m_items.empty() ? QString() : m_items.front().FileName;
}
