#include "support/fakevelnixserver.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// A plain TCP client, to control when the request goes out.
class RawClient {
public:
    explicit RawClient(int port) : m_fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<uint16_t>(port));
        ::inet_pton(AF_INET, "127.0.0.1", &address.sin_addr);
        m_connected = m_fd >= 0 &&
                      ::connect(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    }
    ~RawClient() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    RawClient(const RawClient&) = delete;
    RawClient& operator=(const RawClient&) = delete;

    bool IsConnected() const { return m_connected; }
    // Whether the server sent something or hung up within the time.
    bool ServerActsWithin(int milliseconds) const {
        pollfd readable{m_fd, POLLIN, 0};
        return ::poll(&readable, 1, milliseconds) != 0;
    }
    bool Send(const QByteArray& bytes) const {
        return ::send(m_fd, bytes.constData(), static_cast<size_t>(bytes.size()), MSG_NOSIGNAL) ==
               bytes.size();
    }
    // Everything until the server closes, or what came within the bound.
    QByteArray ReadAll(int milliseconds) const {
        QByteArray received;
        char buffer[4096];
        while (ServerActsWithin(milliseconds)) {
            const ssize_t count = ::recv(m_fd, buffer, sizeof buffer, 0);
            if (count <= 0) {
                break;
            }
            received.append(buffer, count);
        }
        return received;
    }

private:
    int m_fd;
    bool m_connected = false;
};

// On a loaded machine a client may send its request well after it
// connected; the server waits for it instead of hanging up with no reply.
TEST(FakeVelnixServerTest, ARequestSentLateAfterConnectingIsAnswered) {
    FakeVelnixServer server;
    ASSERT_TRUE(server.IsListening());
    server.Script("/late", FakeVelnixServer::Reply::Xml("<late/>"));
    RawClient client(server.Port());
    ASSERT_TRUE(client.IsConnected());
    EXPECT_FALSE(client.ServerActsWithin(500)) << "the server hung up before the request came";
    ASSERT_TRUE(client.Send("GET /late HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n"));
    const QByteArray reply = client.ReadAll(10000);
    EXPECT_TRUE(reply.startsWith("HTTP/1.1 200")) << reply.toStdString();
    EXPECT_TRUE(reply.endsWith("<late/>")) << reply.toStdString();
}

}  // namespace
