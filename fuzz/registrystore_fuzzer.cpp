// The registry store file: loaded, and when it loads, saved and loaded
// again.

#include "platform/registrystore.h"
#include "support/fuzzsupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path = WriteFuzzFile(QStringLiteral("registry.store"), data, size);
    CRegistryStore store(path);
    if (!store.Load()) {
        return 0;
    }
    store.Value(QStringLiteral("Software\\Zorvic\\Quillex"), QStringLiteral("Version"));
    if (!store.Save()) {
        return 0;
    }
    CRegistryStore again(path);
    again.Load();
    return 0;
}
