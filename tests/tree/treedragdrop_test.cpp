// The World View pane's drags and drops: what a drop would do, what it
// does, and the events of the control's viewport.

#include "tree/treedragdrop.h"
#include "settings/urlcoding.h"
#include "support/recordingtreedropsite.h"
#include "tree/mydropinfo.h"
#include "treefixture.h"

#include <QDragEnterEvent>
#include <QMimeData>
#include <QTest>
#include <QtEndian>

#include <memory>

namespace {

constexpr quint32 kOtherProcess = 0x7ffffff0;

// A server session that carries drop rules, as the full session does.
class RulesConnection : public CServerConnection {
public:
    explicit RulesConnection(std::shared_ptr<CMyDropInfoList> rules) : m_rules(std::move(rules)) {}
    std::unique_ptr<CServerConnection> Clone() const override {
        auto copy = std::make_unique<RulesConnection>(m_rules);
        copy->CopySettingsFrom(*this);
        return copy;
    }
    const CMyDropInfoList* GetDropRulesList() const override { return m_rules.get(); }

private:
    std::shared_ptr<CMyDropInfoList> m_rules;
};

class TreeDragDropTest : public TreeTest {
protected:
    void SetUp() override {
        ASSERT_EQ(load(u"<tree><root label='W'>"
                       u"<folder label='A'><folder label='A1'/><component label='Comp'/>"
                       u"<folder label='A2'/></folder>"
                       u"<folder label='B'/></root></tree>"_qs),
                  1);
        rules->GetOrAdd(u"node"_qs)
            .AddTarget(u"src"_qs, u"/cmi?do=move"_qs, u"curl:/refresh"_qs, QString());
        rules->GetOrAdd(u"node"_qs).AddTarget(u"row"_qs, u"/cmi?do=rows"_qs, QString(), QString());
        site.gridDragType = u"row"_qs;
        RulesConnection session(rules);
        session.Host = u"h1"_qs;
        server = tree.AddSystemItem(at({}), u"Srv"_qs, session);
        source = tree.InsertItemCopy(server, nullptr, component(u"Src & 1"_qs, u"src"_qs));
        target = tree.InsertItemCopy(server, nullptr, component(u"Tgt #2"_qs, u"node"_qs));
        control.resize(400, 600);
        control.show();
        control.expandAll();
        dnd.Attach(&control);
    }

    static CMyItem component(const QString& label, const QString& dragType) {
        CMyItem item;
        item.ItemType = kKindComponent;
        item.SetLabel(label);
        item.ID = label;
        item.SetDragType(dragType);
        // A list panel keeps the server entry from taking it in as its own.
        item.PanelParts = kPanelList;
        return item;
    }
    quint32 idOf(QTreeWidgetItem* item) const { return record(item)->GetItemId(); }

    // A record whose header names the kind, the writer and the item.
    static QByteArray header(qint32 kind, quint32 processId, quint32 itemId) {
        CClipboardWriter writer;
        writer.AppendInt(kind);
        writer.AppendInt(static_cast<qint32>(processId));
        writer.AppendInt(static_cast<qint32>(itemId));
        return writer.Bytes();
    }
    static std::unique_ptr<QMimeData> mime(const QByteArray& record) {
        auto data = std::make_unique<QMimeData>();
        SetClipboardRecord(*data, record);
        return data;
    }
    // The item's own record as another console would send it.
    QByteArray fromOtherConsole(QTreeWidgetItem* item) const {
        QByteArray bytes = TreeItemRecord(tree, item);
        return header(qFromLittleEndian<qint32>(bytes.constData()), kOtherProcess, 0) +
               bytes.mid(ClipboardHeader::kSize);
    }

    std::shared_ptr<CMyDropInfoList> rules = std::make_shared<CMyDropInfoList>();
    RecordingTreeDropSite site;
    CTreeDragDrop dnd{tree, site};
    QTreeWidgetItem* server = nullptr;
    QTreeWidgetItem* source = nullptr;
    QTreeWidgetItem* target = nullptr;
};

TEST_F(TreeDragDropTest, CheckDropDecidesWhereTreeItemsMayGo) {
    QTreeWidgetItem* root = at({});
    QTreeWidgetItem* a = at({0});
    QTreeWidgetItem* a1 = at({0, 0});
    QTreeWidgetItem* a2 = at({0, 2});
    QTreeWidgetItem* b = at({1});
    const quint32 self = CClipboardWriter::ThisProcessId();
    struct Case {
        const char* what;
        QByteArray record;
        QTreeWidgetItem* target;
        bool topEdge;
        Qt::DropAction effect;
        bool insertBefore;
    };
    const Case cases[] = {
        {"onto itself", header('F', self, idOf(a)), a, false, Qt::IgnoreAction, false},
        {"into its subtree", header('F', self, idOf(a)), a1, false, Qt::IgnoreAction, false},
        {"onto its parent", header('F', self, idOf(a1)), a, false, Qt::IgnoreAction, false},
        {"into another folder", header('F', self, idOf(a1)), b, false, Qt::MoveAction, false},
        {"top edge of a folder", header('F', self, idOf(a1)), b, true, Qt::MoveAction, true},
        {"before its own next sibling", header('F', self, idOf(a)), b, true, Qt::IgnoreAction,
         true},
        {"onto a server", header('F', self, idOf(a2)), server, false, Qt::MoveAction, true},
        {"onto a component", header('F', self, idOf(a2)), target, false, Qt::IgnoreAction, false},
        {"root, last child of another", header('F', self, idOf(a2)), root, false, Qt::IgnoreAction,
         false},
        {"root from another console", header('S', kOtherProcess, 1), root, false, Qt::MoveAction,
         false},
        {"World View from this console", header('R', self, idOf(root)), root, false,
         Qt::IgnoreAction, false},
        {"World View from another", header('R', kOtherProcess, 1), root, false, Qt::CopyAction,
         false},
        {"World View onto a folder", header('R', kOtherProcess, 1), b, false, Qt::IgnoreAction,
         false},
        {"server item its rule takes", header('C', self, idOf(source)), target, false,
         Qt::CopyAction, false},
        {"server item onto a folder", header('C', self, idOf(source)), b, false, Qt::IgnoreAction,
         false},
        {"server item of another console", header('C', kOtherProcess, idOf(source)), target, false,
         Qt::IgnoreAction, false},
        {"short header", header('F', self, idOf(a1)).left(11), b, false, Qt::IgnoreAction, false},
    };
    for (const Case& c : cases) {
        bool insertBefore = !c.insertBefore;
        const auto data = mime(c.record);
        EXPECT_EQ(dnd.CheckDrop(data.get(), c.target, insertBefore, c.topEdge), c.effect) << c.what;
        if (c.effect != Qt::IgnoreAction) {
            EXPECT_EQ(insertBefore, c.insertBefore) << c.what;
        }
    }
}

TEST_F(TreeDragDropTest, GridRowsDropOnlyWhereTheRuleTakesTheGridsType) {
    tree.SelectItem(source, true);
    const auto grid = mime(GridSelectionRecord({2, 1}));
    bool insertBefore = false;
    EXPECT_EQ(dnd.CheckDrop(grid.get(), target, insertBefore, false), Qt::CopyAction);
    record(target)->SetDragType(u"other"_qs);
    EXPECT_EQ(dnd.CheckDrop(grid.get(), target, insertBefore, false), Qt::IgnoreAction);
    EXPECT_FALSE(dnd.DoDrop(grid.get(), Qt::CopyAction, target, false));
    EXPECT_TRUE(site.runs.empty());
}

TEST_F(TreeDragDropTest, DropActionsCarryTheEscapedTargetAndSelection) {
    const auto item = mime(header('C', CClipboardWriter::ThisProcessId(), idOf(source)));
    ASSERT_TRUE(dnd.DoDrop(item.get(), Qt::CopyAction, target, false));
    ASSERT_EQ(site.runs.size(), 1u);
    EXPECT_EQ(site.runs[0].context, 0);
    // The action interpreter decodes an action once before it sends it: what
    // reaches the server is the IDs escaped once.
    EXPECT_EQ(
        site.runs[0].actions,
        QStringList({u"dnd1=/cmi?do=move&Target=Tgt%2520%25232&Selected=,Src%2520%2526%25201"_qs,
                     u"dnd2=curl:/refresh"_qs}));
    EXPECT_EQ(DecodeFromURL(site.runs[0].actions.first()),
              u"dnd1=/cmi?do=move&Target=Tgt%20%232&Selected=,Src%20%26%201");

    tree.SelectItem(source, true);
    const auto grid = mime(GridSelectionRecord({2, 1}));
    ASSERT_TRUE(dnd.DoDrop(grid.get(), Qt::CopyAction, target, false));
    ASSERT_EQ(site.runs.size(), 2u);
    EXPECT_EQ(site.runs[1].context, 'G');
    EXPECT_EQ(site.runs[1].actions, QStringList({u"dnd1=/cmi?do=rows&Target=Tgt%2520%25232"_qs}));
}

TEST_F(TreeDragDropTest, FolderFromAnotherConsoleArrivesWithoutItsComponents) {
    QTreeWidgetItem* b = at({1});
    const auto data = mime(fromOtherConsole(at({0})));
    ASSERT_TRUE(dnd.DoDrop(data.get(), Qt::MoveAction, b, false));
    ASSERT_EQ(childTexts(b), QStringList({u"A"_qs}));
    EXPECT_EQ(childTexts(b->child(0)), QStringList({u"A1"_qs, u"A2"_qs}));
    EXPECT_EQ(childTexts(at({0})), QStringList({u"A1"_qs, u"Comp"_qs, u"A2"_qs}))
        << "a drop adds; the source removes";
    // Before a folder: placed after the folder's previous sibling.
    ASSERT_TRUE(dnd.DoDrop(data.get(), Qt::MoveAction, b, true));
    EXPECT_EQ(childTexts(at({})).mid(0, 3), QStringList({u"A"_qs, u"A"_qs, u"B"_qs}));
    // Before the first child: first.
    ASSERT_TRUE(dnd.DoDrop(data.get(), Qt::MoveAction, at({0}), true));
    EXPECT_EQ(childTexts(at({})).first(), u"A");
    EXPECT_EQ(at({})->childCount(), 5);
}

TEST_F(TreeDragDropTest, ServerFromAnotherConsoleGetsTypeQAndTheDefaultScheme) {
    CClipboardWriter writer;
    writer.AppendServer({u"Remote"_qs, u"far.example"_qs, 8443, u"me"_qs, u"pw"_qs});
    const auto data = mime(header('S', kOtherProcess, 99) + writer.Bytes());
    QTreeWidgetItem* b = at({1});
    ASSERT_TRUE(dnd.DoDrop(data.get(), Qt::MoveAction, b, false));
    ASSERT_EQ(b->childCount(), 1);
    const CServerConnection* made = connection(b->child(0));
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(b->child(0)->text(0), u"Remote");
    EXPECT_EQ(made->ServerType, QChar(u'Q'));
    EXPECT_EQ(made->Protocol, u"http");
    EXPECT_EQ(made->Host, u"far.example");
    EXPECT_EQ(made->WebPort, 8443);
    EXPECT_EQ(made->User, u"me");
    EXPECT_EQ(made->Password, u"pw");

    const auto shortRecord = mime(header('S', kOtherProcess, 99) + writer.Bytes().left(1000));
    EXPECT_FALSE(dnd.DoDrop(shortRecord.get(), Qt::MoveAction, b, false));
    EXPECT_EQ(b->childCount(), 1);
}

TEST_F(TreeDragDropTest, WorldViewDropAsksToSaveAndNeedsAGoodText) {
    const auto worldView = [](const QString& xml) {
        CClipboardWriter writer;
        writer.AppendText(xml);
        return mime(header('R', kOtherProcess, 1) + writer.Bytes());
    };
    const QString before = written();
    tree.SetModified();
    site.saveAnswer = false;
    const auto good = worldView(u"<tree><root label='Other'><folder label='Z'/></root></tree>"_qs);
    EXPECT_FALSE(dnd.DoDrop(good.get(), Qt::CopyAction, at({}), false));
    EXPECT_EQ(site.saveQuestions, 1);
    site.saveAnswer = true;
    const auto broken = worldView(u"<tree><root label='Other'><folder"_qs);
    EXPECT_FALSE(dnd.DoDrop(broken.get(), Qt::CopyAction, at({}), false));
    EXPECT_EQ(childTexts(at({})).first(), u"A") << "a text that does not read leaves the tree";
    EXPECT_FALSE(dnd.DoDrop(good.get(), Qt::MoveAction, at({}), false)) << "only as a copy";
    ASSERT_TRUE(dnd.DoDrop(good.get(), Qt::CopyAction, at({}), false));
    EXPECT_EQ(childTexts(at({})), QStringList({u"Z"_qs}));
}

TEST_F(TreeDragDropTest, DragEventsOnTheViewportMarkAndDrop) {
    QTreeWidgetItem* a1 = at({0, 0});
    QTreeWidgetItem* b = at({1});
    const auto data = mime(TreeItemRecord(tree, a1));
    const QRect rect = control.visualItemRect(b);
    QWidget* viewport = control.viewport();

    QDragEnterEvent enter(rect.center(), Qt::CopyAction | Qt::MoveAction, data.get(),
                          Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &enter);
    EXPECT_EQ(enter.dropAction(), Qt::MoveAction);
    EXPECT_EQ(dnd.DropHighlight(), b);
    EXPECT_EQ(dnd.InsertMark(), nullptr);

    QDragMoveEvent topEdge(QPoint(rect.center().x(), rect.top() + 1),
                           Qt::CopyAction | Qt::MoveAction, data.get(), Qt::LeftButton,
                           Qt::NoModifier);
    QApplication::sendEvent(viewport, &topEdge);
    EXPECT_EQ(dnd.InsertMark(), b);
    EXPECT_EQ(dnd.DropHighlight(), nullptr);

    QDragMoveEvent onA1(control.visualItemRect(a1).center(), Qt::CopyAction | Qt::MoveAction,
                        data.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &onA1);
    EXPECT_FALSE(onA1.isAccepted()) << "onto itself";

    QDropEvent drop(rect.center(), Qt::CopyAction | Qt::MoveAction, data.get(), Qt::LeftButton,
                    Qt::NoModifier);
    drop.setDropAction(Qt::MoveAction);
    QApplication::sendEvent(viewport, &drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_EQ(childTexts(b), QStringList({u"A1"_qs}));
    EXPECT_EQ(dnd.DropHighlight(), nullptr);
    EXPECT_TRUE(tree.GetDropID().isEmpty());

    QDropEvent refused(control.visualItemRect(a1).center(), Qt::CopyAction | Qt::MoveAction,
                       data.get(), Qt::LeftButton, Qt::NoModifier);
    refused.setDropAction(Qt::MoveAction);
    QApplication::sendEvent(viewport, &refused);
    EXPECT_FALSE(refused.isAccepted()) << "the source keeps its item";
}

TEST_F(TreeDragDropTest, HoveringExpandsTheItemUnder) {
    QTreeWidgetItem* a = at({0});
    a->setExpanded(false);
    const auto data = mime(TreeItemRecord(tree, at({1})));
    QDragEnterEvent enter(control.visualItemRect(a).center(), Qt::CopyAction | Qt::MoveAction,
                          data.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(control.viewport(), &enter);
    EXPECT_FALSE(a->isExpanded());
    // The hover delay is a second and a half: a loaded machine running the
    // thread sanitizer's build may take seconds more to fire it.
    EXPECT_TRUE(QTest::qWaitFor([a] { return a->isExpanded(); }, 10000));
    EXPECT_EQ(site.expanded, std::vector<QTreeWidgetItem*>{a}) << "the pane fetches it";
}

TEST_F(TreeDragDropTest, PasteTakesOnlyServerFileObjectsOfThisConsole) {
    QGuiApplication::clipboard()->setMimeData(
        mime(header('D', CClipboardWriter::ThisProcessId(), idOf(source))).release());
    dnd.Paste(nullptr);
    EXPECT_EQ(site.pastedOnto, nullptr);
    dnd.Paste(target);
    EXPECT_EQ(site.pastedOnto, target);
    site.pastedOnto = nullptr;
    QGuiApplication::clipboard()->setMimeData(mime(header('D', kOtherProcess, 1)).release());
    dnd.Paste(target);
    EXPECT_EQ(site.pastedOnto, nullptr);
}

TEST_F(TreeDragDropTest, CopyOffersTheLabelAndTheRecord) {
    dnd.Copy(server);
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->text(), u"Srv");
    EXPECT_EQ(data->data(QString::fromLatin1(kClipboardItemMime)), TreeItemRecord(tree, server));
    EXPECT_EQ(data->data(QString::fromLatin1(kPasswordManagerHintMime)), "secret");
}

TEST_F(TreeDragDropTest, CutOffersTheRecordAndLeavesTheDeleteToThePane) {
    dnd.Cut(nullptr);
    EXPECT_TRUE(site.deleted.empty()) << "nothing to cut";
    dnd.Cut(server);
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->data(QString::fromLatin1(kClipboardItemMime)), TreeItemRecord(tree, server));
    EXPECT_EQ(site.deleted, std::vector<QTreeWidgetItem*>{server});
}

}  // namespace
