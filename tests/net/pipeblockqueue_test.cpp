#include "net/namedpipe.h"

#include <gtest/gtest.h>

#include <poll.h>

#include <thread>

namespace {

class PipeBlockTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.Open(QStringLiteral("gridpipe")));
        client = server.TakeClientEnd();
        ASSERT_TRUE(client.IsConnected());
    }

    // Waits (bounded) until the reader is woken.
    bool readable() {
        pollfd wake{client.GetHandle(), POLLIN, 0};
        return ::poll(&wake, 1, 10000) == 1;
    }

    CNamedPipe server;
    CNamedPipe client;
    std::vector<QByteArray> blocks;
};

TEST_F(PipeBlockTest, BlocksArriveInOrderWithoutCopiesAndTheEndAfterTheLast) {
    const QByteArray first("one");
    const char* const firstBytes = first.constData();
    for (const QByteArray& block : {first, QByteArray("two"), QByteArray("three")}) {
        EXPECT_TRUE(server.WriteBlock(block));
    }
    ASSERT_TRUE(readable());
    EXPECT_TRUE(client.ReadBlocks(blocks));
    EXPECT_EQ(blocks, (std::vector<QByteArray>{"one", "two", "three"}));
    EXPECT_EQ(blocks.front().constData(), firstBytes) << "handed over, not copied";

    EXPECT_TRUE(server.WriteBlock("four"));
    server.Close();
    blocks.clear();
    ASSERT_TRUE(readable());
    EXPECT_FALSE(client.ReadBlocks(blocks)) << "the writer closed its end";
    EXPECT_EQ(blocks, (std::vector<QByteArray>{"four"})) << "blocks outlive the writer";
    EXPECT_FALSE(client.IsConnected());
}

TEST_F(PipeBlockTest, AReaderTakesAFewBlocksAtATimeAndSeesTheEndAfterTheLast) {
    for (const char* block : {"1", "2", "3", "4", "5"}) {
        EXPECT_TRUE(server.WriteBlock(block));
    }
    server.Close();
    bool moreWait = false;
    std::vector<QByteArray> all;
    for (int turn = 0; turn < 2; ++turn) {
        EXPECT_TRUE(client.ReadBlocks(blocks, 2, &moreWait)) << "blocks still wait at the end";
        EXPECT_TRUE(moreWait);
        EXPECT_EQ(blocks.size(), 2u);
        all.insert(all.end(), blocks.begin(), blocks.end());
        blocks.clear();
    }
    EXPECT_FALSE(client.ReadBlocks(blocks, 2, &moreWait));
    EXPECT_FALSE(moreWait);
    all.insert(all.end(), blocks.begin(), blocks.end());
    EXPECT_EQ(all, (std::vector<QByteArray>{"1", "2", "3", "4", "5"}));
}

TEST_F(PipeBlockTest, NothingWaitingLeavesTheReaderAsleep) {
    EXPECT_TRUE(client.ReadBlocks(blocks));
    EXPECT_TRUE(blocks.empty());
    pollfd wake{client.GetHandle(), POLLIN, 0};
    EXPECT_EQ(::poll(&wake, 1, 0), 0);
    EXPECT_TRUE(server.WriteBlock("x"));
    EXPECT_EQ(::poll(&wake, 1, 0), 1) << "a block wakes it";
}

TEST_F(PipeBlockTest, QueuedBlocksWakeTheReaderOnceAFewWaitOrWhenTheWriterAsks) {
    pollfd wake{client.GetHandle(), POLLIN, 0};
    for (size_t block = 1; block < CPipeBlockQueue::kBlocksPerWake; ++block) {
        EXPECT_TRUE(server.QueueBlock("x"));
    }
    EXPECT_EQ(::poll(&wake, 1, 0), 0) << "too few wait yet";
    EXPECT_TRUE(server.WakeReader());
    EXPECT_EQ(::poll(&wake, 1, 0), 1);
    ASSERT_TRUE(client.ReadBlocks(blocks));
    EXPECT_EQ(blocks.size(), CPipeBlockQueue::kBlocksPerWake - 1);

    EXPECT_TRUE(server.WakeReader()) << "nothing waits: no wake-up";
    EXPECT_EQ(::poll(&wake, 1, 0), 0);
    for (size_t block = 0; block < CPipeBlockQueue::kBlocksPerWake; ++block) {
        EXPECT_EQ(::poll(&wake, 1, 0), 0);
        EXPECT_TRUE(server.QueueBlock("y"));
    }
    EXPECT_EQ(::poll(&wake, 1, 0), 1) << "enough wait";
}

TEST_F(PipeBlockTest, BlocksTheReaderGivesBackAreFilledAgain) {
    EXPECT_TRUE(server.SpareBlock().isNull()) << "none came back yet";
    QByteArray block(1000, 'x');
    const char* const bytes = block.constData();
    EXPECT_TRUE(server.WriteBlock(std::move(block)));
    ASSERT_TRUE(client.ReadBlocks(blocks));
    client.RecycleBlock(std::move(blocks.front()));
    blocks.clear();
    EXPECT_EQ(server.SpareBlock().constData(), bytes);
}

TEST_F(PipeBlockTest, AReaderThatWentAwayFailsTheNextBlockAndClosesTheWriter) {
    client.Close();
    int error = 0;
    EXPECT_FALSE(server.WriteBlock("x", &error));
    EXPECT_EQ(error, EPIPE);
    EXPECT_FALSE(server.IsConnected());
    EXPECT_FALSE(server.WriteBlock("y"));
}

TEST_F(PipeBlockTest, AWriterWaitsOnAFullQueueUntilTheReaderTakesOrTheAbortFlagRises) {
    std::atomic<bool> abort{false};
    server.SetAbortFlag(&abort);
    std::atomic<int> written{0};
    std::thread writing([&] {
        while (server.WriteBlock(QByteArray(60000, 'x'))) {
            ++written;
        }
    });
    ASSERT_TRUE(readable());
    while (written.load() < int(CPipeBlockQueue::kQueuedBlocks)) {
        std::this_thread::yield();
    }
    ASSERT_TRUE(client.ReadBlocks(blocks));
    EXPECT_GE(blocks.size(), CPipeBlockQueue::kQueuedBlocks);
    // The writer fills the queue again and waits; only the flag ends the wait.
    while (written.load() < int(blocks.size() + CPipeBlockQueue::kQueuedBlocks)) {
        std::this_thread::yield();
    }
    abort = true;
    writing.join();
    EXPECT_EQ(written.load(), int(blocks.size() + CPipeBlockQueue::kQueuedBlocks));
    EXPECT_FALSE(server.IsConnected());
}

}  // namespace
