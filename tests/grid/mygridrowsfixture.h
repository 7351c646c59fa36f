#pragma once

// A shown data grid as the user meets it in the main window: the settings,
// a World View whose root is selected, the selected server with a menu whose
// items are marked "double-click", "alt-enter" and "delete" (a recording
// menu host sees which one runs), the debug log switched on, and helpers
// that press, click, double-click and drag on the grid's cells.

#include "fieldchooserfixture.h"
#include "settings/preferences.h"
#include "support/recordingcontextmenuhost.h"
#include "tree/contextmenu.h"
#include "tree/mytree.h"

#include <QFile>

class MyGridRowsTest : public MyGridTest {
protected:
    static constexpr quint64 kServerId = 19;

    void SetUp() override {
        MyGridTest::SetUp();
        tree.AttachTreeCtrl(&control);
        systemSite.prefs = &prefs;
        systemSite.tree = &tree;
        root = tree.AddRootItem(u"W"_qs);
        tree.SelectItem(root, false);
        CContextMenuSet& menus = selectedServer.GetMenuSet();
        menus.SetCommandIds({&systemSite.commandIds, kServerId});
        ASSERT_EQ(menus.Load(u"<context-menus><menu id='rows'>"
                             u"<menu-item label='Open' double-click='1'/>"
                             u"<menu-item label='Edit' alt-enter='1'/>"
                             u"<menu-item label='Remove' delete='1'/>"
                             u"</menu></context-menus>"_qs,
                             u"test"_qs),
                  1);
        site.system = &selectedServer;
        writeFile(QStringLiteral("tmp/grid.dbg"), "9\n");
        kDebugLevel(1);
    }

    // The grid outlives the fixture's settings and World View.
    void TearDown() override {
        systemSite.prefs = nullptr;
        systemSite.tree = nullptr;
        MyGridTest::TearDown();
    }

    // A grid reply whose grid uses the server's menu "rows".
    static QByteArray withMenu(const QByteArray& xml) {
        QByteArray copy = xml;
        return copy.replace("<grid>", "<grid menu=\"rows.menu\">");
    }

    // The labels of the menu items that ran, in order.
    QStringList ranItems() {
        QStringList labels;
        const CContextMenu* menu = selectedServer.GetMenuSet().Find(u"rows"_qs);
        for (const int id : menuHost.invoked) {
            const CContextMenuItem* item = menu != nullptr ? menu->FindItem(id) : nullptr;
            labels << (item != nullptr ? item->GetAttribute(u"label"_qs) : u"?"_qs);
        }
        return labels;
    }

    QString debugLog() const {
        QFile file(tempFolder() + QStringLiteral("/grid.log"));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    // The data row whose text in grid column `col` is `text`; -1 for none.
    int rowOf(int col, const QString& text) const {
        for (int row = grid->GetFixedRowCount(); row < grid->GetRowCount(); ++row) {
            if (grid->GetItemText(row, col) == text) {
                return row;
            }
        }
        return -1;
    }

    QPoint centreOf(int row, int col) const {
        QRect rect;
        EXPECT_TRUE(grid->GetCellRect(row, col, rect));
        return rect.center();
    }

    void click(int row, int col, Qt::KeyboardModifiers keys = {}) {
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, keys, centreOf(row, col));
    }

    // A user's double-click: press and release, then the window system's
    // double-click and the second release.
    void doubleClick(int row, int col) {
        const QPoint at = centreOf(row, col);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
        QMouseEvent twice(QEvent::MouseButtonDblClick, at, grid->viewport()->mapToGlobal(at),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(grid->viewport(), &twice);
        QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, at);
    }

    // Presses at `from`, moves to `to` in steps and releases there.
    void drag(QPoint from, QPoint to) {
        QTest::mouseMove(grid->viewport(), from);
        QTest::mousePress(grid->viewport(), Qt::LeftButton, {}, from);
        for (int step = 1; step <= 4; ++step) {
            const QPoint at = from + (to - from) * step / 4;
            QMouseEvent move(QEvent::MouseMove, at, grid->viewport()->mapToGlobal(at), Qt::NoButton,
                             Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(grid->viewport(), &move);
        }
        QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, to);
    }

    void key(Qt::Key pressed, Qt::KeyboardModifiers keys = {}) {
        QTest::keyClick(grid, pressed, keys);
    }

    CPreferences prefs;
    QTreeWidget control;
    CMyTree tree;
    QTreeWidgetItem* root = nullptr;
    RecordingContextMenuHost menuHost;
};
