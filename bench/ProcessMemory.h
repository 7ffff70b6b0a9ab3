#pragma once

// The memory the benchmarks report: what a user's system monitor shows for the program.

#include <QDir>
#include <QFile>

#include <map>
#include <vector>

// Kilobytes of proportional set size of pid and all its descendants.
inline long long TreePssKb(int root)
{
    std::map<int, std::vector<int>> children;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool isPid = false;
        const int pid = entry.toInt(&isPid);
        if (!isPid)
            continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray text = stat.readAll();
        const qsizetype close = text.lastIndexOf(')');
        if (close < 0)
            continue;
        const QList<QByteArray> fields = text.mid(close + 2).split(' ');
        if (fields.size() > 1)
            children[fields[1].toInt()].push_back(pid);
    }
    long long total = 0;
    std::vector<int> pending{root};
    while (!pending.empty()) {
        const int pid = pending.back();
        pending.pop_back();
        QFile rollup(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
        if (rollup.open(QIODevice::ReadOnly))
            for (const QByteArray& line : rollup.readAll().split('\n'))
                if (line.startsWith("Pss:"))
                    total += line.mid(4).trimmed().split(' ').first().toLongLong();
        for (const int child : children[pid])
            pending.push_back(child);
    }
    return total;
}
