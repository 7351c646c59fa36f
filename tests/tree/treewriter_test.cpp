#include "treefixture.h"

namespace {

class TreeWriterTest : public TreeTest {};

TEST_F(TreeWriterTest, EmptyControlWritesAnEmptyTree) {
    EXPECT_EQ(written(), u"<tree/>\n");
}

TEST_F(TreeWriterTest, RootFolderAndServerAreWrittenLineByLine) {
    QTreeWidgetItem* root = tree.AddRootItem(u"World View"_qs);
    QTreeWidgetItem* lab = tree.AddFolderItem(root, u"Lab"_qs);
    CServerConnection session;
    session.Host = u"alpha"_qs;
    session.WebPort = 8080;
    tree.AddSystemItem(lab, u"Alpha's box"_qs, session);
    ASSERT_TRUE(tree.IsModified());
    EXPECT_EQ(written(),
              u"<tree>\n"
              u"  <root label='World View'>\n"
              u"    <folder label='Lab'>\n"
              u"      <system label='Alpha&apos;s box' server-type='.' hostname='alpha' "
              u"web-port='8080' protocol='http'>\n"
              u"      </system>\n"
              u"    </folder>\n"
              u"  </root>\n"
              u"</tree>\n");
}

TEST_F(TreeWriterTest, WrittenWorldViewReadsBackTheSame) {
    const QString original =
        u"<tree>\n"
        u"  <root label='Mine &amp; &quot;yours&quot; &lt;3&gt;'>\n"
        u"    <folder label='Empty'>\n"
        u"    </folder>\n"
        u"    <folder label='Lab'>\n"
        u"      <system label='s1' server-type='Q' hostname='h1' web-port='443' "
        u"protocol='https'>\n"
        u"      </system>\n"
        u"      <folder label='Nested'>\n"
        u"        <system label='s2' server-type='.' hostname='h2' web-port='80' "
        u"protocol='http'>\n"
        u"        </system>\n"
        u"      </folder>\n"
        u"    </folder>\n"
        u"  </root>\n"
        u"</tree>\n"_qs;
    ASSERT_EQ(load(original), 1);
    EXPECT_EQ(record(at({}))->GetLabel(), u"Mine & \"yours\" <3>");
    EXPECT_EQ(written(), original);
}

// A World View with more than one top-level element is written back whole.
TEST_F(TreeWriterTest, EveryTopLevelItemIsWrittenBack) {
    const QString original =
        u"<tree>\n"
        u"  <root label='World View'>\n"
        u"    <folder label='Lab'>\n"
        u"    </folder>\n"
        u"  </root>\n"
        u"  <root label='Second'>\n"
        u"    <folder label='Kept'>\n"
        u"      <system label='srv' server-type='.' hostname='h' web-port='80' "
        u"protocol='http'>\n"
        u"      </system>\n"
        u"    </folder>\n"
        u"  </root>\n"
        u"</tree>\n"_qs;
    ASSERT_EQ(tree.ReplaceFromXML(original), 1);
    EXPECT_EQ(written(), original);
}

// What a save would leave out cannot be loaded as a World View: the
// current one stays, and the error names the item.
TEST_F(TreeWriterTest, AWorldViewWithAComponentAtTheTopIsRefused) {
    ASSERT_EQ(tree.ReplaceFromXML(u"<tree><root label='Kept'/></tree>"_qs), 1);
    EXPECT_EQ(
        tree.ReplaceFromXML(u"<tree><component label='Part'/><root label='World View'/></tree>"_qs),
        0);
    EXPECT_EQ(record(at({}))->GetLabel(), u"Kept");
    EXPECT_EQ(control.topLevelItemCount(), 1);
    EXPECT_TRUE(tree.GetParseError().contains(u"\"Part\""_qs))
        << tree.GetParseError().toStdString();
}

// The program's own tree keeps the window alive while it reads a World
// View, and refuses to read another text into itself meanwhile.
TEST_F(TreeWriterTest, TheMainTreeLetsEventsRunWhileAWorldViewIsRead) {
    tree.SetMainTree(true);
    int nested = -1;
    services.onPump = [&] {
        if (nested < 0) {
            nested = tree.ReplaceFromXML(u"<tree><root label='Other'/></tree>"_qs);
        }
    };
    ASSERT_EQ(tree.ReplaceFromXML(u"<tree><root label='W'><folder label='a'/><folder label='b'/>"
                                  u"</root></tree>"_qs),
              1);
    EXPECT_GT(services.pumps.load(), 0);
    EXPECT_EQ(nested, 0);
    EXPECT_EQ(record(at({}))->GetLabel(), u"W");
}

// Nesting is bounded when read, so a saved World View is written, read back
// and destroyed in time and stack space in proportion to its items.
TEST_F(TreeWriterTest, NestingIsBoundedWhenAWorldViewIsRead) {
    const auto nested = [](int depth) {
        return u"<tree><root label='W'>"_qs + u"<folder label='x'>"_qs.repeated(depth) +
               u"</folder>"_qs.repeated(depth) + u"</root></tree>"_qs;
    };
    const int deepest = static_cast<int>(CWireXmlReader::kMaxElementDepth) - 2;
    ASSERT_EQ(tree.ReplaceFromXML(nested(deepest)), 1);
    const QString saved = written();
    ASSERT_EQ(tree.ReplaceFromXML(saved), 1);
    EXPECT_EQ(written(), saved);

    EXPECT_EQ(tree.ReplaceFromXML(nested(100000)), 0);
    EXPECT_TRUE(tree.GetParseError().contains(u"nested more than"_qs))
        << tree.GetParseError().toStdString();
    EXPECT_EQ(written(), saved) << "the World View read before stays";
}

TEST_F(TreeWriterTest, LabelsWithLineBreaksAndControlCharactersStayReadable) {
    QTreeWidgetItem* root = tree.AddRootItem(u"W"_qs);
    tree.AddFolderItem(root,
                       u"two\nlines\tand\x01"
                       u"bell"_qs);
    const QString text = written();
    ASSERT_EQ(load(text), 1);
    EXPECT_EQ(record(at({0}))->GetLabel(), u"two\nlines\tandbell");
}

TEST_F(TreeWriterTest, ServerWithoutTypeIsWrittenAsNotLoggedIn) {
    ASSERT_EQ(load(u"<tree><root label='W'><system label='s'/></root></tree>"_qs), 1);
    EXPECT_TRUE(written().contains(u"server-type='.'"_qs));
    EXPECT_FALSE(written().contains(QChar(0)));
}

TEST_F(TreeWriterTest, ServerSubtreeAndModifiedMarkAreNeverWritten) {
    ASSERT_EQ(
        load(u"<tree><root label='World View'><system label='s' hostname='h'/></root></tree>"_qs),
        1);
    QTreeWidgetItem* server = at({0});
    connection(server)->User = u"admin"_qs;
    connection(server)->Password = u"secret"_qs;
    ASSERT_EQ(
        tree.AddItemsFromXML(
            u"<tree><item label='panel' panel-type='list'/><item label='Nodes' tree-url='/n'/>"
            u"</tree>"_qs,
            server),
        1);
    ASSERT_EQ(server->childCount(), 1);
    tree.SetModified();
    ASSERT_EQ(at({})->text(0), u"World View  *");
    EXPECT_EQ(written(),
              u"<tree>\n"
              u"  <root label='World View'>\n"
              u"    <system label='s' server-type='.' hostname='h' web-port='80' protocol='http'>\n"
              u"    </system>\n"
              u"  </root>\n"
              u"</tree>\n");
}

TEST_F(TreeWriterTest, OneItemIsWrittenAtTheGivenDepth) {
    QTreeWidgetItem* root = tree.AddRootItem(u"W"_qs);
    QTreeWidgetItem* folder = tree.AddFolderItem(root, u"F"_qs);
    QString out;
    tree.WriteXML(out, 0, folder);
    EXPECT_EQ(out, u"<folder label='F'>\n</folder>\n");
}

}  // namespace
