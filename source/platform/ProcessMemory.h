#pragma once

#include <QtGlobal>

// What a system monitor shows as a process's memory: its proportional set size, which shares
// each shared page among the processes that map it, so that the figures of several processes
// add up.

// Kilobytes of proportional set size of pid and every process it started, and theirs; 0 when
// none of them can be read (gone, or not the user's).
qint64 ProcessTreePssKb(qint64 pid);
