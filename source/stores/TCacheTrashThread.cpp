#include "TCacheTrashThread.h"

TCacheTrashThread::TCacheTrashThread(std::function<void()> step, unsigned startDelayMs,
                                     unsigned stepIntervalMs, QObject* parent)
    : TSyncThread(true, parent), m_step(std::move(step)), m_startDelay(startDelayMs),
      m_stepInterval(stepIntervalMs)
{}

TCacheTrashThread::~TCacheTrashThread()
{
    TerminateAndWait();
}

void TCacheTrashThread::Execute()
{
    if (!Sleep(m_startDelay))
        return;
    while (!Terminated()) {
        Synchronize(m_step);
        if (!Sleep(m_stepInterval))
            break;
    }
}
