#pragma once

// The writing side of the tree pipe: the raw bytes of a tree reply in
// counted chunks, each chunk two messages (its byte count as a 32-bit
// little-endian integer, then the bytes unchanged).

#include "net/namedpipe.h"

class CTreeChunkWriter {
public:
    static constexpr int kMaxChunkBytes = 10240;

    // Opens a new pipe for one reply; the client end goes to the reader.
    bool Open() { return m_pipe.Open(QStringLiteral("treepipe")); }
    CNamedPipe TakeClientEnd() { return m_pipe.TakeClientEnd(); }
    bool IsConnected() const { return m_pipe.IsConnected(); }
    // Whether the reader's end is in place (see CNamedPipe::Connect).
    bool Connect() { return m_pipe.Connect(); }

    // Writes the bytes as chunks of at most kMaxChunkBytes; false once the
    // reader went away.
    bool WriteChunk(const char* bytes, qsizetype count);
    void Close() { m_pipe.Close(); }
    // Raised by another thread, ends a write that waits on a full pipe.
    void SetAbortFlag(const std::atomic<bool>* abort) { m_pipe.SetAbortFlag(abort); }

private:
    CNamedPipe m_pipe;
};
