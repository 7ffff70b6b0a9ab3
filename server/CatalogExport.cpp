#include "CatalogExport.h"

#include "CatalogSite.h"
#include "RequestTarget.h"

#include "common/Errors.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

using namespace Qt::Literals::StringLiterals;

namespace {

// What an export holds at its top; a folder with anything else is not one.
const QSet<QString> kExportEntries{u"index.html"_s, u"help"_s, u"download"_s, u"xmlcache"_s, u"images"_s};

void CheckReplaceable(const QString& folder)
{
    const QFileInfo info(folder);
    if (!info.exists() && !info.isSymLink())
        return;
    if (info.isSymLink() || !info.isDir())
        throw EMorvalenError(u"%1 is not a folder; the export needs a folder of its own"_s.arg(folder));
    const QStringList entries =
        QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        if (!kExportEntries.contains(entry))
            throw EMorvalenError(
                u"%1 holds \"%2\", which no export writes: give an empty folder, a new one or an earlier export"_s
                    .arg(folder, entry));
    }
}

void WriteFile(const QString& fileName, const QByteArray& body, int64_t time)
{
    QFile file(fileName);
    // The files are public: the web server's user reads them whatever the umask.
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly) || file.write(body) != body.size() ||
        !file.flush() ||
        !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                             QFileDevice::ReadOther) ||
        !file.setFileTime(QDateTime::fromSecsSinceEpoch(time, Qt::UTC), QFileDevice::FileModificationTime))
        throw EMorvalenError(u"Cannot write %1: %2"_s.arg(fileName, file.errorString()));
    file.close();
}

// A folder of the export: anyone may read it, only its owner change it.
void MakeFolder(const QString& folder)
{
    if (!QDir().mkpath(folder) || chmod(QFile::encodeName(folder).constData(), 0755) != 0)
        throw EMorvalenError(u"Cannot create the folder %1"_s.arg(folder));
}

// Every file and folder below the new export on the disk before it takes the old one's place.
void Flush(const QString& folder)
{
    const int handle = open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (handle < 0 || syncfs(handle) != 0) {
        if (handle >= 0)
            close(handle);
        throw EMorvalenError(u"Cannot flush %1 to the disk"_s.arg(folder));
    }
    close(handle);
}

} // namespace

namespace CatalogExport {

int Write(CatalogSite& site, const QString& folder, const QString& baseURL)
{
    const QString target = QFileInfo(folder).absoluteFilePath();
    CheckReplaceable(target);
    const QFileInfo targetInfo(target);
    if (!targetInfo.dir().exists())
        throw EMorvalenError(u"The folder %1 does not exist"_s.arg(targetInfo.absolutePath()));

    // Beside the target, so that the rename stays on one file system; removed, with what it
    // then holds, whatever happens.
    QTemporaryDir work(targetInfo.absolutePath() + u"/."_s + targetInfo.fileName() + u".export-XXXXXX"_s);
    if (!work.isValid())
        throw EMorvalenError(u"Cannot create a folder beside %1: %2"_s.arg(target, work.errorString()));
    // A temporary folder is its owner's only; the export is for the web server to read.
    MakeFolder(work.path());

    int files = 0;
    QSet<QString> folders{work.path()};
    for (const QByteArray& path : site.StaticPaths()) {
        const std::optional<QByteArray> safe = RequestTarget::SafePath(path);
        if (!safe || safe->endsWith('/') || safe->contains("//"))
            throw EMorvalenError(u"The path %1 cannot be a file"_s.arg(QString::fromUtf8(path)));
        const SiteAnswer answer = site.Answer(path, baseURL);
        if (answer.status != 200)
            throw EMorvalenError(u"%1 answered %2: %3"_s.arg(QString::fromUtf8(path))
                                     .arg(answer.status)
                                     .arg(QString::fromUtf8(answer.body).trimmed()));
        const QString fileName = work.path() + QString::fromUtf8(*safe);
        const QString parent = QFileInfo(fileName).absolutePath();
        if (!folders.contains(parent)) {
            MakeFolder(parent);
            folders.insert(parent);
        }
        WriteFile(fileName, answer.body, answer.lastModified);
        ++files;
    }
    Flush(work.path());

    const QByteArray from = QFile::encodeName(work.path());
    const QByteArray to = QFile::encodeName(target);
    // The earlier export and the new one change places in one step; the old one is then in
    // the temporary folder and goes with it.
    const bool replaced =
        QFileInfo::exists(target)
            ? renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_EXCHANGE) == 0
            : renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0;
    if (!replaced)
        throw EMorvalenError(u"Cannot put the export in place of %1: %2"_s.arg(
            target, QString::fromLocal8Bit(std::strerror(errno))));
    return files;
}

} // namespace CatalogExport
