// Data grid rows dragged with the real pointer (xdotool) onto a World View
// item whose server rule takes the grid's drag type: the rule's action runs
// for the drop's target.

#include "grid/mygrid.h"
#include "gridctrl/gridfixture.h"
#include "server/mysystem.h"
#include "support/recordingmygridsite.h"
#include "support/recordingtreedropsite.h"
#include "support/xinput.h"
#include "tree/mydropinfo.h"
#include "tree/mytree.h"
#include "tree/treedragdrop.h"

#include <QGuiApplication>
#include <QStandardPaths>
#include <QTreeWidget>

namespace {

TEST(MyGridDragXTest, RowsDroppedOnATreeItemRunItsServersAction) {
    QUILLEX_SKIP_WITHOUT_DESKTOP(true);
    RecordingUiServices services;

    // The World View: a server with the item the rows are dropped on.
    QTreeWidget control;
    CMyTree tree;
    tree.AttachTreeCtrl(&control);
    QTreeWidgetItem* root = tree.AddRootItem(u"World View"_qs);
    CMySystem session;
    session.Host = u"h1"_qs;
    QTreeWidgetItem* server = tree.AddSystemItem(root, u"Srv"_qs, session);
    auto* system = dynamic_cast<CMySystem*>(tree.GetSystem(server));
    ASSERT_NE(system, nullptr);
    system->GetDropRules().GetOrAdd(u"row"_qs);
    system->GetDropRules().GetOrAdd(u"node"_qs).AddTarget(u"row"_qs, u"/cmi?do=rows"_qs, {}, {});
    CMyItem node;
    node.ItemType = kKindComponent;
    node.SetLabel(u"Node"_qs);
    node.ID = u"n1"_qs;
    node.SetDragType(u"node"_qs);
    node.PanelParts = kPanelList;
    QTreeWidgetItem* target = tree.InsertItemCopy(server, nullptr, node);
    node.ID = u"shown"_qs;
    QTreeWidgetItem* shown = tree.InsertItemCopy(server, nullptr, node);
    tree.SelectItem(shown, true);
    control.setGeometry(60, 60, 260, 300);
    control.expandAll();
    control.show();

    // The grid the selected item shows.
    RecordingMyGridSite gridSite;
    gridSite.system = system;
    QWidget host;
    host.setGeometry(400, 60, 360, 240);
    auto* grid = new CMyGrid(&host);
    grid->SetSite(&gridSite);
    grid->SetSavePrefsOnReset(false);
    grid->setGeometry(0, 0, 360, 240);
    grid->SetColumnCount(2);
    grid->SetRowCount(3);
    grid->SetFixedRowCount(1);
    for (int row = 1; row < 3; ++row) {
        grid->SetItemText(row, 0, QStringLiteral("row %1").arg(row));
    }
    grid->SetDragType(u"row"_qs);
    grid->EnableDragAndDrop(true);
    grid->SetEditable(false);
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&control));

    RecordingTreeDropSite dropSite;
    dropSite.gridDragType = grid->GetDragType();
    CTreeDragDrop dnd(tree, dropSite);
    dnd.Attach(&control);

    grid->SetSelectedRange(1, 0, 2, 1);
    QRect cell;
    ASSERT_TRUE(grid->GetCellRect(1, 0, cell));
    const QPoint from = grid->viewport()->mapToGlobal(cell.center());
    const QPoint to = control.viewport()->mapToGlobal(control.visualItemRect(target).center());
    QList<QPoint> path{from};
    for (int step = 1; step <= 5; ++step) {
        path << from + (to - from) * step / 5;
    }
    ASSERT_TRUE(pointerDrag(path));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dropSite.runs.empty(); }, 5000));
    ASSERT_EQ(dropSite.runs.size(), 1U);
    EXPECT_EQ(dropSite.runs[0].actions, QStringList({u"dnd1=/cmi?do=rows&Target=n1"_qs}));
    EXPECT_EQ(dropSite.runs[0].context, 'G');
    EXPECT_EQ(grid->GetItemText(1, 0), u"row 1") << "a copy leaves the rows";
}

}  // namespace
