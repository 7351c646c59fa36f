#include "app/actionwindows.h"
#include "app/leftviewfixture.h"
#include "frame/folderproperties.h"
#include "frame/mainframe.h"
#include "framework/kformat.h"
#include "resources/menus.h"
#include "server/mysystem.h"
#include "support/fakeloginreplies.h"
#include "support/fakevelnixserver.h"
#include "tree/contextmenuhost.h"
#include "tree/contextmenuitem.h"
#include "tree/debugtreeitem.h"
#include "tree/mytree.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QTableWidget>
#include <QTimer>
#include <QToolTip>

#include <gtest/gtest.h>

#include <functional>
#include <optional>

namespace {

// Answers the next name dialog with a text (or cancels it with none).
class NameAnswer {
public:
    explicit NameAnswer(std::optional<QString> name) : m_name(std::move(name)) {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            auto* dialog = qobject_cast<CFolderProperties*>(QApplication::activeModalWidget());
            if (dialog == nullptr) {
                return;
            }
            m_timer.stop();
            prompt = dialog->GetPrompt();
            caption = dialog->windowTitle();
            if (m_name.has_value()) {
                dialog->findChild<QLineEdit*>()->setText(*m_name);
                dialog->accept();
            } else {
                dialog->reject();
            }
        });
        m_timer.start();
    }
    QString prompt;
    QString caption;

private:
    std::optional<QString> m_name;
    QTimer m_timer;
};

TEST_F(LeftViewTest, PointerAndKeysSelectAndOpenAsAUserExpects) {
    struct Case {
        const char* what;
        std::function<void()> input;
        std::function<QTreeWidgetItem*()> selected;
        bool requestsTree;
    };
    const Case cases[] = {
        {"another label", [&] { click(labelPoint(other)); }, [&] { return other; }, false},
        {"the expand button of an item with a tree URL", [&] { click(buttonPoint(nodes)); },
         [&] { return serverItem; }, true},
        {"the blank right of a label",
         [&] {
             click({pane->viewport()->width() - 3, labelPoint(other).y()});
         },
         [&] { return serverItem; }, false},
        {"the selected label", [&] { click(labelPoint(serverItem)); }, [&] { return serverItem; },
         false},
        {"Down (the item shown fetches its children)", [&] { QTest::keyClick(pane, Qt::Key_Down); },
         [&] { return nodes; }, true},
        {"End", [&] { QTest::keyClick(pane, Qt::Key_End); }, [&] { return other; }, false},
        {"a right click then Escape",
         [&] {
             QTimer::singleShot(50, [] {
                 if (QWidget* popup = QApplication::activePopupWidget()) {
                     QTest::keyClick(popup, Qt::Key_Escape);
                 }
             });
             const QPoint at = labelPoint(other);
             QContextMenuEvent event(QContextMenuEvent::Mouse, at,
                                     pane->viewport()->mapToGlobal(at));
             QApplication::sendEvent(pane->viewport(), &event);
         },
         [&] { return serverItem; }, false},
    };
    for (const Case& c : cases) {
        tree().DeleteChildren(nodes);
        tree().SetHasChildren(nodes, true);
        tree().SelectItem(serverItem, true);
        server.ClearRequests();
        c.input();
        if (c.requestsTree) {
            EXPECT_TRUE(QTest::qWaitFor([&] { return tree().GetChildCount(nodes) == 2; }))
                << c.what;
            EXPECT_TRUE(requested("/n")) << c.what;
            EXPECT_TRUE(nodes->isExpanded()) << c.what;
        } else {
            QTest::qWait(0);
            EXPECT_TRUE(server.Requests().empty()) << c.what;
        }
        EXPECT_EQ(label(tree().GetSelectedItem()), label(c.selected())) << c.what;
        EXPECT_EQ(label(tree().GetLastSelection()), label(c.selected()))
            << c.what << ": the right-hand side shows the selection";
    }
}

TEST_F(LeftViewTest, AFetchOfAnotherItemGoesUnderThatItem) {
    tree().SelectItem(other, true);
    app->ActionWindows().FetchAndExpand(nodes);
    EXPECT_TRUE(QTest::qWaitFor([&] { return tree().GetChildCount(nodes) == 2; }));
    EXPECT_EQ(tree().GetChildCount(other), 0) << "the target keeps its own children";
    EXPECT_EQ(tree().GetSelectedItem(), other);
}

// Serves a tree reply for the path whose first piece comes at once and
// whose rest waits until the test lets it go; the session's probe of the
// path is answered at once.
void serveHeldTree(FakeVelnixServer& server, const QByteArray& path, const QByteArray& firstItems,
                   const QByteArray& lastItems) {
    FakeVelnixServer::Reply reply = FakeVelnixServer::Reply::Xml({});
    reply.chunks = {"<tree>" + firstItems, lastItems + "</tree>"};
    reply.holdChunks = true;
    server.Script(path, reply);
    server.Script(path, "checkconnection=1", FakeVelnixServer::Reply::Xml({}));
}

TEST_F(LeftViewTest, AHeldReplyOfAnActionFetchLandsOnlyWhereItWasAskedFor) {
    // T, the pane's target, keeps a child of its own throughout.
    tree().AddFolderItem(other, u"Own"_qs);
    const auto nobodyHas = [&](const QString& label) {
        return tree().FindItemByName(label, nullptr) == nullptr;
    };
    struct Case {
        const char* what;
        // What happens while the reply is held; false when P is gone.
        std::function<bool()> meanwhile;
    };
    const Case cases[] = {
        {"the reply comes late", [] { return true; }},
        {"a press on another item",
         [&] {
             QTest::mousePress(pane->viewport(), Qt::LeftButton, {}, labelPoint(serverItem));
             QTest::mouseRelease(pane->viewport(), Qt::LeftButton, {}, labelPoint(serverItem));
             EXPECT_FALSE(frame->IsTreeReplyAwaited()) << "the press cancels the fetch";
             return true;
         }},
        {"P is deleted",
         [&] {
             tree().RemoveItem(nodes);
             nodes = nullptr;
             return false;
         }},
    };
    for (const Case& c : cases) {
        serveHeldTree(server, "/n", "<item label='Late1'/>", "<item label='Late2'/>");
        tree().SelectItem(other, true);
        server.ClearRequests();
        app->ActionWindows().FetchAndExpand(nodes);
        ASSERT_TRUE(QTest::qWaitFor([&] { return downloaded("/n"); })) << c.what;
        const bool pStays = c.meanwhile();
        const bool cancelled = !frame->IsTreeReplyAwaited();
        server.ReleaseChunks(1);
        if (cancelled) {
            // A later fetch's reply comes after anything the cancelled one
            // still sent.
            QTreeWidgetItem* probe = tree().AddFolderItem(serverItem, u"Probe"_qs);
            tree().GetMyItem(probe)->TreeURL = u"/p"_qs;
            server.Script("/p", FakeVelnixServer::Reply::Xml("<tree><item label='P1'/></tree>"));
            app->ActionWindows().FetchAndExpand(probe);
            EXPECT_TRUE(QTest::qWaitFor([&] { return tree().GetChildCount(probe) == 1; }))
                << c.what;
            tree().RemoveItem(probe);
        } else {
            EXPECT_TRUE(QTest::qWaitFor([&] { return !frame->IsTreeReplyAwaited(); })) << c.what;
        }
        const bool landed = pStays && !cancelled;
        if (pStays) {
            EXPECT_EQ(tree().GetChildCount(nodes), landed ? 2 : 0) << c.what;
            EXPECT_EQ(nodes->isExpanded(), landed) << c.what;
        }
        if (!landed) {
            EXPECT_TRUE(nobodyHas(u"Late1"_qs)) << c.what << ": the reply is dropped";
        }
        ASSERT_EQ(tree().GetChildCount(other), 1) << c.what << ": T keeps its own";
        EXPECT_EQ(other->child(0)->text(0), u"Own"_qs) << c.what;
        if (nodes != nullptr) {
            tree().DeleteChildren(nodes);
        }
    }
}

TEST_F(LeftViewTest, LogOutStopsATreeReplyStillStreaming) {
    CServerConnection& system = session(serverItem);
    system.LoggedIn = true;
    serveHeldTree(server, "/n", "<item label='Half1'/>", "<item label='Half2'/>");
    server.ClearRequests();
    tree().FetchAndExpand(nodes);
    ASSERT_TRUE(QTest::qWaitFor([&] { return downloaded("/n"); }));
    pane->SetTargetItem(serverItem);
    ASSERT_TRUE(pane->OnCommand(CLeftView::kLogOut));
    EXPECT_FALSE(system.LoggedIn);
    EXPECT_FALSE(frame->IsTreeReplyAwaited());
    server.ReleaseChunks(1);
    EXPECT_EQ(tree().GetChildCount(serverItem), 0) << "the logged-out server holds nothing";
    // A later fetch's reply comes after anything the cancelled one still sent.
    QTreeWidgetItem* probe = tree().AddFolderItem(serverItem, u"Probe"_qs);
    tree().GetMyItem(probe)->TreeURL = u"/p"_qs;
    server.Script("/p", FakeVelnixServer::Reply::Xml("<tree><item label='P1'/></tree>"));
    tree().FetchAndExpand(probe);
    EXPECT_TRUE(QTest::qWaitFor([&] { return tree().GetChildCount(probe) == 1; }));
    EXPECT_EQ(tree().GetChildCount(serverItem), 1) << "nothing but the probe";
    EXPECT_EQ(tree().FindItemByName(u"Half1"_qs, nullptr), nullptr);
}

TEST_F(LeftViewTest, A401WhileOpeningAnItemLogsOutThatItemsServer) {
    FakeVelnixServer guarded;
    guarded.RequireBasicAuth("ops", "secret");
    CMySystem connection;
    connection.Host = u"127.0.0.1"_qs;
    connection.WebPort = guarded.Port();
    connection.User = u"ops"_qs;
    connection.Password = u"wrong"_qs;
    QTreeWidgetItem* b = tree().AddSystemItem(tree().GetRootItem(), u"B"_qs, connection);
    ASSERT_EQ(tree().AddItemsFromXML(
                  u"<tree><item label='panel'/><item label='BNodes' tree-url='/n'/></tree>"_qs, b),
              1);
    QTreeWidgetItem* bNodes = tree().FindChildByLabel(u"BNodes"_qs, b);
    session(serverItem).LoggedIn = true;
    session(b).LoggedIn = true;
    tree().SelectItem(serverItem, true);
    tree().FetchAndExpand(bNodes);
    // The fetch's probe is answered after the hand-over.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !session(b).LoggedIn; }));
    EXPECT_TRUE(session(b).LoginExpired);
    EXPECT_TRUE(session(serverItem).LoggedIn) << "the selected server keeps its login";
}

TEST_F(LeftViewTest, LogOutWithCtrlOrShiftHeldLogsInAgain) {
    fakelogin::ScriptCmiLogAndCancel(server);
    fakelogin::ScriptLogin(server, FakeLoginReply());
    app->Prefs().SetInt(u"SCAuthentication"_qs, 0);
    app->Prefs().SetInt(u"AskStorePass"_qs, 0);
    // The login panel keeps the credentials only when they are stored.
    app->Prefs().SetInt(u"StoreUsernames"_qs, 1);
    app->Prefs().SetInt(u"StorePasswords"_qs, 1);
    CServerConnection& system = session(serverItem);
    system.User = u"ops"_qs;
    system.Password = u"secret"_qs;
    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers held;
        bool loginAgain;
    };
    const Case cases[] = {
        {Qt::Key_Control, Qt::ControlModifier, true},
        {Qt::Key_Shift, Qt::ShiftModifier, true},
        {Qt::Key_unknown, Qt::NoModifier, false},
    };
    for (const Case& c : cases) {
        system.LoggedIn = true;
        tree().SelectItem(serverItem, true);
        server.ClearRequests();
        pane->SetTargetItem(serverItem);
        if (c.key != Qt::Key_unknown) {
            QTest::keyPress(pane, c.key, c.held);
        }
        ASSERT_EQ(QApplication::keyboardModifiers(), c.held);
        EXPECT_TRUE(pane->OnCommand(CLeftView::kLogOut));
        if (c.key != Qt::Key_unknown) {
            QTest::keyRelease(pane, c.key, {});
        }
        const auto logins = [&] { return fakelogin::RequestsOf(server, fakelogin::kLoginQuery); };
        if (c.loginAgain) {
            EXPECT_TRUE(QTest::qWaitFor([&] { return system.LoggedIn; })) << c.held;
            ASSERT_EQ(logins().size(), 1U) << c.held;
        } else {
            EXPECT_FALSE(system.LoggedIn);
            EXPECT_TRUE(logins().empty());
        }
    }
}

TEST_F(LeftViewTest, PopupsOfferWhatTheItemAllows) {
    auto& system = dynamic_cast<CMySystem&>(session(serverItem));
    const int ping = loadNodeMenu(system);
    tree().GetMyItem(nodes)->SetMenuName(u"node.menu"_qs);
    tree().GetMyItem(other)->SetHelpURL(u"/help.htm"_qs);
    CMyItem component;
    component.ItemType = kKindComponent;
    component.SetLabel(u"Plain"_qs);
    QTreeWidgetItem* plain = tree().InsertItemCopy(serverItem, nullptr, component);

    QMenu root;
    tree().ClearModified();
    ASSERT_TRUE(pane->BuildPopupMenu(root, tree().GetRootItem()));
    EXPECT_FALSE(enabled(root, CLeftView::kSaveWorldView)) << "nothing to save";
    tree().SetModified();
    QMenu modified;
    pane->BuildPopupMenu(modified, tree().GetRootItem());
    EXPECT_TRUE(enabled(modified, CLeftView::kSaveWorldView));

    QMenu loggedOut;
    pane->BuildPopupMenu(loggedOut, serverItem);
    EXPECT_NE(FindMenuCommand(&loggedOut, CLeftView::kLogIn), nullptr);
    EXPECT_EQ(FindMenuCommand(&loggedOut, CLeftView::kLogOut), nullptr);
    system.LoggedIn = true;
    QMenu loggedIn;
    pane->BuildPopupMenu(loggedIn, serverItem);
    EXPECT_EQ(FindMenuCommand(&loggedIn, CLeftView::kLogIn), nullptr);
    EXPECT_NE(FindMenuCommand(&loggedIn, CLeftView::kLogOut), nullptr);

    QMenu withXml;
    pane->BuildPopupMenu(withXml, nodes);
    EXPECT_EQ(ids(withXml), (std::vector<unsigned>{static_cast<unsigned>(ping), 0, 32769}))
        << "server entries first, then Refresh after a separator";
    EXPECT_TRUE(enabled(withXml, CLeftView::kRefreshPopup));

    QMenu helped;
    pane->BuildPopupMenu(helped, other);
    ASSERT_GE(ids(helped).size(), 2U);
    EXPECT_EQ(ids(helped).back(), 57670U) << "help comes last, after a separator";
    EXPECT_EQ(ids(helped).at(ids(helped).size() - 2), 0U);

    QMenu bare;
    pane->BuildPopupMenu(bare, plain);
    EXPECT_EQ(ids(bare), (std::vector<unsigned>{32769})) << "no separator on an empty popup";
    EXPECT_FALSE(enabled(bare, CLeftView::kRefreshPopup)) << "nothing to refresh it from";

    app->Prefs().SetInt(u"ContextDebugging"_qs, 1);
    QMenu debugging;
    pane->BuildPopupMenu(debugging, plain);
    EXPECT_EQ(ids(debugging), (std::vector<unsigned>{32769, 472}));
}

TEST_F(LeftViewTest, AServerEntryChosenOnAnotherItemShowsThatItemFirst) {
    auto& system = dynamic_cast<CMySystem&>(session(serverItem));
    const int ping = loadNodeMenu(system);
    tree().GetMyItem(other)->SetMenuName(u"node"_qs);
    RecordingContextMenuHost entries;
    pane->SetTargetItem(other);
    EXPECT_TRUE(frame->OnCommand(ping));
    EXPECT_EQ(tree().GetLastSelection(), other) << "the item is shown before its entry runs";
    ASSERT_EQ(entries.invoked.size(), 1U);
    EXPECT_EQ(entries.invoked[0], ping);
    EXPECT_EQ(entries.owners[0], pane);
}

TEST_F(LeftViewTest, NewServersTakeTheirDescriptorAndPlace) {
    struct Case {
        QString descriptor;
        std::function<QTreeWidgetItem*()> target;
        QString protocol;
        int port;
        // Where the new entry lands: its parent and its index there.
        std::function<QTreeWidgetItem*()> parent;
        std::function<int()> index;
    };
    QTreeWidgetItem* root = tree().GetRootItem();
    const Case cases[] = {
        {u"A / https / h1"_qs, [&] { return root; }, u"https"_qs, 443, [&] { return root; },
         [] { return 0; }},
        {u"B/HTTPS/h2"_qs, [&] { return root; }, u"HTTPS"_qs, 80, [&] { return root; },
         [] { return 0; }},
        {u"C/http/h3/8080/u/p"_qs, [&] { return serverItem; }, u"http"_qs, 8080,
         [&] { return root; }, [&] { return root->indexOfChild(serverItem) + 1; }},
        {u"D/http/h4"_qs, [&] { return nodes; }, u"http"_qs, 80, [&] { return root; },
         [&] { return root->indexOfChild(serverItem) + 1; }},
    };
    for (const Case& c : cases) {
        pane->NewServer(c.target(), c.descriptor);
        QTreeWidgetItem* added = c.parent()->child(c.index());
        ASSERT_NE(added, nullptr) << c.descriptor.toStdString();
        const CServerConnection* system = tree().GetSystem(added);
        ASSERT_NE(system, nullptr) << c.descriptor.toStdString();
        EXPECT_EQ(added->text(0), c.descriptor.section(u'/', 0, 0).trimmed());
        EXPECT_EQ(system->Protocol, c.protocol);
        EXPECT_EQ(system->WebPort, c.port);
        EXPECT_EQ(tree().GetSelectedItem(), added);
    }
    EXPECT_TRUE(tree().IsModified());
    pane->NewServer(root, QString());
    EXPECT_EQ(root->child(0)->text(0), u"New Server"_qs);
    bool editing = false;
    for (const QLineEdit* open : pane->findChildren<QLineEdit*>()) {
        editing = editing || open->isVisible();
    }
    EXPECT_TRUE(editing) << "no host: its name is asked";
}

TEST_F(LeftViewTest, RenamingKeepsALabelThatIsOnlyBlanks) {
    QTreeWidgetItem* folder = tree().AddFolderItem(tree().GetRootItem(), u"Lab"_qs);
    const auto rename = [&](QTreeWidgetItem* item, const QString& text) {
        pane->RenameItem(item);
        QLineEdit* editor = nullptr;
        for (QLineEdit* open : pane->findChildren<QLineEdit*>()) {
            editor = open->isVisible() ? open : editor;
        }
        if (editor == nullptr) {
            return false;
        }
        editor->setText(text);
        QTest::keyClick(editor, Qt::Key_Return);
        QApplication::processEvents();
        return true;
    };
    tree().ClearModified();
    ASSERT_TRUE(rename(folder, u" \t "_qs));
    EXPECT_EQ(folder->text(0), u"Lab"_qs);
    EXPECT_FALSE(tree().IsModified());
    ASSERT_TRUE(rename(folder, u"East"_qs));
    EXPECT_EQ(folder->text(0), u"East"_qs);
    EXPECT_EQ(tree().GetMyItem(folder)->GetLabel(), u"East"_qs);
    EXPECT_TRUE(tree().IsModified());
    EXPECT_FALSE(rename(nodes, u"X"_qs)) << "server items are the server's to name";
}

TEST_F(LeftViewTest, DeletingAsksByKindAndTheDeleteKeyDoesTheSame) {
    QTreeWidgetItem* full = tree().AddFolderItem(tree().GetRootItem(), u"Full"_qs);
    tree().AddFolderItem(full, u"Inner"_qs);
    QTreeWidgetItem* empty = tree().AddFolderItem(tree().GetRootItem(), u"Empty"_qs);
    boxAnswer = kAnswerNo;
    pane->DeleteFolder(full);
    pane->DeleteFolder(empty);
    pane->DeleteServer(serverItem);
    ASSERT_EQ(boxes.size(), 3U);
    EXPECT_EQ(boxes[0].text,
              u"Are you sure you want to delete folder 'Full'\nand its contents?"_qs);
    EXPECT_EQ(boxes[1].text, u"Are you sure you want to delete folder 'Empty'?"_qs);
    EXPECT_EQ(boxes[2].text, u"Are you sure you want to delete server 'Srv' ?"_qs);
    EXPECT_EQ(tree().GetChildCount(tree().GetRootItem()), 3) << "No keeps them";

    boxAnswer = kAnswerYes;
    boxes.clear();
    tree().SelectItem(empty, true);
    pane->setFocus();
    QTest::keyClick(pane, Qt::Key_Delete);
    ASSERT_EQ(boxes.size(), 1U);
    EXPECT_EQ(tree().FindChildByLabel(u"Empty"_qs, tree().GetRootItem()), nullptr);
    tree().SelectItem(nodes, true);
    boxes.clear();
    QTest::keyClick(pane, Qt::Key_Delete);
    EXPECT_TRUE(boxes.empty()) << "a server's item is deleted by its own menu only";
    EXPECT_NE(tree().FindChildByLabel(u"Nodes"_qs, serverItem), nullptr);
}

TEST_F(LeftViewTest, FileObjectRequestsCarryTheirNamesEscaped) {
    server.Script("/cmi/Services", FakeVelnixServer::Reply::Xml("<ok/>"));
    QTreeWidgetItem* directory = addDirectory(u"/home/a b"_qs);
    pane->SetTargetItem(directory);
    struct Case {
        int command;
        std::optional<QString> name;
        QByteArray body;  // empty: nothing is sent
    };
    const Case cases[] = {
        {CLeftView::kCreateFileObject, u"txt"_qs,
         "Action=CreateFile&Target=/home/a%20b/txt.txt&Permissions=-rw-rw-r--&Type=text}"
         "&Encoding={{??}}&Content=Test%20message%0ATest%20message%21"},
        {CLeftView::kCreateFileObject, u"n.txt"_qs,
         "Action=CreateFile&Target=/home/a%20b/n.txt&Permissions=-rw-rw-r--&Type=text}"
         "&Encoding={{??}}&Content=Test%20message%0ATest%20message%21"},
        {CLeftView::kCreateFolderObject, u"a&Action=X"_qs,
         "Action=CreateFolder&Target=/home/a%20b/a%26Action%3DX&Permissions=srwxrwxrwx"},
        {CLeftView::kCreateFolderObject, std::nullopt, ""},
        {CLeftView::kCreateFolderObject, u"bad\nname"_qs, ""},
        {CLeftView::kCopyObject, u"c+d"_qs,
         "Action=CopyObject&Object=/home/a%20b&Target=/home/a%20b/c%2Bd"},
        {CLeftView::kDeleteObjects, std::nullopt, "Action=DeleteObjects&ObjectList=|/home/a%20b/"},
    };
    for (const Case& c : cases) {
        server.ClearRequests();
        boxes.clear();
        NameAnswer answer(c.name);
        EXPECT_TRUE(pane->OnCommand(c.command));
        const auto requests = server.Requests();
        if (c.body.isEmpty()) {
            EXPECT_TRUE(requests.empty()) << c.command;
            continue;
        }
        ASSERT_EQ(requests.size(), 1U) << c.command;
        EXPECT_EQ(requests[0].method, "POST");
        EXPECT_EQ(requests[0].path, "/cmi/Services");
        EXPECT_EQ(requests[0].body, c.body);
    }
    ASSERT_EQ(boxes.size(), 0U);
    NameAnswer bad(u"x\x01y"_qs);
    pane->OnCommand(CLeftView::kCreateFolderObject);
    ASSERT_EQ(boxes.size(), 1U);
    EXPECT_EQ(boxes[0].text, u"Folder name contains not allowed characters."_qs);
}

TEST_F(LeftViewTest, TheNameDialogSaysWhatItAsksFor) {
    QTreeWidgetItem* directory = addDirectory(u"/d"_qs);
    pane->SetTargetItem(directory);
    NameAnswer file(std::nullopt);
    pane->OnCommand(CLeftView::kCreateFileObject);
    EXPECT_EQ(file.caption, u"File Properties"_qs);
    EXPECT_EQ(file.prompt, u"Specify new file name:"_qs);
    NameAnswer folder(std::nullopt);
    pane->OnCommand(CLeftView::kCreateFolderObject);
    EXPECT_EQ(folder.caption, u"Folder Properties"_qs);
    EXPECT_EQ(folder.prompt, u"Specify new folder name:"_qs);
}

TEST_F(LeftViewTest, TheDebuggerShowsAnItemAndChecksDropPairs) {
    app->Prefs().SetInt(u"ContextDebugging"_qs, 1);
    QTreeWidgetItem* folder = tree().AddFolderItem(tree().GetRootItem(), u"R&D"_qs);
    CDebugTreeItem folderDebugger(tree(), folder, *pane);
    EXPECT_EQ(folderDebugger.Value(u"IsDraggable:"_qs)->text(), u"FALSE"_qs);
    EXPECT_EQ(folderDebugger.Value(u"HelpURL:"_qs)->text(), u"(nil)"_qs);
    EXPECT_EQ(folderDebugger.Value(u".GetItemText():"_qs)->text(), u"R&&D"_qs);
    EXPECT_FALSE(folderDebugger.ShowsServerPart());
    EXPECT_GT(folderDebugger.MenuLines().count(), 0);
    EXPECT_EQ(folderDebugger.MenuLines().item(0)->text(), u"CLeftView::BuildPopupMenu..."_qs);

    auto& system = dynamic_cast<CMySystem&>(session(serverItem));
    system.GetMenuSet().SetCommandIds({&app->MenuCommandIds(), 9});
    system.GetMenuSet().Load(
        u"<context-menus><menu id='m'><menu-item label='A'/><menu-item "
        u"label='B'/></menu></context-menus>"_qs,
        u"test"_qs);
    ASSERT_TRUE(system.GetDropRules().LoadFromXML(
        u"<drag-info-list><drag-info drag-type='node' draggable='1'>"
        u"<drop-target drag-type='node' action1='a1' action2='a2' action3='a3'/></drag-info>"
        u"<drag-info drag-type='fixed' draggable='0'/></drag-info-list>"_qs));
    CDebugTreeItem serverDebugger(tree(), serverItem, *pane);
    ASSERT_TRUE(serverDebugger.ShowsServerPart());
    ASSERT_EQ(serverDebugger.MenuInventory().rowCount(), 1);
    EXPECT_EQ(serverDebugger.MenuInventory().item(0, 0)->text(), u"m"_qs);
    EXPECT_EQ(serverDebugger.MenuInventory().item(0, 1)->text(), u"2"_qs);
    EXPECT_EQ(serverDebugger.CheckerText(), u"(pick a combo)"_qs);
    const auto pick = [&](const QString& dragged, const QString& target) {
        serverDebugger.DragObjects().setCurrentItem(
            serverDebugger.DragObjects().findItems(dragged, Qt::MatchExactly).value(0));
        serverDebugger.DropTargets().setCurrentItem(
            serverDebugger.DropTargets().findItems(target, Qt::MatchExactly).value(0));
        return serverDebugger.CheckerText();
    };
    EXPECT_EQ(pick(u"node"_qs, u"node"_qs), u"legal combo"_qs);
    EXPECT_EQ(serverDebugger.ActionText(2), u"a3"_qs);
    EXPECT_EQ(pick(u"fixed"_qs, u"node"_qs), u"fixed\n\ris not draggable"_qs);
    EXPECT_EQ(pick(u"node"_qs, u"fixed"_qs), u"node\n\rcannot be dropped on\n\rfixed"_qs);
}

TEST_F(LeftViewTest, TheViewShowsNoItemTipOfItsOwnBesideThePanesTip) {
    tree().GetMyItem(other)->SetHoverText(u"word "_qs.repeated(30));
    tree().GetMyItem(other)->SetHelpURL(u"/help.htm"_qs);
    const QPoint at = labelPoint(other);
    QHelpEvent ask(QEvent::ToolTip, at, pane->viewport()->mapToGlobal(at));
    QApplication::sendEvent(pane->viewport(), &ask);
    EXPECT_FALSE(QToolTip::isVisible()) << "the hover text shows in the pane's own tip only";
}

TEST_F(LeftViewTest, TheRediscoverEntryOpensTheRediscoverDialog) {
    services->calls.clear();
    ContextMenuHost().RunReDiscoverDialog(u"/r?A=1&Selected=k1"_qs, u"/res&Selected=k1"_qs);
    EXPECT_EQ(services->calls, QStringList{u"ReDiscover(/r?A=1&Selected=k1 /res&Selected=k1)"_qs});
}

}  // namespace
