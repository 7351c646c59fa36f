#include "platform/registrystore.h"

#include "support/fullfilesystem.h"
#include "support/temphome.h"

namespace {

class RegistryStoreTest : public TempHomeTest {};

TEST_F(RegistryStoreTest, ValuesSurviveSaveAndLoadWithTheirKinds) {
    const QString path = root() + QStringLiteral("/store/registry.json");
    CRegistryStore store(path);
    ASSERT_TRUE(store.Load());
    store.SetValue(QStringLiteral("HKEY_CURRENT_USER\\Software\\Zorvic"), QStringLiteral("Text"),
                   {REG_SZ, QStringLiteral("Gr\u00fc\u00dfe \"quoted\""), 0, {}});
    store.SetValue(QStringLiteral("HKEY_CURRENT_USER\\Software\\Zorvic"), QStringLiteral("Count"),
                   {REG_DWORD, {}, 0xFFFFFFFFu, {}});
    store.SetValue(QStringLiteral("HKEY_CURRENT_USER\\Software\\Zorvic"), QStringLiteral("Blob"),
                   {REG_BINARY, {}, 0, QByteArray("\0\xff", 2)});
    ASSERT_TRUE(store.Save()) << store.ErrorText().toStdString();

    CRegistryStore reread(path);
    ASSERT_TRUE(reread.Load());
    const QString key = QStringLiteral("hkey_current_user\\software\\zorvic");
    EXPECT_TRUE(reread.KeyExists(key));
    EXPECT_EQ(reread.Value(key, QStringLiteral("TEXT"))->text,
              QStringLiteral("Gr\u00fc\u00dfe \"quoted\""));
    EXPECT_EQ(reread.Value(key, QStringLiteral("count"))->number, 0xFFFFFFFFu);
    EXPECT_EQ(reread.Value(key, QStringLiteral("Blob"))->bytes, QByteArray("\0\xff", 2));
    EXPECT_FALSE(reread.Value(key, QStringLiteral("Missing")).has_value());
}

TEST_F(RegistryStoreTest, AFullDiskKeepsTheSavedStoreAndSaysWhy) {
    const QString folder = root() + QStringLiteral("/full");
    FullFileSystem disk(folder);
    if (!disk.IsMounted()) {
        GTEST_SKIP() << disk.SkipReason().toStdString();
    }
    const QString path = folder + QStringLiteral("/registry.json");
    CRegistryStore store(path);
    store.SetValue(QStringLiteral("HKEY_USERS\\x"), QStringLiteral("v"),
                   {REG_SZ, QStringLiteral("kept"), 0, {}});
    ASSERT_TRUE(store.Save()) << store.ErrorText().toStdString();
    const QByteArray saved = readFile(path);
    ASSERT_TRUE(disk.Fill());

    store.SetValue(QStringLiteral("HKEY_USERS\\x"), QStringLiteral("v"),
                   {REG_SZ, QStringLiteral("lost"), 0, {}});
    EXPECT_FALSE(store.Save());
    EXPECT_TRUE(store.ErrorText().contains(path)) << store.ErrorText().toStdString();
    EXPECT_EQ(readFile(path), saved);
}

TEST_F(RegistryStoreTest, ValueNamesDifferingInCaseAreOneValue) {
    CRegistryStore store(root() + QStringLiteral("/registry.json"));
    store.SetValue(QStringLiteral("HKEY_CLASSES_ROOT\\.curl"), QStringLiteral("Name"),
                   {REG_SZ, QStringLiteral("first"), 0, {}});
    store.SetValue(QStringLiteral("HKEY_CLASSES_ROOT\\.CURL"), QStringLiteral("NAME"),
                   {REG_SZ, QStringLiteral("second"), 0, {}});
    EXPECT_EQ(store.Value(QStringLiteral("HKEY_CLASSES_ROOT\\.curl"), QStringLiteral("name"))->text,
              QStringLiteral("second"));
}

TEST_F(RegistryStoreTest, DamagedFilesAreRefusedAndKept) {
    const QByteArray contents[] = {
        QByteArray("not json"),
        QByteArray(R"({"keys": [{"key": "HKEY_USERS\\x", "values": [{"name": "v"}]}]})"),
        QByteArray(R"({"keys": [{"key": "HKEY_USERS\\x", "values": [{"name": "v", "type": 4,
                   "value": "text"}]}]})"),
        QByteArray(R"({"keys": [{"values": []}]})"),
    };
    for (const QByteArray& damaged : contents) {
        const QString path = writeFile(QStringLiteral("registry.json"), damaged);
        CRegistryStore store(path);
        EXPECT_FALSE(store.Load()) << damaged.constData();
        EXPECT_FALSE(store.ErrorText().isEmpty());
        store.SetValue(QStringLiteral("HKEY_USERS\\y"), QStringLiteral("v"),
                       {REG_SZ, QStringLiteral("t"), 0, {}});
        EXPECT_FALSE(store.Save());
        EXPECT_EQ(readFile(path), damaged);
    }
}

}  // namespace
