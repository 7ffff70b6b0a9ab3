#include "TFlashThread.h"

TFlashThread::TFlashThread(uint32_t interval, int tickCount, Callback onTick, QObject* parent)
    : TSyncThread(true, parent), m_interval(interval), m_tickCount(tickCount)
{
    // Started only now: the thread must not run before this object is complete.
    SetCallback(std::move(onTick));
    Resume();
}

TFlashThread::~TFlashThread()
{
    TerminateAndWait();
}

void TFlashThread::Execute()
{
    for (int tick = 0; tick < m_tickCount; ++tick) {
        if (!Sleep(m_interval) || Terminated())
            return;
        DoCallback();
    }
}
