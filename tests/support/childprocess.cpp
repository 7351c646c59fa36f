#include "support/childprocess.h"

#include "platform/posixspawn.h"

#include <QDeadlineTimer>
#include <QThread>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>
#include <csignal>
#include <cstring>

ChildProcess::~ChildProcess() {
    Kill();
}

bool ChildProcess::Start(const QString& program, const QStringList& arguments, Output output,
                         const QProcessEnvironment& environment) {
    Kill();
    m_ended = false;
    m_status = 0;
    const CSpawnStrings argv(QStringList{program} + arguments);
    const CSpawnStrings envp(environment.toStringList());

    CSpawnFileActions actions;
    int pipeEnds[2] = {-1, -1};
    const bool captured = output != Output::Forwarded;
    if (captured) {
        if (pipe2(pipeEnds, O_CLOEXEC) != 0) {
            m_errorText = QString::fromLocal8Bit(std::strerror(errno));
            return false;
        }
        posix_spawn_file_actions_adddup2(actions.get(), pipeEnds[1], STDOUT_FILENO);
        if (output == Output::Captured) {
            posix_spawn_file_actions_adddup2(actions.get(), pipeEnds[1], STDERR_FILENO);
        }
    }
    const int failure =
        posix_spawnp(&m_pid, argv.get()[0], actions.get(), nullptr, argv.get(), envp.get());
    if (captured) {
        close(pipeEnds[1]);
        m_output = pipeEnds[0];
    }
    if (failure != 0) {
        m_pid = -1;
        m_errorText = QString::fromLocal8Bit(std::strerror(failure));
        return false;
    }
    return true;
}

QByteArray ChildProcess::Read(int timeoutMs) {
    if (m_output < 0) {
        return {};
    }
    pollfd ready{m_output, POLLIN, 0};
    if (poll(&ready, 1, timeoutMs) <= 0) {
        return {};
    }
    char buffer[4096];
    const ssize_t count = read(m_output, buffer, sizeof buffer);
    return count > 0 ? QByteArray(buffer, count) : QByteArray();
}

void ChildProcess::reap(bool block) {
    if (m_pid < 0 || m_ended) {
        return;
    }
    pid_t reaped = 0;
    do {
        reaped = waitpid(m_pid, &m_status, block ? 0 : WNOHANG);
    } while (reaped < 0 && errno == EINTR);
    m_ended = reaped == m_pid;
}

bool ChildProcess::IsRunning() {
    reap(false);
    return m_pid >= 0 && !m_ended;
}

int ChildProcess::ExitCode() {
    reap(false);
    return m_ended && WIFEXITED(m_status) ? WEXITSTATUS(m_status) : -1;
}

void ChildProcess::Terminate() {
    if (IsRunning()) {
        kill(m_pid, SIGTERM);
    }
}

void ChildProcess::Kill() {
    if (IsRunning()) {
        kill(m_pid, SIGKILL);
        reap(true);
    }
    if (m_output >= 0) {
        close(m_output);
        m_output = -1;
    }
}

int RunChildProcess(const QString& program, const QStringList& arguments, QByteArray& output,
                    int timeoutMs) {
    ChildProcess child;
    if (!child.Start(program, arguments, ChildProcess::Output::StandardOutputCaptured)) {
        return -1;
    }
    const QDeadlineTimer deadline(timeoutMs);
    for (QByteArray chunk;
         !(chunk = child.Read(static_cast<int>(deadline.remainingTime()))).isEmpty();) {
        output += chunk;
    }
    // The output ended: the program is ending too, unless it closed its
    // standard output early or the time ran out.
    while (child.IsRunning() && !deadline.hasExpired()) {
        QThread::msleep(10);
    }
    return child.ExitCode();
}
