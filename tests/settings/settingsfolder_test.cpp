#include "settings/settingsfolder.h"

#include "support/temphome.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <map>

namespace {

using Files = std::map<QString, QByteArray>;

struct FirstRunCase {
    const char* name;
    Files prepared;  // relative to XDG_CONFIG_HOME
    Files expected;  // the settings folder's files afterwards
};

void PrintTo(const FirstRunCase& firstRun, std::ostream* out) {
    *out << firstRun.name;
}

class SettingsFolderFirstRun : public TempHomeTest,
                               public ::testing::WithParamInterface<FirstRunCase> {
protected:
    QString settingsFolder() const { return configHome() + u"/Zorvic/QVX"_qs; }

    Files settingsFiles() const {
        Files files;
        const QDir folder(settingsFolder());
        for (const QString& name : folder.entryList(QDir::AllEntries | QDir::NoDotAndDotDot)) {
            files[name] = readFile(folder.filePath(name));
        }
        return files;
    }
};

TEST_P(SettingsFolderFirstRun, CreatesAndFillsTheFolder) {
    for (const auto& [path, contents] : GetParam().prepared) {
        writeFile(u".config/"_qs + path, contents);
    }
    // The path keeps its case: Linux paths are case-sensitive.
    EXPECT_EQ(Getlocalsettingsdir(), settingsFolder());
    EXPECT_TRUE(QFileInfo(settingsFolder()).isDir());
    EXPECT_EQ(QFileInfo(settingsFolder()).permissions() & 0x0077, 0);
    EXPECT_EQ(settingsFiles(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SettingsFolderFirstRun,
    ::testing::Values(
        FirstRunCase{"nothingToCopy", {}, {}},
        FirstRunCase{"makerPreferences",
                     {{u"Zorvic/Quillex.ini"_qs, "Skin=1\n"}, {u"Zorvic/other.txt"_qs, "x"}},
                     {{u"Quillex.ini"_qs, "Skin=1\n"}}},
        FirstRunCase{"formerCompanyFilesReplace",
                     {{u"Zorvic/Quillex.ini"_qs, "maker"},
                      {u"Pelwick Communications/Quillex.ini"_qs, "former"},
                      {u"Pelwick Communications/Quillex.zwv"_qs, "<tree/>"},
                      {u"Pelwick Communications/sub/deep.txt"_qs, "deep"}},
                     {{u"Quillex.ini"_qs, "former"}, {u"Quillex.zwv"_qs, "<tree/>"}}}));

class SettingsFolder : public TempHomeTest {};

TEST_F(SettingsFolder, OnlyTheFirstRunCopies) {
    const QString makerIni = writeFile(u".config/Zorvic/Quillex.ini"_qs, "first");
    const QString settings = Getlocalsettingsdir();
    writeFile(u".config/Zorvic/Quillex.ini"_qs, "second");
    writeFile(u".config/Pelwick Communications/late.txt"_qs, "late");
    EXPECT_EQ(Getlocalsettingsdir(), settings);
    EXPECT_EQ(readFile(settings + u"/Quillex.ini"_qs), "first");
    EXPECT_FALSE(QFileInfo::exists(settings + u"/late.txt"_qs));
}

TEST_F(SettingsFolder, CreatesAMissingConfigurationFolder) {
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(root() + u"/fresh/config"_qs));
    EXPECT_EQ(Getlocalsettingsdir(), root() + u"/fresh/config/Zorvic/QVX"_qs);
    EXPECT_TRUE(QFileInfo(root() + u"/fresh/config/Zorvic/QVX"_qs).isDir());
}

TEST_F(SettingsFolder, DesktopHasNoTrailingSlash) {
    const QString desktop = GetDesktopDir();
    EXPECT_FALSE(desktop.isEmpty());
    EXPECT_FALSE(desktop.endsWith(u'/'));
    EXPECT_TRUE(desktop.startsWith(root()));
}

}  // namespace
