#include "net/namedpipe.h"

#include "framework/klog.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace {

// How often a writer waiting on a full pipe looks at its abort flag.
constexpr int kAbortPollMilliseconds = 100;
// The room for messages on their way. The system caps what is asked at its
// own maximum, usually 208 KiB, and doubles it, so messages of up to 256 KiB
// fit anywhere, and several are under way where the system allows more.
constexpr int kSendBufferBytes = 1024 * 1024;

void closeDescriptor(int& handle) {
    if (handle >= 0) {
        ::close(handle);
        handle = -1;
    }
}

}  // namespace

CNamedPipe::~CNamedPipe() {
    Close();
}

CNamedPipe::CNamedPipe(CNamedPipe&& other) noexcept
    : m_blocks(std::move(other.m_blocks)),
      m_abort(std::exchange(other.m_abort, nullptr)),
      m_handle(std::exchange(other.m_handle, -1)),
      m_pendingClient(std::exchange(other.m_pendingClient, -1)),
      m_isServer(std::exchange(other.m_isServer, false)),
      m_connected(std::exchange(other.m_connected, false)) {}

CNamedPipe& CNamedPipe::operator=(CNamedPipe&& other) noexcept {
    if (this != &other) {
        Close();
        m_blocks = std::move(other.m_blocks);
        m_abort = std::exchange(other.m_abort, nullptr);
        m_handle = std::exchange(other.m_handle, -1);
        m_pendingClient = std::exchange(other.m_pendingClient, -1);
        m_isServer = std::exchange(other.m_isServer, false);
        m_connected = std::exchange(other.m_connected, false);
    }
    return *this;
}

bool CNamedPipe::Open(const QString& name) {
    Close();
    int pair[2] = {-1, -1};
    if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, pair) != 0) {
        kWarningLog(u"Server:CreateNamedPipe for %s failed.", name);
        return false;
    }
    m_handle = pair[0];
    m_pendingClient = pair[1];
    if (::setsockopt(m_handle, SOL_SOCKET, SO_SNDBUF, &kSendBufferBytes, sizeof kSendBufferBytes) !=
        0) {
        kWarningLog(u"Server:setsockopt SO_SNDBUF for %s failed (errno %d).", name, errno);
    }
    m_blocks = std::make_shared<CPipeBlockQueue>();
    m_isServer = true;
    m_connected = true;
    return true;
}

CNamedPipe CNamedPipe::TakeClientEnd() {
    CNamedPipe client;
    if (m_pendingClient >= 0) {
        client.m_handle = std::exchange(m_pendingClient, -1);
        client.m_blocks = m_blocks;
        client.m_connected = true;
    }
    return client;
}

bool CNamedPipe::Connect() {
    return m_isServer && m_connected;
}

int CNamedPipe::Write(const void* bytes, int count, int* error) {
    if (m_handle < 0 || bytes == nullptr || count <= 0 || !m_connected) {
        return 0;
    }
    for (;;) {
        const ssize_t sent =
            ::send(m_handle, bytes, static_cast<size_t>(count), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent == count) {
            return count;
        }
        if (sent < 0 && errno == EINTR) {
            continue;
        }
        if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (waitUntilWritable()) {
                continue;
            }
            fail(error, ECANCELED);
            return 0;
        }
        fail(error, sent < 0 ? errno : EIO);
        return 0;
    }
}

// Waits while the reader has not made room; false once the abort flag is up.
bool CNamedPipe::waitUntilWritable() {
    for (;;) {
        if (m_abort != nullptr && m_abort->load()) {
            return false;
        }
        pollfd writable{m_handle, POLLOUT, 0};
        if (::poll(&writable, 1, kAbortPollMilliseconds) != 0) {
            return true;  // writable, or an error that the next send reports
        }
    }
}

int CNamedPipe::Read(void* buffer, int count, int* error) {
    if (m_handle < 0 || buffer == nullptr || count <= 0) {
        return 0;
    }
    iovec part{buffer, static_cast<size_t>(count)};
    msghdr message{};
    message.msg_iov = &part;
    message.msg_iovlen = 1;
    ssize_t received = -1;
    do {
        received = ::recvmsg(m_handle, &message, 0);
    } while (received < 0 && errno == EINTR);
    if (received > 0 && (message.msg_flags & MSG_TRUNC) == 0) {
        return static_cast<int>(received);
    }
    if (received > 0) {
        fail(error, EMSGSIZE);
    } else {
        fail(error, received < 0 ? errno : 0);
    }
    return 0;
}

int CNamedPipe::PendingMessageSize() const {
    if (m_handle < 0) {
        return -1;
    }
    ssize_t size = -1;
    do {
        size = ::recv(m_handle, nullptr, 0, MSG_PEEK | MSG_TRUNC | MSG_DONTWAIT);
    } while (size < 0 && errno == EINTR);
    if (size > 0) {
        return static_cast<int>(size);
    }
    if (size < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
        return 0;
    }
    return -1;
}

bool CNamedPipe::WriteBlock(QByteArray block, int* error) {
    return pushBlock(std::move(block), true, error);
}

bool CNamedPipe::QueueBlock(QByteArray block, int* error) {
    return pushBlock(std::move(block), false, error);
}

bool CNamedPipe::pushBlock(QByteArray block, bool wakeNow, int* error) {
    if (m_handle < 0 || !m_isServer || !m_connected) {
        return false;
    }
    switch (m_blocks->Push(std::move(block), m_abort, wakeNow)) {
        case CPipeBlockQueue::Pushed::kQueued:
            return true;
        case CPipeBlockQueue::Pushed::kWakeReader:
            return sendWake(error);
        case CPipeBlockQueue::Pushed::kFailed:
            break;
    }
    fail(error, m_abort != nullptr && m_abort->load() ? ECANCELED : EPIPE);
    return false;
}

bool CNamedPipe::WakeReader(int* error) {
    if (m_handle < 0 || !m_isServer || !m_connected) {
        return false;
    }
    return !m_blocks->TakeWake() || sendWake(error);
}

// One byte says that blocks wait. The reader takes all that wait each time
// it wakes, so at most a few of these are ever on their way.
bool CNamedPipe::sendWake(int* error) {
    const char wake = 1;
    return Write(&wake, 1, error) == 1;
}

QByteArray CNamedPipe::SpareBlock() {
    return m_blocks && m_isServer ? m_blocks->TakeSpare() : QByteArray();
}

bool CNamedPipe::ReadBlocks(std::vector<QByteArray>& blocks, size_t most, bool* moreWait) {
    if (moreWait != nullptr) {
        *moreWait = false;
    }
    if (m_handle < 0 || m_isServer || !m_blocks) {
        return false;
    }
    // The wake-ups come first: a block queued after them wakes the reader
    // again, one queued before them is taken now.
    bool ended = false;
    for (;;) {
        char wakes[64];
        const ssize_t received = ::recv(m_handle, wakes, sizeof wakes, MSG_DONTWAIT);
        if (received > 0 || (received < 0 && errno == EINTR)) {
            continue;
        }
        ended = received == 0 || (errno != EAGAIN && errno != EWOULDBLOCK);
        break;
    }
    // The writer queues its blocks before it closes: at the end they all
    // wait, and the end counts once the last of them was taken.
    const bool more = m_blocks->Take(blocks, most);
    if (moreWait != nullptr) {
        *moreWait = more;
    }
    if (ended && !more) {
        Close();
        return false;
    }
    return true;
}

void CNamedPipe::RecycleBlock(QByteArray block) {
    if (m_blocks && !m_isServer) {
        m_blocks->Recycle(std::move(block));
    }
}

void CNamedPipe::Close() {
    if (m_blocks && !m_isServer) {
        m_blocks->CloseReader();
    }
    m_blocks.reset();
    closeDescriptor(m_handle);
    closeDescriptor(m_pendingClient);
    m_connected = false;
}

void CNamedPipe::fail(int* error, int code) {
    Close();
    if (error != nullptr) {
        *error = code;
    }
}
