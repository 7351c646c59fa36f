// The URL decoders and splitters: whatever they are given, a text encoded
// for a URL decodes back to itself, and a split URL rebuilt from its parts
// splits the same way.

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
    // A URL rebuilt from its parts splits to the same parts.
    const HttpUrl url(text);
    if (url.IsValid() && HttpUrl(HttpUrl(url.Parts()).Text()).Parts() != url.Parts()) {
        std::abort();
    }
    HttpEncodeUrl(text);
    IsURL(text);
    EscapeHashMarks(text);
    EscapeURLChars(text);
    return 0;
}
