#pragma once

// A program the tests start: a fake server or the real program.
//
// Started with posix_spawn rather than QProcess. QProcess starts its children
// with vfork semantics (clone sharing the parent's memory), and the thread
// sanitizer's runtime, which intercepts that clone, then no longer sees the
// locks the starting thread takes: every later test of the process reports
// races that are not there. glibc's posix_spawn makes its clone without
// passing through the sanitizer.

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <sys/types.h>

class ChildProcess {
public:
    enum class Output {
        Captured,                // standard output and error come to Read(); unread,
                                 // they wait in a pipe, which holds 64 KiB
        Forwarded,               // they go to this process's own
        StandardOutputCaptured,  // standard output comes to Read(); errors go to
                                 // this process's own
    };

    ChildProcess() = default;
    // Kills the program if it still runs.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // False, with ErrorText(), when the program could not be started. A
    // program started before by this object is killed first.
    bool Start(const QString& program, const QStringList& arguments, Output output,
               const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());
    QString ErrorText() const { return m_errorText; }

    // What the program wrote since the last call, waiting up to `timeoutMs`
    // for something to come; empty at the end of its output or on time-out.
    QByteArray Read(int timeoutMs);

    bool IsRunning();
    // The exit code, or -1 when it was ended by a signal or still runs.
    int ExitCode();
    // -1 before a start.
    pid_t Pid() const { return m_pid; }
    // SIGTERM, as a log-out or `kill` sends it; the program ends on its own.
    void Terminate();
    void Kill();

private:
    // Reaps the program if it has ended; waits for it when `block`.
    void reap(bool block);

    pid_t m_pid = -1;
    int m_output = -1;
    int m_status = 0;
    bool m_ended = false;
    QString m_errorText;
};

// Runs the program to its end and keeps its standard output; its errors go to
// this process's own. The exit code, or -1 when the program could not start,
// was ended by a signal or still ran after `timeoutMs`.
int RunChildProcess(const QString& program, const QStringList& arguments, QByteArray& output,
                    int timeoutMs);
