// Data grid rows leaving the grid in the running program, with the real
// pointer and keys: Edit > Copy puts them on the clipboard as the text and
// the HTML table other programs paste, the server's texts escaped in the
// HTML; dragged onto a World View item whose server rule takes the grid's
// drag type, they run the rule's action against the server.

#include "app/appfixture.h"
#include "frame/mainframe.h"
#include "frame/menubar.h"
#include "grid/mygrid.h"
#include "server/mysystem.h"
#include "support/fakeloginreplies.h"
#include "support/gridreplies.h"
#include "support/xinput.h"
#include "tree/clipboarditem.h"
#include "tree/leftview.h"
#include "tree/mytree.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <QUrlQuery>

#include <gtest/gtest.h>

#include <functional>

#include <unistd.h>

namespace {

using Reply = FakeVelnixServer::Reply;

constexpr int kRows = 4;

// The program on a World View whose server is the fake server; its item
// "Grid" shows rows whose texts hold "&", "<", ">" and quotes, and its
// item "Target" takes them by drag and drop.
class GridRowsProgramTest : public RunningProgramTest {
protected:
    void SetUp() override {
        RunningProgramTest::SetUp();
        if (IsSkipped()) {
            return;
        }
        fakelogin::ScriptCmiLogAndCancel(server);
        FakeLoginReply login;
        login.tree =
            "<item label='Home'/><item label='Grid' main-grid-url='/cmi/Services?Action=E'/>"
            "<item label='Target' id='t 1&amp;2' drag-type='node' main-browser-url='/p'/>";
        login.dragInfoList =
            "<drag-info drag-type='row'/><drag-info drag-type='node' draggable='0'>"
            "<drop-target drag-type='row' action1='xml:/cmi/Services?Action=Dropped'/>"
            "</drag-info>";
        fakelogin::ScriptLogin(server, login);
        QByteArray rows = MakeEntityGridReply(kRows);
        server.Script(FakeVelnixServer::kServicesPath, "Action=E",
                      Reply::Xml(rows.replace("<grid ", "<grid drag-type=\"row\" ")));
        server.Script(FakeVelnixServer::kServicesPath, "Action=Dropped", Reply::Xml("<cmi/>"));
        writeLabWorldView(server.Port());

        startProgram();
        if (HasFatalFailure()) {
            return;
        }
        frame->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(frame));

        CMyTree& tree = app->Tree();
        QTreeWidgetItem* server = tree.FindItemByName(QStringLiteral("Alpha"), nullptr);
        ASSERT_NE(server, nullptr);
        auto* system = dynamic_cast<CMySystem*>(tree.GetSystem(server));
        ASSERT_NE(system, nullptr);
        QString error;
        ASSERT_NE(system->Login(error, &tree, server, false), 0) << error.toStdString();
        gridItem = tree.FindItemByName(QStringLiteral("Grid"), server);
        ASSERT_NE(gridItem, nullptr);
    }

    // The item "Grid" clicked, and its rows loaded.
    CMyGrid* showGrid() {
        CMyGrid* grid = frame->GetGrid();
        const bool shown = clickAt(centreOfItem(gridItem)) &&
                           QTest::qWaitFor(
                               [&] {
                                   return grid->isVisible() && !grid->IsLoadRunning() &&
                                          grid->GetRowCount() - grid->GetFixedRowCount() == kRows;
                               },
                               30000);
        return shown ? grid : nullptr;
    }

    QPoint centreOfItem(QTreeWidgetItem* item) const {
        CLeftView* pane = frame->GetLeftView();
        pane->scrollToItem(item);
        return pane->viewport()->mapToGlobal(pane->visualItemRect(item).center());
    }
    QPoint centreOfCell(CMyGrid* grid, int row, int col) const {
        QRect cell;
        EXPECT_TRUE(grid->GetCellRect(row, col, cell));
        return grid->viewport()->mapToGlobal(cell.center());
    }

    // Rows 1 to `last` selected by a click and a Shift+click.
    bool selectRows(CMyGrid* grid, int last) {
        const QPoint to = centreOfCell(grid, last, 2);
        return clickAt(centreOfCell(grid, 1, 2)) &&
               xdotool({QStringLiteral("mousemove"), QString::number(to.x()),
                        QString::number(to.y()), QStringLiteral("keydown"), QStringLiteral("shift"),
                        QStringLiteral("click"), QStringLiteral("1"), QStringLiteral("keyup"),
                        QStringLiteral("shift")}) &&
               QTest::qWaitFor([&] { return grid->GetSelectedRowCount() == last; }, 5000);
    }

    // Edit > Copy from the menu bar, clicked.
    bool editCopyFromTheMenu() {
        CMenuBar& bar = frame->MenuBar();
        QAction* edit = nullptr;
        for (QAction* action : bar.actions()) {
            if (action->text().remove(u'&') == u"Edit") {
                edit = action;
            }
        }
        if (edit == nullptr || !clickAt(bar.mapToGlobal(bar.actionGeometry(edit).center()))) {
            return false;
        }
        QMenu* menu = nullptr;
        if (!QTest::qWaitFor([&] {
                menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
                return menu != nullptr && menu->isVisible();
            })) {
            return false;
        }
        for (QAction* action : menu->actions()) {
            if (action->text().remove(u'&').startsWith(u"Copy")) {
                return clickAt(menu->mapToGlobal(menu->actionGeometry(action).center()));
            }
        }
        return false;
    }

    static const QMimeData* copied() {
        const QMimeData* data = nullptr;
        const bool arrived = QTest::qWaitFor([&] {
            data = QGuiApplication::clipboard()->mimeData();
            return data != nullptr && data->hasText();
        });
        return arrived ? data : nullptr;
    }

    FakeVelnixServer server;
    QTreeWidgetItem* gridItem = nullptr;
};

TEST_F(GridRowsProgramTest, EditCopyGivesTheSelectedRowsAsTextAndEscapedHtml) {
    CMyGrid* grid = showGrid();
    ASSERT_NE(grid, nullptr);
    ASSERT_TRUE(selectRows(grid, 2));

    ExportRows rows;
    grid->CollectRows(true, false, rows);
    ASSERT_EQ(rows.size(), 2U);
    const QString expectedText = QString::fromUtf8(CMyGrid::BuildCsvText(rows));
    // What the fake server sent: the entities come back as their characters.
    ASSERT_TRUE(expectedText.contains(u"& K")) << expectedText.toStdString();
    ASSERT_TRUE(expectedText.contains(u"<HQ>")) << expectedText.toStdString();
    EXPECT_TRUE(expectedText.contains(u"\"\"\"quoted\"\" 'too'\""))
        << "a cell with quotes is quoted, its quotes doubled: " << expectedText.toStdString();

    const struct {
        const char* how;
        std::function<bool()> copy;
    } ways[] = {
        {"Edit > Copy", [&] { return editCopyFromTheMenu(); }},
        {"Ctrl+C",
         [&] {
             return xdotool({QStringLiteral("key"), QStringLiteral("ctrl+c")});
         }},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.how);
        QGuiApplication::clipboard()->clear();
        ASSERT_TRUE(way.copy());
        const QMimeData* data = copied();
        ASSERT_NE(data, nullptr);
        EXPECT_EQ(data->text(), expectedText);
        EXPECT_FALSE(data->data(QStringLiteral("text/plain")).contains('\0'));
        ASSERT_TRUE(data->hasHtml()) << data->formats().join(u' ').toStdString();
        const QString html = data->html();
        EXPECT_TRUE(html.startsWith(u"<html><body>")) << html.toStdString();
        QByteArray table;
        CMyGrid::AppendHtmlTable(rows, table);
        EXPECT_TRUE(html.contains(QString::fromUtf8(table)));
        EXPECT_TRUE(html.contains(u"&amp; K")) << html.toStdString();
        EXPECT_TRUE(html.contains(u"&lt;HQ&gt;")) << html.toStdString();
        EXPECT_FALSE(html.contains(u"<HQ>"));
        EXPECT_FALSE(data->hasFormat(QString::fromLatin1(kClipboardItemMime)))
            << "the rows' record is for drags within this console";
    }

    // A drag of the same selection carries its size, and only for this
    // console.
    std::unique_ptr<QMimeData> dragged(grid->CopySelection());
    ASSERT_NE(dragged, nullptr);
    const QByteArray record = dragged->data(QString::fromLatin1(kClipboardItemMime));
    const std::optional<ClipboardHeader> header = CClipboardReader(record).ReadHeader();
    ASSERT_TRUE(header);
    EXPECT_EQ(header->kind, kClipGrid);
    EXPECT_EQ(header->processId, static_cast<quint32>(getpid()));
    EXPECT_EQ(header->itemId, 0U);
    const std::optional<ClipboardGridSelection> selection = ReadGridSelection(record);
    ASSERT_TRUE(selection);
    const CCellRange range = grid->GetSelectedCellRange();
    EXPECT_EQ(selection->rows, 2);
    EXPECT_EQ(range.minRow, 1);
    EXPECT_EQ(selection->columns, range.maxCol - range.minCol + 1);
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join(u'|').toStdString();
}

// The drop runs the rule's action with the target's ID, its blanks and "&"
// escaped, in the grid's context.
TEST_F(GridRowsProgramTest, RowsDroppedOnATreeItemRunTheServersDropAction) {
    CMyGrid* grid = showGrid();
    ASSERT_NE(grid, nullptr);
    ASSERT_TRUE(selectRows(grid, 3));
    QTreeWidgetItem* target =
        app->Tree().FindItemByName(QStringLiteral("Target"), app->Tree().GetParentItem(gridItem));
    ASSERT_NE(target, nullptr);

    const QPoint from = centreOfCell(grid, 2, 2);
    const QPoint to = centreOfItem(target);
    QList<QPoint> path{from};
    for (int step = 1; step <= 5; ++step) {
        path << from + (to - from) * step / 5;
    }
    ASSERT_TRUE(pointerDrag(path));
    std::vector<FakeVelnixServer::Request> dropped;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            dropped = fakelogin::RequestsOf(server, "Action=Dropped");
            return !dropped.empty();
        },
        20000));
    ASSERT_EQ(dropped.size(), 1U);
    const QUrlQuery query(QString::fromUtf8(dropped.front().query));
    EXPECT_EQ(query.queryItemValue(QStringLiteral("Target"), QUrl::FullyDecoded), u"t 1&2")
        << dropped.front().query.toStdString();
    EXPECT_FALSE(query.hasQueryItem(QStringLiteral("2"))) << "the ID stays one parameter";
    EXPECT_EQ(grid->GetSelectedRowCount(), 3) << "a drop that copies leaves the rows";
    EXPECT_EQ(app->Tree().GetSelectedItem(), gridItem);
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join(u'|').toStdString();
}

}  // namespace
