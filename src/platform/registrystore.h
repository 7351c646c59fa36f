#pragma once

// The per-user store that stands in for the system registry: keys under the
// registry's root names, each holding named values of the registry's kinds.
// Key paths and value names compare without regard to case, as the registry's
// do, and keep the spelling they were first written with. The store is one
// JSON file, written atomically, so a failed write keeps the earlier file.

#include <QByteArray>
#include <QString>

#include <map>
#include <optional>

// The registry's value kinds, numbered as the registry numbers them.
enum RegistryValueType : quint32 {
    REG_NONE = 0,
    REG_SZ = 1,
    REG_EXPAND_SZ = 2,
    REG_BINARY = 3,
    REG_DWORD = 4,
};

struct RegistryValue {
    quint32 type = REG_NONE;
    QString text;        // REG_SZ and REG_EXPAND_SZ
    quint32 number = 0;  // REG_DWORD
    QByteArray bytes;    // every other kind

    // The size the registry would report: texts count their terminator.
    qsizetype Size() const;
};

class CRegistryStore {
public:
    explicit CRegistryStore(QString filePath);

    // "registry.json" in the per-user application data folder.
    static QString DefaultPath();

    // Reads the file; a missing file is an empty store. A damaged or
    // unreadable file gives false and an error text, and Save then refuses
    // so the file is never overwritten with less than it held.
    bool Load();
    bool Save();
    QString ErrorText() const { return m_error; }

    // A key path is the root name, a backslash and the key's path below it.
    bool KeyExists(const QString& keyPath) const;
    void CreateKey(const QString& keyPath);
    std::optional<RegistryValue> Value(const QString& keyPath, const QString& valueName) const;
    // Creates the key when needed and sets the value.
    void SetValue(const QString& keyPath, const QString& valueName, const RegistryValue& value);

private:
    struct NamedValue {
        QString name;
        RegistryValue value;
    };
    struct Key {
        QString path;
        std::map<QString, NamedValue> values;  // by lower-case name
    };

    bool fail(const QString& error);

    QString m_filePath;
    std::map<QString, Key> m_keys;  // by lower-case path
    bool m_loadFailed = false;
    QString m_error;
};
