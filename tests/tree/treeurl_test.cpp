#include "framework/kformat.h"
#include "settings/uithreadcall.h"
#include "support/fakevelnixserver.h"
#include "support/onworker.h"
#include "support/recordingtreehost.h"
#include "treefixture.h"
#include "ui/uibridge.h"

namespace {

class TreeUrlTest : public TreeTest {
protected:
    void SetUp() override {
        // Workers reach the tree through the UI bridge, as in the program.
        SetSettingsUiRunner(
            [this](const UiWork& work, qintptr* result) { return bridge.Call(work, result); });
        ASSERT_TRUE(server.IsListening());
        tree.SetHost(&host);
        ASSERT_EQ(load(kFormat(u"<tree><root label='W'><system label='s' hostname='127.0.0.1' "
                               u"web-port='%d' username='admin' password='pw'/></root></tree>",
                               server.Port())),
                  1);
        system = at({0});
        ASSERT_EQ(tree.AddItemsFromXML(u"<tree><item label='panel' panel-type='list'/>"
                                       u"<item label='Nodes' tree-url='/n'/></tree>"_qs,
                                       system),
                  1);
        nodes = system->child(0);
    }
    void TearDown() override {
        tree.SetHost(nullptr);
        SetSettingsUiRunner({});
    }

    // Runs AddItemsFromURL on a thread of its own, as the action worker does.
    int addFromWorker(const QString& url, QTreeWidgetItem* parent) {
        return onWorker([&] { return tree.AddItemsFromURL(url, parent, false); });
    }

    CUiBridge bridge;
    FakeVelnixServer server;
    RecordingTreeHost host;
    QTreeWidgetItem* system = nullptr;
    QTreeWidgetItem* nodes = nullptr;
};

TEST_F(TreeUrlTest, WorkerFetchesFromTheServerAndFillsTheItem) {
    server.Script("/cmi/Services", "Action=Tree",
                  FakeVelnixServer::Reply::Xml("<tree><item label='Router' tree-url='/r'/>"
                                               "<item label='Switch' tree-url='/s'/></tree>"));
    host.paneItem = nodes;
    ASSERT_EQ(addFromWorker(u"/cmi/Services?Action=Tree"_qs, nodes), 1);
    EXPECT_EQ(childTexts(nodes), (QStringList{u"Router"_qs, u"Switch"_qs}));
    bool fetched = false;
    for (const auto& request : server.Requests()) {
        fetched = fetched || request.query == "Action=Tree";
    }
    EXPECT_TRUE(fetched);
    // The count goes to the item the pane shows.
    tree.SetItemCount(nullptr, 3);
    EXPECT_EQ(nodes->text(0), u"Nodes (2)");
}

TEST_F(TreeUrlTest, FailedWorkerFetchIsReportedAndKeepsTheChildren) {
    ASSERT_EQ(tree.AddItemsFromXML(u"<tree><item label='Old' tree-url='/o'/></tree>"_qs, nodes), 1);
    EXPECT_EQ(addFromWorker(u"/cmi/Services?Action=Missing"_qs, nodes), 0);
    EXPECT_EQ(childTexts(nodes), QStringList{u"Old"_qs});
    bool reported = false;
    for (const auto& popup : services.popups()) {
        reported =
            reported || popup.text == u"AddItemsFromURL(): URL: /cmi/Services?Action=Missing";
    }
    EXPECT_TRUE(reported);
}

TEST_F(TreeUrlTest, ItemRemovedDuringAWorkerFetchIsNotFilled) {
    server.Script(
        "/cmi/Services", "Action=Tree",
        FakeVelnixServer::Reply::Xml("<tree><item label='Router' tree-url='/r'/></tree>"));
    host.beforeFetch = [this] {
        delete nodes;
        nodes = nullptr;
    };
    EXPECT_EQ(addFromWorker(u"/cmi/Services?Action=Tree"_qs, nodes), 0);
    EXPECT_EQ(system->childCount(), 0);
    EXPECT_EQ(tree.FindItemByName(u"Router"_qs, nullptr), nullptr);
}

TEST_F(TreeUrlTest, WorkerIsRefusedOnceTheProgramCloses) {
    ASSERT_EQ(tree.AddItemsFromXML(u"<tree><item label='Old' tree-url='/o'/></tree>"_qs, nodes), 1);
    bridge.BeginExit();
    EXPECT_EQ(addFromWorker(u"/cmi/Services?Action=Tree"_qs, nodes), 0);
    EXPECT_EQ(childTexts(nodes), QStringList{u"Old"_qs});
    EXPECT_TRUE(server.Requests().empty());
}

TEST_F(TreeUrlTest, UiThreadSendsATreeRequestWithTheServersCredentials) {
    ASSERT_EQ(tree.AddItemsFromURL(u"/cmi/Services?Action=Tree"_qs, nodes, false), 1);
    ASSERT_EQ(tree.AddItemsFromURL(u"https://other.example/t"_qs, nodes, false), 1);
    EXPECT_EQ(host.requests,
              (QStringList{server.BaseUrl() + u"/cmi/Services?Action=Tree admin pw"_qs,
                           u"https://other.example/t admin pw"_qs}));
    EXPECT_TRUE(server.Requests().empty());
}

}  // namespace
