#pragma once

#include <QString>

// The sizes of many files in one folder, asked by bare name through one open handle of the
// folder, so that a long list costs no more than one cheap look-up per file.
class FolderFileSizes final
{
public:
    explicit FolderFileSizes(const QString& folder);
    ~FolderFileSizes();

    FolderFileSizes(const FolderFileSizes&) = delete;
    FolderFileSizes& operator=(const FolderFileSizes&) = delete;

    // The size of the regular file called name in the folder (links followed), or -1 when
    // there is none. name must not contain "/".
    qint64 SizeOf(const QString& name) const;

private:
    int m_folder = -1;
};
