// The widest label of a tree view: each batch of rows costs the measures of
// that batch alone, whatever the tree already holds, a large batch can be
// measured a share at a time, and the widest label shown so far is kept.

#include "tree/widestlabel.h"

#include <QTreeWidget>

#include <gtest/gtest.h>

#include <functional>

namespace {

// A view whose labels measure 10 per character and 100 per level, counting
// the measures taken.
class WidestLabelTest : public ::testing::Test {
protected:
    static int depth(const QTreeWidgetItem* item) {
        int levels = 0;
        for (; item->parent() != nullptr; item = item->parent()) {
            ++levels;
        }
        return levels;
    }

    // The measures a step takes, and the widest label after it.
    int measuresOf(const std::function<void()>& step) {
        step();
        const int before = measures;
        right = widest.Right();
        return measures - before;
    }

    QTreeWidgetItem* add(QTreeWidgetItem* parent, const QString& label) {
        auto* item = new QTreeWidgetItem(QStringList{label});
        parent->addChild(item);
        return item;
    }

    void addRows(QTreeWidgetItem* parent, int count) {
        QList<QTreeWidgetItem*> rows;
        for (int row = 0; row < count; ++row) {
            rows.append(new QTreeWidgetItem(QStringList{QStringLiteral("server %1").arg(row)}));
        }
        parent->addChildren(rows);
    }

    QTreeWidget view;
    int measures = 0;
    int right = 0;
    QStringList measured;
    CWidestLabel widest{view, [this](QTreeWidgetItem* item) {
                            ++measures;
                            measured.append(item->text(0));
                            return 100 * depth(item) + 10 * static_cast<int>(item->text(0).size());
                        }};
};

TEST_F(WidestLabelTest, EachBatchCostsItsOwnRowsWhateverTheTreeHolds) {
    QTreeWidgetItem* root = add(view.invisibleRootItem(), QStringLiteral("World View"));
    root->setExpanded(true);
    QTreeWidgetItem* big = add(root, QStringLiteral("big"));
    big->setExpanded(true);
    QTreeWidgetItem* closed = add(root, QStringLiteral("closed"));
    ASSERT_EQ(measuresOf([&] { addRows(big, 10000); }), 3 + 10000);

    struct Case {
        const char* what;
        std::function<void()> step;
        int measures;
    };
    const Case cases[] = {
        {"nothing new", [] {}, 0},
        {"a batch of 50 under an open folder", [&] { addRows(big, 50); }, 50},
        {"one row after another",
         [&] {
             for (int i = 0; i < 3; ++i)
                 add(big, QStringLiteral("x"));
         },
         3},
        {"rows under a closed folder", [&] { addRows(closed, 20); }, 0},
        {"the folder opened: it and its 20 rows", [&] { closed->setExpanded(true); }, 21},
        {"a closed folder with 5000 rows inserted whole",
         [&] {
             auto* folder = new QTreeWidgetItem(QStringList{QStringLiteral("folder")});
             for (int row = 0; row < 5000; ++row) {
                 folder->addChild(new QTreeWidgetItem(QStringList{QStringLiteral("s")}));
             }
             root->addChild(folder);
         },
         1},
        {"a label changed", [&] { big->child(7)->setText(0, QStringLiteral("renamed")); }, 1},
        {"a row inserted and removed before the ask", [&] { delete add(big, QStringLiteral("y")); },
         0},
        {"a folder closed", [&] { big->setExpanded(false); }, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(measuresOf(c.step), c.measures) << c.what;
    }
}

TEST_F(WidestLabelTest, TheWidestLabelShownSoFarIsKept) {
    QTreeWidgetItem* root = add(view.invisibleRootItem(), QStringLiteral("World View"));
    root->setExpanded(true);
    QTreeWidgetItem* lab = add(root, QStringLiteral("Lab"));
    measuresOf([] {});
    EXPECT_EQ(right, 130);  // "Lab"

    const QString longLabel = QStringLiteral("Reports by kind and by place");
    QTreeWidgetItem* closedRow = nullptr;
    measuresOf([&] { closedRow = add(lab, longLabel); });
    EXPECT_EQ(right, 130) << "a row under a closed folder is not shown";
    measuresOf([&] { lab->setExpanded(true); });
    EXPECT_EQ(right, 200 + 10 * longLabel.size()) << "shown once its folder opens";
    measuresOf([&] { lab->setExpanded(false); });
    EXPECT_EQ(right, 200 + 10 * longLabel.size()) << "a closed folder does not narrow it";
    measuresOf([&] {
        closedRow->setHidden(true);
        add(root, QStringLiteral("more"));
    });
    EXPECT_EQ(right, 200 + 10 * longLabel.size());

    measuresOf([&] { view.clear(); });
    EXPECT_EQ(right, 0) << "a view cleared starts again";
}

TEST_F(WidestLabelTest, AfterAStopOrARestartEveryShownRowIsMeasuredAgainOnce) {
    QTreeWidgetItem* root = add(view.invisibleRootItem(), QStringLiteral("World View"));
    root->setExpanded(true);
    addRows(root, 100);
    QTreeWidgetItem* hidden = add(root, QStringLiteral("a hidden row with a long label"));
    hidden->setHidden(true);
    addRows(add(root, QStringLiteral("closed")), 100);
    ASSERT_EQ(measuresOf([] {}), 102);
    const int shownRight = right;

    EXPECT_EQ(measuresOf([&] { widest.Restart(); }), 102);
    EXPECT_EQ(right, shownRight);
    widest.Stop();
    EXPECT_EQ(measuresOf([&] { addRows(root, 10); }), 112)
        << "rows that came while stopped are measured with the rest";
}

TEST_F(WidestLabelTest, ABatchIsMeasuredAShareAtATimeInTheOrderRowsAreShown) {
    QTreeWidgetItem* root = add(view.invisibleRootItem(), QStringLiteral("World View"));
    root->setExpanded(true);
    QTreeWidgetItem* folder = add(root, QStringLiteral("folder"));
    addRows(folder, 5);
    widest.Right();
    ASSERT_FALSE(widest.HasPending());

    measured.clear();
    folder->setExpanded(true);
    add(root, QStringLiteral("after"));
    widest.Right(3);
    EXPECT_EQ(measured, QStringList({u"folder"_qs, u"server 0"_qs, u"server 1"_qs}))
        << "a folder's rows come right after it, before rows added later";
    EXPECT_TRUE(widest.HasPending());

    // A row removed while it waits is not measured, nor touched.
    delete folder->takeChild(2);
    measured.clear();
    right = widest.Right(3);
    EXPECT_EQ(measured, QStringList({u"server 3"_qs, u"server 4"_qs, u"after"_qs}));
    EXPECT_FALSE(widest.HasPending());
    EXPECT_EQ(right, 200 + 10 * static_cast<int>(QStringLiteral("server 4").size()));
}

}  // namespace
