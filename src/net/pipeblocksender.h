#pragma once

// Sends blocks through a pipe of its own on a thread of its own, so that
// the thread that produces them (a download parsing a reply) never waits
// for the system to copy them or for the reader to make room. A few blocks
// may wait in the queue; beyond that the producer waits.

#include "net/namedpipe.h"
#include "net/ownedthread.h"

#include <QByteArray>

#include <atomic>
#include <memory>

class CPipeBlockSender {
public:
    // Blocks that may wait for the sending thread.
    static constexpr int kQueuedBlocks = 8;
    // Queued blocks that wake the sending thread (see Queue).
    static constexpr int kBlocksPerWake = 4;

    CPipeBlockSender() = default;
    // Closes the pipe after what is queued.
    ~CPipeBlockSender();
    CPipeBlockSender(const CPipeBlockSender&) = delete;
    CPipeBlockSender& operator=(const CPipeBlockSender&) = delete;

    // Opens a new pipe and starts its sending thread; `name` names the
    // pipe in log lines.
    bool Open(const QString& name);
    // The client end of the pipe, for the reader; handed out once.
    CNamedPipe TakeClientEnd() { return std::move(m_clientEnd); }
    // Open, and no block has failed to go through.
    bool IsConnected() const;
    // Queues one block, to arrive as one message; waits while the queue is
    // full. False once the reader went away or the abort flag was raised.
    bool Send(QByteArray block);
    // As Send, but the sending thread is woken only once kBlocksPerWake
    // blocks wait, which spares a wake-up per block of a long stream; the
    // next Send or Close sends them at the latest.
    bool Queue(QByteArray block);
    // Sends what is queued, closes the pipe and waits (bounded) for the thread.
    void Close();
    // Raised by another thread, ends the sending; it must outlive the sender.
    void SetAbortFlag(const std::atomic<bool>* abort) { m_abort = abort; }

private:
    struct State;

    bool enqueue(QByteArray block, size_t wakeAt);

    std::shared_ptr<State> m_state;
    CNamedPipe m_clientEnd;
    const std::atomic<bool>* m_abort = nullptr;
    COwnedThread m_thread;
};
