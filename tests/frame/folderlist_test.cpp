#include "frame/folderlist.h"

#include <QApplication>
#include <QListView>
#include <QStandardItem>

#include <gtest/gtest.h>

namespace {

class FolderListTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"beta", "Alpha", "gamma", "alpha2"}) {
            list.Model().appendRow(new QStandardItem(QString::fromLatin1(name)));
        }
        list.resize(400, 300);
        list.show();
        QApplication::processEvents();
    }

    CFolderList list;
};

// A test's way to drag an icon: the list view's own move.
class DraggableIcons : public QListView {
public:
    using QListView::setPositionForIndex;
};

TEST_F(FolderListTest, LineUpPutsADraggedIconBackAndKeepsTheSelection) {
    list.SetMode(CFolderList::kIcon);
    list.SelectRow(2);
    QApplication::processEvents();
    QListView& view = *list.ListView();
    const QModelIndex moved = list.Model().index(1, 0);
    const QPoint lined = view.visualRect(moved).topLeft();
    static_cast<DraggableIcons&>(view).setPositionForIndex(lined + QPoint(150, 120), moved);
    ASSERT_NE(view.visualRect(moved).topLeft(), lined) << "the icon was dragged away";
    list.LineUpIcons();
    QApplication::processEvents();
    EXPECT_EQ(view.visualRect(moved).topLeft(), lined);
    EXPECT_EQ(list.SelectedRows(), QList<int>{2});
    EXPECT_EQ(list.RowCount(), 4);
}

}  // namespace
