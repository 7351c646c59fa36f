#pragma once

// One endpoint of an in-process message pipe: an AF_UNIX SOCK_SEQPACKET
// socket pair made afresh for every reply, so two downloads can never reach
// each other's reader. Message boundaries are kept: one Write is one message,
// and a Read must offer a buffer that holds the whole message. The writer (the
// download thread) holds the server end; the reader on the UI thread gets the
// client end with the data-ready call.
//
// Large streams skip the copies through the system: the writer hands whole
// blocks over by ownership (WriteBlock), and a pipe message only wakes the
// reader, which takes the blocks with ReadBlocks.

#include "net/pipeblockqueue.h"

#include <QString>

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

class CNamedPipe {
public:
    CNamedPipe() = default;
    ~CNamedPipe();
    CNamedPipe(const CNamedPipe&) = delete;
    CNamedPipe& operator=(const CNamedPipe&) = delete;
    // Moving hands an endpoint to another owner.
    CNamedPipe(CNamedPipe&& other) noexcept;
    CNamedPipe& operator=(CNamedPipe&& other) noexcept;

    // Makes a new socket pair; this endpoint becomes its server end and the
    // client end waits for TakeClientEnd. `name` names the pipe in log lines.
    bool Open(const QString& name);
    // The client end of the pair opened last (connected), or an endpoint
    // without handle when there is none.
    CNamedPipe TakeClientEnd();
    // Server end: whether the peer of the pair is in place. A socket pair is
    // connected from birth; the reader learns of it from the data-ready call.
    bool Connect();

    // Sends one message of `count` bytes, waiting while the pipe is full;
    // returns count, or 0 when nothing could be sent (no handle, nothing to
    // send, not connected, the reader went away, the abort flag was raised).
    // A failure closes this end and stores errno in `error`.
    int Write(const void* bytes, int count, int* error = nullptr);
    // Receives one message into a buffer that must hold all of it; returns
    // its length. 0 when there is no handle or buffer, at the end of the
    // stream, or when the message was longer than the buffer (that message is
    // lost); each of these closes this end and stores errno in `error`.
    // Blocks until a message arrives.
    int Read(void* buffer, int count, int* error = nullptr);
    // Without blocking: the byte length of the next message, 0 while none has
    // arrived, -1 at the end of the stream or on an error.
    int PendingMessageSize() const;

    // Server end: hands a block to the reader, waiting while enough blocks
    // wait for it; false (and this end closed, errno in `error`) once the
    // reader went away or the abort flag was raised. The reader is woken at
    // once; QueueBlock wakes it only once a few blocks wait (see
    // CPipeBlockQueue), WakeReader or the end of the stream at the latest.
    bool WriteBlock(QByteArray block, int* error = nullptr);
    bool QueueBlock(QByteArray block, int* error = nullptr);
    // Server end: wakes the reader if blocks wait for it; false once it went away.
    bool WakeReader(int* error = nullptr);
    // Server end: a block that the reader gave back, to be filled again;
    // empty when there is none.
    QByteArray SpareBlock();
    // Client end, without blocking: appends up to `most` of the blocks that
    // arrived, in order; `moreWait` says whether more wait, for which the
    // reader is not woken again. Returns false at the end of the stream,
    // once the writer closed its end and its last blocks were taken (or on
    // an error, which closes this end).
    bool ReadBlocks(std::vector<QByteArray>& blocks, size_t most = SIZE_MAX,
                    bool* moreWait = nullptr);
    // Client end: gives a block that was read back to the writer.
    void RecycleBlock(QByteArray block);

    void Close();
    // A flag that another thread raises to end a Write waiting on a full
    // pipe (a cancelled download); null for none. It must outlive the endpoint.
    void SetAbortFlag(const std::atomic<bool>* abort) { m_abort = abort; }

    int GetHandle() const { return m_handle; }
    bool IsServer() const { return m_isServer; }
    bool IsConnected() const { return m_connected; }

private:
    bool waitUntilWritable();
    void fail(int* error, int code);
    bool pushBlock(QByteArray block, bool wakeNow, int* error);
    bool sendWake(int* error);

    // Shared by both ends of a pair.
    std::shared_ptr<CPipeBlockQueue> m_blocks;

    const std::atomic<bool>* m_abort = nullptr;
    int m_handle = -1;
    int m_pendingClient = -1;
    bool m_isServer = false;
    bool m_connected = false;
};
