// The additional-filter section of a login reply, loaded on top of what an
// earlier section left, as a second login without a logout would.

#include "fuzzsupport.h"
#include "net/myadditionalfilteroptions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CMyAdditionalFilterOptions options;
    options.Load(QString::fromUtf8(FuzzBytes(data, size)));
    options.Load(
        QStringLiteral("<additional_filter><state id='x' value='y'/></additional_filter>"));
    return 0;
}
