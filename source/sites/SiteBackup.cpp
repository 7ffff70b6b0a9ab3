#include "SiteBackup.h"

#include "SitesDataFile.h"
#include "TMorvalenBaseClass.h"
#include "TSiteSettings.h"

#include "common/Errors.h"
#include "common/FileUtils.h"
#include "stores/NamePairIndexFile.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>
#include <QTemporaryFile>

#include <zip.h>
#include <zlib.h>

#include <sys/stat.h>

#include <cstdio>
#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString kFavIcons = u"FavIcons"_s;
const QString kThumbnails = u"Thumbnails"_s;
const QString kFavIconsIndex = u"FavIcons/FavIcons.dat"_s;
const QString kThumbnailsIndex = u"Thumbnails/Thumbnails.dat"_s;
const QStringList kSignInFolders{u"WebEngine"_s, u"WebKit"_s};

QStringList TopFiles()
{
    return {QString::fromLatin1(SitesDataFile::kFileName), QString::fromUtf16(TSiteSettings::kFileName),
            QString::fromLatin1(SiteBackup::kConfigFileName)};
}

QString WithSlash(const QString& folder)
{
    return folder.endsWith(u'/') ? folder : folder + u'/';
}

struct ZipCloser
{
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
using ZipPtr = std::unique_ptr<zip_t, ZipCloser>;

QString ZipMessage(zip_t* archive)
{
    return QString::fromLocal8Bit(zip_strerror(archive));
}

// The files under folder (relative to root), links and save temporaries left out: a link in
// a backup could point anywhere on the next machine.
void AddFilesUnder(const QString& root, const QString& folder, QStringList& names)
{
    const QString start = root + folder;
    QDirIterator it(start, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        if (info.isSymLink() || !info.isFile() || FileUtils::IsTemporaryFileName(info.fileName()))
            continue;
        names.push_back(folder + u'/' + info.filePath().mid(WithSlash(start).size()));
    }
}

[[noreturn]] void Refuse(const QString& archivePath, const QString& why)
{
    throw EFileError(
        u"The archive \"%1\" was not restored: %2. Nothing was changed."_s.arg(archivePath, why));
}

// Whether an archive entry's name is one of the files a backup holds: relative, "/" only,
// no empty, "." or ".." part, no control character.
bool IsBackedUpName(const QString& name)
{
    if (name.isEmpty() || name.startsWith(u'/') || name.contains(u'\\'))
        return false;
    for (const QChar c : name)
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return false;
    const QStringList parts = name.split(u'/');
    for (const QString& part : parts)
        if (part.isEmpty() || part == u"."_s || part == u".."_s)
            return false;
    if (parts.size() == 1)
        return TopFiles().contains(parts.front());
    return parts.front() == kFavIcons || parts.front() == kThumbnails ||
           kSignInFolders.contains(parts.front());
}

// Extracts every entry of the archive into folder, refusing the archive at the first entry
// that is not a plain backed-up file or inflates past the limits.
void ExtractChecked(const QString& archivePath, const QString& folder, const SiteBackup::Limits& limits)
{
    int error = 0;
    ZipPtr archive(zip_open(QFile::encodeName(archivePath).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &error));
    if (!archive) {
        zip_error_t zipError;
        zip_error_init_with_code(&zipError, error);
        const QString why = QString::fromLocal8Bit(zip_error_strerror(&zipError));
        zip_error_fini(&zipError);
        Refuse(archivePath, u"it is not a readable zip archive (%1)"_s.arg(why));
    }
    const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    if (count < 0 || count > limits.maxEntries)
        Refuse(archivePath, u"it has more than %1 entries"_s.arg(limits.maxEntries));

    QSet<QString> seen;
    qint64 total = 0;
    QByteArray buffer(64 * 1024, Qt::Uninitialized);
    for (zip_int64_t i = 0; i < count; ++i) {
        const char* rawName = zip_get_name(archive.get(), zip_uint64_t(i), ZIP_FL_ENC_GUESS);
        if (!rawName)
            Refuse(archivePath, u"entry %1 has no name"_s.arg(i));
        QString name = QString::fromUtf8(rawName);
        zip_uint8_t system = 0;
        zip_uint32_t attributes = 0;
        if (zip_file_get_external_attributes(archive.get(), zip_uint64_t(i), 0, &system, &attributes) != 0)
            Refuse(archivePath, u"the entry \"%1\" is damaged"_s.arg(name));
        const mode_t mode = system == ZIP_OPSYS_UNIX ? mode_t(attributes >> 16) : 0;
        const bool isFolder = name.endsWith(u'/') || S_ISDIR(mode);
        if ((mode & S_IFMT) != 0 && !S_ISREG(mode) && !S_ISDIR(mode))
            Refuse(archivePath, u"the entry \"%1\" is a link or special file"_s.arg(name));
        if (isFolder)
            name.chop(name.endsWith(u'/') ? 1 : 0);
        if (!IsBackedUpName(name) &&
            !(isFolder && (name == kFavIcons || name == kThumbnails || kSignInFolders.contains(name))))
            Refuse(archivePath, u"the entry \"%1\" is not a file of a backup of sites"_s.arg(name));
        if (isFolder)
            continue;
        if (seen.contains(name))
            Refuse(archivePath, u"the entry \"%1\" is there twice"_s.arg(name));
        seen.insert(name);

        const QString target = folder + name;
        if (!QDir().mkpath(QFileInfo(target).path()))
            throw EFileError(u"Could not create a temporary folder in \"%1\"."_s.arg(folder));
        QFile out(target);
        if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            throw EFileError(u"Could not write \"%1\": %2."_s.arg(target, out.errorString()));
        zip_file_t* entry = zip_fopen_index(archive.get(), zip_uint64_t(i), 0);
        if (!entry)
            Refuse(archivePath,
                   u"the entry \"%1\" cannot be read (%2)"_s.arg(name, ZipMessage(archive.get())));
        // libzip stops at the size the entry claims and does not always check the sum: a
        // shortened claim would restore a cut file.
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(archive.get(), zip_uint64_t(i), 0, &stat) != 0 || !(stat.valid & ZIP_STAT_CRC)) {
            zip_fclose(entry);
            Refuse(archivePath, u"the entry \"%1\" is damaged"_s.arg(name));
        }
        uLong crc = crc32(0L, Z_NULL, 0);
        qint64 size = 0;
        for (;;) {
            const zip_int64_t read = zip_fread(entry, buffer.data(), zip_uint64_t(buffer.size()));
            if (read < 0) {
                zip_fclose(entry);
                Refuse(archivePath, u"the entry \"%1\" is damaged"_s.arg(name));
            }
            if (read == 0)
                break;
            size += read;
            total += read;
            if (size > limits.maxEntrySize || total > limits.maxTotalSize) {
                zip_fclose(entry);
                Refuse(archivePath,
                       size > limits.maxEntrySize
                           ? u"the entry \"%1\" is larger than %2 bytes"_s.arg(name).arg(limits.maxEntrySize)
                           : u"its files are larger than %1 bytes together"_s.arg(limits.maxTotalSize));
            }
            crc = crc32(crc, reinterpret_cast<const Bytef*>(buffer.constData()), uInt(read));
            if (out.write(buffer.constData(), read) != read) {
                zip_fclose(entry);
                throw EFileError(u"Could not write \"%1\": %2."_s.arg(target, out.errorString()));
            }
        }
        zip_fclose(entry);
        if (crc != stat.crc)
            Refuse(archivePath, u"the entry \"%1\" is damaged"_s.arg(name));
        if (!out.flush())
            throw EFileError(u"Could not write \"%1\": %2."_s.arg(target, out.errorString()));
    }
}

// rename(2) replaces the target in one step; QFile::rename does not replace.
void MoveOver(const QString& from, const QString& to)
{
    if (!QDir().mkpath(QFileInfo(to).path()) ||
        std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        throw EFileError(u"Could not move \"%1\" to \"%2\"."_s.arg(from, to));
}

// Moves every file under from to the same place under to, replacing what is there.
void MoveTree(const QString& from, const QString& to)
{
    QStringList names;
    AddFilesUnder(WithSlash(from), QString(), names);
    for (const QString& name : names)
        MoveOver(WithSlash(from) + name.mid(1), WithSlash(to) + name.mid(1));
}

std::vector<NamePairIndexFile::Entry> ReadIndex(const QString& path)
{
    const std::optional<QByteArray> data = FileUtils::ReadWholeFile(path);
    return data ? NamePairIndexFile::Parse(*data) : std::vector<NamePairIndexFile::Entry>{};
}

// Gives the data folder's store (icons or thumbnails) the archive's picture for each key:
// a key the store lacks is added under a free file name, and with replace the picture of a
// key it has is overwritten.
void MergeStore(const QString& extracted, const QString& dataFolder, const QString& folderName,
                const QString& indexName, const QSet<QString>& keys, const QSet<QString>& replaceKeys,
                Qt::CaseSensitivity keyCase)
{
    const std::vector<NamePairIndexFile::Entry> theirs = ReadIndex(extracted + indexName);
    std::vector<NamePairIndexFile::Entry> ours = ReadIndex(dataFolder + indexName);
    const QString ourFolder = dataFolder + folderName + u'/';
    bool indexChanged = false;
    const auto find = [&](const QString& key) {
        return std::find_if(ours.begin(), ours.end(),
                            [&](const auto& entry) { return entry.first.compare(key, keyCase) == 0; });
    };
    for (const auto& [key, fileName] : theirs) {
        const QString source = extracted + folderName + u'/' + fileName;
        if (!keys.contains(keyCase == Qt::CaseInsensitive ? key.toLower() : key) ||
            !NamePairIndexFile::IsPlainFileName(fileName) || !QFileInfo(source).isFile())
            continue;
        const auto mine = find(key);
        if (mine != ours.end()) {
            if (replaceKeys.contains(keyCase == Qt::CaseInsensitive ? key.toLower() : key) &&
                NamePairIndexFile::IsPlainFileName(mine->second))
                MoveOver(source, ourFolder + mine->second);
            continue;
        }
        QString name = fileName;
        const QFileInfo parts(fileName);
        for (int n = 2; QFileInfo::exists(ourFolder + name); ++n)
            name = u"%1-%2%3"_s.arg(parts.completeBaseName())
                       .arg(n)
                       .arg(parts.suffix().isEmpty() ? QString() : u'.' + parts.suffix());
        MoveOver(source, ourFolder + name);
        ours.emplace_back(key, name);
        indexChanged = true;
    }
    if (indexChanged)
        FileUtils::WriteFileAtomically(dataFolder + indexName, NamePairIndexFile::Serialize(ours));
}

// Extracts the archive into folder (checked) and reads the sites of its data file.
SitesDataFile::LoadResult ExtractSites(const QString& archivePath, const QString& folder,
                                       const SiteBackup::Limits& limits)
{
    ExtractChecked(archivePath, folder, limits);
    const QString dataFileName = QString::fromLatin1(SitesDataFile::kFileName);
    const std::optional<QByteArray> data = FileUtils::ReadWholeFile(folder + dataFileName);
    if (!data)
        Refuse(archivePath, u"it holds no %1"_s.arg(dataFileName));
    SitesDataFile::LoadResult sites = SitesDataFile::Parse(*data);
    if (!sites.headerValid || sites.skipped > 0)
        Refuse(archivePath, u"its %1 is damaged"_s.arg(dataFileName));
    return sites;
}

} // namespace

namespace SiteBackup {

std::vector<std::unique_ptr<TMorvalenBaseClass>> Sites(const QString& archivePath, const Limits& limits)
{
    QTemporaryDir temporary;
    if (!temporary.isValid())
        throw EFileError(u"Could not create a temporary folder to read \"%1\"."_s.arg(archivePath));
    return ExtractSites(archivePath, WithSlash(temporary.path()), limits).records;
}

void Write(const QString& dataFolder, const QString& archivePath, bool withSignIns)
{
    const QString root = WithSlash(QFileInfo(dataFolder).absoluteFilePath());
    if (!QFileInfo(root + QString::fromLatin1(SitesDataFile::kFileName)).isFile())
        throw EFileError(u"\"%1\" holds no sites to back up."_s.arg(dataFolder));
    QStringList names;
    for (const QString& name : TopFiles())
        if (QFileInfo(root + name).isFile())
            names.push_back(name);
    QStringList folders{kFavIcons, kThumbnails};
    if (withSignIns)
        folders += kSignInFolders;
    for (const QString& folder : folders)
        AddFilesUnder(root, folder, names);

    QTemporaryFile temporary(archivePath + u".saving-XXXXXX"_s);
    if (!temporary.open())
        throw EFileError(u"Could not write \"%1\": %2."_s.arg(archivePath, temporary.errorString()));
    temporary.close();
    int error = 0;
    ZipPtr archive(
        zip_open(QFile::encodeName(temporary.fileName()).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error));
    if (!archive)
        throw EFileError(u"Could not write \"%1\"."_s.arg(archivePath));
    for (const QString& name : names) {
        zip_source_t* source =
            zip_source_file(archive.get(), QFile::encodeName(root + name).constData(), 0, -1);
        if (!source || zip_file_add(archive.get(), name.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8) < 0) {
            if (source)
                zip_source_free(source);
            throw EFileError(
                u"Could not add \"%1\" to \"%2\": %3."_s.arg(name, archivePath, ZipMessage(archive.get())));
        }
    }
    // zip_close reads the files only now and writes the archive under the temporary name.
    if (zip_close(archive.get()) != 0)
        throw EFileError(u"Could not write \"%1\": %2."_s.arg(archivePath, ZipMessage(archive.get())));
    archive.release();
    MoveOver(temporary.fileName(), archivePath);
    temporary.setAutoRemove(false);
}

RestoreResult Restore(const QString& dataFolder, const QString& archivePath, const ReplaceQuestion& replace,
                      const Limits& limits)
{
    const QString root = WithSlash(QFileInfo(dataFolder).absoluteFilePath());
    const bool folderExisted = QFileInfo(root).isDir();
    if (!QDir().mkpath(root))
        throw EFileError(u"Could not create the data folder \"%1\"."_s.arg(dataFolder));
    RestoreResult result;
    try {
        QTemporaryDir temporary(root + u".restoring-XXXXXX"_s);
        if (!temporary.isValid())
            throw EFileError(u"Could not create a temporary folder in \"%1\"."_s.arg(dataFolder));
        const QString extracted = WithSlash(temporary.path());
        SitesDataFile::LoadResult theirs = ExtractSites(archivePath, extracted, limits);
        const QString dataFileName = QString::fromLatin1(SitesDataFile::kFileName);

        const std::optional<QByteArray> ourData = FileUtils::ReadWholeFile(root + dataFileName);
        if (!ourData) {
            // A folder without sites takes the backup as it is, byte for byte.
            for (const QString& name : TopFiles())
                if (QFileInfo::exists(extracted + name))
                    MoveOver(extracted + name, root + name);
            for (const QString& folder : QStringList{kFavIcons, kThumbnails} + kSignInFolders)
                if (QFileInfo(extracted + folder).isDir())
                    MoveTree(extracted + folder, root + folder);
            result.added = int(theirs.records.size());
            return result;
        }
        SitesDataFile::LoadResult ours = SitesDataFile::Parse(*ourData);
        if (!ours.headerValid)
            throw EFileError(
                u"The archive \"%1\" was not restored: the data folder's %2 is damaged. Nothing was changed."_s
                    .arg(archivePath, dataFileName));

        QStringList touched;
        QSet<QString> iconKeys, iconReplaceKeys, thumbnailKeys, thumbnailReplaceKeys;
        for (auto& record : theirs.records) {
            const auto mine = std::find_if(ours.records.begin(), ours.records.end(), [&](const auto& own) {
                return own->ElementId() == record->ElementId();
            });
            const bool replacing = mine != ours.records.end();
            if (replacing && !(replace && replace(*record))) {
                ++result.kept;
                continue;
            }
            touched.push_back(record->ElementId());
            iconKeys.insert(record->FavIconFileName().toLower());
            thumbnailKeys.insert(record->URL().trimmed().toLower());
            if (replacing) {
                iconReplaceKeys.insert(record->FavIconFileName().toLower());
                thumbnailReplaceKeys.insert(record->URL().trimmed().toLower());
                *mine = std::move(record);
                ++result.replaced;
            } else {
                ours.records.push_back(std::move(record));
                ++result.added;
            }
        }
        if (touched.isEmpty())
            return result;

        MergeStore(extracted, root, kFavIcons, kFavIconsIndex, iconKeys, iconReplaceKeys,
                   Qt::CaseInsensitive);
        MergeStore(extracted, root, kThumbnails, kThumbnailsIndex, thumbnailKeys, thumbnailReplaceKeys,
                   Qt::CaseInsensitive);

        TSiteSettings theirSettings(extracted + QString::fromUtf16(TSiteSettings::kFileName));
        TSiteSettings ourSettings(root + QString::fromUtf16(TSiteSettings::kFileName));
        if (!ourSettings.LastError().isEmpty())
            throw EFileError(ourSettings.LastError());
        for (const QString& id : touched) {
            ourSettings.RemoveSite(id);
            for (const auto& [key, value] : theirSettings.Entries(id))
                ourSettings.SetValue(id, key, value);
            // A site with a session of its own brings its sign-ins when the backup has them.
            const QStringList from = theirSettings.SessionFolders(id);
            const QStringList to = ourSettings.SessionFolders(id);
            for (qsizetype i = 0; i < from.size() && i < to.size(); ++i)
                if (QFileInfo(from[i]).isDir()) {
                    QDir(to[i]).removeRecursively();
                    MoveTree(from[i], to[i]);
                }
        }
        if (!ourSettings.LastError().isEmpty())
            throw EFileError(ourSettings.LastError());
        // The data file last: until it is written the folder shows no new site.
        SitesDataFile::Save(root + dataFileName, ours.records);
    } catch (...) {
        if (!folderExisted)
            QDir(root).removeRecursively();
        throw;
    }
    return result;
}

} // namespace SiteBackup
