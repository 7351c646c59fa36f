#include "frame/folderlist.h"
#include "tree/myitem.h"

#include <QApplication>
#include <QHeaderView>
#include <QListView>
#include <QStandardItem>
#include <QStyle>
#include <QTreeView>

#include <cmath>
#include <vector>

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

// The view fills its list before it lays the list out, so the columns are
// first sized for a list that has no width of its own yet.
TEST(FolderListColumnsTest, ColumnsSetBeforeLayoutTakeTheirShareOfTheLaidOutWidth) {
    struct Case {
        int kind;
        std::vector<double> shares;
    };
    const std::vector<Case> cases = {
        {kKindFolder, {0.2, 0.25, 0.25, 0.2, 0.1}},
        {kKindRoot, {0.2, 0.25, 0.25, 0.2, 0.1}},
        {kKindComponent, {0.2, 0.8}},
    };
    constexpr int kLaidOut = 1000;
    for (const Case& item : cases) {
        CFolderList list;
        list.SetMode(CFolderList::kDetails);
        list.SetColumns(item.kind, list.width());
        list.resize(kLaidOut, 300);
        list.show();
        QApplication::processEvents();
        ASSERT_EQ(list.Model().columnCount(), static_cast<int>(item.shares.size()));
        // The header stretches the last column to whatever room is left.
        for (size_t column = 0; column + 1 < item.shares.size(); ++column) {
            EXPECT_EQ(list.DetailsView()->columnWidth(static_cast<int>(column)),
                      static_cast<int>(std::trunc(item.shares[column] * kLaidOut)))
                << char(item.kind) << " column " << column;
        }
    }
}

TEST(FolderListColumnsTest, ANarrowListKeepsEveryTitleWhole) {
    for (const int kind : {int(kKindFolder), int(kKindDirectory), int(kKindComponent)}) {
        CFolderList list;
        list.SetMode(CFolderList::kDetails);
        list.resize(200, 300);
        list.show();
        list.SetColumns(kind, list.width());
        QApplication::processEvents();
        const QHeaderView* header = list.DetailsView()->header();
        for (int column = 0; column < list.Model().columnCount(); ++column) {
            const QString title = list.Model().headerData(column, Qt::Horizontal).toString();
            const int margins = 2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin);
            EXPECT_GE(header->sectionSize(column),
                      header->fontMetrics().horizontalAdvance(title) + margins)
                << char(kind) << " " << title.toStdString();
        }
    }
}

}  // namespace
