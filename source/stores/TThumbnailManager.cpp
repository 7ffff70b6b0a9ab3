#include "TThumbnailManager.h"

#include "NamePairIndexFile.h"

#include "common/Errors.h"
#include "common/FileUtils.h"
#include "pictures/EInvalidGraphic.h"
#include "pictures/GraphicTools.h"
#include "pictures/PictureLimits.h"
#include "pictures/PngFile.h"

#include <QBuffer>
#include <QFileInfo>

using namespace Qt::Literals::StringLiterals;

namespace {

QString NormalisedURL(const QString& url)
{
    return url.trimmed().toLower();
}

QByteArray EncodePng(const QImage& png)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    if (png.isNull() || !png.save(&buffer, "PNG"))
        return {};
    return data;
}

} // namespace

QString TThumbnailManager::PathOf(const QString& fileName) const
{
    if (m_folder.isEmpty() || m_folder.endsWith(u'/'))
        return m_folder + fileName;
    return m_folder + u'/' + fileName;
}

int TThumbnailManager::IndexOf(const QString& url) const
{
    const QString key = NormalisedURL(url);
    for (size_t i = 0; i < m_items.size(); ++i) {
        if (m_items[i].URL == key)
            return int(i);
    }
    return -1;
}

void TThumbnailManager::LoadIndex(const QString& fileName)
{
    // Saves killed before their rename leave temporaries beside the index and in the folder,
    // which only this store writes.
    FileUtils::RemoveStaleTemporaryFiles(QFileInfo(fileName).path(), {QFileInfo(fileName).fileName()});
    FileUtils::RemoveStaleTemporaryFiles(m_folder);
    m_items.clear();
    if (const std::optional<QByteArray> data = FileUtils::ReadWholeFile(fileName)) {
        for (auto& [url, name] : NamePairIndexFile::Parse(*data)) {
            // A name from the file never reaches outside the folder.
            if (NamePairIndexFile::IsPlainFileName(name) && QFileInfo(PathOf(name)).isFile())
                m_items.push_back({std::move(name), std::move(url)});
        }
    }
    m_fileName = fileName;
}

void TThumbnailManager::SaveIndex() const
{
    if (m_fileName.isEmpty())
        return;
    std::vector<NamePairIndexFile::Entry> entries;
    entries.reserve(m_items.size());
    for (const TThumbnailRec& item : m_items)
        entries.emplace_back(item.URL, item.FileName);
    FileUtils::WriteFileAtomically(m_fileName, NamePairIndexFile::Serialize(entries));
}

void TThumbnailManager::Cleanup() const
{
    QStringList keep;
    keep.append(m_fileName.isEmpty() ? QString::fromLatin1(kIndexFileName)
                                     : QFileInfo(m_fileName).fileName());
    for (const TThumbnailRec& item : m_items)
        keep.append(item.FileName);
    NamePairIndexFile::DeleteFilesNotNamed(m_folder, keep);
}

QString TThumbnailManager::NewFileName() const
{
    // A name an entry still holds is skipped too, even when its file has gone, so that two
    // addresses never share a picture.
    for (int n = 1;; ++n) {
        const QString name = u"Thumbnail%1.png"_s.arg(n, 4, 10, QLatin1Char('0'));
        if (QFileInfo::exists(PathOf(name)))
            continue;
        bool held = false;
        for (const TThumbnailRec& item : m_items)
            held = held || item.FileName.compare(name, Qt::CaseInsensitive) == 0;
        if (!held)
            return name;
    }
}

void TThumbnailManager::Store(const QString& url, const QImage& png)
{
    const QString key = NormalisedURL(url);
    if (key.isEmpty())
        return;
    const QByteArray data = EncodePng(png);

    if (const int index = IndexOf(key); index >= 0) {
        const QString path = PathOf(m_items[size_t(index)].FileName);
        if (data.isEmpty())
            throw EFileError(u"Cannot save the picture %1"_s.arg(path));
        FileUtils::WriteFileAtomically(path, data);
        return;
    }

    if (data.isEmpty())
        return;
    TThumbnailRec item{NewFileName(), key};
    try {
        FileUtils::WriteFileAtomically(PathOf(item.FileName), data);
    } catch (const EMorvalenError&) {
        return;
    }
    m_items.push_back(std::move(item));
    SaveIndex();
}

bool TThumbnailManager::Rename(const QString& oldURL, const QString& newURL)
{
    const int index = IndexOf(oldURL);
    if (index < 0)
        return false;
    m_items[size_t(index)].URL = NormalisedURL(newURL);
    SaveIndex();
    return true;
}

bool TThumbnailManager::HasThumbnail(const QString& url) const
{
    return IndexOf(url) >= 0;
}

void TThumbnailManager::LoadThumbnail(const QString& url, QImage& png) const
{
    const int index = IndexOf(url);
    if (index < 0)
        return;
    QImage picture;
    if (const std::optional<QByteArray> data =
            FileUtils::ReadWholeFile(PathOf(m_items[size_t(index)].FileName))) {
        try {
            picture = PngFile::Read(*data, PictureLimits::kThumbnail);
        } catch (const EInvalidGraphic&) {
            // A damaged or oversized file shows the default thumbnail.
        }
    }
    if (picture.isNull())
        picture = GraphicTools::LoadPngResource(QString::fromLatin1(kDefaultThumbnail));
    png = picture;
}
