#include "app/singleinstance.h"

#include "app/appfixture.h"
#include "support/childprocess.h"
#include "support/onworker.h"

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class SingleInstanceTest : public TempHomeTest {
protected:
    void SetUp() override {
        TempHomeTest::SetUp();
        folder = configHome() + QStringLiteral("/Zorvic/QVX");
        ASSERT_TRUE(QDir().mkpath(folder));
    }

    // Starts the real program with one argument and waits for it to end,
    // handling events meanwhile so this process can take a hand-off.
    int runProgram(const QString& argument) {
        ChildProcess program;
        EXPECT_TRUE(program.Start(QStringLiteral(QUILLEX_BINARY), {argument},
                                  ChildProcess::Output::Forwarded))
            << program.ErrorText().toStdString();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !program.IsRunning(); }, 120000));
        return program.ExitCode();
    }

    QString folder;
    SharedDataHome dataHome;
};

TEST_F(SingleInstanceTest, StartupLockIsHeldByOneInstanceAtATime) {
    CSingleInstance first(folder);
    CSingleInstance second(folder);
    ASSERT_TRUE(first.AcquireStartupLock());
    EXPECT_FALSE(second.AcquireStartupLock());
    first.ReleaseStartupLock();
    EXPECT_TRUE(second.AcquireStartupLock());
}

TEST_F(SingleInstanceTest, OnlyOneInstanceListensAndStaleSocketsAreReplaced) {
    // A socket file left by an instance that ended without removing it.
    {
        QLocalServer crashed;
        crashed.setSocketOptions(QLocalServer::UserAccessOption);
        ASSERT_TRUE(crashed.listen(CSingleInstance(folder).SocketPath()));
        crashed.close();
        QFile stale(CSingleInstance(folder).SocketPath());
        ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    }
    CSingleInstance first(folder);
    ASSERT_TRUE(first.Listen([](const QString&) { return true; }))
        << first.ErrorText().toStdString();
    CSingleInstance second(folder);
    EXPECT_FALSE(second.Listen([](const QString&) { return true; }));
}

// This process plays the instance that is still starting; the program
// started second hands its script over and ends.
TEST_F(SingleInstanceTest, SecondStartHandsTheScriptToTheStartingInstance) {
    CSingleInstance running(folder);
    ASSERT_TRUE(running.AcquireStartupLock());
    QStringList received;
    ASSERT_TRUE(running.Listen([&received](const QString& path) {
        received << path;
        return true;
    }));
    const QStringList paths = {root() + QStringLiteral("/job.curl"),
                               root() + QStringLiteral("/with space/\"quoted\" job.curl")};
    for (const QString& path : paths) {
        EXPECT_EQ(runProgram(path), 0);
    }
    EXPECT_EQ(received, paths) << "each path arrives as given";
}

// A path longer than any script path is refused whole, never cut short and
// run as another file.
TEST_F(SingleInstanceTest, OverlongPathIsRefusedNotTruncated) {
    CSingleInstance running(folder);
    QStringList received;
    ASSERT_TRUE(running.Listen([&received](const QString& path) {
        received << path;
        return true;
    }));
    const QString path = root() + u'/' + QString(70000, u'x') + QStringLiteral(".curl");
    EXPECT_FALSE(onWorker([&] { return CSingleInstance(folder).HandOff(path, 30000); }));
    EXPECT_TRUE(received.isEmpty());
}

// A starting instance that does not answer must not swallow the script: the
// second start runs it itself.
TEST_F(SingleInstanceTest, ScriptThatCannotBeHandedOverRunsInTheSecondStart) {
    CSingleInstance starting(folder);
    ASSERT_TRUE(starting.AcquireStartupLock());
    writeFile(QStringLiteral(".config/Zorvic/QVX/Quillex.dbg"), "1\n");
    const QString made = root() + QStringLiteral("/made-by-lonely");
    const QString script =
        writeFile(QStringLiteral("lonely.curl"), ("touch=" + made + "\n").toUtf8());

    EXPECT_EQ(runProgram(script), 0);

    const QByteArray log = readFile(folder + QStringLiteral("/Quillex.log"));
    EXPECT_TRUE(log.contains("running it here")) << log.toStdString();
    EXPECT_TRUE(log.contains((":: running command line: " + script).toUtf8()));
    EXPECT_TRUE(log.contains(("Action[01/01/line:1] = touch=" + made).toUtf8()));
    EXPECT_TRUE(QFile::exists(made)) << "the script ran to its end before the program ended";
}

}  // namespace
