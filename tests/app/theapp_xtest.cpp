#include "app/appfixture.h"
#include "app/singleinstance.h"
#include "settings/windowtitletoken.h"
#include "support/xinput.h"

#include <QFile>
#include <QGuiApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace {

// The real program run on its own, ended by SIGTERM.
class ProgramSignalTest : public AppFixture {
protected:
    static constexpr int kPromptEnd = 5000;  // ms a signal may take to end the program

    void SetUp() override {
        AppFixture::SetUp();
        app.reset();  // the program runs on its own
    }

    void TearDown() override {
        program.Kill();
        AppFixture::TearDown();
    }

    QString ini() const { return settingsFolder() + QStringLiteral("/Quillex.ini"); }

    // True once the condition holds; false when it does not within `ms` or
    // the program ends first.
    bool whileRunning(const std::function<bool()>& condition, int ms = 60000) {
        return QTest::qWaitFor([&] { return condition() || !program.IsRunning(); }, ms) &&
               program.IsRunning();
    }

    void start(const QStringList& arguments) {
        ASSERT_TRUE(program.Start(QStringLiteral(QUILLEX_BINARY), arguments,
                                  ChildProcess::Output::Forwarded))
            << program.ErrorText().toStdString();
    }

    bool mainWindowShown() {
        return whileRunning([] { return TopLevelWindowTitles().contains(kMainTitle); });
    }

    // The program's message boxes carry its short name as their caption.
    bool boxShown() {
        return whileRunning([] { return boxOpen(); });
    }

    // Return in the open box, as its user would; true once the box has gone.
    // The box gets the keyboard first and the key goes where the keyboard
    // is: a key sent to the box's window itself loses its release when the
    // box closes on the press, and the key stays down for every later test
    // on this display, whose Return then never arrives.
    bool answerBox() {
        return xdotool(boxSearch() << QStringLiteral("windowfocus") << QStringLiteral("--sync")) &&
               xdotool({QStringLiteral("key"), QStringLiteral("Return")}) &&
               whileRunning([] { return !boxOpen(); }, 10000);
    }

    // SIGTERM; true when the program ended, exit code 0, within `ms`.
    bool endsOnSigterm(int ms) {
        program.Terminate();
        const bool ended = QTest::qWaitFor([&] { return !program.IsRunning(); }, ms);
        return ended && program.ExitCode() == 0;
    }

    // Asked quietly: the search prints the ids it finds.
    static bool boxOpen() {
        QByteArray ids;
        return RunChildProcess(QStringLiteral("xdotool"), boxSearch(), ids, 10000) == 0;
    }

    static QStringList boxSearch() {
        return {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                QStringLiteral("^Quillet for Velnix$")};
    }

    static inline const QString kMainTitle = QStringLiteral("Quillet for Velnix by Zorvic");
    ChildProcess program;
};

// SIGTERM (a log-out, `kill`, a service manager) ends the real program the
// way its close box does: the preferences are written, the hand-off socket
// is gone, and the next start comes up as usual.
TEST_F(ProgramSignalTest, SigtermRunsTheExitSequenceAndTheNextStartIsClean) {
    QUILLEX_SKIP_WITHOUT_DESKTOP(false);
    const QString worldView = writeFile(QStringLiteral("start.zwv"),
                                        "<tree>\n  <root label='World View'>\n"
                                        "  </root>\n</tree>\n");
    for (int run = 1; run <= 2; ++run) {
        QFile::remove(ini());
        start({worldView});
        ASSERT_TRUE(mainWindowShown()) << "run " << run;
        ASSERT_TRUE(endsOnSigterm(60000)) << "run " << run << ": SIGTERM did not end the program";
        EXPECT_TRUE(readFile(ini()).contains("Main.left=")) << "run " << run;
        EXPECT_FALSE(QFile::exists(CSingleInstance(settingsFolder()).SocketPath()))
            << "run " << run;
    }
}

// A signal has nobody to answer a box: a box open at start-up is dismissed,
// and the program ends promptly with its preferences written.
TEST_F(ProgramSignalTest, SigtermEndsTheProgramPromptlyWhileAStartupBoxIsOpen) {
    QUILLEX_SKIP_WITHOUT_DESKTOP(true);
    const struct {
        const char* box;
        QStringList arguments;
    } cases[] = {
        {"first run", {}},
        {"could not read file", {root() + QStringLiteral("/missing.zwv")}},
    };
    for (const auto& c : cases) {
        QFile::remove(ini());
        start(c.arguments);
        ASSERT_TRUE(boxShown()) << c.box;
        EXPECT_TRUE(endsOnSigterm(kPromptEnd)) << c.box << ": the box kept the program going";
        program.Kill();
        EXPECT_TRUE(readFile(ini()).contains("Main.left=")) << c.box;
    }
}

// Unsaved World View changes at a signal are kept without a question in the
// recovery file beside the World View; the World View's own file is not
// written.
TEST_F(ProgramSignalTest, SigtermKeepsUnsavedWorldViewChangesInTheRecoveryFile) {
    QUILLEX_SKIP_WITHOUT_DESKTOP(true);
    start({});
    ASSERT_TRUE(boxShown());
    // The first-run box answered: the new World View gets its "New Server".
    ASSERT_TRUE(answerBox());
    ASSERT_TRUE(mainWindowShown());

    EXPECT_TRUE(endsOnSigterm(kPromptEnd)) << "the program waited on a question";
    EXPECT_TRUE(readFile(ini()).contains("Main.left="));
    const QString recovery = settingsFolder() + QStringLiteral("/Quillex-recovered.zwv");
    EXPECT_TRUE(readFile(recovery).contains("New Server")) << recovery.toStdString();
    EXPECT_FALSE(QFile::exists(settingsFolder() + QStringLiteral("/Quillex.zwv")));
}

}  // namespace
