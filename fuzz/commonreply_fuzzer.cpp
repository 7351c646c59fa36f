// Any server reply through the reader of the elements every reply may carry
// (errors, pop-ups, progress, actions, process ids).

#include "net/expatmywire.h"
#include "support/fuzzsupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CExpatMyWire reader;
    reader.ParseXML(FuzzText(data, size));
    return 0;
}
