// The registry store file: loaded, and when it loads, saved and loaded
// again. A store read back from its own save saves to the same bytes: the
// values it keeps survive every start of the program.

#include "platform/registrystore.h"
#include "support/fuzzsupport.h"

#include <QFile>

#include <cstdlib>

namespace {
QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
}  // namespace

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
    const QByteArray saved = FileBytes(path);
    CRegistryStore again(path);
    if (!again.Load() || !again.Save() || FileBytes(path) != saved) {
        std::abort();
    }
    return 0;
}
