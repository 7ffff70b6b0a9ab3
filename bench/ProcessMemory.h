#pragma once

// The memory the benchmarks report: what a user's system monitor shows for the program.

#include "platform/ProcessMemory.h"

// Kilobytes of proportional set size of pid and all its descendants.
inline long long TreePssKb(int root)
{
    return ProcessTreePssKb(root);
}
