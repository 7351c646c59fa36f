// The registry store file: what loads must save and load back.

#include "fuzzsupport.h"
#include "platform/registrystore.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const FuzzScratchFolder folder;
    const QString path = folder.Write(QStringLiteral("registry.json"), data, size);
    CRegistryStore store(path);
    if (!store.Load()) {
        return 0;
    }
    FuzzCheck(store.Save(), "a loaded store saves");
    CRegistryStore saved(path);
    FuzzCheck(saved.Load(), "a saved store loads");
    return 0;
}
