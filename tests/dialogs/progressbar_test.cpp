#include "dialogs/progressbar.h"
#include "framework/klog.h"
#include "progressfixture.h"
#include "support/fakevelnixserver.h"
#include "support/onworker.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <future>

namespace {

class ProgressBarTest : public ProgressFixture {};

TEST_F(ProgressBarTest, UpdatesChangeTheTotalAndStepAsTheServerSays) {
    const struct {
        const char* what;
        std::vector<std::pair<const char*, const char*>> updates;
        qint64 total;
        qint64 position;
    } cases[] = {
        {"two additions", {{"estimate", "+10"}, {"estimate", "+10"}}, 120, 2},
        {"a replacement", {{"estimate", "50"}}, 50, 1},
        {"zero leaves it", {{"estimate", "0"}}, 100, 1},
        {"no estimate leaves it", {{"action", "x"}}, 100, 1},
        {"delta zero", {{"delta", "0"}}, 100, 0},
        {"delta five", {{"delta", "5"}}, 100, 5},
    };
    for (const auto& c : cases) {
        CProgressBar bar(site, nullptr);
        bar.SetStatusBar(&statusBar, CStatusBar::kProgressPane);
        tag(bar, "pbar-start", {{"title", "T"}, {"estimate", "100"}});
        for (const auto& [name, value] : c.updates) {
            EXPECT_EQ(tag(bar, "pbar-update", {{name, value}}), CProgressBar::Running) << c.what;
        }
        EXPECT_EQ(bar.Estimate(), c.total) << c.what;
        EXPECT_EQ(bar.Position(), c.position) << c.what;
        EXPECT_EQ(tag(bar, "pbar-done"), CProgressBar::Idle) << c.what;
    }
}

TEST_F(ProgressBarTest, StatusBarControlFollowsThePercent) {
    CProgressBar bar(site, nullptr);
    bar.SetStatusBar(&statusBar, CStatusBar::kProgressPane);
    EXPECT_EQ(tag(bar, "pbar-start", {{"title", "Loading"}}), CProgressBar::Running);
    ASSERT_NE(statusBar.ProgressControl(), nullptr);
    // Without an estimate 50 steps make one percent.
    bar.Step(qint64{49});
    EXPECT_EQ(bar.Percent(), 0);
    bar.Step(qint64{1});
    EXPECT_EQ(bar.Percent(), 1);
    EXPECT_EQ(statusBar.ProgressControl()->value(), 1);
    bar.Step(qint64{4950});
    EXPECT_EQ(bar.Percent(), 100);
    bar.Step(qint64{5000});
    EXPECT_EQ(bar.Percent(), 200);
    EXPECT_EQ(statusBar.ProgressControl()->value(), 100);
    tag(bar, "pbar-update", {{"action", "Reading"}, {"delta", "0"}});
    EXPECT_EQ(statusBar.PaneText(0), u"Reading");
    bar.Done();
    EXPECT_EQ(statusBar.ProgressControl(), nullptr);
    EXPECT_FALSE(bar.IsActive());
}

TEST_F(ProgressBarTest, PercentOfManyRowsDoesNotOverflow) {
    CProgressBar bar(site, nullptr);
    bar.SetStatusBar(&statusBar, CStatusBar::kProgressPane);
    bar.Start(u"Rows"_qs, QString(), qint64{40'000'000}, true, nullptr);
    bar.Step(qint64{30'000'000});
    EXPECT_EQ(bar.Percent(), 75);
}

TEST_F(ProgressBarTest, StartingOverEndsTheRunningDisplay) {
    CProgressBar bar(site, nullptr);
    bar.SetStatusBar(&statusBar, CStatusBar::kProgressPane);
    tag(bar, "pbar-start", {{"estimate", "10"}});
    tag(bar, "pbar-update", {{"delta", "4"}});
    site.cancelFlag = 3;
    EXPECT_EQ(tag(bar, "pbar-start", {{"estimate", "20"}}), CProgressBar::Running);
    EXPECT_EQ(bar.Position(), 0);
    EXPECT_EQ(bar.Estimate(), 20);
    EXPECT_EQ(site.cancelFlag.load(), 0);
}

TEST_F(ProgressBarTest, FailedInTheStatusBarShowsOneErrorBox) {
    const struct {
        std::vector<std::pair<const char*, const char*>> attributes;
        const char16_t* text;
    } cases[] = {
        {{}, u"Failed."},
        {{{"title", "T"}}, u"T"},
        {{{"action", "A"}}, u"A"},
        {{{"title", "T"}, {"action", "A"}}, u"T\r\n   A"},
    };
    for (const auto& c : cases) {
        site.errorBoxes.clear();
        CProgressBar bar(site, nullptr);
        bar.SetStatusBar(&statusBar, CStatusBar::kProgressPane);
        KPROPS props;
        for (const auto& [name, value] : c.attributes) {
            props.Add(QString::fromUtf8(name), QString::fromUtf8(value));
        }
        bar.HandlePbarTag(u"pbar-failed"_qs, props, QString(), {});
        ASSERT_EQ(site.errorBoxes.size(), 1u);
        EXPECT_EQ(site.errorBoxes[0], QString::fromUtf16(c.text));
    }
}

TEST_F(ProgressBarTest, AnErrorBoxCancelsARunningBar) {
    CProgressBar bar(site, nullptr);
    bar.SetStatusBar(&statusBar, CStatusBar::kProgressPane);
    // As the application's error box does.
    site.onErrorBox = [&] { bar.OnCancelButton(); };
    tag(bar, "pbar-start");
    tag(bar, "pbar-failed", {{"title", "Broken"}});
    EXPECT_TRUE(bar.IsCancelled());
    EXPECT_EQ(site.cancelFlag.load(), 1);
    EXPECT_EQ(bar.Step(qint64{1}), CProgressBar::Cancelled);
    EXPECT_EQ(bar.Position(), 0) << "a cancelled bar takes no steps";
}

TEST_F(ProgressBarTest, DialogModeShowsTheServersTexts) {
    CProgressBar bar(site, nullptr);
    EXPECT_EQ(tag(bar, "pbar-start",
                  {{"title", "Copy"},
                   {"action", "Starting"},
                   {"estimate", "10"},
                   {"cancelButton", "No"}}),
              CProgressBar::Running);
    CProgressDialog* dialog = bar.Dialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->windowTitle(), u"Copy");
    EXPECT_EQ(dialog->Message()->text(), u"Starting");
    EXPECT_TRUE(dialog->CancelButton()->isVisible()) << "only \"no\" hides it";
    EXPECT_FALSE(dialog->DetailsButton()->isVisible());

    tag(bar, "pbar-update", {{"delta", "5"}, {"detail", "first line \t\r\n"}});
    EXPECT_EQ(dialog->Bar()->value(), 50);
    EXPECT_FALSE(dialog->PercentLabel()->isVisible()) << "hidden for the first seconds";
    EXPECT_TRUE(dialog->DetailsButton()->isVisible());
    EXPECT_EQ(dialog->DetailsButton()->text(), u"Show &Details");
    EXPECT_EQ(dialog->DetailsBox()->toPlainText(), u"first line\n");

    site.now = site.now + CProgressBar::kLabelDelay + 1;
    tag(bar, "pbar-update", {{"delta", "20"}, {"action", "Copying"}});
    EXPECT_TRUE(dialog->PercentLabel()->isVisible());
    EXPECT_EQ(dialog->PercentLabel()->text(), u"[ 100% done ]");
    EXPECT_EQ(bar.Percent(), 250);
    EXPECT_EQ(dialog->Message()->text(), u"Copying");

    tag(bar, "pbar-failed");
    EXPECT_EQ(dialog->windowTitle(), u"FAILED.");
    EXPECT_EQ(dialog->Message()->text(), u"FAILED.");
    EXPECT_EQ(dialog->CancelButton()->text(), u"&Done");
    EXPECT_EQ(site.cancelFlag.load(), 1) << "a failure counts as an error";
    EXPECT_EQ(bar.GetState(), CProgressBar::Running);

    QTest::mouseClick(dialog->CancelButton(), Qt::LeftButton);
    EXPECT_EQ(bar.GetState(), CProgressBar::Cancelled);
    EXPECT_TRUE(dialog->DetailsBox()->toPlainText().endsWith(u"User cancelled!\n"));
    EXPECT_EQ(dialog->CancelButton()->text(), u"( wait )");
    EXPECT_FALSE(dialog->CancelButton()->isEnabled());
    EXPECT_EQ(bar.SetAction(u"late"_qs), 2) << "a cancelled bar refuses";

    bar.Done();
    EXPECT_EQ(bar.Dialog(), nullptr);
}

TEST_F(ProgressBarTest, LeftUpDialogCompletesAndWaitsForTheUser) {
    CProgressBar bar(site, nullptr);
    tag(bar, "pbar-start", {{"estimate", "8"}});
    tag(bar, "pbar-update", {{"option", "leave-up"}, {"delta", "2"}});
    EXPECT_EQ(tag(bar, "pbar-done"), CProgressBar::Idle);
    CProgressDialog* dialog = bar.Dialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(bar.Position(), 8);
    EXPECT_EQ(dialog->Bar()->value(), 100);
    EXPECT_EQ(dialog->CancelButton()->text(), u"&Done");
    QTest::mouseClick(dialog->CancelButton(), Qt::LeftButton);
    EXPECT_EQ(bar.Dialog(), nullptr) << "its Done button closes it";
}

TEST_F(ProgressBarTest, DetailsToggleGrowsAndShrinksTheDialog) {
    CProgressBar bar(site, nullptr);
    tag(bar, "pbar-start");
    tag(bar, "pbar-update", {{"detail", "one"}, {"delta", "0"}});
    CProgressDialog* dialog = bar.Dialog();
    const int collapsed = dialog->height();
    QTest::mouseClick(dialog->DetailsButton(), Qt::LeftButton);
    EXPECT_TRUE(dialog->DetailsBox()->isVisible());
    EXPECT_GT(dialog->height(), collapsed);
    tag(bar, "pbar-update", {{"detail", "two"}, {"delta", "0"}});
    EXPECT_EQ(dialog->DetailsButton()->text(), u"Hide &Details");
    QTest::mouseClick(dialog->DetailsButton(), Qt::LeftButton);
    EXPECT_FALSE(dialog->DetailsBox()->isVisible());
    EXPECT_EQ(dialog->height(), collapsed);
}

// The program closes at once although the server has not answered its kill.
TEST_F(ProgressBarTest, AKillStillUnansweredDoesNotHoldTheClose) {
    const QTemporaryDir logFolder;
    const QString logPath = logFolder.filePath(QStringLiteral("Quillex.log"));
    kInit(QStringLiteral("ZRM"), logPath, logFolder.filePath(QStringLiteral("Quillex.dbg")), 0);
    FakeVelnixServer server;
    FakeVelnixServer::Reply unanswered;
    unanswered.chunks = {"started", "never sent"};
    unanswered.holdChunks = true;
    server.Script("/x", unanswered);
    QElapsedTimer closing;
    {
        CProgressBar bar(site, nullptr);
        bar.SetStatusBar(&statusBar, CStatusBar::kProgressPane);
        tag(bar, "pbar-start");
        site.select(u"srv"_qs, server.BaseUrl(), u"ann"_qs, u"pw"_qs);
        tag(bar, "pbar-cancel-info", {{"url", "/x"}});
        ASSERT_EQ(bar.OnCancelButton(), CProgressBar::Cancelled);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !server.Requests().empty(); }, 10000));
        closing.start();
    }
    EXPECT_LT(closing.elapsed(), 2000);
    QFile log(logPath);
    EXPECT_FALSE(log.open(QIODevice::ReadOnly) && log.readAll().contains("abandoned"));
}

TEST_F(ProgressBarTest, CancelSendsOneKillToTheServerThatNamedIt) {
    FakeVelnixServer first;
    FakeVelnixServer second;
    first.RequireBasicAuth("ann", "pw1");
    CProgressBar bar(site, nullptr);
    bar.SetStatusBar(&statusBar, CStatusBar::kProgressPane);
    tag(bar, "pbar-start");
    site.select(u"first"_qs, first.BaseUrl(), u"ann"_qs, u"pw1"_qs);
    tag(bar, "pbar-cancel-info", {{"url", "/x"}});
    site.select(u"second"_qs, second.BaseUrl(), u"bob"_qs, u"pw2"_qs);
    EXPECT_EQ(bar.OnCancelButton(), CProgressBar::Cancelled);
    EXPECT_EQ(bar.OnCancelButton(), CProgressBar::Cancelled) << "a second Cancel sends nothing";
    ASSERT_TRUE(bar.WaitForKill());
    EXPECT_TRUE(second.Requests().empty());
    std::vector<FakeVelnixServer::Request> kills;
    for (const auto& request : first.Requests()) {
        if (request.path == "/x" && request.hasHeader("authorization")) {
            kills.push_back(request);
        }
    }
    ASSERT_EQ(kills.size(), 1u);
    EXPECT_EQ(kills[0].method, "GET");
    EXPECT_EQ(kills[0].header("authorization"), "Basic " + QByteArray("ann:pw1").toBase64());
    EXPECT_EQ(site.cancelFlag.load(), 1);
}

TEST_F(ProgressBarTest, CancelWithoutURLOrServerOnlyCancelsLocally) {
    CProgressBar bar(site, nullptr);
    bar.SetStatusBar(&statusBar, CStatusBar::kProgressPane);
    tag(bar, "pbar-start");
    tag(bar, "pbar-cancel-info", {{"url", "/x"}});  // no server selected
    EXPECT_EQ(bar.OnCancelButton(), CProgressBar::Cancelled);
    EXPECT_TRUE(bar.IsCancelled());
    EXPECT_EQ(bar.Done(), 0);
    EXPECT_EQ(bar.OnCancelButton(), CProgressBar::Idle) << "nothing to cancel once done";
}

TEST_F(ProgressBarTest, AbortedWorkerNeitherStepsNorEnds) {
    CProgressBar bar(site, nullptr);
    bar.SetStatusBar(&statusBar, CStatusBar::kProgressPane);
    tag(bar, "pbar-start");
    site.aborted = true;
    EXPECT_EQ(bar.Step(qint64{3}), 1);
    EXPECT_EQ(bar.Done(), 1);
    site.aborted = false;
    EXPECT_EQ(bar.Position(), 0);
    EXPECT_TRUE(bar.IsActive());
}

TEST_F(ProgressBarTest, ServerDrivesTheStatusBarFromAWorker) {
    CProgressBar bar(site, nullptr);
    bar.SetStatusBar(&statusBar, CStatusBar::kProgressPane);
    onWorker([&] {
        tag(bar, "pbar-start", {{"estimate", "4"}});
        for (int step = 0; step < 3; ++step) {
            tag(bar, "pbar-update", {{"action", "work"}});
        }
        return 0;
    });
    EXPECT_EQ(site.shownFromWorker.load(), 1);
    ASSERT_NE(statusBar.ProgressControl(), nullptr);
    EXPECT_TRUE(QTest::qWaitFor([&] { return statusBar.ProgressControl()->value() == 75; }));
    EXPECT_EQ(statusBar.PaneText(0), u"work");
    onWorker([&] { return tag(bar, "pbar-done"); });
    EXPECT_EQ(site.hiddenFromWorker.load(), 1);
    EXPECT_EQ(statusBar.ProgressControl(), nullptr);
}

TEST_F(ProgressBarTest, DialogFromAWorkerStaysUsable) {
    CProgressBar bar(site, nullptr);
    onWorker([&] {
        bar.Start(u"Login"_qs, u"Servers"_qs, qint64{2}, true, nullptr);
        bar.AddDetail(u"server one"_qs);
        return bar.Step(qint64{1});
    });
    ASSERT_NE(bar.Dialog(), nullptr);
    EXPECT_TRUE(QTest::qWaitFor([&] { return bar.Dialog()->Bar()->value() == 50; }));
    QTest::mouseClick(bar.Dialog()->CancelButton(), Qt::LeftButton);
    EXPECT_EQ(onWorker([&] { return bar.Step(qint64{1}); }), CProgressBar::Cancelled);
    onWorker([&] { return bar.Done(); });
    EXPECT_EQ(bar.Dialog(), nullptr);
}

// A worker feeds the server's elements as fast as it can while the UI
// thread reads the counters and presses Cancel: the worker sees the cancel
// at its next step, and the one cancel request goes to the server that
// named it.
TEST_F(ProgressBarTest, CancelOnTheUiThreadStopsAWorkerDrivingTheBar) {
    constexpr int kUpdates = 100000;
    for (const bool dialogMode : {false, true}) {
        SCOPED_TRACE(dialogMode ? "dialog" : "status bar");
        FakeVelnixServer server;
        site.select(u"srv"_qs, server.BaseUrl(), u"ann"_qs, u"pw"_qs);
        site.cancelFlag = 0;
        CProgressBar bar(site, nullptr);
        if (!dialogMode) {
            bar.SetStatusBar(&statusBar, CStatusBar::kProgressPane);
        }
        std::atomic<int> lastState{CProgressBar::Idle};
        auto worker = std::async(std::launch::async, [&] {
            tag(bar, "pbar-start", {{"title", "Job"}, {"estimate", "1000"}});
            tag(bar, "pbar-cancel-info", {{"url", "/kill?job=7"}});
            int sent = 0;
            while (sent < kUpdates) {
                ++sent;
                // Every tenth update carries texts the window shows.
                const int state = sent % 10 == 0
                                      ? tag(bar, "pbar-update",
                                            {{"action", "Working"}, {"detail", "row done"}})
                                      : tag(bar, "pbar-update");
                lastState = state;
                if (state == CProgressBar::Cancelled) {
                    break;
                }
            }
            tag(bar, "pbar-done");
            return sent;
        });
        ASSERT_TRUE(QTest::qWaitFor([&] { return bar.Position() >= 200; }, 60000));
        EXPECT_TRUE(bar.IsActive());
        EXPECT_EQ(bar.Estimate(), 1000);
        if (dialogMode) {
            ASSERT_NE(bar.Dialog(), nullptr);
            QTest::mouseClick(bar.Dialog()->CancelButton(), Qt::LeftButton);
        } else {
            EXPECT_EQ(bar.OnCancelButton(), CProgressBar::Cancelled);
        }
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return worker.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
            60000));
        EXPECT_LT(worker.get(), kUpdates) << "the worker stops at the cancel";
        EXPECT_EQ(lastState.load(), CProgressBar::Cancelled);
        EXPECT_EQ(bar.GetState(), CProgressBar::Idle);
        EXPECT_EQ(site.cancelFlag.load(), 1);
        ASSERT_TRUE(bar.WaitForKill());
        int kills = 0;
        for (const auto& request : server.Requests()) {
            kills += request.path == "/kill" && request.query == "job=7" ? 1 : 0;
        }
        EXPECT_EQ(kills, 1);
        EXPECT_TRUE(QTest::qWaitFor([&] {
            return dialogMode ? bar.Dialog() == nullptr : statusBar.ProgressControl() == nullptr;
        }));
    }
}

}  // namespace
