#include "ui/threadcallqueue.h"
#include "support/onworker.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <vector>

namespace {

TEST(ThreadCallQueue, CallsFromAWorkerRunOnTheOwnersThreadInOrder) {
    CThreadCallQueue queue;
    std::vector<int> order;
    std::vector<QThread*> threads;
    onWorker([&] {
        for (int i = 0; i < 3; ++i) {
            queue.Queue([&, i] {
                order.push_back(i);
                threads.push_back(QThread::currentThread());
            });
        }
        return true;
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return order.size() == 3; }));
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2}));
    for (QThread* thread : threads) {
        EXPECT_EQ(thread, QThread::currentThread());
    }
}

// A call that shows a modal box runs a nested event loop: the calls queued
// after it must run meanwhile, as each has a wake-up of its own.
TEST(ThreadCallQueue, ACallInANestedLoopLetsTheNextOnesRun) {
    CThreadCallQueue queue;
    bool laterRanInside = false;
    bool later = false;
    queue.Queue([&] {
        QEventLoop nested;
        queue.Queue([&] {
            later = true;
            nested.quit();
        });
        nested.exec();
        laterRanInside = later;
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return laterRanInside; }));
}

// The owner lets the queue go as soon as a worker's call has run, while the
// worker may still be on its way out of Queue: the thread sanitizer's
// build catches a worker that still touches the queue then.
TEST(ThreadCallQueue, TheQueueMayGoOnceAWorkersCallHasRun) {
    auto queue = std::make_unique<CThreadCallQueue>();
    bool ran = false;
    std::thread worker([&queue, &ran] { queue->Queue([&ran] { ran = true; }); });
    EXPECT_TRUE(QTest::qWaitFor([&ran] { return ran; }));
    queue.reset();
    worker.join();
}

TEST(ThreadCallQueue, CallsStillQueuedWhenTheQueueGoesAreDropped) {
    bool ran = false;
    {
        CThreadCallQueue queue;
        queue.Queue([&ran] { ran = true; });
    }
    QCoreApplication::processEvents();
    EXPECT_FALSE(ran);
}

}  // namespace
