#include "settings/registry.h"

#include "framework/klog.h"
#include "platform/registrystore.h"
#include "settings/uithreadcall.h"

#include <QCoreApplication>

#include <array>
#include <utility>

namespace {

constexpr std::array<std::pair<const char16_t*, HKey>, 7> kRootNames{{
    {u"HKEY_CLASSES_ROOT\\", HKey::ClassesRoot},
    {u"HKEY_CURRENT_USER\\", HKey::CurrentUser},
    {u"HKEY_LOCAL_MACHINE\\", HKey::LocalMachine},
    {u"HKEY_USERS\\", HKey::Users},
    {u"HKEY_PERFORMANCE_DATA\\", HKey::PerformanceData},
    {u"HKEY_CURRENT_CONFIG\\", HKey::CurrentConfig},
    {u"HKEY_DYN_DATA\\", HKey::DynData},
}};

// The store files keys under the root's name followed by the key path.
QString storeKeyPath(HKey root, const QString& keyPath) {
    for (const auto& [name, key] : kRootNames) {
        if (key == root) {
            return QString::fromUtf16(name) + keyPath;
        }
    }
    return keyPath;
}

// Lets the UI thread handle what is waiting before a possibly slow read.
void pumpMessages() {
    if (IsUiThread()) {
        QCoreApplication::processEvents();
    }
}

// Splits the path and reads the user's store; false, after a "BUG(" debug
// line for a malformed path or a warning for an unreadable store, when either
// fails. The key path comes back as the store files it.
bool openStoreAt(QStringView function, const QString& fullPath, CRegistryStore& store,
                 QString& keyPath, QString& valueName) {
    if (fullPath.isEmpty()) {
        kDebugLog(u"BUG(%s): pszFullpath is NULL (or NIL).\n", function);
        return false;
    }
    HKey root = HKey::None;
    if (ParseFullPath(fullPath, root, keyPath, valueName) == 0) {
        return false;
    }
    keyPath = storeKeyPath(root, keyPath);
    if (!store.Load()) {
        kWarningLog(u"%s(): %s", function, store.ErrorText());
        return false;
    }
    return true;
}

}  // namespace

QString IsolateHKey(const QString& fullPath, HKey& root) {
    QString path = fullPath;
    path.replace(u'/', u'\\');
    qsizetype start = 0;
    while (start < path.size() && path[start] == u'\\') {
        ++start;
    }
    const QStringView rest = QStringView(path).mid(start);
    for (const auto& [name, key] : kRootNames) {
        const QStringView rootName(name);
        if (rest.startsWith(rootName)) {
            root = key;
            return rest.mid(rootName.size()).toString();
        }
    }
    kDebugLog(u"BUG(IsolateHKey): unsupported HKEY = %s\n", fullPath);
    root = HKey::None;
    return fullPath;
}

int ParseFullPath(const QString& fullPath, HKey& root, QString& keyPath, QString& valueName) {
    if (fullPath.isEmpty()) {
        kDebugLog(u"BUG(ParseFullPath): pszFullpath = NULL (or NIL).\n");
        return 0;
    }
    const QString rest = IsolateHKey(fullPath, root);
    if (root == HKey::None) {
        return 0;
    }
    const qsizetype lastSlash = rest.lastIndexOf(u'\\');
    if (lastSlash < 0) {
        kDebugLog(u"BUG(ParseFullPath): last lash (%c) not found.\n", u'\\');
        return 0;
    }
    keyPath = rest.left(lastSlash);
    valueName = rest.mid(lastSlash + 1);
    return 1;
}

int RegistryLookup(const QString& fullPath, QString& out, const QString& defaultText) {
    pumpMessages();
    out = defaultText;
    CRegistryStore store(CRegistryStore::DefaultPath());
    QString keyPath;
    QString valueName;
    if (!openStoreAt(u"RegistryLookup", fullPath, store, keyPath, valueName)) {
        return 0;
    }
    const std::optional<RegistryValue> value = store.Value(keyPath, valueName);
    if (!value || value->Size() == 0) {
        return 0;
    }
    switch (value->type) {
        case REG_SZ: {
            const qsizetype terminator = value->text.indexOf(QChar(u'\0'));
            out = terminator < 0 ? value->text : value->text.left(terminator);
            return 1;
        }
        case REG_DWORD:
            out = kFormat(u"%ld", static_cast<qint32>(value->number));
            return 1;
        default:
            return 0;
    }
}

int RegistryCreateKey(const QString& fullPath, const QString& value) {
    CRegistryStore store(CRegistryStore::DefaultPath());
    QString keyPath;
    QString valueName;
    if (!openStoreAt(u"RegistryCreateKey", fullPath, store, keyPath, valueName)) {
        return 0;
    }
    RegistryValue text;
    text.type = REG_SZ;
    text.text = value;
    store.SetValue(keyPath, valueName, text);
    if (!store.Save()) {
        kWarningLog(u"RegistryCreateKey(): %s", store.ErrorText());
        return 0;
    }
    return 1;
}
