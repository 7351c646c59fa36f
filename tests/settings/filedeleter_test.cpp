#include "settings/filedeleter.h"

#include "support/temphome.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <thread>

namespace {

class FileDeleterTest : public TempHomeTest {
protected:
    // tree/a.txt, tree/keep/locked.txt (read-only), tree/keep/b.txt, tree/c/d.txt
    QString makeTree() {
        writeFile(u"tree/a.txt"_qs, "a");
        writeFile(u"tree/keep/b.txt"_qs, "b");
        writeFile(u"tree/c/d.txt"_qs, "d");
        const QString locked = writeFile(u"tree/keep/locked.txt"_qs, "locked");
        QFile::setPermissions(locked, QFile::ReadOwner | QFile::ReadGroup);
        return root() + u"/tree"_qs;
    }

    // A file that counts as read-only: its owner may not write it.
    void writeLockedFile(const QString& relative) const {
        QFile::setPermissions(writeFile(relative, "x"), QFile::ReadOwner);
    }

    bool exists(const QString& relative) const {
        return QFileInfo::exists(root() + u'/' + relative);
    }

    CFileDeleter::ReadOnlyQuestion answering(CFileDeleter::Answer answer) {
        return [this, answer](const QString& fileName) {
            m_asked.append(fileName);
            return answer;
        };
    }

    QStringList m_asked;
};

TEST_F(FileDeleterTest, ReadOnlyAnswers) {
    struct Case {
        const char* name;
        CFileDeleter::Answer answer;
        bool prompt;
        bool lockedStays;
        bool skipped;
    };
    const Case cases[] = {
        {"yes", CFileDeleter::Answer::Yes, true, false, false},
        {"no", CFileDeleter::Answer::No, true, true, true},
        {"promptOff", CFileDeleter::Answer::No, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_asked.clear();
        const QString tree = makeTree();
        CFileDeleter deleter(answering(c.answer));
        deleter.SetPromptOnReadOnly(c.prompt);
        EXPECT_TRUE(deleter.Delete(tree));
        EXPECT_EQ(deleter.Skipped(), c.skipped);
        EXPECT_EQ(exists(u"tree/keep/locked.txt"_qs), c.lockedStays);
        EXPECT_EQ(exists(u"tree/keep"_qs), c.lockedStays);
        EXPECT_EQ(exists(u"tree"_qs), c.lockedStays);
        EXPECT_FALSE(exists(u"tree/a.txt"_qs));
        EXPECT_FALSE(exists(u"tree/keep/b.txt"_qs));
        EXPECT_FALSE(exists(u"tree/c"_qs));
        EXPECT_EQ(m_asked, c.prompt ? QStringList{u"locked.txt"_qs} : QStringList{});
        EXPECT_EQ(deleter.Code(), 0u);
        QDir(tree).removeRecursively();
    }
}

TEST_F(FileDeleterTest, CancelEndsTheRunAsSuccess) {
    writeLockedFile(u"one/locked.txt"_qs);
    CFileDeleter deleter(answering(CFileDeleter::Answer::Cancel));
    EXPECT_TRUE(deleter.Delete(root() + u"/one"_qs));
    EXPECT_TRUE(deleter.Skipped());
    EXPECT_TRUE(exists(u"one/locked.txt"_qs));
}

TEST_F(FileDeleterTest, SymbolicLinksAreRemovedNotFollowed) {
    writeFile(u"outside/precious.txt"_qs, "keep me");
    writeFile(u"tree/a.txt"_qs, "a");
    ASSERT_TRUE(QFile::link(root() + u"/outside"_qs, root() + u"/tree/link"_qs));
    ASSERT_TRUE(QFile::link(root() + u"/outside"_qs, root() + u"/direct"_qs));

    CFileDeleter deleter(answering(CFileDeleter::Answer::Yes));
    EXPECT_TRUE(deleter.Delete(root() + u"/tree/"_qs));
    EXPECT_FALSE(exists(u"tree"_qs));
    EXPECT_TRUE(deleter.Delete(root() + u"/direct"_qs));
    EXPECT_FALSE(QFileInfo(root() + u"/direct"_qs).isSymLink());
    EXPECT_EQ(readFile(root() + u"/outside/precious.txt"_qs), "keep me");
    EXPECT_TRUE(m_asked.isEmpty());
}

TEST_F(FileDeleterTest, MissingPathFailsWithTheSystemMessage) {
    CFileDeleter deleter(answering(CFileDeleter::Answer::Yes));
    EXPECT_EQ(deleter.Message(), u"No error"_qs);
    EXPECT_FALSE(deleter.Delete(root() + u"/missing"_qs));
    EXPECT_EQ(deleter.Code(), static_cast<unsigned>(ENOENT));
    EXPECT_EQ(deleter.Message(), QString::fromLocal8Bit(std::strerror(ENOENT)));
}

TEST_F(FileDeleterTest, AKeptFileOfAnEarlierRunDoesNotHideALaterFailure) {
    writeLockedFile(u"one/locked.txt"_qs);
    CFileDeleter deleter(answering(CFileDeleter::Answer::No));
    EXPECT_TRUE(deleter.Delete(root() + u"/one"_qs));
    EXPECT_TRUE(deleter.Skipped());
    EXPECT_FALSE(deleter.Delete(root() + u"/missing"_qs));
    EXPECT_FALSE(deleter.Skipped());
    EXPECT_EQ(deleter.Code(), static_cast<unsigned>(ENOENT));
}

TEST_F(FileDeleterTest, WorkerWithoutUiKeepsReadOnlyFiles) {
    writeLockedFile(u"w/locked.txt"_qs);
    writeFile(u"w/plain.txt"_qs, "y");
    bool result = false;
    std::thread worker([&] { result = CFileDeleter().Delete(root() + u"/w"_qs); });
    worker.join();
    EXPECT_TRUE(result);
    EXPECT_TRUE(exists(u"w/locked.txt"_qs));
    EXPECT_FALSE(exists(u"w/plain.txt"_qs));
}

}  // namespace
