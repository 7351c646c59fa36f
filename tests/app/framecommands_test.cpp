#include "frame/framecommands.h"
#include "app/appfixture.h"
#include "app/history.h"
#include "frame/browserview.h"
#include "frame/folderlist.h"
#include "frame/mainframe.h"
#include "frame/menubar.h"
#include "frame/myview.h"
#include "frame/qvxtoolbar.h"
#include "frame/searchtoolbar.h"
#include "frame/statusbar.h"
#include "framework/klog.h"
#include "grid/mygrid.h"
#include "grid/mygridsite.h"
#include "resources/menus.h"
#include "server/mysystem.h"
#include "tree/myitem.h"
#include "tree/mytree.h"

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QToolBar>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

class FrameCommandsTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        // The progress display as the frame sees it, with the World View
        // pane's commands, the preferences panel and the floating browsers
        // recorded.
        services->progressActive = false;
        services->floatingBrowsers = 0;
        services->onPaneCommand = [this](int commandId) { paneCommands << commandId; };
        services->onPreferencesPanel = [this] { ++preferencesPanels; };
        ASSERT_TRUE(app->InitInstance({}));
        frame = app->MainFrame();
        CMyTree& tree = app->Tree();
        if (tree.GetRootItem() == nullptr) {
            tree.AddRootItem(QStringLiteral("World View"));
        }
        folder = tree.AddFolderItem(tree.GetRootItem(), QStringLiteral("Net"));
        CMySystem connection;
        connection.Host = QStringLiteral("127.0.0.1");
        server = tree.AddSystemItem(folder, QStringLiteral("Srv"), connection);
        component = tree.AddFolderItem(server, QStringLiteral("Part"));
        tree.GetMyItem(component)->ItemType = kKindComponent;
        boxes.clear();
    }

    bool enabled(int commandId, bool inActionsMenu = true) {
        CCmdUI state;
        frame->UpdateCommandUI(commandId, state, inActionsMenu);
        return state.enabled;
    }
    QString statusText(int indicator) {
        return frame->StatusPanes().PaneText(CStatusBar::PaneOfIndicator(indicator));
    }

    QList<int> paneCommands;
    int preferencesPanels = 0;
    CMainFrame* frame = nullptr;
    QTreeWidgetItem* folder = nullptr;
    QTreeWidgetItem* server = nullptr;
    QTreeWidgetItem* component = nullptr;
};

TEST_F(FrameCommandsTest, ItemCommandsFollowTheSelectedKind) {
    CMyTree& tree = app->Tree();
    const struct {
        QTreeWidgetItem* item;
        const char* kind;
        bool newFolder, renameFolder, newServer, renameServer;
    } cases[] = {
        {tree.GetRootItem(), "root", true, false, true, false},
        {folder, "folder", true, true, true, false},
        {server, "server", false, false, true, true},
        {component, "component", false, false, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        tree.GetTreeCtrl()->setCurrentItem(c.item);
        EXPECT_EQ(enabled(32823), c.newFolder);
        EXPECT_EQ(enabled(32775), c.renameFolder);
        EXPECT_EQ(enabled(32822), c.newServer);
        EXPECT_EQ(enabled(32779), c.renameServer);
        EXPECT_TRUE(enabled(32779, false)) << "outside the Actions menu always enabled";
    }
    tree.GetTreeCtrl()->setCurrentItem(nullptr);
    EXPECT_FALSE(enabled(32823)) << "nothing selected";
}

// Where the keyboard focus is for a test: nowhere, the World View pane or
// the grid filter field (usable only over a shown grid with rows).
enum class Focus { None, WorldView, FilterField };

class FocusedFrameTest : public FrameCommandsTest {
protected:
    // Wide enough that every bar shows its buttons and the filter field
    // rather than folding them away.
    void SetUp() override {
        FrameCommandsTest::SetUp();
        frame->resize(1280, 900);
        QApplication::processEvents();
    }

    // Shows the primary grid with a few rows, or hides it.
    void showGrid(bool shown) {
        CMyGrid* grid = frame->GetGrid();
        if (shown) {
            grid->SetColumnCount(2);
            grid->SetRowCount(3);
        }
        grid->setVisible(shown);
        frame->UpdateFilterField();
    }

    // Puts the focus there and brings every command's state up to date;
    // false when the focus did not go there.
    bool focus(Focus where) {
        frame->activateWindow();
        QApplication::setActiveWindow(frame);
        switch (where) {
            case Focus::None:
                if (QWidget* focused = QApplication::focusWidget()) {
                    focused->clearFocus();
                }
                break;
            case Focus::WorldView:
                frame->FocusPane(CMainFrame::kWorldViewPane);
                break;
            case Focus::FilterField:
                frame->FilterBar().Field().setFocus(Qt::OtherFocusReason);
                break;
        }
        QApplication::processEvents();
        frame->Commands().UpdateStates();
        switch (where) {
            case Focus::None:
                return QApplication::focusWidget() == nullptr;
            case Focus::WorldView:
                return frame->GetFocusPane() == CMainFrame::kWorldViewPane;
            case Focus::FilterField:
                return frame->FilterBar().HasFieldFocus();
        }
        return false;
    }
};

// Every entry a user can reach (the menus with their submenus, each popup
// prepared as it is when it opens, the toolbar and navigation bar buttons
// and the keys) that is enabled must be carried out by something: an
// enabled entry that nothing takes does nothing when chosen.
TEST_F(FocusedFrameTest, EveryEnabledEntryHasAHandler) {
    struct Entry {
        QString where;
        unsigned commandId;
        bool enabled;
    };
    const auto offered = [this] {
        std::vector<Entry> entries;
        const std::function<void(QMenu*, const QString&)> walkMenu = [&](QMenu* menu,
                                                                         const QString& path) {
            Q_EMIT menu->aboutToShow();
            for (QAction* action : menu->actions()) {
                const QString where = path + u'/' + action->text();
                if (QMenu* submenu = action->menu()) {
                    walkMenu(submenu, where);
                } else if (MenuCommandId(action) != 0) {
                    entries.push_back({where, MenuCommandId(action), action->isEnabled()});
                }
            }
        };
        for (QAction* title : frame->MenuBar().actions()) {
            walkMenu(title->menu(), QStringLiteral("menu ") + title->text());
        }
        walkMenu(frame->StandardBar().ActionsMenu(), QStringLiteral("menu of the Actions button"));
        for (const QToolBar* bar : {static_cast<QToolBar*>(&frame->StandardBar()),
                                    static_cast<QToolBar*>(&frame->NavigationBar()),
                                    static_cast<QToolBar*>(&frame->FilterBar())}) {
            for (const QAction* action : bar->actions()) {
                if (MenuCommandId(action) != 0) {
                    entries.push_back({bar->windowTitle() + QStringLiteral(" button"),
                                       MenuCommandId(action), action->isEnabled()});
                }
            }
        }
        for (const QAction* action : frame->actions()) {
            if (!action->shortcut().isEmpty()) {
                entries.push_back({QStringLiteral("key ") + action->shortcut().toString(),
                                   MenuCommandId(action), action->isEnabled()});
            }
        }
        return entries;
    };

    CMyTree& tree = app->Tree();
    const struct {
        const char* state;
        QTreeWidgetItem* selected;
        bool gridShown;
        Focus focus;
    } states[] = {
        {"server selected, no focus", server, false, Focus::None},
        {"folder selected, World View pane focused", folder, false, Focus::WorldView},
        {"server selected, World View pane focused", server, false, Focus::WorldView},
        {"component's grid shown, no focus", component, true, Focus::None},
        {"component's grid shown, filter field focused", component, true, Focus::FilterField},
    };
    for (const auto& s : states) {
        SCOPED_TRACE(s.state);
        tree.GetTreeCtrl()->setCurrentItem(s.selected);
        showGrid(s.gridShown);
        if (!focus(s.focus)) {
            ADD_FAILURE() << "the focus did not go where the state needs it";
            continue;
        }
        QStringList sourcesWithEnabledEntries;
        for (const Entry& entry : offered()) {
            if (!entry.enabled) {
                continue;
            }
            sourcesWithEnabledEntries << entry.where.section(u' ', 0, 0);
            EXPECT_TRUE(frame->HasCommandHandler(static_cast<int>(entry.commandId)))
                << entry.where.toStdString() << " (" << entry.commandId << ")";
        }
        sourcesWithEnabledEntries.removeDuplicates();
        for (const char* source : {"menu", "Standard", "key"}) {
            EXPECT_TRUE(sourcesWithEnabledEntries.contains(QString::fromLatin1(source)))
                << "the walk met no enabled entry of " << source;
        }
    }
}

// Edit commands act on the focused pane or field, and are offered only
// where something takes them: Undo nowhere, Cut and Paste on the World View
// pane and the filter field, Select All on a grid that is shown.
TEST_F(FocusedFrameTest, EditCommandsAreOfferedWhereTheFocusTakesThem) {
    const struct {
        const char* where;
        bool gridShown;
        Focus focus;
        bool copy, cut, paste, selectAll, undo;
    } cases[] = {
        {"nowhere", false, Focus::None, false, false, false, false, false},
        {"World View pane", false, Focus::WorldView, true, true, true, false, false},
        {"nowhere, a grid shown", true, Focus::None, true, false, false, true, false},
        {"filter field over a grid", true, Focus::FilterField, true, true, true, true, false},
    };
    app->Tree().GetTreeCtrl()->setCurrentItem(server);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.where);
        showGrid(c.gridShown);
        ASSERT_EQ(frame->GetMyView()->IsGridUsable(), c.gridShown);
        ASSERT_TRUE(focus(c.focus));
        EXPECT_EQ(enabled(57634), c.copy);
        EXPECT_EQ(enabled(57635), c.cut);
        EXPECT_EQ(enabled(57637), c.paste);
        EXPECT_EQ(enabled(57642), c.selectAll);
        EXPECT_EQ(enabled(57643), c.undo);
        EXPECT_EQ(frame->Commands().Action(57635)->isEnabled(), c.cut) << "the key follows";
    }

    showGrid(true);
    ASSERT_TRUE(focus(Focus::FilterField));
    QLineEdit& field = *frame->FilterBar().Field().lineEdit();
    field.setText(QStringLiteral("alpha"));
    field.selectAll();
    EXPECT_TRUE(frame->OnCommand(57635));
    EXPECT_EQ(field.text(), QString()) << "Cut took the field's text";

    showGrid(false);
    ASSERT_TRUE(focus(Focus::WorldView));
    paneCommands.clear();
    EXPECT_TRUE(frame->OnCommand(57635));
    EXPECT_EQ(paneCommands, QList<int>{57635}) << "Cut took the World View item";
}

// F2 is a key of the whole window: on the World View pane it renames the
// pane's item, elsewhere the focused grid or field keeps it.
TEST_F(FocusedFrameTest, F2RenamesInTheWorldViewPaneOnly) {
    app->Tree().GetTreeCtrl()->setCurrentItem(server);
    ASSERT_TRUE(focus(Focus::WorldView));
    paneCommands.clear();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F2);
    EXPECT_EQ(paneCommands, QList<int>{32770});

    showGrid(true);
    ASSERT_TRUE(focus(Focus::FilterField));
    EXPECT_FALSE(frame->Commands().Action(32770)->isEnabled());
}

TEST_F(FrameCommandsTest, HistorySaveStopAndHelpStates) {
    CHistory& history = app->History();
    for (const char* locator : {"A", "B", "C"}) {
        history.AddCURL(QString::fromLatin1(locator));
    }
    EXPECT_TRUE(enabled(32778));
    EXPECT_FALSE(enabled(32780)) << "at the last entry";
    while (history.Cursor() > 1) {
        frame->OnCommand(32778);
    }
    EXPECT_FALSE(enabled(32778)) << "at the first entry";
    EXPECT_TRUE(enabled(32780));

    app->Tree().ClearModified();
    EXPECT_FALSE(enabled(32819));
    app->Tree().SetModified();
    EXPECT_TRUE(enabled(32819));

    EXPECT_FALSE(enabled(32782)) << "nothing busy";
    app->BeginBusy();
    EXPECT_TRUE(enabled(32782));
    app->SetCancelFlag(1);
    EXPECT_FALSE(enabled(32782)) << "already cancelling";
    app->SetCancelFlag(0);
    app->EndBusy();

    app->Tree().GetTreeCtrl()->setCurrentItem(server);
    EXPECT_FALSE(enabled(32871)) << "no voice help page named";
}

TEST_F(FrameCommandsTest, AltIWantsAServer) {
    app->Tree().GetTreeCtrl()->setCurrentItem(folder);
    frame->OnCommand(32855);
    ASSERT_EQ(boxes.size(), 1U);
    EXPECT_EQ(boxes[0].text, QStringLiteral("Cannot show INI parms: need to be attached to a "
                                            "server (for style sheets)."));
    app->Tree().GetTreeCtrl()->setCurrentItem(component);
    frame->OnCommand(32855);
    EXPECT_EQ(preferencesPanels, 1);
}

TEST_F(FrameCommandsTest, PaneCommandsGoToTheWorldViewPane) {
    app->Tree().GetTreeCtrl()->setCurrentItem(folder);
    for (int commandId : {32776, 32805, 32779, 32793}) {
        EXPECT_TRUE(frame->OnCommand(commandId));
    }
    EXPECT_EQ(paneCommands, (QList<int>{32776, 32805, 32779, 32823}))
        << "32793 on a folder makes a folder";
}

TEST_F(FrameCommandsTest, StopWhileIdleCancelsEverything) {
    app->SetCancelFlag(0);
    frame->OnCommand(32782);
    EXPECT_EQ(statusText(CStatusBar::kMessagePane), QStringLiteral("Cancelled."));
    EXPECT_EQ(app->CancelFlag(), 0) << "nothing ran, so nothing to cancel";

    services->progressActive = true;
    frame->OnCommand(32782);
    EXPECT_EQ(app->CancelFlag(), 1) << "a running server job is cancelled";
}

TEST_F(FrameCommandsTest, RowCounterTexts) {
    const struct {
        int position, estimate;
        const char* text;
    } cases[] = {{0, 0, ""}, {5, 0, "Row: 5"}, {5, 20, "Row: 5 of 20"}, {0, 20, ""}};
    CGridProgress& progress = frame->GetGrid()->Site().Progress();
    for (const auto& c : cases) {
        progress.Start(QString(), QString(), c.estimate);
        progress.Step(c.position);
        frame->OnTimer(CMainFrame::kRowCounterTimerId);
        EXPECT_EQ(statusText(CStatusBar::kRowCounterPane), QString::fromLatin1(c.text));
        EXPECT_EQ(statusText(CStatusBar::kMessagePane),
                  QStringLiteral("Loading... (Press Stop button in Toolbar to Cancel)"));
    }
}

TEST_F(FrameCommandsTest, RefreshTicksThatCannotRefreshAreIgnored) {
    CMyTree& tree = app->Tree();
    CMyItem& record = *tree.GetMyItem(component);
    tree.GetTreeCtrl()->setCurrentItem(component);
    const struct {
        const char* reason;
        bool timer, up;
        const char* locator;
        int timerId;
        bool browserRow;
    } cases[] = {
        {"unknown timer id", true, true, "browser:http://127.0.0.1:1/r", 7, true},
        {"sanity check failed", false, true, "browser:http://127.0.0.1:1/r", 33166, true},
        {"app is going down?", true, false, "browser:http://127.0.0.1:1/r", 33166, true},
        {"non-browser url", true, true, "grid:/cmi/g", 33166, true},
        {"no browser visible", true, true, "browser:http://127.0.0.1:1/r", 33166, false},
    };
    const QString logPath = settingsFolder() + QStringLiteral("/Quillex.log");
    {
        QFile flag(settingsFolder() + QStringLiteral("/Quillex.dbg"));
        ASSERT_TRUE(flag.open(QIODevice::WriteOnly));
        flag.write("3\n");
    }
    ASSERT_GT(kDebugLevel(1), 0);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reason);
        record.Parts.Clear();
        record.Parts.Add(QString::fromLatin1(c.locator), QStringLiteral("R"));
        record.SelectedTab = 1;
        if (c.timer) {
            frame->SetRefreshTimer(60);
        } else {
            frame->KillRefreshTimer();
        }
        app->SetUp(c.up);
        if (c.browserRow) {
            frame->RightSplitter().ShowRow(CMainFrame::kBrowserRow);
        } else {
            frame->RightSplitter().HideRow(CMainFrame::kBrowserRow);
        }
        frame->OnTimer(c.timerId);
        const QByteArray log = readFile(logPath);
        EXPECT_TRUE(log.contains(QByteArray("EVENT IGNORED (") + c.reason + ")")) << c.reason;
    }
    app->SetUp(true);
    frame->KillRefreshTimer();
}

TEST(NewWorldViewToken, OnlyWebAddressesWithValidPortsNameAServer) {
    const struct {
        const char* token;
        const char* descriptor;
    } cases[] = {
        {"https://srv.example:8443", "srv.example/https/srv.example/8443"},
        {"http://srv", "srv/http/srv"},
        {"javascript:x", ""},
        {"https://srv:0", ""},
        {"https://srv:65536", ""},
        {"https://srv:80x", ""},
        {"https://s<r>v:80", ""},
        {"nocolon", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CMainFrame::ServerDescriptorOfToken(QString::fromLatin1(c.token)),
                  QString::fromLatin1(c.descriptor))
            << c.token;
    }
}

// Menus as the tests build them: "texts" with "Popup>" for a popup whose
// items follow up to "<".
QMenu* buildMenu(const QStringList& items, QWidget* parent) {
    auto* menu = new QMenu(parent);
    QList<QMenu*> stack{menu};
    for (const QString& text : items) {
        if (text.endsWith(u'>')) {
            stack << stack.last()->addMenu(text.chopped(1));
        } else if (text == u"<") {
            stack.removeLast();
        } else if (text == u"-") {
            stack.last()->addSeparator();
        } else {
            stack.last()->addAction(text);
        }
    }
    return menu;
}

QStringList describe(const QMenu* menu) {
    QStringList out;
    for (const QAction* action : menu->actions()) {
        if (action->menu() != nullptr) {
            out << action->text() + u'>' << describe(action->menu()) << QStringLiteral("<");
        } else {
            out << (action->isSeparator() ? QStringLiteral("-") : action->text());
        }
    }
    return out;
}

TEST(MergeMenu, PopupsJoinByNameAndGoBeforeHelp) {
    const struct {
        const char* what;
        QStringList destination, source;
        bool topLevel;
        QStringList expected;
    } cases[] = {
        {"empty source", {"A"}, {}, false, {"A"}},
        {"below top level: separator first", {"A"}, {"B"}, false, {"A", "-", "B"}},
        {"into an empty menu: no separator", {}, {"B"}, false, {"B"}},
        {"same popup name without &",
         {"&File>", "Open", "<", "&Help>", "About", "<"},
         {"File>", "Close", "<"},
         true,
         {"&File>", "Open", "-", "Close", "<", "&Help>", "About", "<"}},
        {"new popup before Help",
         {"&File>", "Open", "<", "&Help>", "About", "<"},
         {"&Grid>", "Sort", "<"},
         true,
         {"&File>", "Open", "<", "&Grid>", "Sort", "<", "&Help>", "About", "<"}},
    };
    QWidget owner;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QMenu* destination = buildMenu(c.destination, &owner);
        QMenu* source = buildMenu(c.source, &owner);
        EXPECT_TRUE(CMainFrame::MergeMenu(destination, source, c.topLevel));
        EXPECT_EQ(describe(destination), c.expected)
            << describe(destination).join(u' ').toStdString();
    }
}

TEST_F(FrameCommandsTest, CloseKeyClosesFloatingBrowsersFirst) {
    services->floatingBrowsers = 2;
    frame->OnCloseKey();
    frame->OnCloseKey();
    EXPECT_TRUE(frame->isVisible());
    EXPECT_EQ(*services->floatingBrowsers, 0);
    frame->OnCloseKey();
    EXPECT_FALSE(frame->isVisible()) << "the third press exits";
}

}  // namespace
