#include "net/grideventreader.h"

#include "framework/klog.h"

#include <QTimer>

#include <utility>

CGridEventReader::CGridEventReader(IGridEventSink& sink, QObject* parent)
    : QObject(parent),
      m_sink(sink),
      m_listener(new CPipeListener([this] { readAvailable(); }, this)) {}

void CGridEventReader::Attach(CNamedPipe clientEnd) {
    ++m_stream;
    m_decoder.Reset();
    m_blocks.clear();
    m_nextBlock = 0;
    m_open = true;
    m_moreWait = false;
    m_listener->Listen(std::move(clientEnd));
}

void CGridEventReader::Close() {
    ++m_stream;
    m_listener->Stop();
    m_decoder.Reset();
    m_blocks.clear();
    m_nextBlock = 0;
}

void CGridEventReader::resumeLater() {
    if (m_resumePosted) {
        return;
    }
    m_resumePosted = true;
    const quint64 stream = m_stream;
    QTimer::singleShot(0, this, [this, stream] {
        m_resumePosted = false;
        if (stream == m_stream) {
            readAvailable();
        }
    });
}

// The sink may run the event loop while it handles an event (a progress
// step pumps it), and the writer's wake-up or a posted resume may come in
// then: replaying the next blocks inside the current one would overwrite
// the bytes the decoder is still reading, and events would be lost. Such a
// wake-up waits until the current turn has returned.
void CGridEventReader::readAvailable() {
    if (m_replaying) {
        m_wokenDuringReplay = true;
        return;
    }
    m_replaying = true;
    replayTurn();
    m_replaying = false;
    if (std::exchange(m_wokenDuringReplay, false) && IsReading()) {
        resumeLater();
    }
}

// The sink may drop or replace the stream while it handles an event: the
// blocks of a dropped stream are then left alone. A sink that pauses leaves
// the rest of the block in the decoder and the later blocks here, and the
// replay goes on from a posted event, whether or not more bytes arrive.
void CGridEventReader::replayTurn() {
    const quint64 stream = m_stream;
    CNamedPipe& pipe = m_listener->Pipe();
    bool decoded = true;
    if (m_decoder.IsPaused()) {
        decoded = m_decoder.Feed(QByteArray(), m_sink);
        if (stream != m_stream) {
            return;
        }
    }
    if (m_nextBlock >= m_blocks.size() && decoded && !m_decoder.IsPaused()) {
        m_blocks.clear();
        m_nextBlock = 0;
        m_moreWait = false;
        m_open = pipe.ReadBlocks(m_blocks, kBlocksPerTurn, &m_moreWait);
    }
    while (decoded && !m_decoder.IsPaused() && m_nextBlock < m_blocks.size()) {
        QByteArray block = std::move(m_blocks[m_nextBlock++]);
        decoded = m_decoder.Feed(block, m_sink);
        if (stream != m_stream) {
            return;
        }
        pipe.RecycleBlock(std::move(block));
    }
    if (!decoded) {
        kWarningLog(u"%s", m_decoder.ErrorText());
        finish(false);
        return;
    }
    m_sink.OnGridTurnEnd();
    if (stream != m_stream) {
        return;
    }
    const bool pending = m_decoder.IsPaused() || m_nextBlock < m_blocks.size();
    if (!pending && !m_open) {
        finish(true);
    } else if (pending || m_moreWait) {
        // Nothing wakes the reader for the blocks it left: it comes back
        // for them after the events that wait.
        resumeLater();
    }
}

void CGridEventReader::finish(bool intact) {
    const bool whole = intact && !m_decoder.HasPartialEvent();
    Close();
    m_sink.OnGridStreamEnd(whole);
}
