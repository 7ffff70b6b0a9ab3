#include "DesktopEntry.h"

#include "common/Errors.h"
#include "common/FileUtils.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

using namespace Qt::Literals::StringLiterals;

namespace {

// Values of a desktop entry escape these with a backslash.
QString EscapeValue(const QString& value)
{
    QString escaped;
    escaped.reserve(value.size());
    for (const QChar c : value) {
        switch (c.unicode()) {
        case '\\':
            escaped += u"\\\\"_s;
            break;
        case '\n':
            escaped += u"\\n"_s;
            break;
        case '\t':
            escaped += u"\\t"_s;
            break;
        case '\r':
            escaped += u"\\r"_s;
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

QString UnescapeValue(QStringView value)
{
    QString text;
    text.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c != u'\\' || i + 1 == value.size()) {
            text += c;
            continue;
        }
        switch (value.at(++i).unicode()) {
        case 's':
            text += u' ';
            break;
        case 'n':
            text += u'\n';
            break;
        case 't':
            text += u'\t';
            break;
        case 'r':
            text += u'\r';
            break;
        case '\\':
            text += u'\\';
            break;
        default:
            text += u'\\';
            text += value.at(i);
        }
    }
    return text;
}

} // namespace

std::optional<QStringList> DesktopEntry::HandlerCommand(const QString& mimeType)
{
    constexpr int kQueryTimeoutMs = 5000;
    QProcess query;
    query.start(u"xdg-mime"_s, {u"query"_s, u"default"_s, mimeType});
    if (!query.waitForFinished(kQueryTimeoutMs) || query.exitStatus() != QProcess::NormalExit ||
        query.exitCode() != 0) {
        query.kill();
        query.waitForFinished(kQueryTimeoutMs);
        return std::nullopt;
    }
    const QString desktopFileId = QString::fromUtf8(query.readAllStandardOutput()).trimmed();
    if (desktopFileId.isEmpty())
        return std::nullopt;
    const QString path = FindApplication(desktopFileId);
    if (path.isEmpty())
        return std::nullopt;
    const std::optional<DesktopEntry> entry = Read(path);
    if (!entry)
        return std::nullopt;
    std::optional<QStringList> command = SplitExec(entry->exec);
    if (!command || command->isEmpty())
        return std::nullopt;
    return command;
}

std::optional<DesktopEntry> DesktopEntry::Read(const QString& path)
{
    const std::optional<QByteArray> data = FileUtils::ReadWholeFile(path);
    if (!data)
        return std::nullopt;
    const QString text = QString::fromUtf8(*data);
    bool inGroup = false;
    bool found = false;
    DesktopEntry entry;
    for (QStringView line : QStringView(text).split(u'\n')) {
        line = line.trimmed();
        if (line.startsWith(u'[')) {
            inGroup = line == u"[Desktop Entry]";
            found = found || inGroup;
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (!inGroup || equals <= 0)
            continue;
        const QStringView key = line.first(equals).trimmed();
        const QString value = UnescapeValue(line.sliced(equals + 1).trimmed());
        if (key == u"Name")
            entry.name = value;
        else if (key == u"Exec")
            entry.exec = value;
        else if (key == u"Comment")
            entry.comment = value;
        else if (key == u"Icon")
            entry.icon = value;
        else if (key == u"Categories")
            entry.categories = value;
        else if (key == u"StartupWMClass")
            entry.startupWMClass = value;
        else if (key.startsWith(u"X-"))
            entry.extensions.append({key.toString(), value});
    }
    if (!found)
        return std::nullopt;
    return entry;
}

QString DesktopEntry::Extension(const QString& key) const
{
    for (const auto& [extensionKey, value] : extensions) {
        if (extensionKey == key)
            return value;
    }
    return {};
}

QString DesktopEntry::FindApplication(const QString& desktopFileId)
{
    if (desktopFileId.isEmpty() || desktopFileId.contains(u'/'))
        return {};
    QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (dataHome.isEmpty())
        dataHome = QDir::homePath() + u"/.local/share"_s;
    QString dataDirs = qEnvironmentVariable("XDG_DATA_DIRS");
    if (dataDirs.isEmpty())
        dataDirs = u"/usr/local/share:/usr/share"_s;
    QStringList folders{dataHome};
    folders += dataDirs.split(u':', Qt::SkipEmptyParts);
    // A file id "vendor-app.desktop" may also stand for "vendor/app.desktop".
    QStringList names{desktopFileId};
    if (desktopFileId.contains(u'-'))
        names.append(QString(desktopFileId).replace(u'-', u'/'));
    for (const QString& folder : std::as_const(folders)) {
        for (const QString& name : std::as_const(names)) {
            const QString path = folder + u"/applications/"_s + name;
            if (QFileInfo(path).isFile())
                return path;
        }
    }
    return {};
}

std::optional<QStringList> DesktopEntry::SplitExec(const QString& exec)
{
    QStringList arguments;
    QString current;
    bool inQuotes = false;
    bool hasArgument = false;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        const QChar c = exec.at(i);
        if (inQuotes) {
            if (c == u'"') {
                inQuotes = false;
            } else if (c == u'\\' && i + 1 < exec.size()) {
                current += exec.at(++i);
            } else {
                current += c;
            }
        } else if (c == u'"') {
            inQuotes = true;
            hasArgument = true;
        } else if (c == u' ' || c == u'\t') {
            if (hasArgument)
                arguments.append(current);
            current.clear();
            hasArgument = false;
        } else {
            current += c;
            hasArgument = true;
        }
    }
    if (inQuotes)
        return std::nullopt;
    if (hasArgument)
        arguments.append(current);
    return arguments;
}

QString DesktopEntry::QuoteExecArgument(const QString& argument)
{
    static const QString reserved = u" \t\n\"'\\><~|&;$*?#()`"_s;
    bool needsQuotes = argument.isEmpty();
    for (const QChar c : argument)
        needsQuotes = needsQuotes || reserved.contains(c);
    if (!needsQuotes)
        return argument;
    QString quoted = u"\""_s;
    for (const QChar c : argument) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        quoted += c;
    }
    return quoted + u'"';
}

QString DesktopEntry::ConfigHome()
{
    const QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!configHome.isEmpty())
        return configHome;
    return QDir::homePath() + u"/.config"_s;
}

bool DesktopEntry::Write(const QString& path) const
{
    QString text = u"[Desktop Entry]\nType=Application\nVersion=1.0\n"_s;
    text += u"Name="_s + EscapeValue(name) + u'\n';
    if (!comment.isEmpty())
        text += u"Comment="_s + EscapeValue(comment) + u'\n';
    text += u"Exec="_s + EscapeValue(exec) + u'\n';
    if (!icon.isEmpty())
        text += u"Icon="_s + EscapeValue(icon) + u'\n';
    text += u"Terminal=false\n"_s;
    if (!categories.isEmpty())
        text += u"Categories="_s + EscapeValue(categories) + u'\n';
    if (!startupWMClass.isEmpty())
        text += u"StartupWMClass="_s + EscapeValue(startupWMClass) + u'\n';
    for (const auto& [key, value] : extensions)
        text += key + u'=' + EscapeValue(value) + u'\n';
    try {
        FileUtils::WriteFileAtomically(path, text.toUtf8());
        return true;
    } catch (const EFileError&) {
        return false;
    }
}
