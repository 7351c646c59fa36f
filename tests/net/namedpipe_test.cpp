#include "net/namedpipe.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <thread>
#include <vector>

namespace {

class NamedPipeTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.Open(QStringLiteral("testpipe")));
        client = server.TakeClientEnd();
        ASSERT_TRUE(client.IsConnected());
    }

    CNamedPipe server;
    CNamedPipe client;
};

TEST_F(NamedPipeTest, EachWriteArrivesAsOneMessageOfItsOwnLength) {
    const QByteArray first("abc");
    const QByteArray second(5000, 'x');
    ASSERT_EQ(server.Write(first.data(), 3), 3);
    ASSERT_EQ(server.Write(second.data(), 5000), 5000);

    EXPECT_EQ(client.PendingMessageSize(), 3);
    char buffer[8000];
    EXPECT_EQ(client.Read(buffer, sizeof buffer), 3);
    EXPECT_EQ(client.PendingMessageSize(), 5000);
    EXPECT_EQ(client.Read(buffer, sizeof buffer), 5000);
    EXPECT_EQ(QByteArray(buffer, 5000), second);
    EXPECT_EQ(client.PendingMessageSize(), 0) << "nothing waiting, the writer still open";
}

TEST_F(NamedPipeTest, AReadBufferShorterThanTheMessageFailsAndClosesTheReader) {
    ASSERT_EQ(server.Write("0123456789", 10), 10);
    char buffer[4];
    int error = 0;
    EXPECT_EQ(client.Read(buffer, sizeof buffer, &error), 0);
    EXPECT_EQ(error, EMSGSIZE);
    EXPECT_FALSE(client.IsConnected());
    EXPECT_EQ(client.GetHandle(), -1);
}

TEST_F(NamedPipeTest, TheReaderSeesTheEndOnceTheWriterCloses) {
    ASSERT_EQ(server.Write("x", 1), 1);
    server.Close();
    char buffer[4];
    EXPECT_EQ(client.Read(buffer, sizeof buffer), 1) << "written data outlives the writer";
    EXPECT_EQ(client.PendingMessageSize(), -1);
    EXPECT_EQ(client.Read(buffer, sizeof buffer), 0);
    EXPECT_FALSE(client.IsConnected());
}

TEST_F(NamedPipeTest, AWriteAfterTheReaderWentAwayFailsWithoutASignal) {
    client.Close();
    int error = 0;
    EXPECT_EQ(server.Write("x", 1, &error), 0);
    EXPECT_EQ(error, EPIPE);
    EXPECT_FALSE(server.IsConnected());
    EXPECT_EQ(server.Write("x", 1), 0) << "a closed end writes nothing";
}

TEST_F(NamedPipeTest, TheAbortFlagEndsAWriteWaitingOnAFullPipe) {
    std::atomic<bool> abort{false};
    server.SetAbortFlag(&abort);
    const std::vector<char> block(60000, 'b');
    std::atomic<int> failedAfter{-1};
    std::thread writer([&] {
        for (int written = 0;; ++written) {
            if (server.Write(block.data(), static_cast<int>(block.size())) == 0) {
                failedAfter = written;
                return;
            }
        }
    });
    // The reader reads nothing, so the writer fills the pipe and waits.
    while (client.PendingMessageSize() == 0) {
        std::this_thread::yield();
    }
    abort = true;
    writer.join();
    EXPECT_GT(failedAfter.load(), 0);
    EXPECT_FALSE(server.IsConnected());
}

TEST(NamedPipe, NothingIsWrittenOrReadWithoutAnEndpointOrBytes) {
    CNamedPipe unopened;
    char buffer[4];
    EXPECT_EQ(unopened.Write("x", 1), 0);
    EXPECT_EQ(unopened.Read(buffer, sizeof buffer), 0);
    EXPECT_FALSE(unopened.TakeClientEnd().IsConnected());

    CNamedPipe server;
    ASSERT_TRUE(server.Open(QStringLiteral("testpipe")));
    EXPECT_TRUE(server.IsServer());
    EXPECT_TRUE(server.Connect());
    EXPECT_EQ(server.Write("x", 0), 0) << "a message of 0 bytes would read as the end";
    EXPECT_EQ(server.Write(nullptr, 1), 0);
    CNamedPipe client = server.TakeClientEnd();
    EXPECT_FALSE(client.IsServer());
    EXPECT_EQ(client.Read(nullptr, 4), 0);
    EXPECT_FALSE(server.TakeClientEnd().IsConnected()) << "the client end is handed out once";
}

TEST(NamedPipe, EveryReplyGetsAPairOfItsOwn) {
    CNamedPipe first;
    CNamedPipe second;
    ASSERT_TRUE(first.Open(QStringLiteral("gridpipe")));
    ASSERT_TRUE(second.Open(QStringLiteral("gridpipe")));
    CNamedPipe firstReader = first.TakeClientEnd();
    CNamedPipe secondReader = second.TakeClientEnd();
    ASSERT_EQ(second.Write("2", 1), 1);
    ASSERT_EQ(first.Write("1", 1), 1);
    char buffer[1];
    ASSERT_EQ(firstReader.Read(buffer, 1), 1);
    EXPECT_EQ(buffer[0], '1');
    ASSERT_EQ(secondReader.Read(buffer, 1), 1);
    EXPECT_EQ(buffer[0], '2');
}

}  // namespace
