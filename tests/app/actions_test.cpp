#include "app/actions.h"
#include "app/actionfixture.h"
#include "app/actioninterpreter.h"
#include "server/mysystem.h"
#include "support/fakeloginreplies.h"

#include <QTest>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include <gtest/gtest.h>

namespace {

// Holds a worker until the test lets it go.
class Gate {
public:
    void Open() {
        {
            const std::lock_guard lock(m_mutex);
            m_open = true;
        }
        m_changed.notify_all();
    }
    void Pass() {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_open; });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_open = false;
};

class ActionsTest : public ActionFixture {
protected:
    static CActionContext action(const QString& command) {
        CActionContext context;
        context.command = command;
        return context;
    }

    // The commands a test queue's worker ran, in order.
    std::mutex ranMutex;
    QStringList ran;
    void noteRan(const QString& command) {
        const std::lock_guard lock(ranMutex);
        ran << command;
    }
    // Deep copies: the worker's texts share no reference counts with them.
    QStringList ranSoFar() {
        const std::lock_guard lock(ranMutex);
        QStringList copy;
        for (const QString& command : std::as_const(ran)) {
            copy << QString(command.constData(), command.size());
        }
        return copy;
    }
};

TEST_F(ActionsTest, ActionsAddedWhileOneRunsFollowInOrder) {
    Gate gate;
    CActions actions(*app, [&](CActionContext& context) {
        if (context.command == u"first") {
            gate.Pass();
        }
        noteRan(context.command);
    });
    actions.AddAction(action(QStringLiteral("first")));
    ASSERT_TRUE(eventually([&] { return actions.IsWorkerBusy(); }));
    std::thread adder([&] {
        actions.AddAction(action(QStringLiteral("second")));
        actions.AddAction(action(QStringLiteral("third")));
    });
    adder.join();
    EXPECT_EQ(actions.QueuedCount(), 2);
    gate.Open();
    ASSERT_TRUE(eventually([&] { return ranSoFar().size() == 3; }));
    EXPECT_EQ(ranSoFar(), (QStringList{"first", "second", "third"}));
    EXPECT_EQ(actions.QueuedCount(), 0);
}

TEST_F(ActionsTest, RequestThreadsDispatchActions) {
    std::vector<std::thread> requests;
    for (int i = 0; i < 4; ++i) {
        requests.emplace_back(
            [this, i] { app->DispatchCurl(QStringLiteral("message=from %1").arg(i)); });
    }
    for (std::thread& request : requests) {
        request.join();
    }
    ASSERT_TRUE(eventually([&] { return boxes.size() == 4; }));
    QStringList texts = boxTexts();
    texts.sort();
    EXPECT_EQ(texts, (QStringList{"from 0", "from 1", "from 2", "from 3"}));
}

TEST_F(ActionsTest, PromptAnswerReachesTheNextQueuedActionOnly) {
    actionWindows->promptAnswer = QStringLiteral("a b&c");
    for (const char* command : {"prompt:v=Which one?", "grid:/x", "grid:/y"}) {
        app->DispatchCurl(QString::fromUtf8(command));
    }
    ASSERT_TRUE(eventually([&] { return services->calls.size() == 2; }));
    EXPECT_EQ(services->calls, (QStringList{"ShowCurl(grid:/x&v=a+b%26c)", "ShowCurl(grid:/y)"}));
    EXPECT_TRUE(actionWindows->calls.contains(QStringLiteral("Prompt(Which one?)")));
}

TEST_F(ActionsTest, AbortBetweenActionsDoesNothing) {
    app->Actions().Abort();
    EXPECT_EQ(app->Actions().AbortCount(), 0U);
    app->DispatchCurl(QStringLiteral("message=still runs"));
    EXPECT_TRUE(eventually([&] { return boxes.size() == 1; }));
}

// A logged-in server whose jobs can be cancelled, selected in the tree.
class AbortTest : public ActionsTest {
protected:
    void SetUp() override {
        ActionsTest::SetUp();
        system = addLoggedInCancellingServer(server, &serverItem);
        ASSERT_NE(system, nullptr);
        ASSERT_EQ(system->GetServerProcesses().AddPid(this, 42), 1);
    }

    FakeVelnixServer server;
    QTreeWidgetItem* serverItem = nullptr;
    CMySystem* system = nullptr;
};

TEST_F(AbortTest, AbortStopsTheRunningActionAndDropsTheQueue) {
    CActions& actions = app->Actions();
    app->DispatchCurl(QStringLiteral("sleep=60"));
    app->DispatchCurl(QStringLiteral("message=dropped"));
    ASSERT_TRUE(eventually([&] { return actions.IsWorkerBusy(); }));

    actions.Abort();

    EXPECT_EQ(actions.AbortCount(), 1U);
    EXPECT_EQ(actions.QueuedCount(), 0);
    EXPECT_EQ(app->CancelFlag(), 0);
    EXPECT_FALSE(app->IsAbortingWorker());
    EXPECT_TRUE(actionWindows->calls.contains(QStringLiteral("GridEndLoad()")));
    const auto cancels = fakelogin::RequestsOf(server, fakelogin::kCancelQuery);
    ASSERT_EQ(cancels.size(), 1U);
    EXPECT_TRUE(cancels[0].query.contains("RequestID=42") ||
                cancels[0].body.contains("RequestID=42"))
        << cancels[0].query.toStdString() << cancels[0].body.toStdString();

    // A fresh, idle worker takes new actions.
    EXPECT_TRUE(actions.HasWorker());
    EXPECT_FALSE(actions.IsWorkerBusy());
    app->DispatchCurl(QStringLiteral("message=fresh"));
    ASSERT_TRUE(eventually([&] { return !boxes.empty(); }));
    EXPECT_EQ(boxTexts(), QStringList{QStringLiteral("fresh")});
}

// A worker that does not end in time is left behind: what it does later
// reaches no window, and actions queued meanwhile go to a fresh worker.
TEST_F(ActionsTest, StuckWorkerIsAbandonedAndActionsQueuedDuringTheAbortSurvive) {
    // The busy indicator as the main frame keeps it.
    app->Bridge().SetHandler(UiMessage::Busy, [this](quintptr state, quintptr) {
        return qintptr{state == kBusyBegins ? app->BeginBusy() : app->EndBusy()};
    });
    Gate stuck;
    std::atomic<bool> lateDone{false};
    std::unique_ptr<CActions> actions;
    actions = std::make_unique<CActions>(*app, [&](CActionContext& context) {
        if (context.command == u"stuck") {
            stuck.Pass();
            CActionContext late;
            late.command = QStringLiteral("message=late");
            app->Interpreter().RunCommand(late);
            lateDone = true;
            return;
        }
        noteRan(context.command);
    });
    actions->AddAction(action(QStringLiteral("stuck")));
    actions->AddAction(action(QStringLiteral("dropped")));
    ASSERT_TRUE(eventually([&] { return actions->IsWorkerBusy() && app->BusyCount() == 1; }));
    // Added while the abort waits and handles events.
    QTimer::singleShot(50, [&] { actions->AddAction(action(QStringLiteral("kept"))); });

    actions->Abort();

    ASSERT_TRUE(eventually([&] { return ranSoFar().size() == 1; }));
    EXPECT_TRUE(eventually([&] { return app->BusyCount() == 0; }))
        << "the abandoned worker's busy count is given back";
    EXPECT_EQ(ranSoFar(), QStringList{QStringLiteral("kept")});
    stuck.Open();
    ASSERT_TRUE(eventually([&] { return lateDone.load(); }));
    EXPECT_TRUE(boxes.empty()) << "the abandoned worker's box was refused";
    actions.reset();
}

// At exit the worker ends after its action, even one waiting on a window
// call, and the queued actions never run.
TEST_F(ActionsTest, ExitWithQueuedActionsAndTheWorkerInsideAHandOff) {
    auto actions = std::make_unique<CActions>(*app, [&](CActionContext& context) {
        noteRan(context.command);
        app->Bridge().Call([] { return qintptr{0}; });
    });
    for (const char* command : {"one", "two", "three"}) {
        actions->AddAction(action(QString::fromUtf8(command)));
    }
    // The worker takes the busy indicator through the UI thread, which
    // handles no events here: it waits inside that hand-off.
    const QDeadlineTimer deadline(10000);
    while (!actions->IsWorkerBusy() && !deadline.hasExpired()) {
        std::this_thread::yield();
    }
    ASSERT_TRUE(actions->IsWorkerBusy());

    app->Bridge().BeginExit();
    actions.reset();

    EXPECT_EQ(ranSoFar(), QStringList{QStringLiteral("one")});
}

}  // namespace
