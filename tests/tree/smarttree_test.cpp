#include "tree/treeimages.h"
#include "treefixture.h"

namespace {

class SmartTreeTest : public TreeTest {
protected:
    void SetUp() override {
        ASSERT_EQ(
            load(u"<tree><root label='W'><folder label='list' tree-url='/l'/></root></tree>"_qs),
            1);
        parent = at({0});
    }
    // Reads smart items (each an attribute text) under the list folder.
    void addItems(std::initializer_list<QString> items) {
        QString xml = u"<tree>"_qs;
        for (const QString& item : items) {
            xml += u"<item tree-url='/x' "_qs + item + u"/>"_qs;
        }
        ASSERT_EQ(tree.AddItemsFromXML(xml + u"</tree>"_qs, parent), 1);
    }
    // The tree below the list folder as "label[child,child]" text.
    static QString shape(const QTreeWidgetItem* item) {
        QStringList parts;
        for (int i = 0; i < item->childCount(); ++i) {
            const QTreeWidgetItem* child = item->child(i);
            parts << child->text(0) +
                         (child->childCount() > 0 ? u'[' + shape(child) + u']' : u""_qs);
        }
        return parts.join(u',');
    }

    QTreeWidgetItem* parent = nullptr;
};

TEST_F(SmartTreeTest, LabelsBecomeFolderPaths) {
    const struct {
        std::initializer_list<QString> items;
        QString shape;
    } cases[] = {
        {{u"label='A/B/C' smart-delim='/'"_qs, u"label='A/B/D' smart-delim='/'"_qs},
         u"A[B[C,D]]"_qs},
        {{u"label='A/B/C' smart-delim='/' smart-repeat='1'"_qs}, u"A[A/B[A/B/C]]"_qs},
        {{u"label='A/B/C' smart-delim='/' smart-repeat='2'"_qs}, u"A[B[A/B/C]]"_qs},
        {{u"label='A/B/C' smart-delim='/' smart-suffix='+'"_qs}, u"A+[B+[C]]"_qs},
        {{u"label='plain' smart-delim='/'"_qs}, u"plain"_qs},
        {{u"label='A/B/C' smart-delim='/' smart-max='2'"_qs}, u"A[B/C]"_qs},
        {{u"label=' A :: B :: C ' smart-delim='::'"_qs}, u"A[B[C]]"_qs},
        // The label of a folder from a server keeps its count suffix out of the match.
        {{u"label='A (3)/x' smart-delim='/'"_qs, u"label='A/y' smart-delim='/'"_qs},
         u"A (3)[x,y]"_qs},
    };
    for (const auto& c : cases) {
        addItems(c.items);
        EXPECT_EQ(shape(parent), c.shape) << c.items.begin()->toStdString();
    }
}

TEST_F(SmartTreeTest, FoldersAreMarkedAndDescribed) {
    addItems({u"label='A/B/C' smart-delim='/' main-grid-url='/g'"_qs});
    const CMyItem* a = record(at({0, 0}));
    const CMyItem* b = record(at({0, 0, 0}));
    const CMyItem* c = record(at({0, 0, 0, 0}));
    EXPECT_EQ(a->ItemType, 'C');
    EXPECT_EQ(a->ImageIdx, kImageFolderClosed);
    EXPECT_EQ(a->PanelParts, 0x2u);
    EXPECT_EQ(a->SmartFolder, 1);
    EXPECT_EQ(a->GetHoverText(), u"SmartTree folder for: \"A\"");
    EXPECT_EQ(b->GetHoverText(), u"SmartTree folder for: \"A/B\"");
    EXPECT_EQ(c->SmartFolder, 0);
    EXPECT_EQ(c->Parts.GetNameAt(0), u"grid:/g");
}

TEST_F(SmartTreeTest, MoreLevelsThanTheRecordHoldsAreClamped) {
    QStringList pieces;
    for (int i = 0; i < 60; ++i) {
        pieces << QString::number(i);
    }
    addItems({u"label='"_qs + pieces.join(u'/') + u"' smart-delim='/' smart-max='500'"_qs});
    int depth = 0;
    for (QTreeWidgetItem* item = at({0}); item->childCount() > 0; item = item->child(0)) {
        ++depth;
    }
    EXPECT_EQ(depth, 50);
    QTreeWidgetItem* deepest = at({0});
    while (deepest->childCount() > 0) {
        deepest = deepest->child(0);
    }
    EXPECT_EQ(deepest->text(0), pieces.mid(49).join(u'/'));
}

TEST_F(SmartTreeTest, ReturnsTheTopFolderOrTheItem) {
    CMyItem item;
    item.SetLabel(u"P/Q"_qs);
    item.SmartDelim = u"/"_qs;
    QTreeWidgetItem* top = tree.AddSmartTreeItem(parent, item);
    EXPECT_EQ(top->text(0), u"P");
    item.SetLabel(u"R"_qs);
    QTreeWidgetItem* direct = tree.AddSmartTreeItem(parent, item);
    EXPECT_EQ(direct->text(0), u"R");
    EXPECT_EQ(direct->parent(), parent);
}

}  // namespace
