#include "app/appfixture.h"
#include "frame/browserview.h"
#include "frame/dialogview.h"
#include "frame/folderlist.h"
#include "frame/mainframe.h"
#include "frame/myview.h"
#include "frame/searchtoolbar.h"
#include "frame/tabs.h"
#include "grid/mygrid.h"
#include "server/mysystem.h"
#include "support/fakeloginreplies.h"
#include "support/gridreplies.h"
#include "support/xinput.h"
#include "tree/leftview.h"
#include "tree/mytree.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QListView>
#include <QStyle>
#include <QTabBar>
#include <QTest>
#include <QTreeView>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using Reply = FakeVelnixServer::Reply;

// The program started for real on a World View whose server is the fake
// server; its login tree holds a grid, a page, a two-tab item, a folder, an
// item with a malformed locator and one with a long label.
class RenderProgramTest : public ProgramTest {
protected:
    void SetUp() override {
        TempHomeTest::SetUp();
        QUILLEX_SKIP_WITHOUT_DESKTOP(false);
        fakelogin::ScriptCmiLogAndCancel(server);
        FakeLoginReply login;
        login.tree =
            // The server entry takes the first item for itself.
            "<item label='Home'/>"
            "<item label='Grid' main-grid-url='/cmi/Services?Action=G'/>"
            "<item label='Page' main-browser-url='/p'/>"
            "<item label='Tabs' tab1-curl='grid:/cmi/Services?Action=G' tab1-label='Rows' "
            "tab2-curl='browser:/p' tab2-label='Page'/>"
            "<folder label='Folder'><item label='Inner' main-grid-url='/cmi/Services?Action=G'/>"
            "</folder>"
            "<item label='Bad' tab1-curl='foo:bar'/>"
            "<item label='Inventory of every element' main-grid-url='/cmi/Services?Action=G'/>";
        fakelogin::ScriptLogin(server, login);
        server.Script(FakeVelnixServer::kServicesPath, "Action=G",
                      Reply::Xml(MakeTextCellGridReply(3)));
        Reply page;
        page.body = "<html><body>page</body></html>";
        page.header("Content-Type", "text/html");
        server.Script("/p", page);
        writeLabWorldView(server.Port());

        app = std::make_unique<CTheApp>();
        // The application's own services, but for the floating browsers
        // to close.
        auto recording = std::make_unique<RecordingAppServices>(*app);
        services = recording.get();
        services->passesThrough = true;
        services->floatingBrowsers = 0;
        app->SetServices(std::move(recording));
        app->Popups().SetPresenter([this](QWidget*, const QString&, const QString& text, int) {
            boxes << text;
            return 1;
        });
        ASSERT_TRUE(app->InitInstance({}));
        frame = app->MainFrame();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame));

        CMyTree& tree = app->Tree();
        serverItem = tree.FindItemByName(QStringLiteral("Alpha"), nullptr);
        ASSERT_NE(serverItem, nullptr);
        auto* system = dynamic_cast<CMySystem*>(tree.GetSystem(serverItem));
        ASSERT_NE(system, nullptr);
        QString error;
        ASSERT_NE(system->Login(error, &tree, serverItem, false), 0) << error.toStdString();
    }

    void TearDown() override {
        app.reset();
        TempHomeTest::TearDown();
    }

    QTreeWidgetItem* item(const char* label) {
        return app->Tree().FindItemByName(QString::fromLatin1(label), serverItem);
    }
    bool select(const char* label) {
        QTreeWidgetItem* found = item(label);
        return found != nullptr && app->Tree().SelectItem(found, true) != 0;
    }
    bool rowShown(int row) { return frame->RightSplitter().IsRowVisible(row); }
    bool gridLoaded() {
        const CMyGrid* grid = frame->GetGrid();
        return QTest::qWaitFor([&] {
            return grid->isVisible() && !grid->IsLoadRunning() &&
                   grid->GetRowCount() - grid->GetFixedRowCount() == 3;
        });
    }
    int requestsOf(const QByteArray& path) {
        int count = 0;
        for (const auto& request : server.Requests()) {
            count += request.path == path ? 1 : 0;
        }
        return count;
    }

    FakeVelnixServer server;
    std::unique_ptr<CTheApp> app;
    RecordingAppServices* services = nullptr;
    CMainFrame* frame = nullptr;
    QTreeWidgetItem* serverItem = nullptr;
    QStringList boxes;
};

TEST_F(RenderProgramTest, ItemsTabsAndRowsShowTheirPanes) {
    ASSERT_TRUE(select("Grid"));
    EXPECT_TRUE(gridLoaded());
    EXPECT_TRUE(rowShown(CMainFrame::kMyViewRow));
    EXPECT_TRUE(frame->windowTitle().startsWith(QStringLiteral("Grid - ")))
        << frame->windowTitle().toStdString();

    server.ClearRequests();
    ASSERT_TRUE(select("Page"));
    EXPECT_TRUE(rowShown(CMainFrame::kBrowserRow));
    EXPECT_TRUE(QTest::qWaitFor([&] { return requestsOf("/p") > 0; }, 30000));

    ASSERT_TRUE(select("Tabs"));
    CTabs* tabs = frame->GetDialogView()->Tabs();
    ASSERT_NE(tabs, nullptr);
    EXPECT_TRUE(rowShown(CMainFrame::kTabsRow));
    QTabBar* bar = tabs->TabBar();
    ASSERT_EQ(bar->count(), 2);
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
    EXPECT_TRUE(rowShown(CMainFrame::kBrowserRow));
    EXPECT_FALSE(rowShown(CMainFrame::kMyViewRow));
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(0).center());
    EXPECT_TRUE(gridLoaded());
    EXPECT_TRUE(qobject_cast<CMyGrid*>(frame->GetGrid()) != nullptr);

    ASSERT_TRUE(select("Folder"));
    CFolderList* list = frame->GetFolderList();
    ASSERT_TRUE(QTest::qWaitFor([&] { return list->isVisible() && list->RowCount() == 1; }));
    QListView* rows = list->ListView();
    const QRect firstRow = rows->visualRect(list->Model().index(0, 0));
    QTest::mouseClick(rows->viewport(), Qt::LeftButton, {}, firstRow.center());
    QTest::mouseDClick(rows->viewport(), Qt::LeftButton, {}, firstRow.center());
    EXPECT_TRUE(QTest::qWaitFor([&] { return app->Tree().GetSelectedItem() == item("Inner"); }));
    EXPECT_TRUE(gridLoaded()) << "the row's item shows its grid";

    boxes.clear();
    select("Bad");
    EXPECT_TRUE(boxes.contains(QStringLiteral("Error: CMO has malformed curl: foo:bar")))
        << boxes.join(u'|').toStdString();
}

// At its first-start size, after login and with a grid open, the window
// shows every tree label and the filter's cue whole (the grid's own tests
// judge its texts; the screenshot shows all three).
TEST_F(RenderProgramTest, TheWindowAtItsFirstSizeShowsLabelsColumnsAndCueWhole) {
    ASSERT_TRUE(select("Grid"));
    ASSERT_TRUE(gridLoaded());
    constexpr int kStop = 32782;
    EXPECT_TRUE(QTest::qWaitFor([&] {
        CCmdUI stop;
        frame->UpdateCommandUI(kStop, stop, false);
        return !stop.enabled;
    })) << "Stop stays enabled with nothing running";
    const CLeftView* pane = frame->GetLeftView();
    for (QTreeWidgetItemIterator it(pane->topLevelItem(0)); *it != nullptr; ++it) {
        if (!pane->visualItemRect(*it).isEmpty()) {
            EXPECT_LE(pane->ItemTextRect(*it).right(), pane->viewport()->width())
                << "the label is cut: " << (*it)->text(0).toStdString();
        }
    }
    const auto* search = frame->findChild<CSearchToolbar*>();
    ASSERT_NE(search, nullptr);
    const QLineEdit* edit = const_cast<CSearchToolbar*>(search)->Field().lineEdit();
    EXPECT_GE(edit->width(), edit->fontMetrics().horizontalAdvance(edit->placeholderText()))
        << "the filter's cue is cut";
    const QString path = QCoreApplication::applicationDirPath() + u"/mainwindow-first-size.png"_qs;
    EXPECT_TRUE(frame->grab().save(path)) << path.toStdString();
}

// Until the user sizes a column, the columns share the width the list is
// shown at, also after the window grows, every title whole; a column the
// user sizes keeps its width.
TEST_F(RenderProgramTest, TheFolderListsColumnsShareItsWidthWithTheirTitlesWhole) {
    QUILLEX_SKIP_WITHOUT_DESKTOP(true);
    ASSERT_TRUE(select("Folder"));
    CFolderList* list = frame->GetFolderList();
    ASSERT_TRUE(QTest::qWaitFor([&] { return list->isVisible() && list->RowCount() == 1; }));
    list->SetMode(CFolderList::kDetails);
    const QHeaderView* header = list->DetailsView()->header();
    const int margins = 2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin);
    for (const int grow : {0, 320}) {
        SCOPED_TRACE(grow);
        const int wider = list->width() + grow;
        frame->resize(frame->width() + grow, frame->height());
        ASSERT_TRUE(QTest::qWaitFor([&] { return list->width() >= wider; }));
        int total = 0;
        for (int column = 0; column < list->Model().columnCount(); ++column) {
            const QString title = list->Model().headerData(column, Qt::Horizontal).toString();
            EXPECT_GE(header->sectionSize(column),
                      header->fontMetrics().horizontalAdvance(title) + margins)
                << title.toStdString();
            total += header->sectionSize(column);
        }
        EXPECT_GE(total, list->width() * 9 / 10) << "the columns fill the list";
        EXPECT_GE(header->sectionSize(0), list->width() / 5 - 2) << "the names keep a fifth";
    }
    const QImage shot = frame->grab().toImage();

    // A column the user sizes keeps its width when the window narrows, by
    // what the window can give: the World View pane widens to its longest
    // label and holds the window's least width up.
    const int right = header->sectionViewportPosition(0) + header->sectionSize(0) - 1;
    const QPoint border = header->viewport()->mapToGlobal(QPoint(right, header->height() / 2));
    ASSERT_TRUE(pointerDrag({border, border + QPoint(30, 0), border + QPoint(60, 0)}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return header->sectionSize(0) > right + 30; }));
    const int sized = header->sectionSize(0);
    const int give = std::min(200, frame->width() - frame->minimumWidth());
    ASSERT_GE(give, 50) << "the window cannot narrow";
    const int narrower = list->width() - give;
    frame->resize(frame->width() - give, frame->height());
    ASSERT_TRUE(QTest::qWaitFor([&] { return list->width() <= narrower; }));
    EXPECT_EQ(header->sectionSize(0), sized);

    const QString path = QCoreApplication::applicationDirPath() + u"/folderlist-details.png"_qs;
    EXPECT_TRUE(shot.save(path)) << path.toStdString();
}

TEST_F(RenderProgramTest, CtrlTabFromTheBrowserGoesToTheWorldView) {
    ASSERT_TRUE(select("Page"));
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame));
    frame->GetBrowserView()->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return frame->GetFocusPane() == CMainFrame::kBrowserPane; }));
    frame->OnCommand(32815);
    EXPECT_EQ(frame->GetFocusPane(), CMainFrame::kWorldViewPane);
}

TEST_F(RenderProgramTest, AltF4ClosesFloatingBrowsersThenTheProgram) {
    services->floatingBrowsers = 2;
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame));
    for (int press = 1; press <= 2; ++press) {
        QTest::keyClick(frame, Qt::Key_F4, Qt::AltModifier);
        EXPECT_TRUE(frame->isVisible()) << "press " << press;
    }
    EXPECT_EQ(*services->floatingBrowsers, 0);
    QTest::keyClick(frame, Qt::Key_F4, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !frame->isVisible(); }));
}

}  // namespace
