#pragma once

#include <QThread>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

// Base of the program's worker threads. A worker never touches the user interface: it
// hands each call to the main thread with Synchronize and blocks until the call has run.
//
// Waiting for a worker never dead-locks in its hand-over: Terminate wakes a worker that
// sleeps, is suspended or waits for the main thread, and a hand-over the main thread has
// not started yet is dropped. Suspension takes effect at safe points (inside Sleep and
// wherever a subclass calls WaitWhileSuspended), never in the middle of a hand-over.
class TSyncThread : public QThread
{
    Q_OBJECT

public:
    using Callback = std::function<void(TSyncThread* sender)>;

    // A thread made with startSuspended waits for its first Resume.
    explicit TSyncThread(bool startSuspended, QObject* parent = nullptr);
    // Asks the thread to end and waits for it.
    ~TSyncThread() override;

    // Set and cleared on the main thread; the calls below run it there and do nothing
    // when it is cleared.
    void SetCallback(Callback callback) { m_callback = std::move(callback); }
    void ClearCallback() { m_callback = nullptr; }

    // Frees the object on the main thread once its work has ended.
    void SetFreeOnTerminate(bool freeOnTerminate);

    void Terminate();
    bool Terminated() const { return m_terminated.load(); }
    // Terminate, then wait until the thread has ended.
    void TerminateAndWait();

    void Suspend();
    void Resume();
    bool Suspended() const;

protected:
    virtual void Execute() = 0;

    // Runs the callback on the main thread and waits for it. Exceptions from the callback
    // are swallowed. Returns false when the call was dropped because of termination.
    bool DoCallback();
    bool Synchronize(const std::function<void()>& call);

    // Sleeps ms milliseconds, or less when terminated or when wakeEarly() turns true
    // (checked whenever the thread is woken). A suspension requested meanwhile holds the
    // thread here until it is resumed. Returns false when terminated.
    bool Sleep(unsigned ms, const std::function<bool()>& wakeEarly = {});
    void WaitWhileSuspended();
    // Wakes a sleeping thread so that it rechecks its flags.
    void Wake();

private:
    void run() final;

    struct Shared;
    std::shared_ptr<Shared> m_shared;
    Callback m_callback;
    std::atomic<bool> m_terminated{false};
    std::atomic<bool> m_suspended{false};
    bool m_started = false;
};
