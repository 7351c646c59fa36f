#include "tree/treeimages.h"
#include "treefixture.h"

#include <QCoreApplication>

namespace {

class TreeXmlTest : public TreeTest {};

TEST_F(TreeXmlTest, WorldViewElementsMakeRootFolderAndServer) {
    ASSERT_EQ(load(u"<tree><root label='World View'><folder label='Lab'>"
                   u"<system label='s' hostname='h' web-port='0'/></folder></root></tree>"_qs),
              1);
    QTreeWidgetItem* root = at({});
    QTreeWidgetItem* lab = at({0});
    QTreeWidgetItem* server = at({0, 0});
    ASSERT_NE(server, nullptr);
    EXPECT_EQ(record(root)->ItemType, 'R');
    // Adding a server marks the World View changed; a load clears that afterwards.
    EXPECT_EQ(root->text(0), u"World View  *");
    EXPECT_EQ(record(root)->GetLabel(), u"World View");
    EXPECT_TRUE(root->isExpanded());
    EXPECT_EQ(record(lab)->ItemType, 'F');
    EXPECT_EQ(record(lab)->ImageIdx, kImageFolderOpen);
    EXPECT_TRUE(lab->isExpanded());
    EXPECT_EQ(record(lab)->PanelParts, 0x2u);
    EXPECT_EQ(record(server)->ItemType, 'S');
    EXPECT_EQ(record(server)->ImageIdx, kImageSystem0);
    EXPECT_EQ(record(server)->GetDragType(), u"system");
    EXPECT_EQ(connection(server)->Host, u"h");
    EXPECT_EQ(connection(server)->WebPort, 80);
    EXPECT_EQ(connection(server)->Protocol, u"http");
    EXPECT_EQ(connection(server)->ServerType, QChar(0));
}

TEST_F(TreeXmlTest, ServerAttributesAndTheirFallbacks) {
    const struct {
        QString attributes;
        QString host;
        int port;
        QString protocol;
        QChar type;
    } cases[] = {
        {u"hostname='h' web-port='8080' protocol='https' server-type='Q'"_qs, u"h"_qs, 8080,
         u"https"_qs, u'Q'},
        {u""_qs, u"s"_qs, 80, u"http"_qs, QChar(0)},
        {u"web-port='70000'"_qs, u"s"_qs, 80, u"http"_qs, QChar(0)},
        {u"web-port='-1'"_qs, u"s"_qs, 80, u"http"_qs, QChar(0)},
        {u"web-port='65535' server-type='.x'"_qs, u"s"_qs, 65535, u"http"_qs, u'.'},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(load(u"<tree><root label='W'><system label='s' "_qs + c.attributes +
                       u"/></root></tree>"_qs),
                  1);
        CServerConnection* server = connection(at({0}));
        EXPECT_EQ(server->Host, c.host) << c.attributes;
        EXPECT_EQ(server->WebPort, c.port) << c.attributes;
        EXPECT_EQ(server->Protocol, c.protocol);
        EXPECT_EQ(server->ServerType, c.type);
    }
}

TEST_F(TreeXmlTest, FolderIsAComponentInsideAServer) {
    ASSERT_EQ(load(u"<tree><root label='W'><folder label='User'><folder label='Inner'/></folder>"
                   u"<system label='s'><item label='first' panel-type='list'/>"
                   u"<folder label='Remote' tree-url='/t'/></system></root></tree>"_qs),
              1);
    EXPECT_EQ(record(at({0, 0}))->ItemType, 'F');
    EXPECT_EQ(record(at({0, 0}))->ImageIdx, kImageFolderClosed);
    EXPECT_EQ(record(at({1, 1}))->ItemType, 'C');
}

TEST_F(TreeXmlTest, ItemOfTypeSystemBecomesAServerEntry) {
    ASSERT_EQ(
        load(u"<tree><root label='W'><item item-type='system' label='lonely'/></root></tree>"_qs),
        1);
    ASSERT_NE(connection(at({0})), nullptr);
    EXPECT_EQ(connection(at({0}))->Host, u"lonely");
    EXPECT_EQ(tree.GetServerURL(at({0})), u"http://lonely");
    EXPECT_TRUE(written().contains(u"<system label='lonely' server-type='.' hostname='lonely'"_qs));
}

TEST_F(TreeXmlTest, ComponentEndMovesBackUpSoSiblingsStaySiblings) {
    ASSERT_EQ(load(u"<tree><root label='W'><system label='s'>"
                   u"<item label='panel' panel-type='list'/>"
                   u"<component label='a' tree-url='/a'/><component label='b' tree-url='/b'/>"
                   u"<item label='c' tree-url='/c'/></system></root></tree>"_qs),
              1);
    EXPECT_EQ(childTexts(at({0})), (QStringList{u"panel"_qs, u"a"_qs, u"b"_qs, u"c"_qs}));
}

TEST_F(TreeXmlTest, FirstComponentOfAServerIsAbsorbedIntoTheEntry) {
    ASSERT_EQ(load(u"<tree><root label='W'><system label='s'>"
                   u"<component label='Home' icon='graph' client-datetime-info='1' refresh='9' "
                   u"panel-type='grid' main-grid-url='/g'/>"
                   u"<item label='next' tree-url='/n'/></system></root></tree>"_qs),
              1);
    QTreeWidgetItem* server = at({0});
    EXPECT_EQ(childTexts(server), QStringList{u"next"_qs});
    const CServerConnection* system = connection(server);
    EXPECT_EQ(system->Panel.ImageIdx, kImageGraph);
    // A panel without browser or panel dialog gets the logout panel.
    EXPECT_EQ(system->Panel.PanelParts, 0x1u | 0x10u);
    EXPECT_EQ(system->Panel.PanelDialog, 5386);
    EXPECT_EQ(system->Panel.RefreshSecs, 9);
    EXPECT_EQ(system->Panel.Parts.GetNameAt(0), u"grid:/g");
    EXPECT_TRUE(system->ClientDateTimeInfo);
}

TEST_F(TreeXmlTest, DirectoryEntriesInsertOnlyNewDirectories) {
    ASSERT_EQ(
        load(u"<tree><root label='W'><system label='s'><item label='panel' panel-type='list'/>"
             u"<item label='files' tree-url='/f'>"
             u"<item item-type='dirlist' label='etc' mode='16877'/>"
             u"<item item-type='dirlist' label='passwd' mode='33188'/>"
             u"<item item-type='dirlist' label='etc' mode='16877'/>"
             u"<item item-type='dirlist' label='usr' mode='16877'/>"
             u"</item><item label='after' tree-url='/a'/></system></root></tree>"_qs),
        1);
    QTreeWidgetItem* files = at({0, 1});
    EXPECT_EQ(childTexts(files), (QStringList{u"etc"_qs, u"usr"_qs}));
    EXPECT_EQ(record(files->child(0))->PanelParts, 0x1u);
    EXPECT_EQ(childTexts(at({0})), (QStringList{u"panel"_qs, u"files"_qs, u"after"_qs}));
}

TEST_F(TreeXmlTest, DirectoryDuplicateCheckLooksAtTheParentBeingFilled) {
    // The selection holds an "etc" of its own; the listing goes elsewhere.
    ASSERT_EQ(load(u"<tree><root label='W'><folder label='sel'><item label='etc' tree-url='/e'/>"
                   u"</folder><folder label='target'/></root></tree>"_qs),
              1);
    control.setCurrentItem(at({0}));
    QTreeWidgetItem* target = at({1});
    ASSERT_EQ(
        tree.AddItemsFromXML(
            u"<tree><item item-type='dirlist' label='etc' mode='16877' tree-url='/x'/></tree>"_qs,
            target),
        1);
    EXPECT_EQ(childTexts(at({1})), QStringList{u"etc"_qs});
}

TEST_F(TreeXmlTest, MissingLabelsAreRefusedWithoutMovingTheParent) {
    ASSERT_EQ(load(u"<tree><root label='W'><folder label='a' tree-url='/a'/>"
                   u"<item/><system/><folder label='b' tree-url='/b'/></root><root/></tree>"_qs),
              1);
    EXPECT_EQ(control.topLevelItemCount(), 1);
    EXPECT_EQ(childTexts(at({})), (QStringList{u"a"_qs, u"b"_qs}));
    const auto popups = services.popups();
    ASSERT_EQ(popups.size(), 2u);
    EXPECT_EQ(popups[0].text, u"XML Error: <item> tag with no label='' attribute.");
    EXPECT_EQ(popups[1].text, u"XML Error: <system> tag with no label='' attribute.");
    EXPECT_EQ(popups[0].type, kPopupError);
}

TEST_F(TreeXmlTest, SortAttributeSortsTheChildrenAtItsEnd) {
    ASSERT_EQ(load(u"<tree><root label='W'><folder label='f' tree-url='/f' sort='1'>"
                   u"<item label='b' tree-url='/b'/><item label='a' tree-url='/a'/></folder>"
                   u"</root></tree>"_qs),
              1);
    // The sort applies to the level that the closed element belongs to.
    ASSERT_EQ(tree.AddItemsFromXML(u"<tree><item label='z' tree-url='/z'/>"
                                   u"<item label='m' tree-url='/m' sort='1'/></tree>"_qs,
                                   at({0})),
              1);
    EXPECT_EQ(childTexts(at({0})), (QStringList{u"m"_qs, u"z"_qs}));
}

TEST_F(TreeXmlTest, TemplateAppliesUntilTheEndOfTheTree) {
    ASSERT_EQ(load(u"<tree><root label='W'><folder label='f' tree-url='/f'/></root></tree>"_qs), 1);
    ASSERT_EQ(
        tree.AddItemsFromXML(u"<tree><baseattributes main-grid-url='/g?id=GROUP_ID_TO_REPLACE' "
                             u"menu='Node.menu'/><item label='n' id='grp@m'/></tree>"_qs,
                             at({0})),
        1);
    const CMyItem* node = record(at({0, 0}));
    EXPECT_EQ(node->Parts.GetNameAt(0), u"grid:/g?id=grp");
    EXPECT_EQ(node->GetMenuName(), u"Node");
    EXPECT_EQ(node->ImageIdx, kImageGrid);
    ASSERT_EQ(tree.AddItemsFromXML(u"<tree><item label='plain' tree-url='/p'/></tree>"_qs, at({0})),
              1);
    EXPECT_EQ(record(at({0, 0}))->Parts.Count(), 0);
}

TEST_F(TreeXmlTest, EmptyFoldersArePrunedAfterAServerReply) {
    ASSERT_EQ(load(u"<tree><root label='W'><system label='s'/></root></tree>"_qs), 1);
    QTreeWidgetItem* server = at({0});
    ASSERT_EQ(
        tree.AddItemsFromXML(u"<tree><item label='panel' panel-type='list'/>"
                             u"<folder label='empty'/>"
                             u"<folder label='outer'><folder label='inner'/></folder>"
                             u"<folder label='kept'><item label='leaf' tree-url='/l'/></folder>"
                             u"<item label='dynamic' tree-url='/d'/></tree>"_qs,
                             server),
        1);
    // An item with nothing to show and no children goes the same way.
    EXPECT_EQ(childTexts(server), (QStringList{u"kept"_qs, u"dynamic"_qs}));
}

TEST_F(TreeXmlTest, EmptyServerSurvivesPruning) {
    ASSERT_EQ(load(u"<tree><root label='W'><folder label='f'><system label='s'/></folder>"
                   u"</root></tree>"_qs),
              1);
    ASSERT_EQ(tree.AddItemsFromXML(u"<tree><system label='t'/></tree>"_qs, at({0})), 1);
    EXPECT_EQ(childTexts(at({0})), QStringList{u"t"_qs});
}

TEST_F(TreeXmlTest, RejectedXmlIsReportedAsAFailure) {
    EXPECT_EQ(load(u"<tree><root label='W'><folder label='f'></root></tree>"_qs), 0);
    EXPECT_EQ(load(u""_qs), 0);
    EXPECT_FALSE(tree.IsBuilding());
}

// A reply cut short or malformed half-way leaves the item as it was: its
// children are neither lost nor mixed with what was read before the fault.
TEST_F(TreeXmlTest, AFailedReplyKeepsTheChildrenItWouldHaveReplaced) {
    const QString before =
        u"<tree><root label='W'><system label='s'><folder label='old1' tree-url='/1'/>"
        u"<folder label='old2' tree-url='/2'/></system></root></tree>"_qs;
    const QString replies[] = {
        u"<tree><folder label='new' tree-url='/n'/>"_qs,
        u"<tree><folder label='new' tree-url='/n'/></tree><junk/>"_qs,
        u"<tree><folder label='new' tree-url='/n'></item></tree>"_qs,
        u""_qs,
    };
    for (const QString& reply : replies) {
        ASSERT_EQ(load(before), 1);
        QTreeWidgetItem* server = at({0});
        const QStringList children = childTexts(server);
        ASSERT_EQ(children.size(), 2);
        EXPECT_EQ(tree.AddItemsFromXML(reply, server), 0) << reply.toStdString();
        EXPECT_EQ(childTexts(server), children) << reply.toStdString();
        EXPECT_FALSE(tree.IsBuilding());
    }
    const QStringList roots = childTexts(tree.RootLevel());
    EXPECT_EQ(load(u"<tree><root label='Other'>"_qs), 0);
    EXPECT_EQ(childTexts(tree.RootLevel()), roots) << "the root level too";
    EXPECT_EQ(record(at({}))->GetLabel(), u"W");
}

TEST_F(TreeXmlTest, ItemElementsCountedDuringADrop) {
    ASSERT_EQ(load(u"<tree><root label='W'><folder label='f' tree-url='/f'/></root></tree>"_qs), 1);
    tree.SetDropID(u"target"_qs);
    ASSERT_EQ(tree.AddItemsFromXML(u"<tree><item label='a' tree-url='/a'/><component label='b' "
                                   u"tree-url='/b'/><item label='c' tree-url='/c'/></tree>"_qs,
                                   at({0})),
              1);
    EXPECT_EQ(tree.GetDropCount(), 2);
}

// What a reply made of an item and everything below it: text, kind, image,
// panel parts, expansion and expand button, depth first.
QString Shape(const QTreeWidgetItem* item, const CServerConnection* server) {
    QString shape;
    for (int i = 0; i < item->childCount(); ++i) {
        const QTreeWidgetItem* child = item->child(i);
        const CMyItem* node = CTreeNode::RecordOf(child);
        shape += QStringLiteral("%1:%2/%3/%4/%5/%6[%7]")
                     .arg(child->text(0))
                     .arg(QChar(node->ItemType))
                     .arg(node->ImageIdx)
                     .arg(node->PanelParts)
                     .arg(static_cast<int>(child->isExpanded()))
                     .arg(static_cast<int>(child->childIndicatorPolicy()))
                     .arg(Shape(child, nullptr));
    }
    if (server != nullptr) {
        shape += QStringLiteral(" panel %1/%2/%3")
                     .arg(server->Panel.PanelParts)
                     .arg(server->Panel.ImageIdx)
                     .arg(server->Panel.TreeURL);
    }
    return shape;
}

class SlicedTreeXmlTest : public TreeXmlTest {
protected:
    // Reads the reply under the item in slices and lets events run until
    // it is in; the item `done` was told, or null when it never was.
    QTreeWidgetItem* loadInSlices(const QString& reply, QTreeWidgetItem* parent, bool* added,
                                  int* turns = nullptr) {
        bool told = false;
        QTreeWidgetItem* filled = nullptr;
        tree.AddItemsFromXMLInSlices(reply, parent, [&](QTreeWidgetItem* item, bool whole) {
            told = true;
            filled = item;
            *added = whole;
        });
        for (int turn = 0; !told && turn < 1000; ++turn) {
            if (turns != nullptr) {
                ++*turns;
            }
            QCoreApplication::processEvents();
        }
        return told ? filled : nullptr;
    }

    // A reply of numbered items n0, n1... that all have a tree URL.
    static QString numberedItems(int items) {
        QString reply = u"<tree>"_qs;
        for (int i = 0; i < items; ++i) {
            reply += QStringLiteral("<item label='n%1' tree-url='/n'/>").arg(i);
        }
        return reply + u"</tree>"_qs;
    }

    const QString kWorld = u"<tree><root label='W'><system label='s'/>"
                           u"<folder label='user'/></root></tree>"_qs;
};

// The reply read into a scratch item stands in for its parent: what depends
// on the parent (an absorbed first component, a folder under a server, the
// open folder under the root, sorting, pruning, directory duplicates, smart
// folders) comes out as reading it whole into the parent does.
TEST_F(SlicedTreeXmlTest, ASlicedReplyMakesTheSameItemsAsAWholeOne) {
    const struct {
        const char* what;
        std::initializer_list<int> parent;
        const char16_t* reply;
    } cases[] = {
        {"first component absorbed", {0},
         u"<tree><component label='Home' icon='graph' panel-type='grid' main-grid-url='/g'/>"
         u"<item label='next' tree-url='/n' count='3'/></tree>"},
        {"folders under a server and their pruning", {0},
         u"<tree><item label='panel' panel-type='list'/><folder label='empty'/>"
         u"<folder label='kept' sort='1'><item label='z' tree-url='/z'/>"
         u"<item label='a' tree-url='/a'/></folder></tree>"},
        {"directories", {0},
         u"<tree><item label='panel' panel-type='list'/><item label='files' tree-url='/f'>"
         u"<item item-type='dirlist' label='etc' mode='16877'/>"
         u"<item item-type='dirlist' label='etc' mode='16877'/>"
         u"<item item-type='dirlist' label='f' mode='33188'/></item></tree>"},
        {"smart folders", {0},
         u"<tree><item label='panel' panel-type='list'/>"
         u"<item label='A/B/C' smart-delim='/' tree-url='/c'/>"
         u"<item label='A/B/D' smart-delim='/' tree-url='/d'/></tree>"},
        {"folders under the root", {},
         u"<tree><folder label='open'><folder label='closed'>"
         u"<system label='t'/></folder></folder></tree>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QString reply = QString::fromUtf16(c.reply);
        ASSERT_EQ(load(kWorld), 1);
        ASSERT_EQ(tree.AddItemsFromXML(reply, at(c.parent)), 1);
        const QString whole = Shape(at(c.parent), connection(at(c.parent)));

        ASSERT_EQ(load(kWorld), 1);
        bool added = false;
        EXPECT_EQ(loadInSlices(reply, at(c.parent), &added), at(c.parent));
        EXPECT_TRUE(added);
        EXPECT_EQ(Shape(at(c.parent), connection(at(c.parent))), whole);
    }
}

// A character of two UTF-16 units split between two pieces reads as it
// does in a whole text.
TEST_F(SlicedTreeXmlTest, ACharacterSplitBetweenTwoPiecesReadsWhole) {
    const QString first = u"<tree><item label='panel' panel-type='list'/>"_qs;
    const QString itemStart = u"<item label='"_qs;
    // White space between the items brings the label's character to the
    // end of the first piece: labels as long as a piece are cut.
    const QString padding(CMyTree::kPieceCharacters - 1 - first.size() - itemStart.size(), u' ');
    const QString label = QString::fromUtf16(u"\U0001F600 end");
    const QString reply = first + padding + itemStart + label + u"' tree-url='/x'/></tree>"_qs;
    ASSERT_TRUE(reply.at(CMyTree::kPieceCharacters - 1).isHighSurrogate());
    ASSERT_EQ(load(kWorld), 1);
    ASSERT_EQ(tree.AddItemsFromXML(reply, at({0})), 1);
    const QString whole = Shape(at({0}), connection(at({0})));
    ASSERT_TRUE(whole.contains(label));

    ASSERT_EQ(load(kWorld), 1);
    bool added = false;
    EXPECT_EQ(loadInSlices(reply, at({0}), &added), at({0}));
    EXPECT_TRUE(added);
    EXPECT_EQ(Shape(at({0}), connection(at({0}))), whole);
}

// A large reply is read a piece per turn of the event loop and goes in a
// slice per turn; a cut or malformed one leaves the children as they were,
// never half replaced, however far it was read.
TEST_F(SlicedTreeXmlTest, ALargeReplyGoesInBetweenEventsAndABadOneChangesNothing) {
    constexpr int kItems = 3 * CMyTree::kSliceItems + 1;
    const QString reply = numberedItems(kItems);
    ASSERT_GT(reply.size(), 2 * CMyTree::kPieceCharacters);
    tree.SetTurnTime(std::chrono::milliseconds(0));
    ASSERT_EQ(load(kWorld), 1);
    QTreeWidgetItem* server = at({0});
    ASSERT_EQ(tree.AddItemsFromXML(u"<tree><item label='panel' panel-type='list'/>"
                                   u"<item label='old' tree-url='/o'/></tree>"_qs,
                                   server),
              1);
    const QStringList before = childTexts(server);

    const struct {
        const char* what;
        QString reply;
    } bad[] = {
        {"cut in the last piece", reply.chopped(3)},
        {"junk after the end", reply + u"<junk/>"_qs},
        {"malformed in the first piece", u"<tree><item label='x'></tree>"_qs + reply},
        {"cut in the first piece", reply.left(100)},
    };
    for (const auto& c : bad) {
        SCOPED_TRACE(c.what);
        bool added = true;
        EXPECT_EQ(loadInSlices(c.reply, server, &added), server);
        EXPECT_FALSE(added);
        EXPECT_EQ(childTexts(server), before);
        EXPECT_FALSE(tree.IsBuilding());
    }

    bool added = false;
    int turns = 0;
    EXPECT_EQ(loadInSlices(reply, server, &added, &turns), server);
    EXPECT_TRUE(added);
    EXPECT_GE(turns, 5);
    const QStringList children = childTexts(server);
    ASSERT_EQ(children.size(), kItems);
    EXPECT_EQ(children.front(), u"n0");
    EXPECT_EQ(children.back(), QStringLiteral("n%1").arg(kItems - 1));
    EXPECT_FALSE(tree.IsBuilding());

    // A text read at once meanwhile first finishes the reply, which then
    // stands as whatever the text puts in its place.
    bool told = false;
    ASSERT_EQ(tree.AddItemsFromXMLInSlices(reply, server, [&](QTreeWidgetItem* item, bool whole) {
        told = item == server && whole;
    }), 1);
    EXPECT_TRUE(tree.IsBuilding());
    EXPECT_EQ(tree.AddItemsFromXML(u"<tree><item label='panel' panel-type='list'/>"
                                   u"<item label='old' tree-url='/o'/></tree>"_qs,
                                   server),
              1);
    EXPECT_TRUE(told);
    EXPECT_EQ(childTexts(server), before);

    // A parent deleted between two pieces, or later, takes nothing, and is
    // told so.
    for (const int turnsBefore : {0, 2}) {
        SCOPED_TRACE(turnsBefore);
        ASSERT_EQ(load(kWorld), 1);
        server = at({0});
        ASSERT_EQ(tree.AddItemsFromXMLInSlices(reply, server, [&](QTreeWidgetItem* item, bool) {
            added = item != nullptr;
        }), 1);
        for (int turn = 0; turn < turnsBefore; ++turn) {
            QCoreApplication::processEvents();
        }
        tree.DeleteItem(server);
        added = true;
        for (int turn = 0; turn < 10; ++turn) {
            QCoreApplication::processEvents();
        }
        EXPECT_FALSE(added);
        EXPECT_FALSE(tree.IsBuilding());
    }
}

// A turn reads pieces and moves slices while it has time left: a reply
// that fits in one turn is in before the call returns, and one that does not
// goes in over as many turns as its time asks for.
TEST_F(SlicedTreeXmlTest, ATurnDoesWhatItsTimeAllows) {
    constexpr int kItems = 4 * CMyTree::kSliceItems;
    const QString reply = numberedItems(kItems);
    ASSERT_GT(reply.size(), 4 * CMyTree::kPieceCharacters);
    const struct {
        const char* what;
        std::chrono::milliseconds time;
        int fewestTurns;
        int mostTurns;
    } cases[] = {
        {"no time: a piece or a slice per turn", std::chrono::milliseconds(0),
         kItems / CMyTree::kSliceItems - 1, 1000},
        {"an hour: all in one turn", std::chrono::hours(1), 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(load(kWorld), 1);
        tree.SetTurnTime(c.time);
        bool added = false;
        int turns = 0;
        EXPECT_EQ(loadInSlices(reply, at({0}), &added, &turns), at({0}));
        EXPECT_TRUE(added);
        EXPECT_GE(turns, c.fewestTurns);
        EXPECT_LE(turns, c.mostTurns);
        const QStringList children = childTexts(at({0}));
        ASSERT_EQ(children.size(), kItems);
        EXPECT_EQ(children.back(), QStringLiteral("n%1").arg(kItems - 1));
        EXPECT_FALSE(tree.IsBuilding());
    }
}

TEST_F(TreeXmlTest, NothingHappensWithoutAControl) {
    CMyTree detached;
    EXPECT_EQ(detached.AddItemsFromXML(u"<tree><root label='W'/></tree>"_qs, nullptr), 0);
    EXPECT_EQ(detached.AddRootItem(u"W"_qs), nullptr);
    EXPECT_EQ(detached.GetMyItem(nullptr), nullptr);
    QString out;
    detached.WriteXML(out, 0, nullptr);
    EXPECT_EQ(out, u"<tree/>\n");
}

}  // namespace
