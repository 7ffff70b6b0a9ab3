#include "XdgAutostart.h"

#include "DesktopEntry.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace Qt::Literals::StringLiterals;

XdgAutostart::XdgAutostart(QString programPath, QStringList options)
    : m_programPath(std::move(programPath)), m_options(std::move(options))
{}

QString XdgAutostart::EntryPath()
{
    return DesktopEntry::ConfigHome() + u"/autostart/morvalen-desktop.desktop"_s;
}

bool XdgAutostart::IsRegistered() const
{
    return QFileInfo::exists(EntryPath());
}

void XdgAutostart::Apply(bool enabled)
{
    const QString path = EntryPath();
    if (!enabled) {
        QFile::remove(path);
        return;
    }
    QString program = m_programPath;
    if (program.isEmpty())
        program = QCoreApplication::applicationFilePath();
    DesktopEntry entry;
    entry.name = u"Morvalen Desktop"_s;
    QStringList words{DesktopEntry::QuoteExecArgument(program)};
    for (const QString& option : std::as_const(m_options))
        words.append(DesktopEntry::QuoteExecArgument(option));
    words.append(u"runminimized"_s);
    entry.exec = words.join(u' ');
    entry.icon = u"morvalen-desktop"_s;
    QDir().mkpath(QFileInfo(path).absolutePath());
    entry.Write(path);
}
