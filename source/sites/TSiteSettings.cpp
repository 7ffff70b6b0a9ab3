#include "TSiteSettings.h"

#include "common/Errors.h"
#include "common/FileUtils.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>

#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace {

const auto kOwnSession = u"OwnSession"_s;
const auto kZoom = u"Zoom"_s;
const auto kUserAgent = u"UserAgent"_s;
const auto kSpellCheck = u"SpellCheck"_s;
const auto kSpellCheckLanguages = u"SpellCheckLanguages"_s;
const auto kUserStyle = u"UserStyle"_s;
const auto kUserScript = u"UserScript"_s;
const auto kPermissionPrefix = u"Permissions/"_s;

// One value per line: line breaks and the escape character itself are written escaped, so
// that a style sheet or a script of many lines stays one value.
QString Escape(const QString& text)
{
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : text) {
        if (c == u'\\')
            escaped += u"\\\\"_s;
        else if (c == u'\n')
            escaped += u"\\n"_s;
        else if (c == u'\r')
            escaped += u"\\r"_s;
        else
            escaped += c;
    }
    return escaped;
}

QString Unescape(QStringView text)
{
    QString plain;
    plain.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != u'\\' || i + 1 == text.size()) {
            plain += c;
            continue;
        }
        const QChar next = text[++i];
        if (next == u'n')
            plain += u'\n';
        else if (next == u'r')
            plain += u'\r';
        else if (next == u't')
            plain += u'\t';
        else if (next == u'\\')
            plain += u'\\';
        else
            plain += QStringView(text.mid(i - 1, 2));
    }
    return plain;
}

std::optional<bool> ParseBool(const QString& text)
{
    const QString value = text.trimmed().toLower();
    if (value == u"true"_s || value == u"1"_s || value == u"yes"_s)
        return true;
    if (value == u"false"_s || value == u"0"_s || value == u"no"_s)
        return false;
    return std::nullopt;
}

bool IsDefaultZoom(double factor)
{
    return std::abs(factor - 1.0) < 0.001;
}

} // namespace

const QStringList& TSiteSettings::PermissionNames()
{
    static const QStringList names{u"Notifications"_s,    u"Geolocation"_s, u"Camera"_s,
                                   u"Microphone"_s,       u"ScreenShare"_s, u"PopUps"_s,
                                   u"MultipleDownloads"_s};
    return names;
}

TSiteSettings::TSiteSettings(const QString& fileName, QObject* parent) : QObject(parent), m_fileName(fileName)
{
    Reload();
}

void TSiteSettings::Reload()
{
    const QString& fileName = m_fileName;
    m_groups.clear();
    m_readOnly = false;
    m_lastError.clear();
    const QFileInfo info(fileName);
    if (!info.exists())
        return;
    if (info.size() > kMaxFileSize) {
        m_readOnly = true;
        m_lastError = u"\"%1\" is too large for a settings file; it is left as it is."_s.arg(fileName);
        return;
    }
    const std::optional<QByteArray> data = FileUtils::ReadWholeFile(fileName);
    if (!data) {
        m_readOnly = true;
        m_lastError = u"Cannot read \"%1\"; it is left as it is."_s.arg(fileName);
        return;
    }
    m_groups = Parse(*data);
}

QList<TSiteSettings::TGroup> TSiteSettings::Parse(const QByteArray& text)
{
    QList<TGroup> groups;
    TGroup* current = nullptr;
    const auto groupNamed = [&groups](const QString& name) -> TGroup* {
        for (TGroup& group : groups) {
            if (group.Name == name)
                return &group;
        }
        groups.append(TGroup{name, {}});
        return &groups.last();
    };
    for (const QByteArray& rawLine : text.split('\n')) {
        const QString line = QString::fromUtf8(rawLine).trimmed();
        if (line.isEmpty() || line.startsWith(u';') || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[')) {
            // A header that does not close, or names nothing, is no group: its keys go with
            // the group before rather than into a group nobody asks for.
            if (line.endsWith(u']') && line.size() > 2)
                current = groupNamed(Unescape(QStringView(line).mid(1, line.size() - 2)).trimmed());
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (equals <= 0)
            continue;
        const QString key = line.left(equals).trimmed();
        if (key.isEmpty())
            continue;
        if (!current)
            current = groupNamed(QString::fromUtf16(kGeneralGroup));
        const QString value = Unescape(QStringView(line).mid(equals + 1).trimmed());
        auto found = std::find_if(current->Entries.begin(), current->Entries.end(),
                                  [&key](const auto& entry) { return entry.first == key; });
        if (found != current->Entries.end())
            found->second = value;
        else
            current->Entries.append({key, value});
    }
    return groups;
}

QByteArray TSiteSettings::Format(const QList<TGroup>& groups)
{
    QString text;
    for (const TGroup& group : groups) {
        if (group.Entries.isEmpty())
            continue;
        if (!text.isEmpty())
            text += u'\n';
        text += u'[' + Escape(group.Name) + u"]\n"_s;
        for (const auto& [key, value] : group.Entries)
            text += Escape(key) + u'=' + Escape(value) + u'\n';
    }
    return text.toUtf8();
}

const TSiteSettings::TGroup* TSiteSettings::FindGroup(const QString& name) const
{
    for (const TGroup& group : m_groups) {
        if (group.Name == name)
            return &group;
    }
    return nullptr;
}

QString TSiteSettings::Value(const QString& group, const QString& key) const
{
    if (const TGroup* found = FindGroup(group)) {
        for (const auto& [name, value] : found->Entries) {
            if (name == key)
                return value;
        }
    }
    return {};
}

bool TSiteSettings::BoolValue(const QString& group, const QString& key, bool fallback) const
{
    return ParseBool(Value(group, key)).value_or(fallback);
}

bool TSiteSettings::OwnSession(const QString& elementId) const
{
    return BoolValue(elementId, kOwnSession, false);
}

double TSiteSettings::Zoom(const QString& elementId) const
{
    bool ok = false;
    const double factor = Value(elementId, kZoom).trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(factor) || factor < kMinZoom || factor > kMaxZoom)
        return 1.0;
    return factor;
}

QString TSiteSettings::UserAgent(const QString& elementId) const
{
    // A user agent is one header line.
    QString agent = Value(elementId, kUserAgent);
    agent.replace(u'\n', u' ').replace(u'\r', u' ');
    return agent.trimmed();
}

bool TSiteSettings::SpellCheck(const QString& elementId) const
{
    return BoolValue(elementId, kSpellCheck, true);
}

QStringList TSiteSettings::SpellCheckLanguages(const QString& elementId) const
{
    static const QRegularExpression kLanguage(u"^[A-Za-z]{2,3}(-[A-Za-z0-9]{2,8})*$"_s);
    QStringList languages;
    for (const QString& part : Value(elementId, kSpellCheckLanguages).split(u',')) {
        const QString language = part.trimmed();
        if (kLanguage.match(language).hasMatch())
            languages.append(language);
    }
    if (languages.isEmpty())
        languages.append(QLocale::system().name().replace(u'_', u'-'));
    return languages;
}

QString TSiteSettings::UserStyle(const QString& elementId) const
{
    return Value(elementId, kUserStyle);
}

QString TSiteSettings::UserScript(const QString& elementId) const
{
    return Value(elementId, kUserScript);
}

std::optional<bool> TSiteSettings::Permission(const QString& elementId, const QString& name) const
{
    const QString value = Value(elementId, kPermissionPrefix + name).trimmed().toLower();
    if (value == u"allow"_s)
        return true;
    if (value == u"deny"_s)
        return false;
    return std::nullopt;
}

bool TSiteSettings::SetOwnSession(const QString& elementId, bool value)
{
    return Store(elementId, kOwnSession, value ? u"true"_s : QString());
}

bool TSiteSettings::SetZoom(const QString& elementId, double value)
{
    const double factor = std::clamp(std::isfinite(value) ? value : 1.0, kMinZoom, kMaxZoom);
    return Store(elementId, kZoom, IsDefaultZoom(factor) ? QString() : QString::number(factor, 'g', 4));
}

bool TSiteSettings::SetUserAgent(const QString& elementId, const QString& value)
{
    QString agent = value;
    agent.replace(u'\n', u' ').replace(u'\r', u' ');
    return Store(elementId, kUserAgent, agent.trimmed());
}

bool TSiteSettings::SetSpellCheck(const QString& elementId, bool value)
{
    return Store(elementId, kSpellCheck, value ? QString() : u"false"_s);
}

bool TSiteSettings::SetSpellCheckLanguages(const QString& elementId, const QStringList& value)
{
    return Store(elementId, kSpellCheckLanguages, value.join(u','));
}

bool TSiteSettings::SetUserStyle(const QString& elementId, const QString& value)
{
    return Store(elementId, kUserStyle, value);
}

bool TSiteSettings::SetUserScript(const QString& elementId, const QString& value)
{
    return Store(elementId, kUserScript, value);
}

bool TSiteSettings::SetPermission(const QString& elementId, const QString& name, std::optional<bool> allowed)
{
    return Store(elementId, kPermissionPrefix + name,
                 allowed ? (*allowed ? u"allow"_s : u"deny"_s) : QString());
}

bool TSiteSettings::SetValue(const QString& group, const QString& key, const QString& value)
{
    return Store(group, key, value);
}

bool TSiteSettings::Store(const QString& group, const QString& key, const QString& value)
{
    if (group.isEmpty() || key.isEmpty())
        return false;
    auto found = std::find_if(m_groups.begin(), m_groups.end(),
                              [&group](const TGroup& item) { return item.Name == group; });
    if (found == m_groups.end()) {
        if (value.isEmpty())
            return true;
        m_groups.append(TGroup{group, {}});
        found = m_groups.end() - 1;
    }
    auto entry = std::find_if(found->Entries.begin(), found->Entries.end(),
                              [&key](const auto& item) { return item.first == key; });
    if (entry != found->Entries.end() && entry->second == value)
        return true;
    if (value.isEmpty()) {
        if (entry == found->Entries.end())
            return true;
        found->Entries.erase(entry);
        if (found->Entries.isEmpty())
            m_groups.erase(found);
    } else if (entry != found->Entries.end()) {
        entry->second = value;
    } else {
        found->Entries.append({key, value});
    }
    const bool saved = Save();
    emit SiteChanged(group);
    return saved;
}

bool TSiteSettings::RemoveSite(const QString& elementId)
{
    const qsizetype removed =
        m_groups.removeIf([&elementId](const TGroup& group) { return group.Name == elementId; });
    if (removed == 0)
        return true;
    const bool saved = Save();
    emit SiteChanged(elementId);
    return saved;
}

bool TSiteSettings::CopySite(const QString& fromElementId, const QString& toElementId)
{
    const TGroup* from = FindGroup(fromElementId);
    if (!from || fromElementId == toElementId || toElementId.isEmpty())
        return true;
    TGroup copy{toElementId, from->Entries};
    m_groups.removeIf([&toElementId](const TGroup& group) { return group.Name == toElementId; });
    m_groups.append(copy);
    const bool saved = Save();
    emit SiteChanged(toElementId);
    return saved;
}

QStringList TSiteSettings::Groups() const
{
    QStringList names;
    for (const TGroup& group : m_groups)
        names.append(group.Name);
    return names;
}

QList<std::pair<QString, QString>> TSiteSettings::Entries(const QString& group) const
{
    const TGroup* found = FindGroup(group);
    return found ? found->Entries : QList<std::pair<QString, QString>>();
}

bool TSiteSettings::Save()
{
    if (m_fileName.isEmpty())
        return true;
    if (m_readOnly)
        return false;
    try {
        FileUtils::WriteFileAtomically(m_fileName, Format(m_groups));
        m_lastError.clear();
        return true;
    } catch (const EMorvalenError& error) {
        m_lastError = error.Message();
        return false;
    }
}

QString TSiteSettings::StorageName(const QString& elementId)
{
    static const QRegularExpression kPlainName(u"^[A-Za-z0-9_-]{1,64}$"_s);
    if (kPlainName.match(elementId).hasMatch())
        return elementId;
    return QString::fromLatin1(
        QCryptographicHash::hash(elementId.toUtf8(), QCryptographicHash::Sha256).toHex().left(40));
}

QStringList TSiteSettings::SessionFolders(const QString& elementId) const
{
    const QString folder = QFileInfo(m_fileName).absolutePath() + u'/';
    const QString storage = StorageName(elementId);
    return {folder + u"WebEngine/Sites/"_s + storage, folder + u"WebKit/Sites/"_s + storage};
}

bool TSiteSettings::HasSession(const QString& elementId) const
{
    const QStringList folders = SessionFolders(elementId);
    return std::any_of(folders.begin(), folders.end(),
                       [](const QString& folder) { return QFileInfo(folder).isDir(); });
}

bool TSiteSettings::ClearSession(const QString& elementId) const
{
    bool cleared = true;
    for (const QString& folder : SessionFolders(elementId)) {
        QDir session(folder);
        if (session.exists())
            cleared = session.removeRecursively() && cleared;
    }
    return cleared;
}

double TSiteSettings::NextZoom(double factor, bool larger)
{
    if (larger) {
        for (const double level : kZoomLevels) {
            if (level > factor + 0.001)
                return level;
        }
        return kMaxZoom;
    }
    for (auto it = std::rbegin(kZoomLevels); it != std::rend(kZoomLevels); ++it) {
        if (*it < factor - 0.001)
            return *it;
    }
    return kMinZoom;
}
