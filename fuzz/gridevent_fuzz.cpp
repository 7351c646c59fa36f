// The grid event stream as the UI thread decodes it from the pipe, fed in
// two pieces: the first byte says where the second begins.

#include "fuzzsupport.h"
#include "net/grideventdecoder.h"

#include <cstring>

namespace {

class CountingSink : public IGridEventSink {
public:
    void OnGridEvent(const CGridEvent& event) override {
        characters += event.name.size() + event.text.size() + event.parent.size();
        for (const auto& [name, value] : event.attributes) {
            characters += name.size() + value.size();
        }
    }
    void OnGridStreamEnd(bool) override {}
    qsizetype characters = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const qsizetype length = static_cast<qsizetype>(size - 1);
    const qsizetype cut = length == 0 ? 0 : data[0] % (length + 1);
    CGridEventDecoder decoder;
    CountingSink sink;
    for (const auto& [from, count] : {std::pair{qsizetype{0}, cut}, std::pair{cut, length - cut}}) {
        if (count > 0) {
            std::memcpy(decoder.Reserve(count), data + 1 + from, static_cast<size_t>(count));
            decoder.Commit(count);
        }
        if (!decoder.Replay(sink)) {
            break;
        }
    }
    return 0;
}
