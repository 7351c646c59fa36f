// The URL encoder and decoder: any text decodes without fault, and what is
// encoded decodes back to itself.

#include "fuzzsupport.h"
#include "settings/urlcoding.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromUtf8(FuzzBytes(data, size));
    DecodeFromURL(text);
    FuzzCheck(DecodeFromURL(EncodeForURL(text)) == text, "an encoded text decodes back");
    return 0;
}
