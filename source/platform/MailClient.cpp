#include "MailClient.h"

#include "DesktopEntry.h"

#include <QProcess>

using namespace Qt::Literals::StringLiterals;

namespace MailClient {

namespace {

// "%1" is how mail handlers name the address elsewhere; some entries carry it over.
bool IsAddressCode(QStringView argument)
{
    return argument == u"%u" || argument == u"%U" || argument == u"%1";
}

// Field codes other than the address have no meaning for a mail address.
QString ExpandFieldCodes(const QString& argument, const QString& address, bool& usedAddress)
{
    QString expanded;
    for (qsizetype i = 0; i < argument.size(); ++i) {
        const QChar c = argument.at(i);
        if (c != u'%' || i + 1 == argument.size()) {
            expanded += c;
            continue;
        }
        const QChar code = argument.at(++i);
        if (code == u'%') {
            expanded += u'%';
        } else if (code == u'u' || code == u'U' || code == u'1') {
            expanded += address;
            usedAddress = true;
        }
    }
    return expanded;
}

} // namespace

std::optional<QStringList> RegisteredCommand()
{
    return DesktopEntry::HandlerCommand(u"x-scheme-handler/mailto"_s);
}

QString Escape(const QString& text)
{
    static const QString escaped = u"\n\r \"#%+<>?"_s;
    QString result;
    result.reserve(text.size());
    for (const QChar c : text) {
        if (escaped.contains(c))
            result += u'%' + QString::number(c.unicode(), 16).toUpper().rightJustified(2, u'0');
        else
            result += c;
    }
    return result;
}

QString NormalizeRecipients(const QString& recipients)
{
    QStringList entries = QString(recipients).replace(u';', u',').split(u',');
    for (QString& entry : entries)
        entry = entry.trimmed();
    entries.removeAll(QString());
    return entries.join(u',');
}

QString Address(const QString& recipients, const QString& subject, const QString& body)
{
    return u"mailto:"_s + NormalizeRecipients(recipients) + u"?subject="_s + Escape(subject) + u"&body="_s +
           Escape(body);
}

QString CutWithoutSplittingEscape(const QString& text, qsizetype limit)
{
    if (text.size() <= limit)
        return text;
    if (limit >= 1 && text.at(limit - 1) == u'%')
        return text.left(limit - 1);
    if (limit >= 2 && text.at(limit - 2) == u'%')
        return text.left(limit - 2);
    return text.left(limit);
}

QStringList Command(const QStringList& registered, const QString& address)
{
    // The room the address may take on a line of the arguments joined by blanks.
    qsizetype others = 0;
    qsizetype addressCodes = 0;
    for (const QString& argument : registered) {
        const qsizetype codes = argument.count(u"%u"_s) + argument.count(u"%U"_s) + argument.count(u"%1"_s);
        addressCodes += codes;
        others += argument.size() - 2 * codes;
    }
    const qsizetype separators = registered.size() - (addressCodes > 0 ? 1 : 0);
    const qsizetype room = (kMaxCommandLine - others - separators) / std::max<qsizetype>(addressCodes, 1);
    const QString cut = CutWithoutSplittingEscape(address, std::max<qsizetype>(room, 0));

    QStringList command;
    bool usedAddress = false;
    for (const QString& argument : registered) {
        // A lone field code that expands to nothing leaves no empty argument behind.
        const QString expanded = ExpandFieldCodes(argument, cut, usedAddress);
        if (!expanded.isEmpty() || IsAddressCode(argument) || !argument.startsWith(u'%'))
            command.append(expanded);
    }
    if (!usedAddress)
        command.append(cut);
    return command;
}

bool SendMailToClient(const QString& recipients, const QString& subject, const QString& body)
{
    const std::optional<QStringList> registered = RegisteredCommand();
    if (!registered)
        return false;
    QStringList command = Command(*registered, Address(recipients, subject, body));
    const QString program = command.takeFirst();
    return QProcess::startDetached(program, command);
}

} // namespace MailClient
