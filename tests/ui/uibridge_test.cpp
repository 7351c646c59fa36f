#include "ui/uibridge.h"
#include "support/onworker.h"

#include <QCoreApplication>
#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

namespace {

class UiBridgeTest : public ::testing::Test {
protected:
    void SetUp() override {
        bridge.SetHandler(UiMessage::StatusText, [this](quintptr text, quintptr) -> qintptr {
            handledOn = QThread::currentThread();
            received = *reinterpret_cast<const QString*>(text);
            return 42;
        });
        bridge.SetHandler(UiMessage::Busy, [this](quintptr state, quintptr) -> qintptr {
            posts.push_back(static_cast<int>(state));
            return 0;
        });
    }

    CUiBridge bridge;
    QThread* handledOn = nullptr;
    QString received;
    std::vector<int> posts;
};

TEST_F(UiBridgeTest, SendFromWorkerRunsOnUiThreadAndReturnsResult) {
    const bool sent = onWorker([this] {
        const QString text = QStringLiteral("Row: 3 of 9");
        qintptr result = 0;
        return bridge.Send(UiMessage::StatusText, reinterpret_cast<quintptr>(&text), 0, &result) &&
               result == 42;
    });
    EXPECT_TRUE(sent);
    EXPECT_EQ(handledOn, QThread::currentThread());
    EXPECT_EQ(received, QStringLiteral("Row: 3 of 9"));
}

TEST_F(UiBridgeTest, SendOnUiThreadIsDirect) {
    const QString text = QStringLiteral("direct");
    qintptr result = 0;
    ASSERT_TRUE(bridge.Send(UiMessage::StatusText, reinterpret_cast<quintptr>(&text), 0, &result));
    EXPECT_EQ(result, 42);
    EXPECT_EQ(received, text) << "handled before Send returned, no event loop needed";
}

TEST_F(UiBridgeTest, PostsAreQueuedInOrder) {
    onWorker([this] {
        bridge.Post(UiMessage::Busy, 5);
        return bridge.Post(UiMessage::Busy, 0);
    });
    EXPECT_TRUE(QTest::qWaitFor([this] { return posts.size() == 2; }));
    EXPECT_EQ(posts, (std::vector<int>{5, 0}));
}

TEST_F(UiBridgeTest, MessageWithoutHandlerIsRefused) {
    EXPECT_FALSE(bridge.Send(UiMessage::RenderTabs, 257));
    EXPECT_FALSE(onWorker([this] { return bridge.Send(UiMessage::RenderTabs, 257); }));
}

TEST_F(UiBridgeTest, EverythingIsRefusedOnceExitBegins) {
    bridge.BeginExit();
    const QString text = QStringLiteral("late");
    EXPECT_FALSE(bridge.Send(UiMessage::StatusText, reinterpret_cast<quintptr>(&text)));
    EXPECT_FALSE(bridge.Post(UiMessage::Busy, 5));
    EXPECT_FALSE(bridge.Call([] { return qintptr{1}; }));
    EXPECT_FALSE(onWorker([&] { return bridge.Send(UiMessage::StatusText, 0); }));
    QCoreApplication::processEvents();
    EXPECT_TRUE(received.isEmpty());
    EXPECT_TRUE(posts.empty());
}

// The UI thread joins a worker that is waiting in a send: exit must release
// the worker instead of both waiting for ever.
TEST_F(UiBridgeTest, ExitReleasesAWorkerWaitingInASend) {
    std::atomic<bool> sending{false};
    auto worker = std::async(std::launch::async, [&] {
        const QString text = QStringLiteral("never shown");
        sending = true;
        return bridge.Send(UiMessage::StatusText, reinterpret_cast<quintptr>(&text));
    });
    // Wait without handling events, so the send stays queued.
    while (!sending.load()) {
        std::this_thread::yield();
    }
    bridge.BeginExit();
    ASSERT_EQ(worker.wait_for(std::chrono::seconds(30)), std::future_status::ready);
    EXPECT_FALSE(worker.get());
    QCoreApplication::processEvents();
    EXPECT_TRUE(received.isEmpty()) << "an abandoned send never runs later";
}

TEST_F(UiBridgeTest, CallFromWorkerWaitsForTheResult) {
    const qintptr answer = onWorker([this] {
        qintptr result = 0;
        bridge.Call(
            [this] {
                handledOn = QThread::currentThread();
                return qintptr{7};
            },
            &result);
        return result;
    });
    EXPECT_EQ(answer, 7);
    EXPECT_EQ(handledOn, QThread::currentThread());
}

TEST(UiMessageNames, NamesCarryTheirWmUserOffset) {
    EXPECT_EQ(static_cast<int>(UiMessage::RunScript), 0x502);
    EXPECT_EQ(static_cast<int>(UiMessage::Busy), 0x510);
    EXPECT_EQ(UiMessageName(UiMessage::StatusText), QStringLiteral("WM_USER+0x10F"));
}

}  // namespace
