#include "platform/detachedprogram.h"

#include "support/temphome.h"

#include <QFile>
#include <QTest>

#include <gtest/gtest.h>

#include <pthread.h>
#include <unistd.h>

#include <atomic>
#include <mutex>
#include <thread>

namespace {

std::atomic<int> forks{0};

// A program that writes its arguments, a variable of its environment and
// the parent and session of its process to `out`, whole or not at all.
class DetachedProgramTest : public TempHomeTest {
protected:
    void SetUp() override {
        TempHomeTest::SetUp();
        m_path = qgetenv("PATH");
        out = root() + QStringLiteral("/out");
        const QByteArray file = '\'' + QFile::encodeName(out) + '\'';
        program = writeFile(QStringLiteral("bin/probe"),
                            "#!/bin/sh\n"
                            "{ printf '[%s]\\n' \"$@\"; printf 'probe=%s\\n' \"$QX_PROBE\";\n"
                            "  cut -d' ' -f4,6 /proc/$$/stat; } > " +
                                file + ".part\nmv " + file + ".part " + file + '\n');
        QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void TearDown() override {
        qputenv("PATH", m_path);
        TempHomeTest::TearDown();
    }

    // The program's lines, once it has written them.
    QList<QByteArray> written() {
        EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(out); }, 20000));
        return readFile(out).split('\n');
    }

    QString out;
    QString program;

private:
    QByteArray m_path;
};

TEST_F(DetachedProgramTest, StartsTheProgramWithItsWordsInASessionOfItsOwn) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QX_PROBE"), QStringLiteral("it's $HOME"));
    qputenv("PATH", QFile::encodeName(root() + QStringLiteral("/bin:")) + qgetenv("PATH"));
    const struct {
        const char* name;
        QString program;
    } cases[] = {
        {"a path", program},
        {"a name in PATH", QStringLiteral("probe")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(out);
        ASSERT_TRUE(StartDetachedProgram(
            c.program, {QStringLiteral("two words"), QStringLiteral("'; touch x"), QString()},
            environment));
        const QList<QByteArray> lines = written();
        ASSERT_EQ(lines.size(), 6) << readFile(out).toStdString();
        EXPECT_EQ(lines[0], "[two words]");
        EXPECT_EQ(lines[1], "['; touch x]");
        EXPECT_EQ(lines[2], "[]");
        EXPECT_EQ(lines[3], "probe=it's $HOME");
        const QList<QByteArray> parentAndSession = lines[4].split(' ');
        ASSERT_EQ(parentAndSession.size(), 2);
        EXPECT_NE(parentAndSession[0].toInt(), ::getpid()) << "the program is no child of ours";
        EXPECT_NE(parentAndSession[1].toInt(), ::getsid(0));
    }
}

TEST_F(DetachedProgramTest, RefusesWhatIsNoExecutableFile) {
    const QString plain = writeFile(QStringLiteral("plain"), "#!/bin/sh\ntouch x\n");
    const struct {
        const char* name;
        QString program;
    } cases[] = {
        {"an unknown name", QStringLiteral("quillex-no-such-program")},
        {"a missing path", root() + QStringLiteral("/missing")},
        {"a file without execute permission", plain},
        {"a folder", root()},
        {"nothing", QString()},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(StartDetachedProgram(c.program, {})) << c.name;
    }
}

// A fork while other threads run leaves the child with their locks held;
// the thread sanitizer's runtime, for one, ends the process at its next
// thread.
TEST_F(DetachedProgramTest, StartsWithoutForkingThisProcess) {
    static std::once_flag counting;
    std::call_once(counting, [] { pthread_atfork([] { ++forks; }, nullptr, nullptr); });
    const int before = forks;
    std::atomic<bool> done{false};
    std::thread running([&] {
        while (!done) {
            std::this_thread::yield();
        }
    });
    EXPECT_TRUE(StartDetachedProgram(program, {}));
    done = true;
    running.join();
    EXPECT_EQ(forks - before, 0);
    std::thread later([] {});
    later.join();
    EXPECT_FALSE(written().isEmpty());
}

}  // namespace
