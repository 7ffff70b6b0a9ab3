#pragma once

#include "common/TSyncThread.h"

#include <cstdint>

// Times a tile's flash: tickCount times it sleeps interval milliseconds and then runs the
// callback on the main thread, unless terminated. QThread::finished tells the end.
class TFlashThread final : public TSyncThread
{
    Q_OBJECT

public:
    TFlashThread(uint32_t interval, int tickCount, Callback onTick, QObject* parent = nullptr);
    ~TFlashThread() override;

    uint32_t Interval() const { return m_interval; }
    int TickCount() const { return m_tickCount; }

private:
    void Execute() override;

    const uint32_t m_interval;
    const int m_tickCount;
};
