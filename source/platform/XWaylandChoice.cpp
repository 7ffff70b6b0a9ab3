#include "XWaylandChoice.h"

#include "common/FileUtils.h"

#include <QDir>
#include <QFile>

using namespace Qt::Literals::StringLiterals;

namespace XWaylandChoice {

namespace {

const auto kKey = "XWayland="_ba;

QString& FilePath()
{
    static QString path;
    return path;
}

} // namespace

bool Offered()
{
    const bool wayland = qEnvironmentVariableIsSet("WAYLAND_DISPLAY") ||
                         qEnvironmentVariable("XDG_SESSION_TYPE") == u"wayland"_s;
    return wayland && qEnvironmentVariableIsSet("DISPLAY");
}

bool Chosen()
{
    if (FilePath().isEmpty())
        return false;
    QFile file(FilePath());
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // One short line is all the file holds; a larger one is not ours.
    const QByteArray text = file.read(256);
    for (const QByteArray& line : text.split('\n'))
        if (line.trimmed().startsWith(kKey))
            return line.trimmed().mid(kKey.size()) == "1";
    return false;
}

bool Choose(bool throughXWayland)
{
    if (FilePath().isEmpty())
        return false;
    try {
        const QByteArray text = "[Display]\n" + kKey + (throughXWayland ? "1\n" : "0\n");
        FileUtils::WriteFileAtomically(FilePath(), text);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool ApplyAtStart(const QString& dataFolder)
{
    FilePath() = QDir(dataFolder).filePath(u"Display.ini"_s);
    if (!Offered() || qEnvironmentVariableIsSet("QT_QPA_PLATFORM") || !Chosen())
        return false;
    qputenv("QT_QPA_PLATFORM", "xcb");
    return true;
}

} // namespace XWaylandChoice
