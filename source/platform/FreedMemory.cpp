#include "FreedMemory.h"

#include <QTimer>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

void ReleaseFreedMemory()
{
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

void ReleaseFreedMemoryLater(QObject* context)
{
    for (const int delayMs : {2000, 8000})
        QTimer::singleShot(delayMs, context, [] { ReleaseFreedMemory(); });
}
