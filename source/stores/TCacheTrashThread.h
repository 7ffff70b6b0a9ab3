#pragma once

#include "common/TSyncThread.h"

#include <functional>

// The cache's background sweep: waits a while after it starts, then runs one sweep step
// on the main thread at every interval until it is told to stop. A stop request ends any
// wait at once.
class TCacheTrashThread final : public TSyncThread
{
    Q_OBJECT

public:
    static constexpr unsigned kStartDelayMs = 10000;
    static constexpr unsigned kStepIntervalMs = 1000;

    // Made suspended; Resume starts it.
    TCacheTrashThread(std::function<void()> step, unsigned startDelayMs = kStartDelayMs,
                      unsigned stepIntervalMs = kStepIntervalMs, QObject* parent = nullptr);
    ~TCacheTrashThread() override;

private:
    void Execute() override;

    const std::function<void()> m_step;
    const unsigned m_startDelay;
    const unsigned m_stepInterval;
};
