#include "app/appfixture.h"
#include "app/singleinstance.h"
#include "settings/windowtitletoken.h"
#include "support/xinput.h"

#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class ProgramSignalTest : public AppFixture {};

// SIGTERM (a log-out, `kill`, a service manager) ends the real program the
// way its close box does: the preferences are written, the hand-off socket
// is gone, and the next start comes up as usual.
TEST_F(ProgramSignalTest, SigtermRunsTheExitSequenceAndTheNextStartIsClean) {
    QUILLEX_SKIP_WITHOUT_DESKTOP(false);
    app.reset();  // the program runs on its own
    const QString worldView = writeFile(QStringLiteral("start.zwv"),
                                        "<tree>\n  <root label='World View'>\n"
                                        "  </root>\n</tree>\n");
    const QString ini = settingsFolder() + QStringLiteral("/Quillex.ini");
    const QString title = QStringLiteral("Quillet for Velnix by Zorvic");
    for (int run = 1; run <= 2; ++run) {
        QFile::remove(ini);
        QProcess program;
        program.setProcessChannelMode(QProcess::ForwardedChannels);
        program.start(QStringLiteral(QUILLEX_BINARY), {worldView});
        ASSERT_TRUE(program.waitForStarted());
        const bool shown = QTest::qWaitFor(
            [&] {
                return TopLevelWindowTitles().contains(title) ||
                       program.state() == QProcess::NotRunning;
            },
            60000);
        ASSERT_TRUE(shown && program.state() == QProcess::Running) << "run " << run;

        program.terminate();
        const bool ended =
            QTest::qWaitFor([&] { return program.state() == QProcess::NotRunning; }, 60000);
        if (!ended) {
            program.kill();
            program.waitForFinished(10000);
        }
        ASSERT_TRUE(ended) << "run " << run << ": SIGTERM did not end the program";
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit) << "run " << run;
        EXPECT_EQ(program.exitCode(), 0) << "run " << run;
        EXPECT_TRUE(readFile(ini).contains("Main.left=")) << "run " << run;
        EXPECT_FALSE(QFile::exists(CSingleInstance(settingsFolder()).SocketPath()))
            << "run " << run;
    }
}

}  // namespace
