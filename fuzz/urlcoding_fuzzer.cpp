// The URL decoders and splitters: whatever they are given, and a text
// encoded for a URL decodes back to itself.

#include "platform/httpurl.h"
#include "settings/urlcoding.h"
#include "settings/urltext.h"
#include "support/fuzzsupport.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = FuzzText(data, size);
    DecodeFromURL(text);
    if (DecodeFromURL(EncodeForURL(text)) != text) {
        std::abort();
    }
    HttpUrlParts parts;
    HttpSplitUrl(text, parts);
    HttpEncodeUrl(text);
    IsURL(text);
    EscapeHashMarks(text);
    EscapeURLChars(text);
    return 0;
}
