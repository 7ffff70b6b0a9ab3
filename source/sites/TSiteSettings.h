#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>

// How each installed site browses, beyond what its record in MorvalenDesktop.dat holds (that
// file keeps its exact layout, so that it stays readable by every version): SiteSettings.ini
// in the data folder, one group per site named by its ElementId, "[General]" for the
// program's own. Every key is optional; absent means the default.
//
// The file is read leniently: keys this version does not know, and values it cannot use,
// stay in the file as they were (a later version, or the user, may know better) and the
// getters answer the default for them. Each change rewrites the file atomically.
class TSiteSettings final : public QObject
{
    Q_OBJECT

public:
    static constexpr char16_t kFileName[] = u"SiteSettings.ini";
    static constexpr char16_t kGeneralGroup[] = u"General";
    // The zoom steps of the window's "Zoom in" / "Zoom out", as Chromium has them.
    static constexpr double kZoomLevels[] = {0.25, 0.33, 0.5,  0.67, 0.75, 0.8, 0.9, 1.0, 1.1,
                                             1.25, 1.5,  1.75, 2.0,  2.5,  3.0, 4.0, 5.0};
    static constexpr double kMinZoom = 0.25;
    static constexpr double kMaxZoom = 5.0;
    // A larger file is no settings file: it is left alone and never overwritten.
    static constexpr qint64 kMaxFileSize = 8 * 1024 * 1024;

    // The permission keys, "Permissions/<name>".
    static const QStringList& PermissionNames();

    // Reads fileName when it exists. An unreadable or oversized file is reported in
    // LastError and kept as it is: nothing is written over it in this run.
    explicit TSiteSettings(const QString& fileName, QObject* parent = nullptr);

    const QString& FileName() const { return m_fileName; }
    // Reads the file again after another writer replaced it (a restore): what this object
    // held is dropped, never written over the new file.
    void Reload();
    // The last read or write failure, empty when none.
    const QString& LastError() const { return m_lastError; }

    bool OwnSession(const QString& elementId) const;
    double Zoom(const QString& elementId) const;
    QString UserAgent(const QString& elementId) const;
    bool SpellCheck(const QString& elementId) const;
    QStringList SpellCheckLanguages(const QString& elementId) const;
    QString UserStyle(const QString& elementId) const;
    QString UserScript(const QString& elementId) const;
    // The user's answer for a permission name of PermissionNames(); none while not asked.
    std::optional<bool> Permission(const QString& elementId, const QString& name) const;

    // Each setter stores the value (a default value removes the key) and saves; false when
    // the file could not be written (LastError says why; the value is kept for the run).
    bool SetOwnSession(const QString& elementId, bool value);
    bool SetZoom(const QString& elementId, double value);
    bool SetUserAgent(const QString& elementId, const QString& value);
    bool SetSpellCheck(const QString& elementId, bool value);
    bool SetSpellCheckLanguages(const QString& elementId, const QStringList& value);
    bool SetUserStyle(const QString& elementId, const QString& value);
    bool SetUserScript(const QString& elementId, const QString& value);
    // None forgets the answer: the site is asked again.
    bool SetPermission(const QString& elementId, const QString& name, std::optional<bool> allowed);

    // The raw text of a key as the file has it; empty when absent.
    QString Value(const QString& group, const QString& key) const;
    // Stores text as the key's value (empty removes it) and saves.
    bool SetValue(const QString& group, const QString& key, const QString& value);

    // The site went: its group goes with it.
    bool RemoveSite(const QString& elementId);
    // A copy of a site browses as the original did (its own session is a new one).
    bool CopySite(const QString& fromElementId, const QString& toElementId);

    // The groups in file order, and the keys of one with their raw values.
    QStringList Groups() const;
    QList<std::pair<QString, QString>> Entries(const QString& group) const;

    // The folder name that keeps the site's own session: the ElementId when it is a plain
    // name, else a digest of it, so that a name from the file never reaches outside the
    // sessions' folder.
    static QString StorageName(const QString& elementId);
    // The folders that keep the site's own session for both engines, beside the settings
    // file: WebEngine/Sites/<storage> and WebKit/Sites/<storage>.
    QStringList SessionFolders(const QString& elementId) const;
    bool HasSession(const QString& elementId) const;
    // Forgets the site's own sign-in, cookies, storage and cache; false when some of it
    // could not be removed.
    bool ClearSession(const QString& elementId) const;

    // The nearest zoom step above or below factor; factor itself at the ends.
    static double NextZoom(double factor, bool larger);

    // The file's text for these groups, and the groups of a text (what the reader keeps).
    struct TGroup
    {
        QString Name;
        QList<std::pair<QString, QString>> Entries;
    };
    static QByteArray Format(const QList<TGroup>& groups);
    static QList<TGroup> Parse(const QByteArray& text);

signals:
    // A site's settings changed (by any setter).
    void SiteChanged(const QString& elementId);

private:
    const TGroup* FindGroup(const QString& name) const;
    bool BoolValue(const QString& group, const QString& key, bool fallback) const;
    bool Store(const QString& group, const QString& key, const QString& value);
    bool Save();

    QString m_fileName;
    QString m_lastError;
    // The file could not be read: writing it would lose what it holds.
    bool m_readOnly = false;
    QList<TGroup> m_groups;
};
