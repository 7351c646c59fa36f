#include "app/singleinstance.h"

#include "framework/klog.h"
#include "platform/paths.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QLocalSocket>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

namespace {

// A path longer than this is no script path; the reader stops there.
constexpr qint64 kMaxHandOffBytes = 64 * 1024;
constexpr char kAnswer[] = "OK\n";

QString systemError() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

}  // namespace

CSingleInstance::CSingleInstance(QString settingsFolder) : m_folder(std::move(settingsFolder)) {
    connect(&m_server, &QLocalServer::newConnection, this, &CSingleInstance::onConnection);
}

CSingleInstance::~CSingleInstance() {
    ReleaseStartupLock();
}

QString CSingleInstance::LockFilePath() const {
    return PathJoin(m_folder, u"Quillex.lock");
}

QString CSingleInstance::SocketPath() const {
    return PathJoin(m_folder, u"Quillex.socket");
}

bool CSingleInstance::AcquireStartupLock() {
    if (HoldsStartupLock()) {
        return true;
    }
    const QByteArray path = QFile::encodeName(LockFilePath());
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        m_error = kFormat(u"cannot open %s: %s", LockFilePath(), systemError());
        return false;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        m_error = errno == EWOULDBLOCK
                      ? QStringLiteral("another instance is starting")
                      : kFormat(u"cannot lock %s: %s", LockFilePath(), systemError());
        ::close(fd);
        return false;
    }
    m_lockFd = fd;
    return true;
}

void CSingleInstance::ReleaseStartupLock() {
    if (m_lockFd >= 0) {
        ::flock(m_lockFd, LOCK_UN);
        ::close(m_lockFd);
        m_lockFd = -1;
    }
}

bool CSingleInstance::Listen(std::function<bool(const QString&)> receiver) {
    m_receiver = std::move(receiver);
    QLocalSocket probe;
    probe.connectToServer(SocketPath());
    if (probe.waitForConnected(1000)) {
        // An earlier instance already takes the hand-offs.
        m_error = QStringLiteral("another instance listens");
        return false;
    }
    // Nobody answers: whatever socket file is left belongs to an ended instance.
    QLocalServer::removeServer(SocketPath());
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server.listen(SocketPath())) {
        m_error = m_server.errorString();
        return false;
    }
    return true;
}

void CSingleInstance::onConnection() {
    while (QLocalSocket* socket = m_server.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, socket, [this, socket] {
            if (!socket->canReadLine()) {
                if (socket->bytesAvailable() > kMaxHandOffBytes) {
                    kWarningLog(u"CSingleInstance: hand-off refused, the path is too long.\n");
                    socket->abort();
                }
                return;
            }
            // A line cut at the limit would hand over another path: refuse it.
            const QByteArray line = socket->readLine(kMaxHandOffBytes);
            if (!line.endsWith('\n')) {
                kWarningLog(u"CSingleInstance: hand-off refused, the path is too long.\n");
                socket->abort();
                return;
            }
            const QString path = QString::fromUtf8(line.chopped(1));
            // A sender that gave up waiting runs the script itself.
            if (socket->state() != QLocalSocket::ConnectedState) {
                kWarningLog(u"CSingleInstance: the sender of %s left before the answer.\n", path);
                return;
            }
            if (!m_receiver || !m_receiver(path)) {
                kWarningLog(u"CSingleInstance: hand-off of %s not taken.\n", path);
                socket->abort();
                return;
            }
            socket->write(kAnswer);
            socket->flush();
            socket->disconnectFromServer();
        });
    }
}

bool CSingleInstance::HandOff(const QString& path, int timeoutMs) {
    if (path.contains(u'\n')) {
        m_error = QStringLiteral("a path with a line break cannot be handed over");
        return false;
    }
    const QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    socket.connectToServer(SocketPath());
    if (!socket.waitForConnected(timeoutMs)) {
        m_error = socket.errorString();
        return false;
    }
    socket.write(path.toUtf8() + '\n');
    if (!socket.waitForBytesWritten(static_cast<int>(deadline.remainingTime()))) {
        m_error = socket.errorString();
        return false;
    }
    QByteArray answer;
    while (!answer.endsWith('\n') && !deadline.hasExpired() &&
           socket.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) {
        answer += socket.readAll();
    }
    if (answer != kAnswer) {
        m_error = QStringLiteral("the running instance did not answer");
        socket.abort();
        return false;
    }
    return true;
}
