#pragma once

// The reading side of the tree pipe on the UI thread: collects the chunks of
// one tree reply as they arrive and hands over the whole text once the
// writer closes its end. The bytes are joined before they are decoded, since
// a chunk may end inside a UTF-8 sequence.

#include "net/pipelistener.h"

#include <QByteArray>

class ITreeChunkSink {
public:
    virtual ~ITreeChunkSink() = default;
    // One chunk as it arrived.
    virtual void OnTreeChunk(QByteArrayView) {}
    // The writer closed its end. `intact` is false when the stream broke off
    // inside a chunk or the bytes are not valid UTF-8.
    virtual void OnTreeStreamEnd(const QString& text, bool intact) = 0;
};

class CTreeChunkReader : public QObject {
public:
    static constexpr int kChunksPerTurn = 16;

    explicit CTreeChunkReader(ITreeChunkSink& sink, QObject* parent = nullptr);

    // Starts collecting the reply behind a client end; a reply still being
    // read is dropped without an end report.
    void Attach(CNamedPipe clientEnd);
    void Close();
    bool IsReading() const { return m_listener->IsListening(); }

private:
    void readAvailable();
    bool readMessage(int size);
    void finish(bool intact);

    ITreeChunkSink& m_sink;
    CPipeListener* m_listener;
    QByteArray m_body;
    qint32 m_chunkBytes = 0;  // byte count of the chunk whose bytes come next, 0 for none
};
