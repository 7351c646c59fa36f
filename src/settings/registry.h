#pragma once

// Single registry values named by one full path: a root name such as
// "HKEY_CLASSES_ROOT\", the key path, a backslash and the value name (empty
// after a trailing backslash: the key's default value). Forward slashes count
// as backslashes and leading backslashes are ignored. The values live in the
// per-user registry store (platform/registrystore.h).

#include <QString>

enum class HKey {
    None,
    ClassesRoot,
    CurrentUser,
    LocalMachine,
    Users,
    PerformanceData,
    CurrentConfig,
    DynData,
};

// The rest of the path after its root name; `root` receives the root, or
// HKey::None (and the result is the whole path) when the root name is not
// one of the registry's, spelled with its case.
QString IsolateHKey(const QString& fullPath, HKey& root);

// 1 when the root, key path and value name were all found, else 0.
int ParseFullPath(const QString& fullPath, HKey& root, QString& keyPath, QString& valueName);

// 1 when the value was read into `out` (a number as a signed decimal), 0
// otherwise with `out` holding the default (empty when none is given).
int RegistryLookup(const QString& fullPath, QString& out, const QString& defaultText = {});

// Creates the key when needed and writes the text as its value; 1 on success.
int RegistryCreateKey(const QString& fullPath, const QString& value);
