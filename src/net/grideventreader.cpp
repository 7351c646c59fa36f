#include "net/grideventreader.h"

#include "framework/klog.h"

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

void CGridEventReader::readAvailable() {
    CNamedPipe& pipe = m_listener->Pipe();
    for (int block = 0; block < kBlocksPerTurn; ++block) {
        const int size = pipe.PendingMessageSize();
        if (size == 0) {
            break;
        }
        if (size < 0) {
            finish(true);
            return;
        }
        const int read = pipe.Read(m_decoder.Reserve(size), size);
        m_decoder.Commit(read);
        if (read != size) {
            finish(false);
            return;
        }
    }
    const quint64 stream = m_stream;
    if (!m_decoder.Replay(m_sink) && stream == m_stream) {
        finish(false);
    }
}

// Replays what is left and reports the end, unless the sink dropped or
// replaced the stream while it was handling the events.
void CGridEventReader::finish(bool intact) {
    const quint64 stream = m_stream;
    const bool decoded = m_decoder.Replay(m_sink);
    if (stream != m_stream) {
        return;
    }
    if (!decoded) {
        kWarningLog(u"%s", m_decoder.ErrorText());
    }
    const bool whole = intact && decoded && !m_decoder.HasPartialEvent();
    Close();
    m_sink.OnGridStreamEnd(whole);
}
