#include "app/appfixture.h"
#include "support/fakeloginreplies.h"
#include "support/gridreplies.h"
#include "support/sanitizedbuild.h"
#include "support/xinput.h"

#include "settings/windowtitletoken.h"

#include <QFile>
#include <QGuiApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>

#include <unistd.h>

namespace {

using Reply = FakeVelnixServer::Reply;

// The real program with a World View whose server entry is the fake server,
// started with an action script on its command line.
class ActionScriptProgramTest : public ProgramTest {
protected:
    void SetUp() override {
        TempHomeTest::SetUp();
        QUILLEX_SKIP_WITHOUT_DESKTOP(false);
        ASSERT_TRUE(server.IsListening());
        fakelogin::ScriptCmiLogAndCancel(server);
        fakelogin::ScriptLogin(server, FakeLoginReply());
        server.Script(FakeVelnixServer::kServicesPath, "Action=Ping", Reply::Xml("<cmi/>"));
        writeLabWorldView(server.Port());
        actionLog = root() + QStringLiteral("/actions.log");
    }

    void start(const QByteArray& script) {
        const QString path = writeFile(QStringLiteral("run.curl"), script);
        ASSERT_TRUE(
            program.Start(QStringLiteral(QUILLEX_BINARY), {path}, ChildProcess::Output::Forwarded))
            << program.ErrorText().toStdString();
    }

    bool ended(int milliseconds) {
        return QTest::qWaitFor([&] { return !program.IsRunning(); }, milliseconds);
    }

    void stop() { program.Kill(); }

    void TearDown() override {
        stop();
        TempHomeTest::TearDown();
    }

    QString logText() const { return QString::fromUtf8(readFile(actionLog)); }

    SharedDataHome dataHome;
    FakeVelnixServer server;
    QString actionLog;
    ChildProcess program;
};

TEST_F(ActionScriptProgramTest, ScriptOnTheCommandLineRunsToItsEndThenTheProgramEnds) {
    const QString timers = root() + QStringLiteral("/timers.csv");
    const QString touched = root() + QStringLiteral("/touched");
    start("set:actionlog=" + actionLog.toUtf8() +
          "\n"
          "# the server entry, by its path\n"
          "//World View|Lab|Alpha\n"
          "login=ops/pw\n"
          "xml:/cmi/Services?Action=Ping\n"
          "timer:start,ping\n"
          "timer:stop,ping\n"
          "timer:dump," +
          timers.toUtf8() + "\ntouch=" + touched.toUtf8() + "\n");
    ASSERT_TRUE(ended(120000)) << "the program ends after its script";
    EXPECT_GE(program.ExitCode(), 0) << "the program ended by a signal";

    EXPECT_EQ(fakelogin::RequestsOf(server, fakelogin::kLoginQuery).size(), 1U);
    EXPECT_FALSE(fakelogin::RequestsOf(server, "Action=Ping").empty());
    EXPECT_TRUE(readFile(timers).startsWith("Timer,Seconds,Days"))
        << readFile(timers).toStdString();
    EXPECT_TRUE(QFile::exists(touched));
    const QString log = logText();
    EXPECT_TRUE(log.contains(QStringLiteral("line:9: touch="))) << log.toStdString();
    EXPECT_TRUE(log.trimmed().endsWith(QStringLiteral("| 0 errors"))) << log.toStdString();
}

// The error box of line 3 stops the script: line 4 is never handed over.
TEST_F(ActionScriptProgramTest, UnknownPathShowsTheBoxAndStopsTheScript) {
    const QString never = root() + QStringLiteral("/never");
    start("set:actionlog=" + actionLog.toUtf8() +
          "\ntimer:clear\n//World View|Lab|Nowhere\ntouch=" + never.toUtf8() + "\n");
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return logText().contains(QStringLiteral("Could not find tree item: Nowhere")) ||
                   !program.IsRunning();
        },
        120000));
    // The script error's box waits for the user, and the script with it.
    EXPECT_TRUE(program.IsRunning());
    EXPECT_FALSE(QFile::exists(never));
    EXPECT_FALSE(logText().contains(QStringLiteral("line:4")));
}

// A script that shows a grid and then sleeps for minutes: the grid's
// request goes out while it sleeps, and its UI thread rests meanwhile.
TEST_F(ActionScriptProgramTest, AGridShownBeforeALongSleepLoadsWhileTheScriptSleeps) {
    server.Script("/cmi/Services", "Action=HostGrid", Reply::Xml(MakeTextCellGridReply(3)));
    start("set:actionlog=" + actionLog.toUtf8() +
          "\n//World View|Lab|Alpha\nlogin=ops/pw\n"
          "grid:/cmi/Services?Action=HostGrid\nsleep=400\n");
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return logText().contains(QStringLiteral("line:5: sleep=")) || !program.IsRunning();
        },
        60000))
        << logText().toStdString();
    ASSERT_TRUE(program.IsRunning());
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            const auto requests = fakelogin::RequestsOf(server, "Action=HostGrid");
            return std::any_of(requests.begin(), requests.end(),
                               [](const auto& request) { return request.method == "GET"; });
        },
        10000))
        << "no grid request within 10 s of the sleep's start";
    if (kAddressSanitizedBuild) {
        GTEST_SKIP() << "each repaint of the busy animation copies the whole window into "
                        "freshly mapped pages: the resting UI thread costs ten times as much";
    }
    // The UI thread's: the browser pane's renderer threads may be busy.
    const auto cpuTicks = [&] {
        const qint64 pid = program.Pid();
        QFile stat(QStringLiteral("/proc/%1/task/%1/stat").arg(pid));
        const QByteArray text = stat.open(QIODevice::ReadOnly) ? stat.readAll() : QByteArray();
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        // utime and stime, the 14th and 15th fields of the whole line.
        return fields.size() > 12 ? fields[11].toLongLong() + fields[12].toLongLong() : -1;
    };
    const qint64 before = cpuTicks();
    QTest::qWait(2000);
    const qint64 used = cpuTicks() - before;
    EXPECT_LT(used, ::sysconf(_SC_CLK_TCK) / 2)
        << "the sleeping program's UI thread spins: " << used << " ticks in 2 s";
}

// Five megabytes of printable junk on one line, '|', ':', '%' and ',' among it.
QByteArray junkLine() {
    QByteArray junk(5 * 1024 * 1024, ' ');
    for (qsizetype i = 0; i < junk.size(); ++i) {
        junk[i] = static_cast<char>('!' + (i * 7919) % 94);
    }
    return junk;
}

// A script line of megabytes (a message or junk) must not freeze the
// window: its box shows soon after the main window, closes at a click and a
// key, and the program then runs on to its end.
TEST_F(ActionScriptProgramTest, MegabyteLineShowsAPromptBoxThatClosesAtOnce) {
    QUILLEX_SKIP_WITHOUT_DESKTOP(true);
    const struct {
        const char* name;
        QByteArray line;
    } cases[] = {
        {"message", "curl:message=" + QByteArray(5 * 1024 * 1024, 'x')},
        {"junk", junkLine()},
    };
    const QString mainTitle = QStringLiteral("Quillet for Velnix by Zorvic");
    const QString boxTitle = QStringLiteral("Quillet for Velnix");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        start("set:actionlog=" + actionLog.toUtf8() + '\n' + c.line + '\n');
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return TopLevelWindowTitles().contains(mainTitle) || !program.IsRunning(); },
            60000));
        // Generous bounds: only a freeze of the window misses them.
        QStringList boxes;
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                boxes = visibleWindowsTitled(boxTitle);
                return !boxes.isEmpty() || !program.IsRunning();
            },
            20000 * kSanitizedSlowdown))
            << "no box within " << 20 * kSanitizedSlowdown << " s";
        ASSERT_EQ(boxes.size(), 1);
        ASSERT_TRUE(clickIntoWindowAndPress(boxes.first(), QStringLiteral("Return")));
        EXPECT_TRUE(QTest::qWaitFor([&] { return visibleWindowsTitled(boxTitle).isEmpty(); },
                                    20000 * kSanitizedSlowdown))
            << "the box did not close within " << 20 * kSanitizedSlowdown << " s";
        EXPECT_TRUE(ended(60000));
        stop();
    }
}

}  // namespace
