#include "FolderFileSizes.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

FolderFileSizes::FolderFileSizes(const QString& folder)
    : m_folder(::open(QFile::encodeName(folder.isEmpty() ? QStringLiteral(".") : folder).constData(),
                      O_RDONLY | O_DIRECTORY | O_CLOEXEC))
{}

FolderFileSizes::~FolderFileSizes()
{
    if (m_folder >= 0)
        ::close(m_folder);
}

qint64 FolderFileSizes::SizeOf(const QString& name) const
{
    struct stat status;
    if (m_folder < 0 || name.isEmpty() ||
        ::fstatat(m_folder, QFile::encodeName(name).constData(), &status, 0) != 0 || !S_ISREG(status.st_mode))
        return -1;
    return qint64(status.st_size);
}
