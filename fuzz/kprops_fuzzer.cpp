// KPROPS files, text and binary: the first input byte picks the format. A
// file that loads must store and load again to the same list.

#include "framework/kprops.h"
#include "support/fuzzsupport.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const bool binary = (data[0] & 1) != 0;
    const QString path = WriteFuzzFile(QStringLiteral("input.props"), data + 1, size - 1);
    KPROPS loaded;
    if (loaded.FileLoad(path, binary) <= 0) {
        return 0;
    }
    const QString storedPath = FuzzFolder() + QStringLiteral("/stored.props");
    if (loaded.FileStore(storedPath, binary) <= 0) {
        return 0;
    }
    KPROPS reloaded;
    reloaded.FileLoad(storedPath, binary);
    if (reloaded.Count() != loaded.Count()) {
        std::abort();
    }
    return 0;
}
