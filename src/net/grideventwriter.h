#pragma once

// The writing side of the grid pipe: a grid reply parsed into start and end
// events, each event a run of fields in the stream's layout (32-bit
// little-endian integers; a string is its length in UTF-16 units, then, when
// not 0, its units). Each event is written once, into a block of about
// 128 KiB that goes to the reader whole, by ownership, so a reply of millions
// of fields costs a few hundred wake-ups of the reader and no copy; blocks
// end between events, and the reader still joins an event that a block cuts.

#include "net/namedpipe.h"

#include <QByteArray>
#include <QString>

// A text that ends at its first null unit. The names and values of a grid
// reply are short: counting their units here beats a call to a general
// string-length function.
inline QStringView TerminatedView(const char16_t* text) {
    const char16_t* end = text;
    while (*end != 0) {
        ++end;
    }
    return QStringView(text, end - text);
}

// An attribute list already in the stream's layout (the count, then the
// name and value of each attribute), built by the caller.
class CGridAttributeBlock {
public:
    void Clear();
    // Appends an attribute; the caller keeps the names unique.
    void Add(QStringView name, QStringView value);
    int Count() const { return m_count; }

private:
    friend class CGridEventWriter;
    QByteArray m_bytes;
    qint32 m_count = 0;
};

class CGridEventWriter {
public:
    // A block goes out once it holds this much.
    static constexpr int kBlockBytes = 128 * 1024;

    // Opens a new pipe for one reply; the client end goes to the reader.
    bool Open();
    CNamedPipe TakeClientEnd() { return m_pipe.TakeClientEnd(); }
    bool IsConnected() const { return m_pipe.IsConnected(); }
    // Whether the reader's end is in place (see CNamedPipe::Connect).
    bool Connect() { return m_pipe.Connect(); }

    // Events in the stream's layout; nothing is written while not connected.
    void WriteStart(QStringView name, QStringView parent, const CGridAttributeBlock& attributes);
    // A start event whose attributes come as expat hands them over: names
    // and values alternating, ended by a null. The names are written as
    // given, so the caller makes sure that they are in lower case.
    void WriteStart(QStringView name, QStringView parent, const char16_t* const* attributePairs);
    void WriteEnd(QStringView name, QStringView text, QStringView parent,
                  const CGridAttributeBlock& attributes);
    // An end event with the attributes of the latest start event.
    void WriteEnd(QStringView name, QStringView text, QStringView parent);
    // One field each.
    void WriteInt32(qint32 value);
    void WriteString(QStringView text);

    // Tells the reader that the reply could not be read on, and why.
    void WriteFailure(QStringView reason);

    // Sends the fields gathered so far; false once the reader went away.
    bool Flush();
    // Sends what is left and closes the end: the reader sees the stream end.
    void Close();
    // Raised by another thread, ends a write that waits on a full pipe.
    void SetAbortFlag(const std::atomic<bool>* abort) { m_pipe.SetAbortFlag(abort); }

private:
    // Room for `count` more bytes after the fields gathered so far.
    char* room(qsizetype count) {
        if (m_block.size() - m_used < count) {
            grow(count);
        }
        return m_block.data() + m_used;
    }
    void grow(qsizetype count);
    // Counts the bytes up to `end` as gathered.
    void commit(const char* end) { m_used = end - m_block.constData(); }
    template <class... Texts>
    char* writeHeader(qint32 kind, qsizetype more, Texts... texts);
    void noteLatestAttributes(qsizetype at);
    // Sends the block once it is full.
    void sendFullBlock() {
        if (m_used >= kBlockBytes) {
            sendBlock(kBlockBytes);
        }
    }
    bool sendBlock(qsizetype atLeast);
    void reset();

    CNamedPipe m_pipe;
    // The block being filled: its first m_used bytes are fields, the rest
    // is room for more.
    QByteArray m_block;
    qsizetype m_used = 0;
    // Whether a block of this reply went out yet.
    bool m_blockSent = false;
    // The attributes of the latest start event, for the end event that
    // repeats them: where they are in the block, or, once that block went
    // out, a copy (m_latestAt is then -1).
    qsizetype m_latestAt = -1;
    qsizetype m_latestBytes = 0;
    QByteArray m_latestCopy;
};
