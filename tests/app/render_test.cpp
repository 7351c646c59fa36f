#include "app/actionrunner.h"
#include "app/actions.h"
#include "app/actionwindows.h"
#include "app/appfixture.h"
#include "app/history.h"
#include "dialogs/progressbar.h"
#include "frame/browserview.h"
#include "frame/dialogview.h"
#include "frame/editor.h"
#include "frame/folderlist.h"
#include "frame/mainframe.h"
#include "frame/myview.h"
#include "frame/statusbar.h"
#include "frame/tabs.h"
#include "framework/kformat.h"
#include "grid/mygrid.h"
#include "net/treechunkwriter.h"
#include "server/mysystem.h"
#include "server/mysystemsite.h"
#include "support/fakeloginreplies.h"
#include "support/fakevelnixserver.h"
#include "support/gridreplies.h"
#include "tree/myitem.h"
#include "tree/mytree.h"
#include "tree/worldviewfile.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QMenu>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTabBar>
#include <QTimer>
#include <QTreeWidget>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>

#include <gtest/gtest.h>

#include <chrono>
#include <optional>

#include <time.h>

namespace {

// A panel that keeps the locator it was made with.
class RecordingPanel : public CMyViewDlg {
public:
    RecordingPanel(const CPanelRequest& request, QStringList& made)
        : CMyViewDlg(request.code, request.parent, request.context) {
        made << kFormat(u"%d %s", request.code, request.locator);
    }
};

// The started program with a World View: a server on the fake server with
// one item below it, and a folder with two servers of its own.
class RenderTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        services->dispatchResult = 1;  // the actions are watched, not run
        for (int code : {5621, 302, 303}) {
            app->Panels().Register(code, [this](const CPanelRequest& request) {
                return new RecordingPanel(request, madePanels);
            });
        }
        ASSERT_TRUE(app->InitInstance({}));
        frame = app->MainFrame();
        ASSERT_NE(frame, nullptr);
        serverItem = addLocalServerUnderRoot(server.Port());
        CMyTree& tree = app->Tree();
        item = tree.AddFolderItem(serverItem, QStringLiteral("Services"));
        tree.SelectItem(item, true);
        boxes.clear();
        services->dispatched.clear();
    }

    CMyItem& record(QTreeWidgetItem* of) { return *app->Tree().GetMyItem(of); }
    bool rowShown(int row) { return frame->RightSplitter().IsRowVisible(row); }
    QString base() const { return QStringLiteral("http://127.0.0.1:%1").arg(server.Port()); }

    FakeVelnixServer server;
    CMainFrame* frame = nullptr;
    QTreeWidgetItem* serverItem = nullptr;
    QTreeWidgetItem* item = nullptr;
    QStringList madePanels;
};

TEST_F(RenderTest, LocatorsShowTheirRowsWithAbsoluteUrls) {
    server.Script("/cmi/Services", "Action=G",
                  FakeVelnixServer::Reply::Xml(MakeTextCellGridReply(3)));
    EXPECT_EQ(frame->ShowCurl(QStringLiteral("grid:/cmi/Services?Action=G")), 1);
    EXPECT_TRUE(rowShown(CMainFrame::kMyViewRow));
    EXPECT_FALSE(rowShown(CMainFrame::kBrowserRow));
    EXPECT_FALSE(rowShown(CMainFrame::kEditorRow)) << "the placeholder row goes again";
    CMyGrid* grid = frame->GetGrid();
    ASSERT_TRUE(QTest::qWaitFor([&] {
        return grid->GetRowCount() - grid->GetFixedRowCount() == 3 && !grid->IsLoadRunning();
    })) << boxes.size();
    EXPECT_TRUE(grid->isVisible());
    EXPECT_TRUE(frame->GetMyView()->IsGridShown());
    bool requested = false;
    for (const auto& request : server.Requests()) {
        requested = requested || (request.method == "GET" && request.path == "/cmi/Services" &&
                                  request.query.startsWith("Action=G"));
    }
    EXPECT_TRUE(requested) << "the server's base URL with the payload";
    CActionWindows& actions = app->ActionWindows();
    EXPECT_TRUE(actions.HasGrid());
    EXPECT_EQ(actions.GridRowCount(), 3) << "the action language sees the loaded grid";
    grid->SelectAllCells();
    int selectedRows = 0;
    const QString firstColumn = grid->GetSelectedValuesOfColumn(0, selectedRows);
    EXPECT_EQ(selectedRows, 3);
    EXPECT_EQ(actions.GridSelectedRowsByColName(grid->GetItemText(0, 0), QStringLiteral(",")),
              firstColumn);

    EXPECT_EQ(frame->ShowCurl(QStringLiteral("JobChooser:/cmi/j")), 1);
    EXPECT_TRUE(rowShown(CMainFrame::kMyViewRow));
    EXPECT_TRUE(madePanels.contains(QStringLiteral("5621 ") + base() + QStringLiteral("/cmi/j")))
        << madePanels.join(u'|').toStdString();
    EXPECT_EQ(frame->GetMyView()->GetJobChooser(), frame->GetMyView()->Panel());
    EXPECT_NE(frame->GetMyView()->Navigator(), nullptr) << "the navigator above the grid";
    EXPECT_TRUE(frame->GetMyView()->Panel()->isVisible());

    QList<QUrl> started;
    QObject::connect(frame->GetBrowserView()->page(), &QWebEnginePage::loadingChanged,
                     frame->GetBrowserView(), [&](const QWebEngineLoadingInfo& info) {
                         if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus) {
                             started << info.url();
                         }
                     });
    const QUrl page(QStringLiteral("http://127.0.0.1:1/p?x=%41"));
    EXPECT_EQ(frame->ShowCurl(QStringLiteral("browser: \t ") + page.toString()), 1);
    EXPECT_TRUE(rowShown(CMainFrame::kBrowserRow));
    EXPECT_FALSE(rowShown(CMainFrame::kMyViewRow));
    EXPECT_TRUE(QTest::qWaitFor([&] { return started.contains(page); }, 30000))
        << "the browser opens that URL unchanged";
    EXPECT_TRUE(boxes.empty());
}

// A grid of 400 rows whose second half waits until it is released.
class HeldGridTest : public RenderTest {
protected:
    static constexpr int kRows = 400;
    // `leading` goes right after the root's start tag.
    void serveHeld(int expectedRows, const QByteArray& leading = {}) {
        QByteArray reply = MakeTextCellGridReply(kRows);
        reply.insert(reply.indexOf('>', reply.indexOf("<grid ")) + 1, leading);
        reply.replace("<expected-rows>0</expected-rows>",
                      "<expected-rows>" + QByteArray::number(expectedRows) + "</expected-rows>");
        FakeVelnixServer::Reply held;
        const qsizetype half = reply.indexOf("<r>", reply.size() / 2);
        held.chunks = {reply.left(half), reply.mid(half)};
        held.holdChunks = true;
        held.header("Content-Type", "text/xml");
        server.Script("/cmi/Services", "Action=G", held);
        // The connection probe gets its answer at once: only the load waits.
        server.Script("/cmi/Services", "Action=G&checkconnection=1",
                      FakeVelnixServer::Reply::Xml({}));
    }
    QString rowCounter() {
        return frame->StatusPanes().PaneText(
            CStatusBar::PaneOfIndicator(CStatusBar::kRowCounterPane));
    }
    bool loadEnded() {
        return QTest::qWaitFor([&] {
            return !frame->GetGrid()->IsLoadRunning() && !frame->GetGrid()->IsReading() &&
                   !frame->RowCounterRunning();
        });
    }
};

TEST_F(HeldGridTest, RowCounterCountsDuringTheLoadAndStopsAtItsEnd) {
    const struct {
        int expected;
        const char* pattern;
    } cases[] = {{0, "^Row: \\d+$"}, {kRows, "^Row: \\d+ of 400$"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        serveHeld(c.expected);
        app->SetCancelFlag(0);
        ASSERT_EQ(frame->ShowCurl(QStringLiteral("grid:/cmi/Services?Action=G")), 1);
        EXPECT_TRUE(QTest::qWaitFor([&] {
            return QRegularExpression(QString::fromLatin1(c.pattern))
                .match(rowCounter())
                .hasMatch();
        })) << rowCounter().toStdString();
        EXPECT_TRUE(frame->RowCounterRunning());
        server.ReleaseChunks(1);
        EXPECT_TRUE(loadEnded());

        EXPECT_EQ(frame->GetGrid()->GetRowCount() - frame->GetGrid()->GetFixedRowCount(), kRows);
    }
}

TEST_F(HeldGridTest, StopEndsAHeldLoad) {
    serveHeld(0);
    ASSERT_EQ(frame->ShowCurl(QStringLiteral("grid:/cmi/Services?Action=G")), 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return rowCounter().startsWith(u"Row: "); }));
    frame->OnCommand(32782);
    EXPECT_TRUE(loadEnded());
    EXPECT_LT(frame->GetGrid()->GetRowCount() - frame->GetGrid()->GetFixedRowCount(), kRows);
    server.ReleaseChunks(1);
}

// A status-bar progress has no Cancel button: Stop is the only way to end
// the server's job, whether or not an action script waits for it.
TEST_F(HeldGridTest, StopAndAbortSendTheRunningJobsCancelRequestOnce) {
    const struct {
        const char* name;
        bool actionRunning;
        bool stopCommand;  // else the abort a click in the World View pane makes
    } cases[] = {{"Stop", false, true},
                 {"Stop during an action", true, true},
                 {"abort of an action", true, false}};
    server.Script("/cmi/Services", "Action=KillJob", FakeVelnixServer::Reply::Xml({}));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        server.ClearRequests();
        app->SetCancelFlag(0);
        serveHeld(0,
                  "<pbar-start title=\"Job\" action=\"Counting\"/>"
                  "<pbar-cancel-info url=\"/cmi/Services?Action=KillJob&amp;JobID=77\"/>");
        if (c.actionRunning) {
            CActionContext sleep;
            sleep.command = QStringLiteral("sleep=60");
            app->Actions().AddAction(sleep);
            ASSERT_TRUE(QTest::qWaitFor([&] { return app->Actions().IsWorkerBusy(); }));
        }
        ASSERT_EQ(frame->ShowCurl(QStringLiteral("grid:/cmi/Services?Action=G")), 1);
        CProgressBar& progress = *app->ProgressBar();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !progress.CancelURL().isEmpty(); }));

        if (c.stopCommand) {
            frame->OnCommand(32782);
        } else {
            app->Actions().Abort();
        }

        EXPECT_TRUE(loadEnded());
        EXPECT_FALSE(app->Actions().IsWorkerBusy());
        progress.WaitForKill();
        const auto kills = fakelogin::RequestsOf(server, "Action=KillJob");
        ASSERT_EQ(kills.size(), 1U);
        EXPECT_EQ(kills[0].query, "Action=KillJob&JobID=77");
        server.ReleaseChunks(1);
        ASSERT_TRUE(loadEnded());
    }
}

// A server that goes quiet after the headers of its reply: the loading text
// shows and Stop is offered; Stop, or selecting another item, drops the
// connection at once instead of when the server gives up.
TEST_F(HeldGridTest, AStalledRequestShowsAndCanBeStopped) {
    // The server goes quiet after the reply's first tag. An empty first
    // piece would not do: the server would count the reply as ended and
    // close the idle connection after its keep-alive time, which on a busy
    // machine comes before the test looks.
    const QByteArray reply = MakeTextCellGridReply(3);
    const qsizetype firstTagEnd = reply.indexOf('>') + 1;
    FakeVelnixServer::Reply stalled;
    stalled.chunks = {reply.left(firstTagEnd), reply.mid(firstTagEnd)};
    stalled.holdChunks = true;
    server.Script("/cmi/Services", "Action=G", stalled);
    server.Script("/cmi/Services", "Action=G&checkconnection=1", FakeVelnixServer::Reply::Xml({}));
    QTreeWidgetItem* other = app->Tree().AddFolderItem(serverItem, QStringLiteral("Inventory"));
    const struct {
        const char* name;
        bool stop;  // else another item is selected
    } cases[] = {{"Stop", true}, {"another item", false}};
    const auto messagePane = [&] {
        return frame->StatusPanes().PaneText(CStatusBar::PaneOfIndicator(CStatusBar::kMessagePane));
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        app->Tree().SelectItem(item, true);
        app->SetCancelFlag(0);
        server.ClearRequests();
        ASSERT_EQ(frame->ShowCurl(QStringLiteral("grid:/cmi/Services?Action=G")), 1);
        ASSERT_TRUE(QTest::qWaitFor([&] {
            for (const auto& request : server.Requests()) {
                if (request.query == "Action=G") {
                    return true;
                }
            }
            return false;
        }));
        EXPECT_TRUE(QTest::qWaitFor([&] {
            return messagePane() == u"Loading... (Press Stop button in Toolbar to Cancel)";
        })) << messagePane().toStdString();
        CCmdUI stop;
        frame->UpdateCommandUI(32782, stop);
        EXPECT_TRUE(stop.enabled);

        if (c.stop) {
            frame->OnCommand(32782);
        } else {
            app->Tree().SelectItem(other, true);
        }

        EXPECT_TRUE(QTest::qWaitFor([&] { return !app->IsBusy(false); }, 5000))
            << "the download still waits for the server";
        // No release here: a server slow to notice the dropped connection
        // never asks for it, and the next case's reply would then come
        // whole at once. The server's end frees a reply still held.
    }
}

// The rows of a load cut short by another selection are nobody's count.
TEST_F(HeldGridTest, AnItemSelectedDuringALoadGetsNoCountFromIt) {
    serveHeld(0, "<synch-count-with-tree>1</synch-count-with-tree>");
    ASSERT_EQ(frame->ShowCurl(QStringLiteral("grid:/cmi/Services?Action=G")), 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return rowCounter().startsWith(u"Row: "); }));
    QTreeWidgetItem* other = app->Tree().AddFolderItem(serverItem, QStringLiteral("Inventory"));

    app->Tree().SelectItem(other, true);
    server.ReleaseChunks(1);

    EXPECT_TRUE(loadEnded());
    QTest::qWait(300);
    EXPECT_EQ(other->text(0), QStringLiteral("Inventory"));
}

// A server job runs in an action while the grid rests with the rows of an
// item that counts them in its label; another item is selected by then.
// Stop ends the job and leaves the grid, its counts and every label alone.
TEST_F(RenderTest, StopBesideAGridAtRestKeepsItsRowsAndCounts) {
    QByteArray reply = MakeTextCellGridReply(10);
    reply.replace("<grid-props>", "<grid-props><synch-count-with-tree>1</synch-count-with-tree>");
    server.Script("/cmi/Services", "Action=G", FakeVelnixServer::Reply::Xml(reply));
    CMyItem& r = record(item);
    r.PanelParts = kPanelGrid;
    r.Parts.Add(QStringLiteral("grid:/cmi/Services?Action=G"), QStringLiteral(" "));
    app->Tree().SelectItem(item, true);
    CMyGrid* grid = frame->GetGrid();
    ASSERT_TRUE(QTest::qWaitFor([&] {
        return !grid->IsLoadRunning() && !grid->IsReading() &&
               grid->GetRowCount() - grid->GetFixedRowCount() == 10;
    }));
    const QString countedLabel = item->text(0);
    QTreeWidgetItem* other = app->Tree().AddFolderItem(serverItem, QStringLiteral("Inventory"));
    app->Tree().SelectItem(other, true);
    const auto rowCountPane = [&] {
        return frame->StatusPanes().PaneText(CStatusBar::PaneOfIndicator(32811));
    };
    const QString rowCount = rowCountPane();
    CActionContext sleep;
    sleep.command = QStringLiteral("sleep=60");
    app->Actions().AddAction(sleep);
    ASSERT_TRUE(QTest::qWaitFor([&] { return app->Actions().IsWorkerBusy(); }));

    frame->OnCommand(32782);

    EXPECT_FALSE(app->Actions().IsWorkerBusy());
    EXPECT_EQ(grid->GetRowCount() - grid->GetFixedRowCount(), 10);
    EXPECT_EQ(other->text(0), QStringLiteral("Inventory"));
    EXPECT_EQ(item->text(0), countedLabel);
    EXPECT_EQ(rowCountPane(), rowCount);
}

// A "win32" server's job named in a grid reply is cancelled once, however
// the load ends: the reply read to its end, Stop, or a failure the reply
// reports while an action script loads the grid (its progress display runs
// through the whole load, and the failure's box cancels it).
TEST_F(HeldGridTest, AServerJobGetsOneCancelRequest) {
    fakelogin::ScriptCmiLogAndCancel(server);
    FakeLoginReply login;
    login.serverInfo = "win32";
    fakelogin::ScriptLogin(server, login);
    auto* system = dynamic_cast<CMySystem*>(app->Tree().GetSystem(serverItem));
    ASSERT_NE(system, nullptr);
    QString error;
    ASSERT_EQ(system->Login(error, nullptr, nullptr, false), 1) << error.toStdString();
    app->Tree().SelectItem(item, true);
    enum class End { ReadToItsEnd, Stop, FailureInAnActionsLoad };
    const struct {
        const char* name;
        End end;
    } cases[] = {{"read to its end", End::ReadToItsEnd},
                 {"Stop", End::Stop},
                 {"a failure in an action's load", End::FailureInAnActionsLoad}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        app->SetCancelFlag(0);
        server.ClearRequests();
        if (c.end == End::FailureInAnActionsLoad) {
            QByteArray reply = MakeTextCellGridReply(3);
            reply.replace("<headers>", "<pbar-failed title=\"Job failed\"/><headers>");
            server.Script("/cmi/Services", "Action=G", FakeVelnixServer::Reply::Xml(reply));
            CMyGrid* grid = frame->GetGrid();
            onWorker([&] {
                return grid->GetData(QStringLiteral("/cmi/Services?Action=G"), system, true);
            });
        } else {
            serveHeld(0);
            ASSERT_EQ(frame->ShowCurl(QStringLiteral("grid:/cmi/Services?Action=G")), 1);
            ASSERT_TRUE(QTest::qWaitFor(
                [&] { return system->GetServerProcesses().Registrant(4711) != nullptr; }));
            if (c.end == End::Stop) {
                frame->OnCommand(32782);
            }
            server.ReleaseChunks(1);
        }
        ASSERT_TRUE(loadEnded());
        app->ProgressBar()->WaitForKill();
        QTest::qWait(200);
        int cancels = 0;
        for (const auto& request : fakelogin::RequestsOf(server, fakelogin::kCancelQuery)) {
            cancels += (request.query + request.body).contains("RequestID=4711") ? 1 : 0;
        }
        EXPECT_EQ(cancels, 1);
    }
}

// A reply that cannot be read is a failure, never an empty table: the
// status bar says so beside the rows read so far.
TEST_F(RenderTest, AnUnreadableGridReplySaysSo) {
    const QByteArray good = MakeTextCellGridReply(3);
    const auto changed = [&good](const char* from, const char* to) {
        return QByteArray(good).replace(from, to);
    };
    const struct {
        const char* name;
        QByteArray reply;
        bool unreadable;
    } cases[] = {
        {"a whole reply", good, false},
        {"a mismatched end tag", changed("</data>", "</dat>"), true},
        {"cut in the middle", good.left(good.size() / 2), true},
        {"HTML", "<html><body><p>Internal error<br></p></body></html>", true},
        {"an undefined entity", changed("<c>node-0.example.net</c>", "<c>&nbsp;</c>"), true},
        {"invalid UTF-8", changed("node-1.example.net", "node-\xff\xfe.example.net"), true},
        {"two roots", good + "<grid/>", true},
        {"an empty body", {}, true},
        {"no column count", changed("<num-cols>20</num-cols>", ""), true},
    };
    CMyGrid* grid = frame->GetGrid();
    const auto outcome = [&] {
        return frame->StatusPanes().PaneText(CStatusBar::PaneOfIndicator(32812));
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        server.Script("/cmi/Services", "Action=G", FakeVelnixServer::Reply::Xml(c.reply));
        app->SetCancelFlag(0);
        QSignalSpy ended(grid, &CMyGrid::LoadEnded);
        ASSERT_EQ(frame->ShowCurl(QStringLiteral("grid:/cmi/Services?Action=G")), 1);
        ASSERT_TRUE(QTest::qWaitFor([&] { return ended.count() > 0; }, 30000));
        EXPECT_EQ(outcome() == u"Reply unreadable", c.unreadable) << outcome().toStdString();
    }
}

TEST_F(RenderTest, RefreshKeepsTheSelectedRows) {
    server.Script("/cmi/Services", "Action=G",
                  FakeVelnixServer::Reply::Xml(MakeTextCellGridReply(5)));
    CMyItem& r = record(item);
    r.PanelParts = kPanelGrid;
    r.Parts.Add(QStringLiteral("grid:/cmi/Services?Action=G"), QStringLiteral(" "));
    app->Tree().SelectItem(item, true);
    CMyGrid* grid = frame->GetGrid();
    const auto loaded = [&] {
        return QTest::qWaitFor([&] {
            return grid->isVisible() && !grid->IsLoadRunning() && !grid->IsReading() &&
                   grid->GetRowCount() - grid->GetFixedRowCount() == 5;
        });
    };
    ASSERT_TRUE(loaded());
    const int row = grid->GetFixedRowCount() + 2;
    grid->SetSelectedRange(row, 0, row, grid->GetColumnCount() - 1, true);
    const QString key = grid->GetItemText(row, 0);
    server.ClearRequests();
    EXPECT_TRUE(frame->OnCommand(32769));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !server.Requests().empty(); }));
    ASSERT_TRUE(loaded());
    EXPECT_EQ(grid->GetSelectedRowCount(), 1);
    const CCellRange selected = grid->GetSelectedCellRange();
    ASSERT_GE(selected.minRow, 0);
    EXPECT_EQ(grid->GetItemText(selected.minRow, 0), key) << "the same row, found by its key";
}

TEST_F(RenderTest, ALogoutKeepsTheMainGridHidden) {
    MySystemSite().KeepMainGridHidden();
    EXPECT_TRUE(frame->GetGrid()->GetHoldHidden());
}

TEST_F(RenderTest, AGridAnswered401LogsTheServerOut) {
    server.RequireBasicAuth("ops", "secret");
    server.Script("/cmi/Services", "Action=G",
                  FakeVelnixServer::Reply::Xml(MakeTextCellGridReply(3)));
    auto* system = dynamic_cast<CMySystem*>(app->Tree().GetSystem(serverItem));
    ASSERT_NE(system, nullptr);
    system->User = QStringLiteral("ops");
    system->Password = QStringLiteral("wrong");
    system->LoggedIn = true;
    // The grid's request is handed over before the server answers its
    // probe: the 401 logs the server out a moment later.
    frame->ShowCurl(QStringLiteral("grid:/cmi/Services?Action=G"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !system->LoggedIn; }));
    EXPECT_TRUE(system->LoginExpired);
    const int userPane = CStatusBar::PaneOfIndicator(CStatusBar::kUserPane);
    EXPECT_TRUE(QTest::qWaitFor([&] {
        return frame->StatusPanes().PaneText(userPane) == QStringLiteral("Not Logged In");
    })) << frame->StatusPanes().PaneText(userPane).toStdString();
}

TEST_F(RenderTest, ActionsGoToTheDispatcherUndecorated) {
    record(item).Attributes.Add(QStringLiteral("client-datetime-info"), QStringLiteral("1"));
    record(item).Parts.Add(QStringLiteral("browser:http://127.0.0.1:1/a"), QStringLiteral("A"));
    record(item).Parts.Add(QStringLiteral("browser:http://127.0.0.1:1/b"), QStringLiteral("B"));
    EXPECT_EQ(frame->ShowCurl(QStringLiteral("curl:x")), 1);
    EXPECT_EQ(services->dispatched, QStringList{QStringLiteral("curl:x")})
        << "an action is no URL: no date and time parameters";
    EXPECT_TRUE(rowShown(CMainFrame::kTabsRow));
    for (int row : {CMainFrame::kMyViewRow, CMainFrame::kEditorRow, CMainFrame::kBrowserRow}) {
        EXPECT_FALSE(rowShown(row)) << row;
    }
}

TEST_F(RenderTest, MalformedOrCancelledLocatorsAreRefused) {
    EXPECT_EQ(frame->ShowCurl(QStringLiteral("foo:bar")), 0);
    ASSERT_EQ(boxes.size(), 1U);
    EXPECT_EQ(boxes[0].text, QStringLiteral("Error: CMO has malformed curl: foo:bar"));
    EXPECT_EQ(boxes[0].type, kPopupError);

    boxes.clear();
    app->SetCancelFlag(1);
    server.ClearRequests();
    EXPECT_EQ(frame->ShowCurl(QStringLiteral("list:/cmi/t")), 0);
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(server.Requests().empty());
    EXPECT_FALSE(rowShown(CMainFrame::kMyViewRow));
}

TEST_F(RenderTest, ItemsShowWhatTheirPartsName) {
    CMyTree& tree = app->Tree();
    struct Case {
        const char* what;
        std::function<void(CMyItem&)> prepare;
        std::function<void()> check;
    };
    const Case cases[] = {
        {"mask 0 shows the folder list",
         [&](CMyItem& r) { tree.AddFolderItem(item, QStringLiteral("Child")), r.PanelParts = 0; },
         [&] {
             EXPECT_TRUE(rowShown(CMainFrame::kMyViewRow));
             EXPECT_TRUE(frame->GetMyView()->IsListShown());
             EXPECT_EQ(frame->GetFolderList()->RowCount(), 1);
         }},
        {"one tab: the strip is rendered, its row hidden",
         [&](CMyItem& r) {
             r.PanelParts = kPanelBrowser;
             r.Parts.Add(QStringLiteral("browser:http://127.0.0.1:1/one"), QStringLiteral("One"));
         },
         [&] {
             EXPECT_FALSE(rowShown(CMainFrame::kTabsRow));
             ASSERT_NE(frame->GetDialogView()->Tabs(), nullptr);
             EXPECT_EQ(frame->GetDialogView()->Tabs()->TabCount(), 1);
             EXPECT_TRUE(rowShown(CMainFrame::kBrowserRow));
         }},
        {"the editor part keeps the editor row, empty",
         [&](CMyItem& r) {
             r.PanelParts = kPanelSecond;
             frame->GetEditor()->setPlainText(QStringLiteral("left over"));
         },
         [&] {
             EXPECT_TRUE(rowShown(CMainFrame::kEditorRow));
             EXPECT_TRUE(frame->GetEditor()->toPlainText().isEmpty());
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QTreeWidgetItem* fresh = tree.AddFolderItem(serverItem, QStringLiteral("Fresh"));
        item = fresh;
        c.prepare(record(fresh));
        tree.SelectItem(fresh, true);
        c.check();
    }
}

TEST_F(RenderTest, ADirectoryEntryShowsItsUrlAsAGrid) {
    CMyTree& tree = app->Tree();
    QTreeWidgetItem* folder = tree.AddFolderItem(serverItem, QStringLiteral("etc"));
    record(folder).ItemType = kKindDirectory;
    record(folder).TreeURL = QStringLiteral("/cmi/Files?dir=/etc");
    tree.AddFolderItem(folder, QStringLiteral("passwd"));
    tree.SelectItem(folder, true);
    EXPECT_TRUE(rowShown(CMainFrame::kMyViewRow));
    EXPECT_EQ(app->History().LocatorAt(app->History().HistoryCount()), tree.GetFullCurl(folder));
    EXPECT_EQ(app->Prefs().GetString(QStringLiteral("CurrentCurl")), tree.GetFullCurl(folder));
    EXPECT_EQ(app->Prefs().GetString(QStringLiteral("CurrentServer")),
              QStringLiteral("127.0.0.1:%1").arg(server.Port()));
}

TEST_F(RenderTest, NothingSelectedLeavesOnlyTheEmptyEditor) {
    app->Tree().GetTreeCtrl()->setCurrentItem(nullptr);
    frame->GetEditor()->setPlainText(QStringLiteral("left over"));
    EXPECT_EQ(frame->ConstructRHS(), 1);
    EXPECT_TRUE(rowShown(CMainFrame::kEditorRow));
    for (int row : {CMainFrame::kTabsRow, CMainFrame::kMyViewRow, CMainFrame::kBrowserRow}) {
        EXPECT_FALSE(rowShown(row)) << row;
    }
    EXPECT_TRUE(frame->GetEditor()->toPlainText().isEmpty());
}

TEST_F(RenderTest, RendersFromAWorkerGiveTheUiThreadsAnswer) {
    CMyView* view = frame->GetMyView();
    const QString locator = base() + QStringLiteral("/cmi/j");
    view->SetRequest(CMyView::kShowPanel, 4242, kKindFolder);
    EXPECT_EQ(onWorker([&] { return view->Render(locator, item); }), 0)
        << "a panel code nothing makes fails on the worker too";
    view->SetRequest(CMyView::kShowPanel, 5621, kKindFolder);
    EXPECT_EQ(onWorker([&] { return view->Render(locator, item); }), 1);
    EXPECT_NE(view->GetJobChooser(), nullptr);

    CDialogView* tabsView = frame->GetDialogView();
    EXPECT_EQ(onWorker([&] { return tabsView->Render(1234); }), 0);
    ASSERT_EQ(boxes.size(), 1U);
    EXPECT_EQ(boxes[0].text, QStringLiteral("BUG in CDialogView::Render() logic."));
}

// An action script that shows a grid and then sleeps: the grid loads while
// the script sleeps, also when the script runs again after an abort ended
// the last run's sleep (the fresh worker may get the ended one's thread id),
// and the UI thread that waits for the script stays idle meanwhile. An abort
// ends each sleep, at the latest after ten seconds.
TEST_F(RenderTest, AGridShownByAScriptLoadsWhileTheScriptSleeps) {
    server.Script("/cmi/Services", "Action=G",
                  FakeVelnixServer::Reply::Xml(MakeTextCellGridReply(3)));
    KPROPS script(100, 10);
    script.Add(QStringLiteral("line:1"), QStringLiteral("grid:/cmi/Services?Action=G"));
    script.Add(QStringLiteral("line:2"), QStringLiteral("sleep=400"));
    services->passesThrough = true;
    CMyGrid* grid = frame->GetGrid();
    const auto uiCpuTime = [] {
        timespec now{};
        ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
        return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
    };
    constexpr std::chrono::milliseconds kIdleWindow{1000};
    for (const char* run : {"first run", "run after an abort"}) {
        SCOPED_TRACE(run);
        grid->ResetGrid();
        server.ClearRequests();
        QElapsedTimer sinceStart;
        sinceStart.start();
        bool loadedWhileSleeping = false;
        std::optional<std::chrono::nanoseconds> cpuAtLoad;
        qint64 msAtLoad = 0;
        std::chrono::nanoseconds cpuWhileSleeping{};
        QTimer watch;
        watch.setInterval(50);
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (!cpuAtLoad && app->Actions().IsWorkerBusy() && !grid->IsLoadRunning() &&
                !grid->IsReading() && grid->GetRowCount() - grid->GetFixedRowCount() == 3) {
                loadedWhileSleeping = true;
                cpuAtLoad = uiCpuTime();
                msAtLoad = sinceStart.elapsed();
            }
            const bool idleWindowOver =
                cpuAtLoad && sinceStart.elapsed() - msAtLoad >= kIdleWindow.count();
            if (idleWindowOver || sinceStart.elapsed() >= 10000) {
                watch.stop();
                if (cpuAtLoad) {
                    cpuWhileSleeping = uiCpuTime() - *cpuAtLoad;
                }
                app->Actions().Abort();
            }
        });
        watch.start();

        app->Runner().RunActions(script, u'S');

        EXPECT_TRUE(loadedWhileSleeping)
            << "grid requests: " << fakelogin::RequestsOf(server, "Action=G").size()
            << ", rows: " << grid->GetRowCount();
        EXPECT_LT(cpuWhileSleeping, kIdleWindow / 4) << "the sleeping script's UI thread spins";
        EXPECT_LT(sinceStart.elapsed(), 20000);
    }
}

// ---- the tab strip ----

TEST(TabPrefKey, ComesFromPrefKeyMenuOrId) {
    const struct {
        const char16_t* prefKey;
        const char16_t* menu;
        const char16_t* id;
        const char16_t* key;
    } cases[] = {
        {u"", u"nodes.menu", u"7", u"tab:nodes"},
        {u"mine", u"nodes", u"7", u"mine"},
        {u"none", u"nodes", u"7", u""},
        {u"", u"", u"7", u"tab:7"},
        {u"", u"", u"", u""},
    };
    for (const auto& c : cases) {
        CMyItem record;
        if (*c.prefKey != 0) {
            record.Attributes.Add(QStringLiteral("pref-key"), QString::fromUtf16(c.prefKey));
        }
        record.SetMenuName(QString::fromUtf16(c.menu));
        record.ID = QString::fromUtf16(c.id);
        EXPECT_EQ(CTabs::PrefKeyOf(record), QString::fromUtf16(c.key));
    }
}

class TabsTest : public RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        CMyItem& r = record(item);
        r.ID = QStringLiteral("svc");
        r.PanelParts = kPanelBrowser;
        r.Parts.Add(QStringLiteral("browser:http://127.0.0.1:1/one"), QStringLiteral("One"));
        r.Parts.Add(QStringLiteral("browser:http://127.0.0.1:1/two"), QStringLiteral("2"));
        r.Parts.Add(QStringLiteral("curl:third"), QStringLiteral("Third"));
    }
    CTabs* tabs() { return frame->GetDialogView()->Tabs(); }
};

TEST_F(TabsTest, RemembersTheTabPerItemAndFallsBackToTheFirst) {
    app->Prefs().SetUInt(QStringLiteral("tab:svc"), 5);
    app->Tree().SelectItem(item, true);
    ASSERT_NE(tabs(), nullptr);
    EXPECT_TRUE(rowShown(CMainFrame::kTabsRow));
    EXPECT_EQ(tabs()->TabBar()->currentIndex(), 0) << "5 of 3 tabs becomes 1";

    EXPECT_EQ(tabs()->SelectTab(3), 1);
    EXPECT_EQ(services->dispatched, QStringList{QStringLiteral("curl:third")});
    EXPECT_EQ(app->Prefs().GetInt(QStringLiteral("tab:svc"), 0), 3);
    EXPECT_EQ(record(item).SelectedTab, 3);

    app->Tree().SelectItem(item, true);
    EXPECT_EQ(tabs()->TabBar()->currentIndex(), 2) << "the remembered tab comes back";
}

TEST_F(TabsTest, LabelsWinOverNumbers) {
    app->Tree().SelectItem(item, true);
    ASSERT_NE(tabs(), nullptr);
    EXPECT_EQ(tabs()->SelectTabByLabel(QStringLiteral("2")), 1);
    EXPECT_EQ(tabs()->TabBar()->currentIndex(), 1) << "the tab labelled 2 is the second";
    EXPECT_EQ(tabs()->SelectTabByLabel(QStringLiteral("3")), 1);
    EXPECT_EQ(tabs()->TabBar()->currentIndex(), 2);
    EXPECT_EQ(tabs()->SelectTabByLabel(QStringLiteral("4")), 0);
    EXPECT_EQ(tabs()->SelectTabByLabel(QStringLiteral("Nope")), 0);
    EXPECT_EQ(tabs()->TabBar()->currentIndex(), 2);
}

TEST_F(TabsTest, AStripWhoseItemIsNoLongerSelectedSelectsNothing) {
    app->Tree().SelectItem(item, true);
    QPointer<CTabs> strip = tabs();
    ASSERT_NE(strip, nullptr);
    // Another item becomes the selection without a render of the strip.
    app->Tree().GetTreeCtrl()->setCurrentItem(serverItem);
    services->dispatched.clear();
    EXPECT_EQ(strip->SelectTab(3), 0);
    EXPECT_TRUE(services->dispatched.isEmpty());
    app->Tree().GetTreeCtrl()->setCurrentItem(item);
    app->Tree().DeleteItem(item);
    EXPECT_EQ(strip->SelectTab(3), 0) << "its item is gone";
}

TEST_F(TabsTest, AUsersTabChoiceClearsTheCancelFlagOfAnEarlierError) {
    app->Tree().SelectItem(item, true);
    ASSERT_NE(tabs(), nullptr);
    app->SetCancelFlag(1);
    QTabBar* bar = tabs()->TabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(2).center());
    EXPECT_EQ(app->CancelFlag(), 0);
    EXPECT_EQ(services->dispatched, QStringList{QStringLiteral("curl:third")});
}

// ---- the folder list ----

TEST(FolderColumns, FullPathStaysUsableOnNarrowLists) {
    const struct {
        int width;
        int fullPath;
    } cases[] = {{1000, 200}, {800, 200}, {600, 115}, {457, 60}, {400, 60}, {100, 60}};
    for (const auto& c : cases) {
        EXPECT_EQ(FullPathColumnWidth(c.width), c.fullPath) << c.width;
    }
}

TEST_F(RenderTest, FolderListDetailsAndCopy) {
    CMyTree& tree = app->Tree();
    QTreeWidgetItem* folder = tree.AddFolderItem(tree.GetRootItem(), QStringLiteral("Net"));
    CMySystem https;
    https.Host = QStringLiteral("127.0.0.1");
    https.WebPort = 8443;
    https.Protocol = QStringLiteral("https");
    tree.AddSystemItem(folder, QStringLiteral("A"), https);
    tree.AddSystemItem(folder, QStringLiteral("B"), https);
    tree.SelectItem(folder, true);
    CFolderList* list = frame->GetFolderList();
    ASSERT_TRUE(frame->GetMyView()->IsListShown());
    ASSERT_EQ(list->RowCount(), 2);
    EXPECT_EQ(list->Model().item(0, 1)->text(), QStringLiteral("127.0.0.1:8443 (https)"));
    EXPECT_EQ(list->Model().headerData(2, Qt::Horizontal).toString(),
              QStringLiteral("Server Type"));

    list->SetColumns(kKindFolder, 1000);
    EXPECT_EQ(list->DetailsView()->columnWidth(0), 200);
    EXPECT_EQ(list->DetailsView()->columnWidth(4), 100);
    list->SetColumns(kKindDirectory, 400);
    EXPECT_EQ(list->DetailsView()->columnWidth(0), 80);
    EXPECT_EQ(list->DetailsView()->columnWidth(5), 60);

    QApplication::clipboard()->setText(QStringLiteral("before"));
    frame->GetMyView()->CopyListSelection();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("before"))
        << "nothing selected copies nothing";
    list->ListView()->selectAll();
    frame->GetMyView()->CopyListSelection();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("A\r\nB\r\n"));
}

TEST_F(RenderTest, ActivatingARowSelectsItsItem) {
    CMyTree& tree = app->Tree();
    QTreeWidgetItem* child = tree.AddFolderItem(item, QStringLiteral("Child"));
    tree.SelectItem(item, true);
    CFolderList* list = frame->GetFolderList();
    ASSERT_EQ(list->RowCount(), 1);
    Q_EMIT list->ListView()->activated(list->Model().index(0, 0));
    EXPECT_EQ(tree.GetSelectedItem(), child);
}

// ---- tree replies ----

TEST_F(RenderTest, ATreeReplyGoesUnderItsItemUnlessTheTargetChanged) {
    CMyTree& tree = app->Tree();
    const QString reply = QStringLiteral("<tree><item label='Ab\u00e9' tree-url='/x'/></tree>");
    const auto deliver = [&] {
        CTreeChunkWriter writer;
        EXPECT_TRUE(writer.Open());
        frame->ReadTreeReply(writer.TakeClientEnd());
        const QByteArray bytes = reply.toUtf8();
        // Cut inside the two-byte character.
        const qsizetype cut = bytes.indexOf('\xc3') + 1;
        EXPECT_TRUE(writer.WriteChunk(bytes.data(), cut));
        EXPECT_TRUE(writer.WriteChunk(bytes.data() + cut, bytes.size() - cut));
        writer.Close();
    };
    quint16 requester = 0;
    const quint32 itemId = tree.GetMyItem(item)->GetItemId();
    frame->SendTreeRequest(requester, QStringLiteral("http://127.0.0.1:1/t"), {}, {}, itemId);
    deliver();
    ASSERT_TRUE(QTest::qWaitFor([&] { return tree.GetChildCount(item) == 1; }));
    EXPECT_EQ(tree.GetChildItem(item)->text(0), QStringLiteral("Ab\u00e9"));
    EXPECT_TRUE(tree.IsItemExpanded(item));

    QTreeWidgetItem* other = tree.AddFolderItem(serverItem, QStringLiteral("Other"));
    frame->SendTreeRequest(requester, QStringLiteral("http://127.0.0.1:1/t"), {}, {}, itemId);
    tree.GetTreeCtrl()->setCurrentItem(other);
    deliver();
    QTest::qWait(0);
    EXPECT_FALSE(QTest::qWaitFor([&] { return tree.GetChildCount(other) > 0; }, 300))
        << "a reply for an item no longer the target is dropped";
    EXPECT_EQ(tree.GetChildCount(item), 1);
}

// ---- World View file commands ----

TEST_F(RenderTest, AWorldViewThatFailsToLoadChangesNothing) {
    CMyTree& tree = app->Tree();
    tree.ClearModified();
    const int before = tree.GetChildCount(tree.GetRootItem());
    const QString bad = writeFile(QStringLiteral("bad.zwv"), "<tree><root label='W'>");
    EXPECT_FALSE(frame->OpenWorldViewFile(bad));
    ASSERT_EQ(boxes.size(), 1U);
    EXPECT_EQ(boxes[0].type, kPopupError);
    EXPECT_EQ(tree.GetChildCount(tree.GetRootItem()), before);
    EXPECT_EQ(tree.GetSelectedItem(), item);

    const QString good = writeFile(
        QStringLiteral("good.zwv"),
        "<tree><root label='World View'><folder label='Lab'><system label='Alpha' "
        "server-type='.' hostname='alpha' web-port='8080' protocol='http'/></folder></root>"
        "</tree>");
    EXPECT_TRUE(frame->OpenWorldViewFile(good)) << "the error box before stops no new load";
    EXPECT_EQ(tree.GetSelectedItem(), tree.GetRootItem());
    EXPECT_EQ(tree.GetChildItem(tree.GetRootItem())->text(0), QStringLiteral("Lab"));
}

TEST_F(RenderTest, NewWorldViewAsksFirstAndCancelKeepsEverything) {
    CMyTree& tree = app->Tree();
    tree.SetModified();
    boxAnswer = kAnswerCancel;
    frame->NewWorldView();
    ASSERT_EQ(boxes.size(), 1U);
    EXPECT_EQ(boxes[0].text, QStringLiteral("Would you like to save your changes?"));
    EXPECT_EQ(tree.GetChildCount(tree.GetRootItem()), 1) << "Cancel keeps the World View";
    EXPECT_FALSE(frame->NewWorldViewUnsaved());

    boxAnswer = kAnswerNo;
    frame->NewWorldView();
    ASSERT_EQ(tree.GetChildCount(tree.GetRootItem()), 1) << "only the one new server";
    EXPECT_EQ(tree.GetChildItem(tree.GetRootItem())->text(0), QStringLiteral("New Server"));
    EXPECT_TRUE(frame->NewWorldViewUnsaved());
    EXPECT_TRUE(tree.IsModified());
}

}  // namespace
