#include "settings/registry.h"

#include "platform/registrystore.h"
#include "support/temphome.h"

#include <QFile>

namespace {

TEST(RegistryPathTest, SplitsRootKeyAndValueName) {
    struct Case {
        QString path;
        int result;
        HKey root;
        QString keyPath;
        QString valueName;
    };
    const Case cases[] = {
        {QStringLiteral("HKEY_CLASSES_ROOT\\.curl\\"), 1, HKey::ClassesRoot,
         QStringLiteral(".curl"), QString()},
        {QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Internet Explorer\\Version"), 1,
         HKey::LocalMachine, QStringLiteral("Software\\Microsoft\\Internet Explorer"),
         QStringLiteral("Version")},
        {QStringLiteral("HKEY_LOCAL_MACHINE/Software/Microsoft/Internet Explorer/Version"), 1,
         HKey::LocalMachine, QStringLiteral("Software\\Microsoft\\Internet Explorer"),
         QStringLiteral("Version")},
        {QStringLiteral("\\\\HKEY_CURRENT_USER\\Software\\Zorvic\\Key"), 1, HKey::CurrentUser,
         QStringLiteral("Software\\Zorvic"), QStringLiteral("Key")},
        {QStringLiteral("HKEY_USERS\\a\\b"), 1, HKey::Users, QStringLiteral("a"),
         QStringLiteral("b")},
        {QStringLiteral("HKEY_PERFORMANCE_DATA\\a\\b"), 1, HKey::PerformanceData,
         QStringLiteral("a"), QStringLiteral("b")},
        {QStringLiteral("HKEY_CURRENT_CONFIG\\a\\b"), 1, HKey::CurrentConfig, QStringLiteral("a"),
         QStringLiteral("b")},
        {QStringLiteral("HKEY_DYN_DATA\\a\\b"), 1, HKey::DynData, QStringLiteral("a"),
         QStringLiteral("b")},
        {QStringLiteral("hkey_classes_root\\.curl\\"), 0, HKey::None, QString(), QString()},
        {QStringLiteral("HKEY_CLASSES_ROOT.curl\\"), 0, HKey::None, QString(), QString()},
        {QStringLiteral("HKEY_CLASSES_ROOT\\Version"), 0, HKey::ClassesRoot, QString(), QString()},
        {QString(), 0, HKey::None, QString(), QString()},
    };
    for (const Case& c : cases) {
        HKey root = HKey::None;
        QString keyPath;
        QString valueName;
        EXPECT_EQ(ParseFullPath(c.path, root, keyPath, valueName), c.result)
            << c.path.toStdString();
        EXPECT_EQ(root, c.root) << c.path.toStdString();
        EXPECT_EQ(keyPath, c.keyPath) << c.path.toStdString();
        EXPECT_EQ(valueName, c.valueName) << c.path.toStdString();
    }
}

TEST(RegistryPathTest, UnknownRootReturnsTheWholePath) {
    HKey root = HKey::Users;
    EXPECT_EQ(IsolateHKey(QStringLiteral("HKEY_NOWHERE\\x"), root),
              QStringLiteral("HKEY_NOWHERE\\x"));
    EXPECT_EQ(root, HKey::None);
}

class RegistryTest : public TempHomeTest {
protected:
    // Puts a value of any kind into the user's store, as another program would.
    void storeValue(const QString& keyPath, const QString& name, const RegistryValue& value) {
        CRegistryStore store(CRegistryStore::DefaultPath());
        ASSERT_TRUE(store.Load());
        store.SetValue(keyPath, name, value);
        ASSERT_TRUE(store.Save());
    }
};

TEST_F(RegistryTest, CreatedDefaultValueReadsBack) {
    EXPECT_EQ(
        RegistryCreateKey(QStringLiteral("HKEY_CLASSES_ROOT\\.curl\\"), QStringLiteral("Quillex")),
        1);
    EXPECT_EQ(
        RegistryCreateKey(QStringLiteral("HKEY_CLASSES_ROOT\\Quillex\\shell\\open\\command\\"),
                          QStringLiteral("\"/opt/quillex\" \"%1\"")),
        1);
    QString value;
    EXPECT_EQ(RegistryLookup(QStringLiteral("/HKEY_CLASSES_ROOT/.curl/"), value), 1);
    EXPECT_EQ(value, QStringLiteral("Quillex"));
    EXPECT_EQ(
        RegistryLookup(QStringLiteral("HKEY_CLASSES_ROOT\\quillex\\Shell\\open\\command\\"), value),
        1);
    EXPECT_EQ(value, QStringLiteral("\"/opt/quillex\" \"%1\""));
}

TEST_F(RegistryTest, ValuesOfEachKindReadAsTheRegistryReadsThem) {
    const QString key = QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Test");
    RegistryValue dword{REG_DWORD, {}, 4294967295u, {}};
    RegistryValue binary{REG_BINARY, {}, 0, QByteArray("\x01\x02", 2)};
    RegistryValue expandable{REG_EXPAND_SZ, QStringLiteral("%HOME%"), 0, {}};
    RegistryValue emptyBinary{REG_BINARY, {}, 0, {}};
    RegistryValue embeddedNul{REG_SZ, QString::fromUtf16(u"front\0back", 10), 0, {}};
    storeValue(key, QStringLiteral("Dword"), dword);
    storeValue(key, QStringLiteral("Binary"), binary);
    storeValue(key, QStringLiteral("Expand"), expandable);
    storeValue(key, QStringLiteral("Empty"), emptyBinary);
    storeValue(key, QStringLiteral("Nul"), embeddedNul);

    struct Case {
        QString valueName;
        int result;
        QString text;
    };
    const Case cases[] = {
        {QStringLiteral("Dword"), 1, QStringLiteral("-1")},
        {QStringLiteral("Binary"), 0, QStringLiteral("fallback")},
        {QStringLiteral("Expand"), 0, QStringLiteral("fallback")},
        {QStringLiteral("Empty"), 0, QStringLiteral("fallback")},
        {QStringLiteral("Nul"), 1, QStringLiteral("front")},
        {QStringLiteral("Missing"), 0, QStringLiteral("fallback")},
    };
    for (const Case& c : cases) {
        QString text;
        EXPECT_EQ(RegistryLookup(key + u'\\' + c.valueName, text, QStringLiteral("fallback")),
                  c.result)
            << c.valueName.toStdString();
        EXPECT_EQ(text, c.text) << c.valueName.toStdString();
    }
}

TEST_F(RegistryTest, MalformedPathsFailWithTheDefault) {
    QString text = QStringLiteral("old");
    EXPECT_EQ(RegistryLookup(QStringLiteral("hkey_local_machine\\Software\\x"), text), 0);
    EXPECT_TRUE(text.isEmpty());
    EXPECT_EQ(RegistryLookup(QString(), text, QStringLiteral("d")), 0);
    EXPECT_EQ(text, QStringLiteral("d"));
    EXPECT_EQ(RegistryCreateKey(QStringLiteral("HKEY_CLASSES_ROOT\\x"), QStringLiteral("v")), 0);
    EXPECT_EQ(RegistryCreateKey(QString(), QStringLiteral("v")), 0);
    EXPECT_FALSE(QFile::exists(CRegistryStore::DefaultPath()));
}

TEST_F(RegistryTest, DamagedStoreIsNeitherReadNorOverwritten) {
    const QByteArray damaged("{\"keys\": [ {\"key\": ");
    const QString path = CRegistryStore::DefaultPath();
    writeFile(path.mid(root().size() + 1), damaged);
    EXPECT_EQ(RegistryCreateKey(QStringLiteral("HKEY_CLASSES_ROOT\\.zwv\\"), QStringLiteral("Z")),
              0);
    EXPECT_EQ(readFile(path), damaged);
}

}  // namespace
