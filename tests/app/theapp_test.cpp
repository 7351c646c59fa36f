#include "app/appfixture.h"
#include "frame/animatectrl.h"
#include "frame/browserview.h"
#include "frame/mainframe.h"
#include "frame/qvxtoolbar.h"
#include "frame/statusbar.h"
#include "resources/strings.h"
#include "ui/busycursor.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTest>
#include <QThread>
#include <QUrl>
#include <QWebEnginePage>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <thread>

#include <gtest/gtest.h>

namespace {

using TheAppTest = AppFixture;

TEST_F(TheAppTest, FirstRunShowsTheIntroductionAndStartsANewWorldView) {
    ASSERT_TRUE(app->InitInstance({}));
    ASSERT_EQ(boxes.size(), 1U);
    EXPECT_EQ(boxes[0].type, kPopupInformation);
    EXPECT_EQ(boxes[0].text,
              QStringLiteral("It appears that you have not run Quillet for Velnix on this system "
                             "before.\nClick OK to add one or more Velnix systems to your World "
                             "View."));
    EXPECT_EQ(services->calls,
              (QStringList{"ShowCurl(browser:about:blank)", "AddRootItem(World View)",
                           "RestoreWorldView", "ShowCurl(browser:about:blank)", "NewWorldView"}));
    ASSERT_NE(app->MainFrame(), nullptr);
    EXPECT_TRUE(app->MainFrame()->isVisible());
    EXPECT_TRUE(app->IsUp());
    EXPECT_EQ(app->BusyCount(), 0) << "start-up's busy phase has ended";
}

// Counts the paints of one widget.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override {
        paints += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
    int paints = 0;
};

// Counts the animation's paints while the event loop runs for a span that
// would show several of its frames, once a repaint already asked for is done.
bool waitCursorOn(const QWidget& frame) {
    return frame.testAttribute(Qt::WA_SetCursor) && frame.cursor().shape() == Qt::WaitCursor;
}

int throbberPaintsOver(CAnimateCtrl& throbber) {
    QCoreApplication::processEvents();
    PaintCounter counter(&throbber);
    QElapsedTimer span;
    span.start();
    while (span.elapsed() < 8 * CAnimateCtrl::kFrameMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, CAnimateCtrl::kFrameMs);
    }
    return counter.paints;
}

TEST_F(TheAppTest, NoBusyAnimationOrWaitCursorWhileTheFirstRunBoxWaits) {
    struct Seen {
        bool playing = true;
        bool waitCursor = true;
        int paints = -1;
    } whileOpen, busyAgain;
    app->Popups().SetPresenter([&](QWidget*, const QString&, const QString&, int) {
        auto* throbber = app->MainFrame()->findChild<CAnimateCtrl*>();
        whileOpen = {throbber->IsPlaying(), waitCursorOn(*app->MainFrame()),
                     throbberPaintsOver(*throbber)};
        // Work that starts while the box is open waits with its animation too.
        const CBusyCursor busy;
        busyAgain = {throbber->IsPlaying(), waitCursorOn(*app->MainFrame()), 0};
        return 1;
    });
    ASSERT_TRUE(app->InitInstance({}));
    EXPECT_FALSE(whileOpen.playing);
    EXPECT_FALSE(whileOpen.waitCursor);
    EXPECT_EQ(whileOpen.paints, 0);
    EXPECT_FALSE(busyAgain.playing);
    EXPECT_FALSE(busyAgain.waitCursor);
    EXPECT_EQ(app->BusyCount(), 0);
    EXPECT_FALSE(waitCursorOn(*app->MainFrame()));
}

// A page the user waits for keeps the program busy while it loads; the
// empty page that the browser opens with, and returns to, does not.
TEST_F(TheAppTest, OnlyAPageWithContentKeepsTheProgramBusyWhileItLoads) {
    ASSERT_TRUE(app->InitInstance({}));
    auto* browser = app->MainFrame()->findChild<CBrowserView*>();
    ASSERT_NE(browser, nullptr);
    const struct {
        const char* url;
        int mostBusy;
    } cases[] = {
        {"data:text/html,<p>Report</p>", 1},
        {"about:blank", 0},
    };
    for (const auto& c : cases) {
        const QUrl url(QString::fromUtf8(c.url));
        int mostBusy = 0;
        const auto sample = [&] { mostBusy = std::max(mostBusy, app->BusyCount()); };
        const QMetaObject::Connection loading =
            QObject::connect(browser->page(), &QWebEnginePage::loadingChanged, sample);
        const QMetaObject::Connection progress =
            QObject::connect(browser, &QWebEngineView::loadProgress, sample);
        browser->Navigate2(url.toString());
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                return browser->url() == url && !browser->page()->isLoading() &&
                       !browser->IsNavigating();
            },
            // The first page of a process starts the web engine: seconds on a
            // busy machine. Only a load that never ends misses this bound.
            30000))
            << c.url;
        QObject::disconnect(loading);
        QObject::disconnect(progress);
        EXPECT_EQ(mostBusy, c.mostBusy) << c.url;
        EXPECT_EQ(app->BusyCount(), 0) << c.url;
    }
}

TEST_F(TheAppTest, TheBusyAnimationGoesOnOnceABoxClosesDuringBusyWork) {
    ASSERT_TRUE(app->InitInstance({}));
    auto* throbber = app->MainFrame()->findChild<CAnimateCtrl*>();
    const CBusyCursor busy;
    ASSERT_TRUE(throbber->IsPlaying());
    EXPECT_GT(throbberPaintsOver(*throbber), 0) << "the animation shows its frames";
    bool playingWhileOpen = true;
    app->Popups().SetPresenter([&](QWidget*, const QString&, const QString&, int) {
        playingWhileOpen = throbber->IsPlaying();
        return 1;
    });
    app->PopupMessage(QStringLiteral("Done?"), kPopupInformation);
    EXPECT_FALSE(playingWhileOpen);
    EXPECT_TRUE(throbber->IsPlaying());
    EXPECT_TRUE(waitCursorOn(*app->MainFrame()));
    EXPECT_EQ(app->MainFrame()->NavigationBar().cursor().shape(), Qt::ArrowCursor)
        << "the navigation bar keeps the arrow while busy";
}

TEST_F(TheAppTest, RestoredWorldViewSkipsTheFirstRun) {
    services->restores = true;
    ASSERT_TRUE(app->InitInstance({}));
    EXPECT_TRUE(boxes.empty());
    EXPECT_FALSE(services->calls.contains(QStringLiteral("NewWorldView")));
}

TEST_F(TheAppTest, ExitSequenceRunsInOrderAndWritesThePreferences) {
    services->fullCurl = QStringLiteral("grid:/cmi/x");
    ASSERT_TRUE(app->InitInstance({}));
    services->calls.clear();
    const QString ini = settingsFolder() + QStringLiteral("/Quillex.ini");
    ASSERT_FALSE(QFile::exists(ini));

    app->MainFrame()->close();

    EXPECT_FALSE(app->IsUp());
    EXPECT_EQ(services->calls, (QStringList{"LogoutAllServers", "SaveRebarLayout",
                                            "AskSaveWorldViewOnExit", "SaveColumnPreferences"}));
    const QByteArray written = readFile(ini);
    EXPECT_TRUE(written.contains("CurrentCurl=grid:/cmi/x")) << written.toStdString();
    EXPECT_TRUE(written.contains("Main.left=")) << "the window placement is saved";
    EXPECT_TRUE(app->Bridge().IsExiting());
}

// A close while start-up still restores the World View runs the exit
// sequence, and start-up then ends instead of entering the main loop.
TEST_F(TheAppTest, AWindowClosedDuringStartUpEndsTheProgram) {
    services->onRestore = [this] { app->MainFrame()->close(); };
    EXPECT_FALSE(app->InitInstance({}));
    EXPECT_FALSE(app->IsUp());
    EXPECT_TRUE(boxes.empty()) << "no first-run introduction after the close";
    EXPECT_FALSE(services->calls.contains(QStringLiteral("NewWorldView")));
    EXPECT_TRUE(readFile(settingsFolder() + QStringLiteral("/Quillex.ini")).contains("Main.left="))
        << "the exit sequence saved the preferences";
}

// A termination signal closes the main window as its close box does.
TEST_F(TheAppTest, ATerminationSignalRunsTheExitSequence) {
    ASSERT_TRUE(app->InitInstance({}));
    ASSERT_EQ(::raise(SIGTERM), 0);
    EXPECT_TRUE(QTest::qWaitFor([this] { return !app->IsUp(); }, 10000));
    EXPECT_FALSE(app->MainFrame()->isVisible());
    EXPECT_TRUE(services->calls.contains(QStringLiteral("AskSaveWorldViewOnExit")));
    EXPECT_TRUE(readFile(settingsFolder() + QStringLiteral("/Quillex.ini")).contains("Main.left="));
}

TEST_F(TheAppTest, CommandLineScriptRunsAndEndsTheProgram) {
    // Quotes that belong to the file name stay.
    const QString script =
        writeFile(QStringLiteral("my \"quoted\" script.curl"), "# comment\nsleep=1\n");
    EXPECT_FALSE(app->InitInstance({script}));
    EXPECT_TRUE(services->calls.contains(QStringLiteral("RunActionScript(") + script + u')'));
    EXPECT_TRUE(boxes.empty()) << "no first-run box with a command line";
}

// A file is a World View by its name or, under any other name, by holding a
// tree; only what is neither runs as a script.
TEST_F(TheAppTest, CommandLineWorldViewIsOpenedNeverRunAsAScript) {
    const struct {
        const char* name;
        QByteArray content;
    } cases[] = {
        {"views/mine.zwv", "<?xml version='1.0'?>\n<tree>\n</tree>\n"},
        {"views/tree.txt", "<?xml version='1.0'?>\n<tree>\n</tree>\n"},
        {"views/garbage.zwv", QByteArray("\xda\x12\xe8\x05\x00not a tree", 15)},
        {"views/empty.ZWV", ""},
    };
    for (const auto& c : cases) {
        const QString worldView = writeFile(QString::fromUtf8(c.name), c.content);
        newApp();
        ASSERT_TRUE(app->InitInstance({worldView})) << c.name;
        EXPECT_TRUE(services->calls.contains(QStringLiteral("OpenWorldView(") + worldView + u')'))
            << c.name;
        EXPECT_FALSE(services->calls.join(u' ').contains(QStringLiteral("RunActionScript")))
            << c.name;
    }
}

// A running instance takes a handed-over script as the private message of a
// second start, and runs it.
TEST_F(TheAppTest, HandedOverScriptRunsInTheRunningInstance) {
    ASSERT_TRUE(app->InitInstance({}));
    const QString script = root() + QStringLiteral("/handed over.curl");
    const bool taken = onWorker(
        [this, script] { return CSingleInstance(settingsFolder()).HandOff(script, 30000); });
    EXPECT_TRUE(taken);
    EXPECT_TRUE(QTest::qWaitFor([&] {
        return services->calls.contains(QStringLiteral("RunActionScript(") + script + u')');
    }));
}

// A script may run far longer than its sender waits: the sender has its
// answer before the script starts, or it would run the script a second time.
TEST_F(TheAppTest, HandedOverScriptRunsAfterTheSenderHasItsAnswer) {
    std::atomic<bool> senderDone{false};
    bool answeredFirst = false;
    services->onRunActionScript = [&](const QString&) {
        answeredFirst = QTest::qWaitFor([&] { return senderDone.load(); }, 20000);
    };
    ASSERT_TRUE(app->InitInstance({}));
    const QString script = root() + QStringLiteral("/long.curl");
    std::thread sender([this, &senderDone, script] {
        EXPECT_TRUE(CSingleInstance(settingsFolder()).HandOff(script, 5000));
        senderDone = true;
    });
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return services->calls.contains(QStringLiteral("RunActionScript(") + script + u')');
        },
        30000));
    sender.join();
    EXPECT_TRUE(answeredFirst);
}

TEST_F(TheAppTest, ImageListsHoldEveryTreeImageInBothSizes) {
    CImageLists& images = app->ImageLists();
    ASSERT_EQ(images.Count(), 22);
    for (int index = 0; index < images.Count(); ++index) {
        EXPECT_EQ(images.Small(index).size(), QSize(16, 16)) << index;
        EXPECT_EQ(images.Large(index).size(), QSize(32, 32)) << index;
    }
    EXPECT_TRUE(images.Small(22).isNull());
}

TEST_F(TheAppTest, BusyFromAWorkerRunsTheThrobberOnTheUiThread) {
    ASSERT_TRUE(app->InitInstance({}));
    CAnimateCtrl& throbber = app->MainFrame()->Throbber();
    onWorker([this] { return app->BeginBusy(); });
    EXPECT_EQ(app->BusyCount(), 1);
    EXPECT_TRUE(throbber.IsPlaying());
    EXPECT_TRUE(app->IsBusy());
    {
        const CBusyCursor nested;
        EXPECT_EQ(app->BusyCount(), 2);
    }
    onWorker([this] { return app->EndBusy(); });
    EXPECT_EQ(app->BusyCount(), 0);
    EXPECT_FALSE(throbber.IsPlaying());
    EXPECT_EQ(app->EndBusy(), 0) << "the counter never goes below 0";
}

TEST_F(TheAppTest, PumpHandlesEventsOnlyWhileUpAndNotOnTheAbortedThread) {
    bool handled = false;
    QMetaObject::invokeMethod(
        app.get(), [&handled] { handled = true; }, Qt::QueuedConnection);
    app->PumpMessages(true);
    EXPECT_FALSE(handled) << "nothing is pumped during start-up";
    app->SetUp(true);
    app->SetAbortThread(QThread::currentThreadId());
    app->PumpMessages(true);
    EXPECT_FALSE(handled) << "the thread being aborted pumps nothing";
    app->SetAbortThread(nullptr);
    app->PumpMessages(true);
    EXPECT_TRUE(handled);
}

TEST_F(TheAppTest, WaitForBrowserEndsAtTheTargetOrOnErrors) {
    ASSERT_TRUE(app->InitInstance({}));
    EXPECT_EQ(app->WaitForBrowser(0, 30), 1);
    app->BeginBusy();
    app->AddToCancelFlag();
    EXPECT_EQ(app->WaitForBrowser(0, 30), 0) << "an error counted ends the wait at once";
    app->EndBusy();
}

TEST_F(TheAppTest, StatusTextGoesToThePaneOfItsIndicator) {
    ASSERT_TRUE(app->InitInstance({}));
    CStatusBar& panes = app->MainFrame()->StatusPanes();
    const struct {
        int indicator;
        int pane;
    } cases[] = {{0, 0}, {32834, 1}, {32811, 2}, {32812, 3}};
    for (const auto& c : cases) {
        const QString text = QStringLiteral("text %1").arg(c.indicator);
        app->SetStatusText(text, c.indicator);
        EXPECT_EQ(panes.PaneText(c.pane), text);
    }
    app->SetStatusText(QStringLiteral("nowhere"), 12345);
    for (const auto& c : cases) {
        EXPECT_NE(panes.PaneText(c.pane), QStringLiteral("nowhere"));
    }
    onWorker([this] {
        app->SetStatusText(QStringLiteral("from a worker"), 0);
        return 0;
    });
    EXPECT_EQ(panes.PaneText(0), QStringLiteral("from a worker"));
}

TEST_F(TheAppTest, RequestThreadsReachTheStatusBarAndShowTheirBoxes) {
    ASSERT_TRUE(app->InitInstance({}));
    boxes.clear();
    CNetUiBridge& requests = app->Dispatcher().UiBridge();
    onWorker([&requests] {
        requests.PostStatusText(QStringLiteral("Waiting for server..."));
        requests.PostErrorBox(QStringLiteral("Unable to connect to the Server"),
                              QStringLiteral("Connection"));
        return 0;
    });
    ASSERT_TRUE(QTest::qWaitFor([this] { return !boxes.empty(); }));
    EXPECT_EQ(app->MainFrame()->StatusPanes().PaneText(0), QStringLiteral("Waiting for server..."));
    EXPECT_EQ(boxes[0].caption, QStringLiteral("Connection"));
    EXPECT_EQ(boxes[0].type, kPopupError);
    EXPECT_EQ(app->CancelFlag(), 0) << "a worker's own box counts nothing";
}

TEST_F(TheAppTest, ActionLogGetsTimeStampedLinesEachFollowedByAnEmptyLine) {
    const QString log = root() + QStringLiteral("/actions.log");
    EXPECT_EQ(app->LogAction(QStringLiteral("ignored")), 0) << "no action log set";
    app->SetActionLogPath(log);
    ASSERT_EQ(app->LogAction(QStringLiteral("  login=srv  ")), 1);
    ASSERT_EQ(app->LogAction(QStringLiteral("tab:2")), 1);
    const QString text = QString::fromUtf8(readFile(log));
    static const QRegularExpression lines(
        QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d \\| login=srv\n\n"
                       "\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d \\| tab:2\n\n$"));
    EXPECT_TRUE(lines.match(text).hasMatch()) << text.toStdString();
}

TEST_F(TheAppTest, UnwritableActionLogShowsAnErrorBox) {
    app->SetActionLogPath(root() + QStringLiteral("/missing/folder/actions.log"));
    EXPECT_EQ(app->LogAction(QStringLiteral("x")), 0);
    ASSERT_EQ(boxes.size(), 1U);
    EXPECT_EQ(boxes[0].type, kPopupError);
    EXPECT_TRUE(boxes[0].text.startsWith(QStringLiteral("Could not write to: ")));
    EXPECT_EQ(app->CancelFlag(), 1);
}

TEST_F(TheAppTest, ScriptErrorsShowABoxOnlyWhenTheRunAsksForIt) {
    EXPECT_EQ(app->ScriptError(QStringLiteral("bad action")), 0);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(app->CancelFlag(), 0);
    app->SetActionRunFlags(1);
    app->ScriptError(QStringLiteral("bad action"));
    ASSERT_EQ(boxes.size(), 1U);
    EXPECT_EQ(boxes[0].type, kPopupError);
    EXPECT_EQ(app->CancelFlag(), 1);
}

TEST_F(TheAppTest, SuppressAllPopupsUserVariableHidesInformation) {
    app->SetUserVariable(QStringLiteral("suppressallpopups"), QStringLiteral("1"));
    EXPECT_EQ(app->PopupMessage(QStringLiteral("fyi"), kPopupInformation), 1);
    EXPECT_EQ(app->YesNoBox(QStringLiteral("sure?")), 6);
    EXPECT_TRUE(boxes.empty());
    app->ErrorBox(QStringLiteral("broken"));
    EXPECT_EQ(boxes.size(), 1U);
}

TEST_F(TheAppTest, TempFilePathsAreNamedAndRecorded) {
    const struct {
        const char16_t* extension;
        const char16_t* tag;
        const char16_t* name;
    } cases[] = {
        {u"", u"", u"Quillex.tmp"},
        {u"csv", u"", u"Quillex.csv"},
        {u".html", u"grid", u"Quillex-grid.html"},
    };
    for (const auto& c : cases) {
        const QString path =
            app->MakeTempFilePath(QString::fromUtf16(c.extension), QString::fromUtf16(c.tag));
        EXPECT_EQ(path, settingsFolder() + u'/' + QString::fromUtf16(c.name));
        EXPECT_EQ(app->FileListCopy().GetValue(path), QStringLiteral("FILE|temp file"));
    }
}

TEST_F(TheAppTest, MenuCommandIdsBelongToTheSelectedServer) {
    EXPECT_EQ(app->AllocMenuCommandId(), 0) << "no server selected";
    services->serverId = 11;
    EXPECT_EQ(app->AllocMenuCommandId(), 40000);
    EXPECT_EQ(app->AllocMenuCommandId(), 40001);
    app->FreeMenuCommandIds();
    EXPECT_EQ(app->AllocMenuCommandId(), 40000);
}

TEST_F(TheAppTest, CascadeStepsTenPixelsAndWrapsAfterTwelve) {
    ASSERT_TRUE(app->InitInstance({}));
    const QRect first = app->GetCascadeRect();
    for (int step = 2; step <= 12; ++step) {
        const QRect next = app->GetCascadeRect();
        EXPECT_EQ(next.topLeft() - first.topLeft(), QPoint(10, 10) * (step - 1));
        EXPECT_EQ(next.left() + next.width(), first.left() + first.width());
    }
    EXPECT_EQ(app->GetCascadeRect().topLeft(), first.topLeft());
}

}  // namespace
