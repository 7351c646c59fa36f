#include "net/grideventreader.h"

#include "framework/klog.h"

#include <QTimer>

CGridEventReader::CGridEventReader(IGridEventSink& sink, QObject* parent)
    : QObject(parent),
      m_sink(sink),
      m_listener(new CPipeListener([this] { readAvailable(); }, this)) {}

void CGridEventReader::Attach(CNamedPipe clientEnd) {
    ++m_stream;
    m_decoder.Reset();
    m_listener->Listen(std::move(clientEnd));
}

void CGridEventReader::Close() {
    ++m_stream;
    m_listener->Stop();
    m_decoder.Reset();
}

// The sink may drop or replace the stream while it handles an event: the
// blocks of a dropped stream are then left alone.
void CGridEventReader::readAvailable() {
    const quint64 stream = m_stream;
    CNamedPipe& pipe = m_listener->Pipe();
    bool moreWait = false;
    const bool open = pipe.ReadBlocks(m_blocks, kBlocksPerTurn, &moreWait);
    bool decoded = true;
    for (QByteArray& block : m_blocks) {
        decoded = decoded && m_decoder.Feed(block, m_sink);
        if (stream != m_stream) {
            break;
        }
        pipe.RecycleBlock(std::move(block));
    }
    m_blocks.clear();
    if (stream != m_stream) {
        return;
    }
    if (!decoded) {
        kWarningLog(u"%s", m_decoder.ErrorText());
        finish(false);
    } else if (!open) {
        finish(true);
    } else if (moreWait) {
        // Nothing wakes the reader for the blocks it left: it comes back
        // for them after the events that wait.
        QTimer::singleShot(0, this, [this, stream] {
            if (stream == m_stream) {
                readAvailable();
            }
        });
    }
}

void CGridEventReader::finish(bool intact) {
    const bool whole = intact && !m_decoder.HasPartialEvent();
    Close();
    m_sink.OnGridStreamEnd(whole);
}
