// KPROPS files: the first byte picks text or binary mode, the rest is the
// file. What loads must store and load back the same.

#include "framework/kprops.h"
#include "fuzzsupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    static const FuzzScratchFolder folder;
    const bool binary = (data[0] & 1) != 0;
    KPROPS loaded;
    loaded.FileLoad(folder.Write(QStringLiteral("in.props"), data + 1, size - 1), binary);
    const QString stored = folder.Path(QStringLiteral("out.props"));
    if (loaded.FileStore(stored, binary) != 1) {
        return 0;  // names that cannot be stored are left out
    }
    KPROPS reloaded;
    FuzzCheck(reloaded.FileLoad(stored, binary) == 1, "a stored file reads back");
    FuzzCheck(reloaded.Count() == loaded.Count(), "every entry reads back");
    return 0;
}
