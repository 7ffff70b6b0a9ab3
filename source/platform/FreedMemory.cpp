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
