// World View folders dragged with the real pointer (xdotool): a folder
// dropped onto another moves into it; with Shift held as the drag ends the
// source stays where it was.

#include "support/recordingtreedropsite.h"
#include "support/xinput.h"
#include "tree/treedragdrop.h"
#include "treefixture.h"

#include <QGuiApplication>
#include <QStandardPaths>
#include <QTest>

namespace {

class TreeDragXTest : public TreeTest {
protected:
    void SetUp() override {
        QUILLEX_SKIP_WITHOUT_DESKTOP(true);
        ASSERT_EQ(load(u"<tree><root label='W'><folder label='A'><folder label='Inner'/>"
                       u"</folder><folder label='B'/><folder label='C'/></root></tree>"_qs),
                  1);
        control.resize(300, 300);
        control.show();
        control.expandAll();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&control));
        dnd.Attach(&control);
    }

    QPoint centreOf(QTreeWidgetItem* item) const {
        return control.viewport()->mapToGlobal(control.visualItemRect(item).center());
    }

    // Shift, when asked for, is held as the button comes up.
    static bool drag(QPoint from, QPoint to, bool shift) {
        QList<QPoint> path{from};
        for (int step = 1; step <= 4; ++step) {
            path << from + (to - from) * step / 4;
        }
        return pointerDrag(path, shift ? QStringLiteral("shift") : QString(), 4);
    }

    RecordingTreeDropSite site;
    CTreeDragDrop dnd{tree, site};
};

TEST_F(TreeDragXTest, AFolderDroppedOnAnotherMovesAndShiftKeepsTheSource) {
    ASSERT_TRUE(drag(centreOf(at({0})), centreOf(at({1})), false));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return childTexts(at({})) == QStringList{"B", "C"};
        },
        5000))
        << childTexts(at({})).join(u',').toStdString();
    QTreeWidgetItem* b = at({0});
    EXPECT_EQ(childTexts(b), QStringList({u"A"_qs}));
    EXPECT_EQ(childTexts(b->child(0)), QStringList({u"Inner"_qs}));

    control.expandAll();
    ASSERT_TRUE(drag(centreOf(at({1})), centreOf(at({0, 0})), true));
    ASSERT_TRUE(QTest::qWaitFor([&] { return at({0, 0})->childCount() == 2; }, 5000));
    QTest::qWait(200);
    EXPECT_EQ(childTexts(at({})), QStringList({u"B"_qs, u"C"_qs})) << "Shift keeps the source";
    EXPECT_EQ(childTexts(at({0, 0})), QStringList({u"Inner"_qs, u"C"_qs}));
}

}  // namespace
