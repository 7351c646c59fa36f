#include "platform/terminationsignals.h"

#include <QSocketNotifier>
#include <QString>

#include <fcntl.h>
#include <unistd.h>
#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>

namespace {

constexpr std::array kSignals = {SIGTERM, SIGINT, SIGHUP};

// Read by the signal handler: the write end of the pipe, -1 when none.
std::atomic<int> g_writeEnd{-1};
std::array<struct sigaction, kSignals.size()> g_previous{};

extern "C" void onTerminationSignal(int signalNumber) {
    const int savedErrno = errno;
    const unsigned char number = static_cast<unsigned char>(signalNumber);
    const int writeEnd = g_writeEnd.load();
    if (writeEnd >= 0) {
        // A full pipe already holds a signal to act on: this one may drop.
        [[maybe_unused]] const ssize_t written = ::write(writeEnd, &number, 1);
    }
    errno = savedErrno;
}

QString SystemError(const char* what) {
    return QStringLiteral("%1: %2").arg(QString::fromLatin1(what),
                                        QString::fromLocal8Bit(std::strerror(errno)));
}

}  // namespace

CTerminationSignals::CTerminationSignals() = default;

CTerminationSignals::~CTerminationSignals() {
    uninstall();
}

bool CTerminationSignals::Install(Handler handler) {
    if (m_installed) {
        m_handler = std::move(handler);
        return true;
    }
    if (g_writeEnd.load() >= 0) {
        m_errorText = QStringLiteral("the termination signals are caught elsewhere already");
        return false;
    }
    int ends[2] = {-1, -1};
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) {
        m_errorText = SystemError("pipe2");
        return false;
    }
    m_readEnd = ends[0];
    g_writeEnd.store(ends[1]);
    m_installed = true;
    m_handler = std::move(handler);
    m_notifier = std::make_unique<QSocketNotifier>(m_readEnd, QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, [this] { readSignals(); });

    struct sigaction action {};
    action.sa_handler = &onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (; m_caught < kSignals.size(); ++m_caught) {
        if (::sigaction(kSignals[m_caught], &action, &g_previous[m_caught]) != 0) {
            m_errorText = SystemError("sigaction");
            uninstall();
            return false;
        }
    }
    return true;
}

void CTerminationSignals::readSignals() {
    unsigned char numbers[16];
    ssize_t count = 0;
    while ((count = ::read(m_readEnd, numbers, sizeof numbers)) > 0) {
        for (ssize_t i = 0; i < count; ++i) {
            if (m_handler) {
                m_handler(numbers[i]);
            }
        }
    }
}

void CTerminationSignals::uninstall() {
    if (!m_installed) {
        return;
    }
    for (; m_caught > 0; --m_caught) {
        ::sigaction(kSignals[m_caught - 1], &g_previous[m_caught - 1], nullptr);
    }
    m_notifier.reset();
    const int writeEnd = g_writeEnd.exchange(-1);
    ::close(writeEnd);
    ::close(m_readEnd);
    m_readEnd = -1;
    m_installed = false;
}
