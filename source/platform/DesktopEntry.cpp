#include "DesktopEntry.h"

#include "common/Errors.h"
#include "common/FileUtils.h"

#include <QDir>

using namespace Qt::Literals::StringLiterals;

namespace {

// Values of a desktop entry escape these with a backslash.
QString EscapeValue(const QString& value)
{
    QString escaped;
    escaped.reserve(value.size());
    for (const QChar c : value) {
        switch (c.unicode()) {
        case '\\': escaped += u"\\\\"_s; break;
        case '\n': escaped += u"\\n"_s; break;
        case '\t': escaped += u"\\t"_s; break;
        case '\r': escaped += u"\\r"_s; break;
        default: escaped += c;
        }
    }
    return escaped;
}

} // namespace

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
    try {
        FileUtils::WriteFileAtomically(path, text.toUtf8());
        return true;
    } catch (const EFileError&) {
        return false;
    }
}
