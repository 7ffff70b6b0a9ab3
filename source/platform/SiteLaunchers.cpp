#include "SiteLaunchers.h"

#include "DesktopEntry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString kSuffix = u".desktop"_s;
// The program's own entry (menu and autostart) has this name; no launcher may take it.
const QString kProgramEntry = u"morvalen-desktop.desktop"_s;
// Far more sites of one title than anyone keeps.
constexpr int kMaxCandidates = 999;

bool IsControl(char32_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

QString CandidateName(const QString& base, int number)
{
    if (number == 1)
        return base + kSuffix;
    return base + u" ("_s + QString::number(number) + u')' + kSuffix;
}

// The number of a file named like a candidate of base, or 0.
int CandidateNumber(const QString& fileName, const QString& base)
{
    if (fileName == base + kSuffix)
        return 1;
    const QString opening = base + u" ("_s;
    const QString closing = u')' + kSuffix;
    if (!fileName.startsWith(opening) || !fileName.endsWith(closing))
        return 0;
    const QStringView digits =
        QStringView(fileName).sliced(opening.size(), fileName.size() - opening.size() - closing.size());
    if (digits.isEmpty() || digits.size() > 4 || digits.startsWith(u'0'))
        return 0;
    bool ok = false;
    const int number = digits.toInt(&ok);
    return ok && number >= 2 ? number : 0;
}

// An Exec argument in double quotes, whatever it holds.
QString QuotedWord(const QString& word)
{
    QString quoted = u"\""_s;
    for (const QChar c : word) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        quoted += c;
    }
    return quoted + u'"';
}

bool Occupied(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

} // namespace

QString SiteLaunchers::SafeFileName(const QString& title)
{
    QString name;
    name.reserve(title.size());
    for (const char32_t c : title.toUcs4()) {
        if (IsControl(c))
            continue;
        if (c == U'/')
            name += u'-';
        else
            name += QString::fromUcs4(&c, 1);
    }
    // A leading "." would hide the file; blanks at either end are easily lost.
    qsizetype begin = 0;
    while (begin < name.size() && (name.at(begin) == u'.' || name.at(begin).isSpace()))
        ++begin;
    name.remove(0, begin);
    // Whole characters only: a surrogate pair goes as one.
    while (name.toUtf8().size() > kMaxNameBytes)
        name.chop(name.size() >= 2 && name.back().isLowSurrogate() ? 2 : 1);
    while (!name.isEmpty() && name.back().isSpace())
        name.chop(1);
    return name.isEmpty() ? u"Site"_s : name;
}

QString SiteLaunchers::ExecLine(const SiteLauncher& launcher)
{
    QStringList parts;
    for (const QString& argument : launcher.command)
        parts.append(DesktopEntry::QuoteExecArgument(argument));
    parts.append(QuotedWord(launcher.launchWord));
    return parts.join(u' ').replace(u'%', u"%%"_s);
}

const QStringList& SiteLaunchers::EntriesOf(const QString& folder) const
{
    const QDateTime modified = QFileInfo(folder).lastModified();
    auto listing = m_listings.find(folder);
    if (listing == m_listings.end() || !modified.isValid() || listing->modified != modified) {
        listing = m_listings.insert(
            folder, {modified,
                     QDir(folder).entryList({u"*"_s + kSuffix}, QDir::Files | QDir::System | QDir::Hidden)});
    }
    return listing->names;
}

QStringList SiteLaunchers::Candidates(const QString& folder, const QString& base) const
{
    std::vector<std::pair<int, QString>> found;
    for (const QString& name : EntriesOf(folder)) {
        if (const int number = CandidateNumber(name, base))
            found.emplace_back(number, name);
    }
    std::sort(found.begin(), found.end());
    QStringList paths;
    for (const auto& [number, name] : found)
        paths.append(folder + u'/' + name);
    return paths;
}

bool SiteLaunchers::IsOwnEntry(const QString& path, const QString& siteId)
{
    if (siteId.isEmpty())
        return false;
    const std::optional<DesktopEntry> entry = DesktopEntry::Read(path);
    return entry && entry->Extension(QString::fromLatin1(kSiteKey)) == siteId;
}

bool SiteLaunchers::IsFree(TLauncherPlace place, const QString& fileName) const
{
    if (fileName == kProgramEntry || Occupied(m_folders.Folder(place) + u'/' + fileName))
        return false;
    const QStringList shadowed = m_folders.ShadowedFolders(place);
    return std::none_of(shadowed.begin(), shadowed.end(),
                        [&](const QString& folder) { return Occupied(folder + u'/' + fileName); });
}

QString SiteLaunchers::Find(TLauncherPlace place, const QString& title, const QString& siteId) const
{
    const QString folder = m_folders.Folder(place);
    if (folder.isEmpty())
        return {};
    for (const QString& path : Candidates(folder, SafeFileName(title))) {
        if (IsOwnEntry(path, siteId))
            return path;
    }
    return {};
}

void SiteLaunchers::Remove(TLauncherPlace place, const QString& title, const QString& siteId) const
{
    const QString folder = m_folders.Folder(place);
    if (folder.isEmpty())
        return;
    for (const QString& path : Candidates(folder, SafeFileName(title))) {
        if (IsOwnEntry(path, siteId))
            QFile::remove(path);
    }
    m_listings.remove(folder);
}

void SiteLaunchers::RemoveAll(TLauncherPlace place, const QString& siteId) const
{
    const QString folder = m_folders.Folder(place);
    if (folder.isEmpty() || siteId.isEmpty())
        return;
    const QStringList names = EntriesOf(folder);
    for (const QString& name : names) {
        const QString path = folder + u'/' + name;
        if (IsOwnEntry(path, siteId))
            QFile::remove(path);
    }
    m_listings.remove(folder);
}

bool SiteLaunchers::Create(TLauncherPlace place, const SiteLauncher& launcher) const
{
    m_lastError.clear();
    const QString folder = m_folders.Folder(place);
    if (folder.isEmpty()) {
        m_lastError = u"No folder is known for this kind of shortcut."_s;
        return false;
    }
    if (launcher.siteId.isEmpty()) {
        m_lastError = u"The site has no identifier for its shortcut."_s;
        return false;
    }
    if (!QFileInfo(folder).isDir()) {
        if (!m_folders.MakeWhenMissing(place)) {
            m_lastError = u"The folder %1 does not exist."_s.arg(folder);
            return false;
        }
        if (!QDir().mkpath(folder)) {
            m_lastError = u"The folder %1 could not be made."_s.arg(folder);
            return false;
        }
    }

    QString path = Find(place, launcher.title, launcher.siteId);
    if (path.isEmpty()) {
        const QString base = SafeFileName(launcher.title);
        for (int number = 1; number <= kMaxCandidates && path.isEmpty(); ++number) {
            const QString name = CandidateName(base, number);
            if (IsFree(place, name))
                path = folder + u'/' + name;
        }
        if (path.isEmpty()) {
            m_lastError = u"Every name for %1 in %2 is taken."_s.arg(SafeFileName(launcher.title), folder);
            return false;
        }
    }

    DesktopEntry entry;
    entry.name = launcher.title.isEmpty() ? SafeFileName(launcher.title) : launcher.title;
    entry.comment = launcher.comment;
    entry.exec = ExecLine(launcher);
    entry.icon = launcher.icon;
    entry.categories = u"Network;WebBrowser;"_s;
    entry.startupWMClass = launcher.windowClass;
    entry.extensions.append({QString::fromLatin1(kSiteKey), launcher.siteId});
    m_listings.remove(folder);
    if (!entry.Write(path)) {
        m_lastError = u"%1 could not be written in %2."_s.arg(QFileInfo(path).fileName(), folder);
        return false;
    }
    if (place == lpDesktop)
        MarkTrusted(path);
    return true;
}

void SiteLaunchers::MarkTrusted(const QString& path)
{
    // Desktops run a launcher from the desktop only when it is executable; GNOME's desktop
    // also wants it marked trusted through its file metadata.
    QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner | QFile::ExeUser);
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        return;
    const QString gio = QStandardPaths::findExecutable(u"gio"_s);
    if (!gio.isEmpty())
        QProcess::startDetached(gio, {u"set"_s, path, u"metadata::trusted"_s, u"true"_s});
}
