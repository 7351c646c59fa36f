#include "net/pipeblocksender.h"

#include <QTest>

#include <gtest/gtest.h>

#include <thread>

namespace {

TEST(PipeBlockSender, EveryBlockArrivesAsOneMessageInOrderBeforeTheEnd) {
    CPipeBlockSender sender;
    ASSERT_TRUE(sender.Open(QStringLiteral("gridpipe")));
    CNamedPipe reader = sender.TakeClientEnd();
    ASSERT_TRUE(reader.IsConnected());
    EXPECT_FALSE(sender.TakeClientEnd().IsConnected()) << "the client end is handed out once";

    std::vector<QByteArray> received;
    std::thread reading([&] {
        char message[100];
        for (int size; (size = reader.Read(message, sizeof message)) > 0;) {
            received.emplace_back(message, size);
        }
    });
    for (const char* block : {"one", "two", "three"}) {
        EXPECT_TRUE(sender.Send(block));
    }
    sender.Close();  // sends what is queued first
    reading.join();
    EXPECT_EQ(received, (std::vector<QByteArray>{"one", "two", "three"}));
    EXPECT_FALSE(sender.IsConnected());
    EXPECT_FALSE(sender.Send("late"));
}

TEST(PipeBlockSender, QueuedBlocksGoOutWithTheNextSendOrAtTheClose) {
    CPipeBlockSender sender;
    ASSERT_TRUE(sender.Open(QStringLiteral("gridpipe")));
    CNamedPipe reader = sender.TakeClientEnd();
    const auto nextMessage = [&reader] {
        EXPECT_TRUE(QTest::qWaitFor([&reader] { return reader.PendingMessageSize() != 0; }, 10000));
        char message[100];
        const int size = reader.Read(message, sizeof message);
        return QByteArray(message, size);
    };
    EXPECT_TRUE(sender.Queue("one"));
    EXPECT_TRUE(sender.Send("two"));
    EXPECT_EQ(nextMessage(), "one");
    EXPECT_EQ(nextMessage(), "two");
    EXPECT_TRUE(sender.Queue("three"));
    sender.Close();
    EXPECT_EQ(nextMessage(), "three");
    EXPECT_EQ(nextMessage(), "") << "then the end of the stream";
}

TEST(PipeBlockSender, TheAbortFlagEndsAProducerWhoseReaderStoppedReading) {
    std::atomic<bool> abort{false};
    CPipeBlockSender sender;
    sender.SetAbortFlag(&abort);
    ASSERT_TRUE(sender.Open(QStringLiteral("gridpipe")));
    CNamedPipe reader = sender.TakeClientEnd();
    std::atomic<int> sent{0};
    std::thread producing([&] {
        while (sender.Send(QByteArray(60000, 'x'))) {
            ++sent;
        }
    });
    while (reader.PendingMessageSize() == 0) {
        std::this_thread::yield();
    }
    abort = true;
    producing.join();  // the pipe and the queue are full; only the flag ends the wait
    EXPECT_GT(sent.load(), 0);
    EXPECT_FALSE(sender.IsConnected());
}

TEST(PipeBlockSender, AReaderThatWentAwayFailsTheNextBlocks) {
    CPipeBlockSender sender;
    ASSERT_TRUE(sender.Open(QStringLiteral("gridpipe")));
    sender.TakeClientEnd().Close();
    while (sender.Send("x")) {
        std::this_thread::yield();
    }
    EXPECT_FALSE(sender.IsConnected());
}

}  // namespace
