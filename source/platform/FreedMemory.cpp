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

void ReuseFreedMemory()
{
#if defined(__GLIBC__)
    // Below 32 MiB from the heap rather than mapped anew each time (a full-screen picture of a
    // 4K screen is 32 MiB), and up to 64 MiB free at the heap's top before the library gives
    // it back by itself.
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 64 * 1024 * 1024);
#endif
}

void ReleaseFreedMemoryLater(QObject* context)
{
    // Ten windows closed at once release once per step, not ten times: a later call takes the
    // place of the steps still to come.
    static unsigned latest = 0;
    const unsigned call = ++latest;
    for (const int delayMs : {2000, 8000, 20000})
        QTimer::singleShot(delayMs, context, [call] {
            if (call == latest)
                ReleaseFreedMemory();
        });
}
