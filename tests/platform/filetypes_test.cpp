#include "platform/filetypes.h"

#include "support/fullfilesystem.h"
#include "support/temphome.h"

#include <QXmlStreamReader>

#include <sys/stat.h>

namespace {

ino_t inode(const QString& path) {
    struct stat status {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_ino : 0;
}

class DesktopFileTypesTest : public TempHomeTest {
protected:
    void SetUp() override {
        TempHomeTest::SetUp();
        m_savedDataHome = qgetenv("XDG_DATA_HOME");
        qunsetenv("XDG_DATA_HOME");
        // Keep the cache tools out of the test: only the files matter here.
        m_savedPath = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(tempFolder()));
    }
    void TearDown() override {
        qputenv("PATH", m_savedPath);
        if (!m_savedDataHome.isEmpty()) {
            qputenv("XDG_DATA_HOME", m_savedDataHome);
        }
        TempHomeTest::TearDown();
    }

private:
    QByteArray m_savedDataHome;
    QByteArray m_savedPath;
};

TEST_F(DesktopFileTypesTest, WritesEntryAndMimePackageUnderTheDataHome) {
    CDesktopFileTypes types(QStringLiteral("/opt/quillex/bin/quillex"));
    ASSERT_TRUE(types.Register()) << types.ErrorText().toStdString();
    EXPECT_EQ(types.DesktopEntryPath(),
              root() + QStringLiteral("/.local/share/applications/zorvic-quillex.desktop"));
    const QString entry = QString::fromUtf8(readFile(types.DesktopEntryPath()));
    EXPECT_TRUE(entry.startsWith(QStringLiteral("[Desktop Entry]\n")));
    EXPECT_TRUE(entry.contains(QStringLiteral("\nExec=\"/opt/quillex/bin/quillex\" %f\n")));
    EXPECT_TRUE(entry.contains(
        QStringLiteral("\nMimeType=application/x-zorvic-curl;application/x-zorvic-zwv;\n")));

    QXmlStreamReader xml(readFile(types.MimePackagePath()));
    QStringList globs;
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"glob") {
            globs << xml.attributes().value(QStringLiteral("pattern")).toString();
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_EQ(globs, QStringList({QStringLiteral("*.curl"), QStringLiteral("*.zwv")}));
}

TEST_F(DesktopFileTypesTest, UnchangedFilesAreNotRewritten) {
    CDesktopFileTypes types(QStringLiteral("/opt/quillex"));
    ASSERT_TRUE(types.Register());
    // An atomic rewrite would replace the files with new ones.
    const ino_t entry = inode(types.DesktopEntryPath());
    const ino_t package = inode(types.MimePackagePath());
    EXPECT_TRUE(types.Register()) << types.ErrorText().toStdString();
    EXPECT_EQ(inode(types.DesktopEntryPath()), entry);
    EXPECT_EQ(inode(types.MimePackagePath()), package);

    CDesktopFileTypes moved(QStringLiteral("/usr/local/bin/quillex"));
    EXPECT_TRUE(moved.Register());
    EXPECT_NE(inode(types.DesktopEntryPath()), entry);
    EXPECT_EQ(inode(types.MimePackagePath()), package);
}

TEST_F(DesktopFileTypesTest, AFullDiskKeepsTheRegisteredFilesAndSaysWhy) {
    FullFileSystem disk(root() + QStringLiteral("/.local/share"));
    if (!disk.IsMounted()) {
        GTEST_SKIP() << disk.SkipReason().toStdString();
    }
    CDesktopFileTypes types(QStringLiteral("/opt/quillex"));
    ASSERT_TRUE(types.Register()) << types.ErrorText().toStdString();
    const QByteArray entry = readFile(types.DesktopEntryPath());
    ASSERT_TRUE(disk.Fill());

    CDesktopFileTypes moved(QStringLiteral("/usr/local/bin/quillex"));
    EXPECT_FALSE(moved.Register());
    EXPECT_TRUE(moved.ErrorText().contains(types.DesktopEntryPath()))
        << moved.ErrorText().toStdString();
    EXPECT_EQ(readFile(types.DesktopEntryPath()), entry);
}

TEST(DesktopExecArgumentTest, QuotesWhatTheExecLineWouldReadOtherwise) {
    struct Case {
        QString argument;
        QString quoted;
    };
    const Case cases[] = {
        {QStringLiteral("/usr/bin/quillex"), QStringLiteral("\"/usr/bin/quillex\"")},
        {QStringLiteral("/opt/my apps/q"), QStringLiteral("\"/opt/my apps/q\"")},
        {QStringLiteral("/a\"b$c`d"), QStringLiteral("\"/a\\\"b\\$c\\`d\"")},
        {QStringLiteral("/a\\b"), QStringLiteral("\"/a\\\\\\\\b\"")},
        {QStringLiteral("/100%"), QStringLiteral("\"/100%%\"")},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DesktopExecArgument(c.argument), c.quoted) << c.argument.toStdString();
    }
}

TEST_F(DesktopFileTypesTest, ProgramPathWithALineBreakIsRefused) {
    CDesktopFileTypes types(QStringLiteral("/opt/evil\nExec=rm"));
    EXPECT_FALSE(types.Register());
    EXPECT_FALSE(QFile::exists(types.DesktopEntryPath()));
}

}  // namespace
