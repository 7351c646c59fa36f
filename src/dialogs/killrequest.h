#pragma once

// The request that tells a server to stop a job, sent on a thread of its
// own so that a slow or dead server never holds the window that asked.
// Its reply is read and dropped.

#include "dialogs/progressbarsite.h"
#include "net/ownedthread.h"

#include <atomic>
#include <memory>

class CKillRequest {
public:
    // Sends the request; an earlier one still running is waited for first.
    void Send(const CKillTarget& target);
    // Waits for the request sent last; true once none runs.
    bool Wait() { return m_thread.Join(); }
    // Stops waiting for the server: what was sent stays sent, the reply is
    // not read. The request then ends within a tenth of a second.
    void Cancel();

private:
    std::shared_ptr<std::atomic<bool>> m_cancelled;
    COwnedThread m_thread;
};
