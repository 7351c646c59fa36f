#include "framework/kfile.h"

#include "support/fullfilesystem.h"
#include "support/temphome.h"

#include <QDir>

namespace {

class SaveFileAtomicallyTest : public TempHomeTest {};

TEST_F(SaveFileAtomicallyTest, AFullDiskKeepsTheOldFileAndSaysWhy) {
    const QString folder = root() + QStringLiteral("/full");
    FullFileSystem disk(folder);
    if (!disk.IsMounted()) {
        GTEST_SKIP() << disk.SkipReason().toStdString();
    }
    const QString path = folder + QStringLiteral("/saved.txt");
    ASSERT_TRUE(kSaveFileAtomically(path, "the good contents"));
    ASSERT_TRUE(disk.Fill());

    // Small contents wait in the write buffer until the flush; large ones
    // go to the disk at once.
    const QByteArray attempts[] = {QByteArray("short"), QByteArray(200000, 'x')};
    for (const QByteArray& bytes : attempts) {
        SCOPED_TRACE(bytes.size());
        QString error;
        EXPECT_FALSE(kSaveFileAtomically(path, bytes, &error));
        EXPECT_FALSE(error.isEmpty());
        EXPECT_EQ(readFile(path), "the good contents");
    }
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden),
              QStringList({QStringLiteral(".filler"), QStringLiteral("saved.txt")}))
        << "no partial file is left behind";
}

}  // namespace
