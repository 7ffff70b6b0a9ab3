#include "WebBrowser.h"

#include "DesktopEntry.h"

#include <QProcess>
#include <QUrl>

using namespace Qt::Literals::StringLiterals;

namespace WebBrowser {

QStringList Command(const QStringList& registered, const QString& address)
{
    QStringList command;
    bool placed = false;
    for (const QString& argument : registered) {
        const bool addressCode =
            argument == u"%u" || argument == u"%U" || argument == u"%f" || argument == u"%F";
        if (addressCode) {
            if (!placed)
                command.append(address);
            placed = true;
            continue;
        }
        // Any other lone field code (%i, %c, %k) stands for nothing here.
        if (argument.size() == 2 && argument.at(0) == u'%' && argument.at(1) != u'%')
            continue;
        QString plain = argument;
        command.append(plain.replace(u"%%"_s, u"%"_s));
    }
    if (!placed)
        command.append(address);
    return command;
}

bool Open(const QString& address)
{
    const QString scheme = QUrl(address).scheme().toLower();
    if (scheme.isEmpty())
        return false;
    const std::optional<QStringList> registered =
        DesktopEntry::HandlerCommand(u"x-scheme-handler/"_s + scheme);
    if (!registered)
        return false;
    QStringList command = Command(*registered, address);
    const QString program = command.takeFirst();
    return QProcess::startDetached(program, command);
}

} // namespace WebBrowser
