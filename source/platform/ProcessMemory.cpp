#include "ProcessMemory.h"

#include <QByteArray>
#include <QDir>
#include <QFile>

#include <algorithm>
#include <map>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace {

std::map<qint64, std::vector<qint64>> ChildrenOfProcesses()
{
    std::map<qint64, std::vector<qint64>> children;
    for (const QString& entry : QDir(u"/proc"_s).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool isPid = false;
        const qint64 pid = entry.toLongLong(&isPid);
        if (!isPid)
            continue;
        QFile stat(u"/proc/%1/stat"_s.arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        // The name in parentheses may hold blanks and parentheses itself: the fields follow
        // its last closing one ("pid (name) state ppid ...").
        const QByteArray text = stat.read(4096);
        const qsizetype close = text.lastIndexOf(')');
        if (close < 0)
            continue;
        const QList<QByteArray> fields = text.mid(close + 2).split(' ');
        bool ok = false;
        const qint64 parent = fields.size() > 1 ? fields.at(1).toLongLong(&ok) : 0;
        if (ok)
            children[parent].push_back(pid);
    }
    return children;
}

qint64 PssKb(qint64 pid)
{
    QFile rollup(u"/proc/%1/smaps_rollup"_s.arg(pid));
    if (!rollup.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : rollup.read(64 * 1024).split('\n')) {
        if (!line.startsWith("Pss:"))
            continue;
        bool ok = false;
        const qint64 kb = line.mid(4).trimmed().split(' ').first().toLongLong(&ok);
        return ok && kb > 0 ? kb : 0;
    }
    return 0;
}

} // namespace

qint64 ProcessTreePssKb(qint64 root)
{
    if (root <= 0)
        return 0;
    const std::map<qint64, std::vector<qint64>> children = ChildrenOfProcesses();
    qint64 total = 0;
    std::vector<qint64> pending{root};
    // A process list read while processes come and go is no tree for certain: each is counted
    // once.
    std::vector<qint64> seen;
    while (!pending.empty()) {
        const qint64 pid = pending.back();
        pending.pop_back();
        if (std::find(seen.begin(), seen.end(), pid) != seen.end())
            continue;
        seen.push_back(pid);
        total += PssKb(pid);
        if (const auto found = children.find(pid); found != children.end())
            pending.insert(pending.end(), found->second.begin(), found->second.end());
    }
    return total;
}
