#include "support/scriptedpkcs11.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <dlfcn.h>

namespace scriptedpkcs11 {

QString ModulePath() {
    const QString path =
        QCoreApplication::applicationDirPath() + QStringLiteral("/scriptedpkcs11.so");
    return QFileInfo::exists(path) ? path : QString();
}

bool SetScript(const char* script) {
    const QString path = ModulePath();
    // The same library the code under test loads: dlopen hands out one copy.
    void* library = path.isEmpty() ? nullptr : dlopen(path.toLocal8Bit().constData(), RTLD_NOW);
    auto set =
        library != nullptr
            ? reinterpret_cast<void (*)(const char*)>(dlsym(library, "ScriptedPkcs11_SetScript"))
            : nullptr;
    if (set == nullptr) {
        return false;
    }
    set(script);
    return true;
}

}  // namespace scriptedpkcs11
