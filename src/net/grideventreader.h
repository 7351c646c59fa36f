#pragma once

// The reading side of the grid pipe on the UI thread: replays the events of
// one reply into a sink as the blocks arrive, a few blocks per turn of the
// event loop, and reports the end of the stream once.

#include "net/grideventdecoder.h"
#include "net/pipelistener.h"

class CGridEventReader : public QObject {
public:
    // Blocks replayed per turn of the event loop before other events get
    // their turn: the writer may be further ahead than that.
    static constexpr size_t kBlocksPerTurn = 8;

    explicit CGridEventReader(IGridEventSink& sink, QObject* parent = nullptr);

    // Starts replaying the reply behind a client end; a reply still being
    // read is dropped without an end report.
    void Attach(CNamedPipe clientEnd);
    // Drops the reply being read; its writer's next write fails.
    void Close();
    // From the sink, during an event: the replay stops after it and goes on
    // from a posted event, so that other events get their turn.
    void Pause() { m_decoder.Pause(); }
    bool IsReading() const { return m_listener->IsListening(); }

private:
    void readAvailable();
    void replayTurn();
    void resumeLater();
    void finish(bool intact);

    IGridEventSink& m_sink;
    CGridEventDecoder m_decoder;
    CPipeListener* m_listener;
    std::vector<QByteArray> m_blocks;  // reused, so that it keeps its room
    size_t m_nextBlock = 0;            // the first of m_blocks still to feed
    bool m_open = true;                // the writer's end was open at the last read
    bool m_moreWait = false;           // the last read left blocks that wake no one
    bool m_resumePosted = false;
    bool m_replaying = false;          // a turn is feeding the sink
    bool m_wokenDuringReplay = false;  // and was asked to read meanwhile
    quint64 m_stream = 0;  // changes whenever a stream is attached or dropped
};
