#include "TReadQueue.h"

TReadQueue::TReadQueue() : m_context(std::make_unique<QObject>())
{
    m_pool.setMaxThreadCount(1);
}

TReadQueue::~TReadQueue()
{
    m_pool.clear();
    m_pool.waitForDone();
}

void TReadQueue::AfterReads(std::function<void()> done)
{
    Read<bool>([] { return true; }, [done = std::move(done)](bool&) { done(); });
}
