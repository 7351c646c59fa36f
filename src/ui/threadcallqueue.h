#pragma once

// Runs calls queued from any thread on the thread this object lives on, one
// per turn of its event loop, in the order they were queued.
//
// The calls wait in a queue of our own under a std::mutex, and a queued
// invocation that Qt builds and frees itself wakes the owning thread.
// Handing the calls themselves to Qt's event queue would order them only by
// Qt's internal locks, which the thread sanitizer cannot see: every call's
// captures would look raced, and a real race in the work they do could not
// be told from those.

#include <QObject>

#include <deque>
#include <functional>
#include <mutex>

class CThreadCallQueue : public QObject {
    Q_OBJECT
public:
    explicit CThreadCallQueue(QObject* parent = nullptr);

    // Any thread. A call still queued when this object is destroyed is
    // dropped without running; once a call has run, the owner may destroy
    // the queue though its caller has not yet returned from Queue.
    void Queue(std::function<void()> call);

private:
    Q_INVOKABLE void runNext();

    std::mutex m_mutex;
    std::deque<std::function<void()>> m_calls;
};
