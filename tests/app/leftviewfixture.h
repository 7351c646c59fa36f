#pragma once

// The running program's World View pane in a test: a server "Srv" on the
// fake server holding "Nodes" (children by tree URL) and "Other", with
// helpers for points on its items and for the server's menu.

#include "app/appfixture.h"
#include "frame/mainframe.h"
#include "resources/menus.h"
#include "server/mysystem.h"
#include "support/fakevelnixserver.h"
#include "support/recordingcontextmenuhost.h"
#include "tree/contextmenuitem.h"
#include "tree/leftview.h"
#include "tree/mytree.h"

#include <QApplication>
#include <QMenu>

#include <gtest/gtest.h>

#include <vector>

class LeftViewTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        ASSERT_TRUE(server.IsListening());
        ASSERT_TRUE(app->InitInstance({}));
        frame = app->MainFrame();
        pane = frame->GetLeftView();
        ASSERT_NE(pane, nullptr);
        CMyTree& tree = app->Tree();
        serverItem = addLocalServerUnderRoot(server.Port());
        // The first component is the server entry's own panel.
        ASSERT_EQ(tree.AddItemsFromXML(
                      u"<tree><item label='panel'/><item label='Nodes' tree-url='/n'/></tree>"_qs,
                      serverItem),
                  1);
        nodes = tree.FindChildByLabel(u"Nodes"_qs, serverItem);
        other = tree.AddFolderItem(serverItem, u"Other"_qs);
        ASSERT_NE(nodes, nullptr);
        ASSERT_NE(other, nullptr);
        tree.Expand(serverItem, true);
        tree.SelectItem(serverItem, true);
        server.Script(
            "/n",
            FakeVelnixServer::Reply::Xml(
                "<tree><item label='N1' tree-url='/1'/><item label='N2' tree-url='/2'/></tree>"));
        QApplication::processEvents();
        server.ClearRequests();
        boxes.clear();
    }

    CMyTree& tree() { return app->Tree(); }
    CServerConnection& session(QTreeWidgetItem* item) { return *tree().GetSystem(item); }
    QPoint labelPoint(QTreeWidgetItem* item) const {
        const QRect text = pane->ItemTextRect(item);
        return {text.right() - 2, text.center().y()};
    }
    QPoint buttonPoint(QTreeWidgetItem* item) const {
        const QRect text = pane->ItemTextRect(item);
        return {text.left() - pane->indentation() / 2, text.center().y()};
    }
    void click(QPoint point) { QTest::mouseClick(pane->viewport(), Qt::LeftButton, {}, point); }
    // The download of the path, not the session's probe of it.
    bool downloaded(const QByteArray& path) const {
        for (const auto& request : server.Requests()) {
            if (request.path == path && request.method == "GET") {
                return true;
            }
        }
        return false;
    }
    bool requested(const QByteArray& path) const {
        for (const auto& request : server.Requests()) {
            if (request.path == path) {
                return true;
            }
        }
        return false;
    }
    QString label(QTreeWidgetItem* item) const { return item != nullptr ? item->text(0) : u"-"_qs; }
    // The command ids of a popup's entries, 0 for separators.
    static std::vector<unsigned> ids(const QMenu& menu) {
        std::vector<unsigned> found;
        for (const QAction* action : menu.actions()) {
            found.push_back(action->isSeparator() ? 0 : MenuCommandId(action));
        }
        return found;
    }
    static bool enabled(const QMenu& menu, unsigned id) {
        const QAction* action = FindMenuCommand(&menu, id);
        return action != nullptr && action->isEnabled();
    }
    // The server's menu "node" with the one entry "Ping"; its command id.
    int loadNodeMenu(CMySystem& system) {
        system.GetMenuSet().SetCommandIds({&app->MenuCommandIds(), 9});
        system.GetMenuSet().Load(
            u"<context-menus><menu id='node'><menu-item label='Ping' action='x'/></menu>"
            u"</context-menus>"_qs,
            u"test"_qs);
        return system.GetMenuSet().Find(u"node"_qs)->ItemAt(0).GetCommandId();
    }
    QTreeWidgetItem* addDirectory(const QString& fullPath) {
        CMyItem record;
        record.ItemType = kKindDirectory;
        record.SetLabel(u"a"_qs);
        record.FullPath = fullPath;
        return tree().InsertItemCopy(serverItem, nullptr, record);
    }

    FakeVelnixServer server;
    CMainFrame* frame = nullptr;
    CLeftView* pane = nullptr;
    QTreeWidgetItem* serverItem = nullptr;
    QTreeWidgetItem* nodes = nullptr;
    QTreeWidgetItem* other = nullptr;
};
