#pragma once

#include <QMetaObject>
#include <QObject>
#include <QThreadPool>

#include <functional>
#include <memory>
#include <utility>

// Reads files one after the other on a thread of its own and hands each result back, by value,
// to the thread that made the queue, in the order the reads were asked for. A file that takes
// seconds to parse then never holds up the windows, and only one document is in memory at a
// time however many a refresh asks for.
//
// The results of reads still queued or running when the queue goes are dropped, never handed
// back: the destructor waits for the running read.
class TReadQueue final
{
public:
    TReadQueue();
    ~TReadQueue();

    TReadQueue(const TReadQueue&) = delete;
    TReadQueue& operator=(const TReadQueue&) = delete;

    // read runs on the queue's thread, must not throw and must touch nothing the owner's
    // thread uses; done runs on the owner's thread with what read answered.
    template <class Result>
    void Read(std::function<Result()> read, std::function<void(Result&)> done)
    {
        QObject* context = m_context.get();
        int* pending = &m_pending;
        ++m_pending;
        m_pool.start([read = std::move(read), done = std::move(done), context, pending] {
            auto result = std::make_shared<Result>(read());
            QMetaObject::invokeMethod(
                context,
                [done, result, pending] {
                    --*pending;
                    done(*result);
                },
                Qt::QueuedConnection);
        });
    }

    // Runs done on the owner's thread once every read asked for before has been handed back.
    void AfterReads(std::function<void()> done);

    // Reads asked for whose results have not been handed back yet.
    int Pending() const { return m_pending; }

private:
    QThreadPool m_pool;
    // Receives the hand-backs; with it go those not yet delivered.
    std::unique_ptr<QObject> m_context;
    // Only ever changed on the owner's thread.
    int m_pending = 0;
};
