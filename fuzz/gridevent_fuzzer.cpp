// The grid pipe's event stream, fed to the decoder in pieces whose sizes
// the input's first byte chooses, as the pipe delivers it. How the pipe cuts
// the stream must not change the events: the pieces, with the replay paused
// after every event as a busy UI thread pauses it, give the same events as
// the whole stream at once.

#include "net/grideventdecoder.h"
#include "support/fuzzsupport.h"

#include <QStringList>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {
class RecordingGridSink : public IGridEventSink {
public:
    void OnGridEvent(const CGridEvent& event) override {
        QStringList fields{QString::number(event.kind), event.name.toString(),
                           event.text.toString(), event.parent.toString()};
        for (const auto& [name, value] : event.attributes) {
            fields << name.toString() << value.toString();
        }
        events.push_back(std::move(fields));
        if (pauser != nullptr) {
            pauser->Pause();
        }
    }
    void OnGridStreamEnd(bool) override {}
    std::vector<QStringList> events;
    CGridEventDecoder* pauser = nullptr;
};

// Decodes the bytes in pieces of the given size, pausing after each event
// when asked; false once the stream is found corrupt.
bool DecodeGridStream(const uint8_t* data, size_t size, size_t piece, RecordingGridSink& sink,
                      bool pauseAfterEachEvent) {
    CGridEventDecoder decoder;
    sink.pauser = pauseAfterEachEvent ? &decoder : nullptr;
    for (size_t at = 0; at < size; at += piece) {
        const size_t count = std::min(piece, size - at);
        bool intact = decoder.Feed(
            QByteArray(reinterpret_cast<const char*>(data + at), qsizetype(count)), sink);
        while (intact && decoder.IsPaused()) {
            intact = decoder.Feed(QByteArray(), sink);
        }
        if (!intact) {
            return false;
        }
    }
    return true;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    RecordingGridSink pieces;
    const bool piecesIntact =
        DecodeGridStream(data + 1, size - 1, size_t(data[0]) + 1, pieces, true);
    RecordingGridSink whole;
    const bool wholeIntact = DecodeGridStream(data + 1, size - 1, size, whole, false);
    if (piecesIntact != wholeIntact || pieces.events != whole.events) {
        std::abort();
    }
    return 0;
}
