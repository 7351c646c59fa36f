#include "app/appfixture.h"
#include "frame/browserview.h"
#include "frame/mainframe.h"
#include "settings/windowtitletoken.h"
#include "support/xinput.h"

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
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
    QUILLEX_SKIP_WITHOUT_DESKTOP(false);
    // A World View on the command line: no first-run box covers the window.
    const QString worldView = writeFile(QStringLiteral("start.zwv"),
                                        "<tree>\n  <root label='World View'>\n"
                                        "    <folder label='Lab'>\n    </folder>\n"
                                        "  </root>\n</tree>\n");
    ChildProcess program;
    ASSERT_TRUE(
        program.Start(QStringLiteral(QUILLEX_BINARY), {worldView}, ChildProcess::Output::Forwarded))
        << program.ErrorText().toStdString();

    const QString title = QStringLiteral("Quillet for Velnix by Zorvic");
    const bool shown = QTest::qWaitFor(
        [&] { return TopLevelWindowTitles().contains(title) || !program.IsRunning(); }, 60000);
    ASSERT_TRUE(shown && program.IsRunning()) << "the program ended or showed no main window";
    // Judged once settled: a window manager may take a moment to list it.
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

    // What has not ended by then is killed as the test ends.
    program.Terminate();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !program.IsRunning(); }, 10000));
}

// Watches the main frame's X window from its first map: the id it had then,
// at its first paint, and every change of it.
class MainWindowWatch : public QObject {
public:
    MainWindowWatch() { qApp->installEventFilter(this); }
    ~MainWindowWatch() override { qApp->removeEventFilter(this); }

    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* frame = qobject_cast<CMainFrame*>(watched);
        if (frame == nullptr) {
            return false;
        }
        switch (event->type()) {
            case QEvent::Show:
                if (mappedId == 0) {
                    mappedId = frame->internalWinId();
                }
                break;
            case QEvent::WinIdChange:
                changes += mappedId != 0 ? 1 : 0;
                break;
            case QEvent::Paint:
                if (paintedId == 0) {
                    paintedId = frame->internalWinId();
                }
                break;
            default:
                break;
        }
        return false;
    }

    WId mappedId = 0;
    WId paintedId = 0;
    int changes = 0;
};

using MainWindowTest = AppFixture;

// The web view needs a GL surface; a window that gets one only once the
// view is up is torn down and mapped again, a flicker at every start.
TEST_F(MainWindowTest, IsMappedOnceAndKeepsItsWindowOnceTheWebViewIsUp) {
    QUILLEX_SKIP_WITHOUT_DESKTOP(false);
    MainWindowWatch watch;
    services->restores = true;
    ASSERT_TRUE(app->InitInstance({}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return watch.paintedId != 0; }, 20000));
    CBrowserView* browser = app->MainFrame()->GetBrowserView();
    ASSERT_NE(browser, nullptr);
    // The engine puts its rendering widget into the view once it is up.
    EXPECT_TRUE(QTest::qWaitFor([&] { return browser->focusProxy() != nullptr; }, 20000));
    QTest::qWait(0);
    EXPECT_NE(watch.mappedId, 0U);
    EXPECT_EQ(watch.paintedId, watch.mappedId);
    EXPECT_EQ(app->MainFrame()->internalWinId(), watch.mappedId);
    EXPECT_EQ(watch.changes, 0);
}

}  // namespace
