#include "TSyncThread.h"

#include <QCoreApplication>
#include <QtDebug>

// Lives as long as the thread or a queued hand-over still refers to it.
struct TSyncThread::Shared
{
    std::mutex mutex;
    std::condition_variable wake;
};

namespace {

enum class HandOverState
{
    Pending,
    Running,
    Done,
    Dropped
};

} // namespace

TSyncThread::TSyncThread(bool startSuspended, QObject* parent)
    : QThread(parent), m_shared(std::make_shared<Shared>())
{
    if (!startSuspended) {
        m_started = true;
        start();
    }
}

TSyncThread::~TSyncThread()
{
    if (QThread::currentThread() != this)
        TerminateAndWait();
}

void TSyncThread::SetFreeOnTerminate(bool freeOnTerminate)
{
    if (freeOnTerminate)
        connect(this, &QThread::finished, this, &QObject::deleteLater, Qt::UniqueConnection);
    else
        disconnect(this, &QThread::finished, this, &QObject::deleteLater);
}

void TSyncThread::Terminate()
{
    {
        std::lock_guard lock(m_shared->mutex);
        m_terminated = true;
    }
    m_shared->wake.notify_all();
}

void TSyncThread::TerminateAndWait()
{
    Terminate();
    if (m_started)
        wait();
}

void TSyncThread::Suspend()
{
    m_suspended = true;
}

void TSyncThread::Resume()
{
    {
        std::lock_guard lock(m_shared->mutex);
        m_suspended = false;
    }
    m_shared->wake.notify_all();
    if (!m_started) {
        m_started = true;
        start();
    }
}

bool TSyncThread::Suspended() const
{
    return !m_started || m_suspended.load();
}

void TSyncThread::Wake()
{
    {
        std::lock_guard lock(m_shared->mutex);
    }
    m_shared->wake.notify_all();
}

void TSyncThread::run()
{
    Execute();
}

bool TSyncThread::DoCallback()
{
    return Synchronize([this] {
        // A copy: the callback may clear it, or free this thread.
        const Callback callback = m_callback;
        if (callback)
            callback(this);
    });
}

bool TSyncThread::Synchronize(const std::function<void()>& call)
{
    QCoreApplication* application = QCoreApplication::instance();
    if (!application || QThread::currentThread() == application->thread()) {
        call();
        return true;
    }
    if (Terminated())
        return false;

    auto state = std::make_shared<HandOverState>(HandOverState::Pending);
    const std::shared_ptr<Shared> shared = m_shared;
    QMetaObject::invokeMethod(
        application,
        [shared, state, call] {
            {
                std::lock_guard lock(shared->mutex);
                if (*state == HandOverState::Dropped)
                    return;
                *state = HandOverState::Running;
            }
            try {
                call();
            } catch (const std::exception& error) {
                qWarning("Unhandled error in a worker's call: %s", error.what());
            } catch (...) {
                qWarning("Unhandled error in a worker's call");
            }
            {
                std::lock_guard lock(shared->mutex);
                *state = HandOverState::Done;
            }
            shared->wake.notify_all();
        },
        Qt::QueuedConnection);

    std::unique_lock lock(shared->mutex);
    shared->wake.wait(lock, [&] { return *state == HandOverState::Done || m_terminated; });
    if (*state == HandOverState::Pending) {
        *state = HandOverState::Dropped;
        return false;
    }
    // A call that is running while the thread is told to end is left to finish on its own:
    // the main thread may be waiting for this thread from inside that very call.
    return *state == HandOverState::Done;
}

bool TSyncThread::Sleep(unsigned ms, const std::function<bool()>& wakeEarly)
{
    std::unique_lock lock(m_shared->mutex);
    m_shared->wake.wait_for(lock, std::chrono::milliseconds(ms),
                            [&] { return m_terminated || (wakeEarly && wakeEarly()); });
    m_shared->wake.wait(lock, [&] { return m_terminated || !m_suspended; });
    return !m_terminated;
}

void TSyncThread::WaitWhileSuspended()
{
    std::unique_lock lock(m_shared->mutex);
    m_shared->wake.wait(lock, [&] { return m_terminated || !m_suspended; });
}
