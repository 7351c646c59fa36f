#pragma once

// SIGTERM, SIGINT and SIGHUP (a log-out, `kill`, Ctrl+C, a closed terminal)
// turned into a call on the UI thread, so that the program can end the way
// its close box ends it, saving what it saves. The handler only writes the
// signal number to a pipe; a QSocketNotifier on the other end makes the call
// from the event loop. One object at a time catches the signals; it gives
// them back to their previous handlers when destroyed.

#include <QObject>

#include <cstddef>
#include <functional>
#include <memory>

class QSocketNotifier;

class CTerminationSignals : public QObject {
public:
    using Handler = std::function<void(int signalNumber)>;

    CTerminationSignals();
    ~CTerminationSignals() override;
    CTerminationSignals(const CTerminationSignals&) = delete;
    CTerminationSignals& operator=(const CTerminationSignals&) = delete;

    // Starts catching the signals; false (with ErrorText()) when the pipe or a
    // handler cannot be set up, or another object catches them already.
    bool Install(Handler handler);
    const QString& ErrorText() const { return m_errorText; }

private:
    void readSignals();
    void uninstall();

    Handler m_handler;
    std::unique_ptr<QSocketNotifier> m_notifier;
    int m_readEnd = -1;
    std::size_t m_caught = 0;  // how many of the signals have our handler
    bool m_installed = false;
    QString m_errorText;
};
