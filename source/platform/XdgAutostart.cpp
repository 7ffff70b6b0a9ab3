#include "XdgAutostart.h"

#include "DesktopEntry.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace Qt::Literals::StringLiterals;

XdgAutostart::XdgAutostart(QString programPath) : m_programPath(std::move(programPath)) {}

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
    entry.exec = DesktopEntry::QuoteExecArgument(program) + u" runminimized"_s;
    entry.icon = u"morvalen-desktop"_s;
    QDir().mkpath(QFileInfo(path).absolutePath());
    entry.Write(path);
}
