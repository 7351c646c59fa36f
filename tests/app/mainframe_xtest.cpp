#include "app/appfixture.h"
#include "settings/windowtitletoken.h"

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class ProgramOnDesktopTest : public TempHomeTest {
protected:
    SharedDataHome dataHome;
};

// The real program opens its main window on the X desktop under its title.
TEST_F(ProgramOnDesktopTest, MainWindowAppearsWithItsTitle) {
    if (QGuiApplication::platformName() != u"xcb") {
        GTEST_SKIP() << "needs an X server (run under xvfb-run)";
    }
    // A World View on the command line: no first-run box covers the window.
    const QString worldView = writeFile(QStringLiteral("start.zwv"),
                                        "<tree>\n  <root label='World View'>\n"
                                        "    <folder label='Lab'>\n    </folder>\n"
                                        "  </root>\n</tree>\n");
    QProcess program;
    program.setProcessChannelMode(QProcess::ForwardedChannels);
    program.start(QStringLiteral(QUILLEX_BINARY), {worldView});
    ASSERT_TRUE(program.waitForStarted());

    const QString title = QStringLiteral("Quillet for Velnix by Zorvic");
    const bool shown = QTest::qWaitFor(
        [&] {
            return TopLevelWindowTitles().contains(title) ||
                   program.state() == QProcess::NotRunning;
        },
        60000);
    ASSERT_TRUE(shown && program.state() == QProcess::Running)
        << "the program ended or showed no main window";
    // The first embedded web view turns the window into a native GL surface,
    // which can briefly unmap it: judge the settled state.
    EXPECT_TRUE(QTest::qWaitFor([&] { return TopLevelWindowTitles().count(title) == 1; }, 10000))
        << "exactly one main window carries the title";

    QScreen* screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    // Give the window a moment to paint: wait until the screen is no longer
    // one flat colour.
    QImage shot;
    const bool painted = QTest::qWaitFor(
        [&] {
            shot = screen->grabWindow(0).toImage();
            return !shot.isNull() &&
                   shot.pixel(0, 0) != shot.pixel(shot.width() / 2, shot.height() / 2);
        },
        30000);
    const QString path = QCoreApplication::applicationDirPath() + "/mainframe.png";
    EXPECT_TRUE(shot.save(path)) << path.toStdString();
    EXPECT_TRUE(painted) << "the screen shows nothing but the background";

    program.terminate();
    if (!program.waitForFinished(10000)) {
        program.kill();
        program.waitForFinished(10000);
    }
}

}  // namespace
