#include "net/treechunkreader.h"

#include "framework/klog.h"
#include "net/treechunkwriter.h"

#include <QStringDecoder>

CTreeChunkReader::CTreeChunkReader(ITreeChunkSink& sink, QObject* parent)
    : QObject(parent),
      m_sink(sink),
      m_listener(new CPipeListener([this] { readAvailable(); }, this)) {}

void CTreeChunkReader::Attach(CNamedPipe clientEnd) {
    Close();
    m_listener->Listen(std::move(clientEnd));
}

void CTreeChunkReader::Close() {
    m_listener->Stop();
    m_body.clear();
    m_chunkBytes = 0;
}

void CTreeChunkReader::readAvailable() {
    for (int message = 0; message < 2 * kChunksPerTurn; ++message) {
        const int size = m_listener->Pipe().PendingMessageSize();
        if (size == 0) {
            return;
        }
        if (size < 0) {
            finish(m_chunkBytes == 0);
            return;
        }
        if (!readMessage(size)) {
            finish(false);
            return;
        }
        if (!IsReading()) {
            return;  // the sink dropped the stream
        }
    }
}

// Reads the next count or bytes message with a buffer of the length the
// stream promises, so a message of any other length fails.
bool CTreeChunkReader::readMessage(int size) {
    CNamedPipe& pipe = m_listener->Pipe();
    kDebugLog(u"Reading hPipe=%x.\n", pipe.GetHandle());
    if (m_chunkBytes == 0) {
        qint32 count = 0;
        const int read = pipe.Read(&count, sizeof count);
        kDebugLog(u"Read hPipe=%x.: %d bytes read\n", pipe.GetHandle(), read);
        if (read != sizeof count || count < 1 || count > CTreeChunkWriter::kMaxChunkBytes) {
            kWarningLog(u"tree pipe: bad chunk count (%d bytes, count %d)", read, count);
            return false;
        }
        m_chunkBytes = count;
        return true;
    }
    const qsizetype at = m_body.size();
    m_body.resize(at + m_chunkBytes);
    const int read = pipe.Read(m_body.data() + at, m_chunkBytes);
    kDebugLog(u"Read hPipe=%x.: %d bytes read\n", pipe.GetHandle(), read);
    if (read != m_chunkBytes || size != m_chunkBytes) {
        kWarningLog(u"tree pipe: chunk of %d bytes announced, %d read", m_chunkBytes, read);
        m_body.resize(at);
        return false;
    }
    m_chunkBytes = 0;
    m_sink.OnTreeChunk(QByteArrayView(m_body).sliced(at));
    return true;
}

void CTreeChunkReader::finish(bool intact) {
    // Stateless: a reply that ends inside a character is an error, not a
    // character quietly held back for bytes that will never come.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(m_body);
    if (decoder.hasError()) {
        kWarningLog(u"tree pipe: the reply is not valid UTF-8");
    }
    const bool whole = intact && !decoder.hasError();
    Close();
    m_sink.OnTreeStreamEnd(text, whole);
}
