#include "tree/treeimages.h"
#include "treefixture.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>

namespace {

class MyTreeTest : public TreeTest {
protected:
    void SetUp() override {
        ASSERT_EQ(load(u"<tree><root label='World View'><folder label='Lab'>"
                       u"<system label='Alpha' hostname='alpha' web-port='8080'/>"
                       u"<system label='Beta' hostname='beta'/></folder>"
                       u"<system label='Gamma' hostname='alpha'/></root></tree>"_qs),
                  1);
        lab = at({0});
        alpha = at({0, 0});
        beta = at({0, 1});
        gamma = at({1});
        ASSERT_EQ(tree.AddItemsFromXML(u"<tree><item label='panel' panel-type='list'/>"
                                       u"<item label='Nodes' id='nodes' tree-url='/n'>"
                                       u"<item label='Router' tree-url='/r'/></item></tree>"_qs,
                                       alpha),
                  1);
        nodes = alpha->child(0);
    }

    QTreeWidgetItem* lab = nullptr;
    QTreeWidgetItem* alpha = nullptr;
    QTreeWidgetItem* beta = nullptr;
    QTreeWidgetItem* gamma = nullptr;
    QTreeWidgetItem* nodes = nullptr;
};

TEST_F(MyTreeTest, IdentityOfItems) {
    EXPECT_EQ(tree.GetID(at({})), u"||World View");
    EXPECT_EQ(tree.GetID(alpha), u"alpha");
    EXPECT_EQ(tree.GetID(nodes), u"nodes");
    EXPECT_EQ(tree.GetFullCurl(alpha), u"||World View|Lab|alpha");
    EXPECT_EQ(tree.GetFullCurl(nodes->child(0)), u"||World View|Lab|alpha|nodes|Router");
    tree.SetModified();
    EXPECT_EQ(tree.GetID(at({})), u"||World View");
    control.setCurrentItem(beta);
    EXPECT_EQ(tree.GetID(nullptr), u"beta");
    EXPECT_EQ(tree.GetID(tree.RootLevel()), u"||World View");
}

TEST_F(MyTreeTest, ServersOfItems) {
    QTreeWidgetItem* router = nodes->child(0);
    EXPECT_EQ(tree.FindSystemItem(router), alpha);
    EXPECT_EQ(tree.FindSystemItem(lab), nullptr);
    EXPECT_EQ(tree.GetSystemItemText(router), u"Alpha");
    EXPECT_EQ(tree.GetServerURL(router), u"http://alpha:8080");
    EXPECT_EQ(tree.GetServerURL(lab), u"TreeDataError");
    EXPECT_TRUE(tree.SameSystem(router, nodes));
    EXPECT_FALSE(tree.SameSystem(router, beta));
    EXPECT_FALSE(tree.SameSystem(lab, at({})));
    EXPECT_TRUE(tree.IsUnderKind(router, 'S'));
    EXPECT_TRUE(tree.IsUnderKind(router, 'F'));
    EXPECT_FALSE(tree.IsUnderKind(gamma, 'F'));
}

TEST_F(MyTreeTest, FindingItems) {
    EXPECT_EQ(tree.FindSystemByHost(u"alpha"_qs, 0, nullptr), alpha);
    EXPECT_EQ(tree.FindSystemByHost(u"alpha"_qs, 80, nullptr), gamma);
    EXPECT_EQ(tree.FindSystemByHost(u"Alpha"_qs, 0, nullptr), nullptr);
    EXPECT_EQ(tree.FindItemByName(u"/r"_qs, nullptr), nodes->child(0));
    EXPECT_EQ(tree.FindItemByName(u"server"_qs, lab), alpha);
    EXPECT_EQ(tree.FindItemByPath({u"||World View"_qs, u"Lab"_qs, u"beta"_qs}), beta);
    EXPECT_EQ(tree.FindItemByPath({u"||World View"_qs, u"Nope"_qs}), nullptr);
    EXPECT_TRUE(tree.IsUnderName(u"Lab"_qs, nodes));
    EXPECT_FALSE(tree.IsUnderName(u"Lab"_qs, gamma));
    const quint32 id = record(beta)->GetItemId();
    EXPECT_EQ(tree.FindItemById(id), beta);
    EXPECT_EQ(tree.FindItemById(0), nullptr);
}

TEST_F(MyTreeTest, ChildLabelsMatchWithoutTheirCounts) {
    nodes->setText(0, u"Nodes (12)"_qs);
    const struct {
        QString label;
        bool found;
    } cases[] = {{u"Nodes"_qs, true},
                 {u"Nodes (3)"_qs, true},
                 {u"Nodes  \t"_qs, true},
                 {u"nodes"_qs, false},
                 {u"Node"_qs, false}};
    for (const auto& c : cases) {
        EXPECT_EQ(tree.FindChildByLabel(c.label, alpha) == nodes, c.found) << c.label;
    }
}

TEST_F(MyTreeTest, CountSuffixReplacesAnEarlierOne) {
    const struct {
        int rows;
        QString text;
    } cases[] = {{13, u"Nodes (12)"_qs},
                 {1, u"Nodes (Empty)"_qs},
                 {0, u"Nodes (Empty)"_qs},
                 {2, u"Nodes (1)"_qs}};
    for (const auto& c : cases) {
        ASSERT_EQ(tree.SetItemCount(nodes, c.rows), 1);
        EXPECT_EQ(nodes->text(0), c.text);
        EXPECT_EQ(record(nodes)->GetLabel(), c.text);
    }
    tree.RemoveItemCount(nodes);
    EXPECT_EQ(nodes->text(0), u"Nodes");
}

TEST_F(MyTreeTest, ALabelEndingInParenthesesKeepsThemUnderItsCount) {
    nodes->setText(0, u"Lab (East)"_qs);
    tree.RemoveItemCount(nodes);
    EXPECT_EQ(nodes->text(0), u"Lab (East)"_qs) << "the server's own parentheses stay";
    tree.SetItemCount(nodes, 13);
    EXPECT_EQ(nodes->text(0), u"Lab (East) (12)"_qs);
    tree.SetItemCount(nodes, 4);
    EXPECT_EQ(nodes->text(0), u"Lab (East) (3)"_qs);
    tree.SetItemCount(nodes, 1);
    EXPECT_EQ(nodes->text(0), u"Lab (East) (Empty)"_qs);
}

TEST_F(MyTreeTest, CountGoesToTheCountItemWhileItExists) {
    tree.SetCountItem(nodes->child(0));
    tree.SetItemCount(nodes, 5);
    EXPECT_EQ(nodes->child(0)->text(0), u"Router (4)");
    tree.DeleteChildren(nodes);
    tree.SetItemCount(nodes, 5);
    EXPECT_EQ(nodes->text(0), u"Nodes (4)");
}

TEST_F(MyTreeTest, ModifiedMarkChangesOnlyTheRootText) {
    tree.ClearModified();
    EXPECT_FALSE(tree.IsModified());
    tree.AddFolderItem(lab, u"New"_qs);
    EXPECT_TRUE(tree.IsModified());
    EXPECT_EQ(at({})->text(0), u"World View  *");
    EXPECT_EQ(record(at({}))->GetLabel(), u"World View");
    tree.ClearModified();
    EXPECT_EQ(at({})->text(0), u"World View");
}

TEST_F(MyTreeTest, RemovingItemsTakesTheirSubtrees) {
    EXPECT_EQ(tree.DeleteChildren(alpha), 1);
    EXPECT_EQ(alpha->childCount(), 0);
    EXPECT_EQ(tree.RemoveItem(beta), lab);
    EXPECT_EQ(lab->childCount(), 1);
    EXPECT_EQ(tree.RemoveItem(at({})), nullptr);
    EXPECT_EQ(control.topLevelItemCount(), 0);
}

TEST_F(MyTreeTest, FolderImagesFollowTheirPlace) {
    QTreeWidgetItem* top = tree.AddFolderItem(at({}), u"Top"_qs);
    QTreeWidgetItem* inner = tree.AddFolderItem(top, u"Inner"_qs);
    EXPECT_EQ(record(top)->ImageIdx, kImageFolderOpen);
    EXPECT_TRUE(top->isExpanded());
    EXPECT_EQ(record(inner)->ImageIdx, kImageFolderClosed);
    tree.AddFolderItem(inner, u"Leaf"_qs);
    inner->setExpanded(true);
    tree.SetItemImage(inner, kImageFolderOpen);
    tree.CollapseItem(inner);
    EXPECT_FALSE(inner->isExpanded());
    EXPECT_EQ(record(inner)->ImageIdx, kImageFolderClosed);
}

TEST_F(MyTreeTest, InsertingAfterAnItemKeepsTheOrder) {
    QTreeWidgetItem* first = lab->child(0);
    tree.AddFolderItem(lab, u"Between"_qs, first);
    EXPECT_EQ(childTexts(lab), (QStringList{u"Alpha"_qs, u"Between"_qs, u"Beta"_qs}));
}

TEST_F(MyTreeTest, ControlCopiesOfNodesCopyTheirRecords) {
    std::unique_ptr<QTreeWidgetItem> copy(alpha->clone());
    const CMyItem* copied = CTreeNode::RecordOf(copy.get());
    ASSERT_NE(copied, nullptr);
    EXPECT_NE(copied, record(alpha));
    EXPECT_NE(copied->GetItemId(), record(alpha)->GetItemId());
    EXPECT_EQ(static_cast<const CSystemItem*>(copied)->GetSystem()->Host, u"alpha");
    EXPECT_EQ(copy->childCount(), alpha->childCount());
}

TEST_F(MyTreeTest, SelectingAnItemRemembersIt) {
    EXPECT_EQ(tree.SelectItem(nodes, false), 1);
    EXPECT_EQ(tree.GetSelectedItem(), nodes);
    EXPECT_EQ(tree.SelectItem(nodes, false), 1);
    EXPECT_EQ(tree.SelectItem(nullptr, true), 1);
    EXPECT_EQ(tree.GetSelectedItem(), at({}));
}

TEST_F(MyTreeTest, ReplacingKeepsTheTreeWhenTheTextIsDamaged) {
    const QString before = written();
    EXPECT_EQ(tree.ReplaceFromXML(u"<tree><root label='Other'><folder label='x'>"_qs), 0);
    EXPECT_EQ(written(), before);
    EXPECT_EQ(alpha->childCount(), 1);
    ASSERT_EQ(
        tree.ReplaceFromXML(u"<tree><root label='Other'><folder label='x'/></root></tree>"_qs), 1);
    EXPECT_EQ(record(at({}))->GetLabel(), u"Other");
    EXPECT_EQ(childTexts(at({})), QStringList{u"x"_qs});
    EXPECT_TRUE(at({})->isExpanded());
    EXPECT_TRUE(at({0})->isExpanded());
    EXPECT_FALSE(tree.IsModified());
}

TEST_F(MyTreeTest, LocalFilesFillItemsAndUnreadableOnesAreReported) {
    QTemporaryDir folder;
    const QString path = folder.filePath(u"tree.xml"_qs);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<tree><item label='R\xc3\xa9seau' tree-url='/r'/></tree>");
    file.close();
    ASSERT_EQ(tree.AddItemsFromURL(path, lab, false), 1);
    EXPECT_EQ(childTexts(lab), QStringList{u"R\u00e9seau"_qs});
    EXPECT_EQ(tree.AddItemsFromURL(u"file://"_qs + path, lab, false), 1);

    EXPECT_EQ(tree.AddItemsFromURL(folder.filePath(u"missing"_qs), lab, true), 0);
    EXPECT_TRUE(services.popups().empty());
    EXPECT_EQ(tree.AddItemsFromURL(folder.filePath(u"missing"_qs), lab, false), 0);
    ASSERT_EQ(services.popups().size(), 1u);
    EXPECT_EQ(services.popups()[0].text,
              u"Could not read file: "_qs + folder.filePath(u"missing"_qs));
    EXPECT_EQ(childTexts(lab), QStringList{u"R\u00e9seau"_qs});
}

}  // namespace

namespace {

TEST(MyTreeControlTest, DestroyedControlDetachesItself) {
    CMyTree tree;
    {
        QTreeWidget control;
        tree.AttachTreeCtrl(&control);
        ASSERT_NE(tree.AddRootItem(u"W"_qs), nullptr);
    }
    EXPECT_EQ(tree.GetTreeCtrl(), nullptr);
    EXPECT_EQ(tree.GetRootItem(), nullptr);
    EXPECT_EQ(tree.AddItemsFromXML(u"<tree><root label='W'/></tree>"_qs, nullptr), 0);
}

}  // namespace
