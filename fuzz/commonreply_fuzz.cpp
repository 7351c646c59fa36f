// A reply for the common reply reader, streamed in two chunks: the first
// byte says where the second begins.

#include "fuzzsupport.h"
#include "net/expatmywire.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const char* reply = reinterpret_cast<const char*>(data + 1);
    const int length = static_cast<int>(size - 1);
    const int cut = length == 0 ? 0 : data[0] % (length + 1);
    CExpatMyWire reader;
    if (reader.ParseChunk(reply, cut, false)) {
        reader.ParseChunk(reply + cut, length - cut, true);
    }
    CExpatMyWire whole;
    whole.ParseXML(QString::fromUtf8(reply, length));
    return 0;
}
