// The tree pipe: the input cut into messages (each a byte of length, then
// that many bytes), sent down a real pipe to the reader. At most 64
// messages, so that they fit the pipe's buffer before the reader runs.

#include "net/namedpipe.h"
#include "net/treechunkreader.h"
#include "support/fuzzsupport.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <cstdlib>

namespace {
class EndingTreeSink : public ITreeChunkSink {
public:
    void OnTreeChunk(QByteArrayView bytes) override { chunks.append(bytes); }
    void OnTreeStreamEnd(const QString& whole, bool wasIntact) override {
        ended = true;
        text = whole;
        intact = wasIntact;
    }
    QByteArray chunks;
    QString text;
    bool intact = false;
    bool ended = false;
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CNamedPipe server;
    if (!server.Open(QStringLiteral("fuzztree"))) {
        std::abort();
    }
    EndingTreeSink sink;
    CTreeChunkReader reader(sink);
    reader.Attach(server.TakeClientEnd());
    int messages = 0;
    for (size_t at = 0; at < size && messages < 64; ++messages) {
        const size_t length = std::min<size_t>(data[at], size - at - 1);
        ++at;
        if (server.Write(data + at, int(length)) != int(length)) {
            std::abort();
        }
        at += length;
    }
    server.Close();
    // The reader sees the end of the stream once it has read every message.
    const QDeadlineTimer deadline(10000);
    while (!sink.ended && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 100);
    }
    // An intact stream is the text of exactly the chunks it announced.
    if (!sink.ended || (sink.intact && sink.text != QString::fromUtf8(sink.chunks))) {
        std::abort();
    }
    return 0;
}
