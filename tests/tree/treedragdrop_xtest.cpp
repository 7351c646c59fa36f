// World View folders dragged with the real pointer (xdotool): a folder
// dropped onto another moves into it; with Shift held as the drag ends the
// source stays where it was.

#include "tree/treedragdrop.h"
#include "treefixture.h"

#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

namespace {

class TreeDragXTest : public TreeTest {
protected:
    void SetUp() override {
        if (QGuiApplication::platformName() != u"xcb") {
            GTEST_SKIP() << "needs an X server (run under xvfb-run)";
        }
        if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty()) {
            GTEST_SKIP() << "needs xdotool";
        }
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

    // The pointer runs in a process of its own: the drag's loop holds this
    // thread until the button is up.
    bool drag(QPoint from, QPoint to, bool shift) {
        QStringList arguments;
        const auto move = [&arguments](QPoint at) {
            arguments << u"mousemove"_qs << QString::number(at.x()) << QString::number(at.y())
                      << u"sleep"_qs << u"0.15"_qs;
        };
        move(from);
        arguments << u"mousedown"_qs << u"1"_qs;
        for (int step = 1; step <= 4; ++step) {
            move(from + (to - from) * step / 4);
        }
        if (shift) {
            arguments << u"keydown"_qs << u"shift"_qs << u"sleep"_qs << u"0.15"_qs;
        }
        arguments << u"mouseup"_qs << u"1"_qs << u"sleep"_qs << u"0.3"_qs;
        if (shift) {
            arguments << u"keyup"_qs << u"shift"_qs;
        }
        QProcess pointer;
        pointer.start(u"xdotool"_qs, arguments);
        return QTest::qWaitFor([&] { return pointer.state() == QProcess::NotRunning; }, 20000) &&
               pointer.exitCode() == 0;
    }

    CTreeDropSite site;
    CTreeDragDrop dnd{tree, site};
};

TEST_F(TreeDragXTest, AFolderDroppedOnAnotherMovesAndShiftKeepsTheSource) {
    ASSERT_TRUE(drag(centreOf(at({0})), centreOf(at({1})), false));
    ASSERT_TRUE(QTest::qWaitFor([&] { return childTexts(at({})) == QStringList{"B", "C"}; }, 5000))
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
