// The grid pipe's event stream, fed to the decoder in pieces whose sizes
// the input's first byte chooses, as the pipe delivers it.

#include "net/grideventdecoder.h"
#include "support/fuzzsupport.h"

#include <algorithm>
#include <cstring>

namespace {
class CountingGridSink : public IGridEventSink {
public:
    void OnGridEvent(const CGridEvent& event) override {
        units += event.name.size() + event.text.size() + event.parent.size();
        for (const auto& [name, value] : event.attributes) {
            units += name.size() + value.size();
        }
    }
    void OnGridStreamEnd(bool) override {}
    qsizetype units = 0;
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const size_t piece = size_t(data[0]) + 1;
    CGridEventDecoder decoder;
    CountingGridSink sink;
    for (size_t at = 1; at < size; at += piece) {
        const size_t count = std::min(piece, size - at);
        std::memcpy(decoder.Reserve(qsizetype(count)), data + at, count);
        decoder.Commit(qsizetype(count));
        if (!decoder.Replay(sink)) {
            break;
        }
    }
    return 0;
}
