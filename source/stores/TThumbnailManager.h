#pragma once

#include <QImage>
#include <QString>

#include <vector>

// One entry of the thumbnail index.
struct TThumbnailRec
{
    // The picture's name inside the thumbnail folder.
    QString FileName;
    // The site address, trimmed and lower-cased: the key.
    QString URL;
};

// The small framed pictures of the installed sites, one PNG file per site address in one
// folder, with the index Thumbnails.dat beside them mapping addresses to file names.
// Pictures come through MakeThumbnail, so all share one framed look.
// Lookups trim and lower-case the address and take the first entry that matches exactly.
class TThumbnailManager final
{
public:
    static constexpr char kIndexFileName[] = "Thumbnails.dat";
    // Shown for an indexed address whose picture has gone.
    static constexpr char kDefaultThumbnail[] = "RES_DEFAULTTHUMBNAIL";

    // Kept as given; file names are joined to it with a "/" when it has none at its end.
    void SetFolder(const QString& folder) { m_folder = folder; }
    const QString& Folder() const { return m_folder; }

    // Replaces the entries by those of the index file that name a picture present in the
    // folder, then remembers the file for SaveIndex. A missing or damaged file loses nothing
    // on disk; entries after the first damaged one are not read.
    void LoadIndex(const QString& fileName);
    // Writes every entry to the remembered index file (atomically); nothing before LoadIndex.
    // Throws EFileError when the file cannot be written.
    void SaveIndex() const;
    const QString& FileName() const { return m_fileName; }

    // Deletes the files of the folder that neither are the index file nor are named by an
    // entry.
    void Cleanup() const;

    // Saves the picture for the address: over the entry's file when the address is known
    // (a failure throws EFileError), else under the first free "ThumbnailNNNN.png", recording
    // the entry only once the picture is on disk.
    void Store(const QString& url, const QImage& png);
    // Gives the entry of oldURL the key newURL; false when oldURL has none.
    bool Rename(const QString& oldURL, const QString& newURL);
    bool HasThumbnail(const QString& url) const;
    // The address's picture, or the default picture when its file has gone; png is left as
    // it was for an address without an entry.
    void LoadThumbnail(const QString& url, QImage& png) const;

    const std::vector<TThumbnailRec>& Items() const { return m_items; }

private:
    QString PathOf(const QString& fileName) const;
    int IndexOf(const QString& url) const;
    QString NewFileName() const;

    QString m_folder;
    std::vector<TThumbnailRec> m_items;
    QString m_fileName;
};
