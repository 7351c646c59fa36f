#include "net/netuibridge.h"
#include "support/recordingnetreceiver.h"

#include <QTest>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(NetUiBridge, CallsFromAnotherThreadArriveOnTheUiThreadInOrder) {
    CNetUiBridge bridge;
    RecordingNetReceiver receiver(bridge);
    std::thread worker([copy = bridge]() mutable {
        copy.PostStatusText(u"one"_qs);
        copy.PostErrorBox(u"two"_qs, u"caption"_qs);
        copy.PostStatusText(u"three"_qs);
    });
    worker.join();
    EXPECT_THAT(receiver.statusTexts, IsEmpty()) << "queued, not called on the worker";
    ASSERT_TRUE(QTest::qWaitFor([&] { return receiver.statusTexts.size() == 2; }, 10000));
    EXPECT_THAT(receiver.statusTexts, ElementsAre(u"one"_qs, u"three"_qs));
    ASSERT_EQ(receiver.errorBoxes.size(), 1u);
    EXPECT_EQ(receiver.errorBoxes[0].caption, u"caption"_qs);
}

TEST(NetUiBridge, ACallThatFindsNobodyIsDroppedAndClosesThePipeEndItCarries) {
    CNetUiBridge bridge;
    CNamedPipe server;
    ASSERT_TRUE(server.Open(u"gridpipe"_qs));
    { RecordingNetReceiver receiver(bridge); }  // gone before the call arrives
    bridge.PostGridDataReady(7, server.TakeClientEnd());
    bridge.PostUnauthorized(*CNetServerKey::FromUrl(u"http://h:1/"_qs, u"u"_qs));
    QCoreApplication::processEvents();
    EXPECT_EQ(server.Write("x", 1), 0) << "the reader's end was closed";
}

TEST(NetUiBridge, ALogoutReachesTheServerConnection) {
    CNetUiBridge bridge;
    RecordingNetReceiver receiver(bridge);
    bridge.PostUnauthorized(*CNetServerKey::FromUrl(u"https://Host:8443/x"_qs, u"ann"_qs));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !receiver.logouts.empty(); }, 10000));
    EXPECT_EQ(receiver.logouts[0].ToString(), u"https://host:8443^ann"_qs);
}

// The UI thread replaces and deletes contexts while a worker posts: once
// SetContext has returned, no post may reach the context it replaced, or a
// post that read the old context would queue to a deleted object.
TEST(NetUiBridge, AReplacedContextCanBeDeletedWhileAThreadPosts) {
    CNetUiBridge bridge;
    auto context = std::make_unique<QObject>();
    bridge.SetContext(context.get());
    std::atomic<bool> stop{false};
    std::thread worker([copy = bridge, &stop]() mutable {
        while (!stop.load()) {
            copy.PostStatusText(u"busy"_qs);
        }
    });
    for (int round = 0; round < 20000; ++round) {
        auto next = std::make_unique<QObject>();
        bridge.SetContext(next.get());
        context = std::move(next);  // deletes the replaced context
    }
    stop = true;
    worker.join();
}

}  // namespace
