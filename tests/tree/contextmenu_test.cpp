#include "tree/contextmenu.h"
#include "menufixture.h"
#include "support/recordedpopups.h"
#include "tree/menubusymarker.h"

#include <QWidget>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class ContextMenuTest : public MenuTest {
protected:
    ContextMenuTest() { set.SetCommandIds(ids); }

    int load(const QString& inner) {
        return set.Load(u"<context-menus>"_qs + inner + u"</context-menus>"_qs, u"test"_qs);
    }
    static QStringList labels(const CContextMenu& menu) {
        QStringList texts;
        for (int i = 0; i < menu.Count(); ++i) {
            const CContextMenuItem& item = menu.ItemAt(i);
            texts << (item.IsSeparator() ? u"--"_qs : item.GetAttribute(u"label"_qs));
        }
        return texts;
    }

    CContextMenuSet set;
    FakeGridRows grid;
};

TEST_F(ContextMenuTest, MenusAreKeyedWithoutTheirSuffix) {
    ASSERT_EQ(load(u"<menu id='node.menu'>"
                   u"<menu-item Label='Open' ACTION1='a'/><separator/>"
                   u"<menu-item label='Close'/></menu>"
                   u"<menu id='port'><menu-item label='Ping'/></menu>"_qs),
              1);
    ASSERT_NE(set.Find(u"node"_qs), nullptr);
    EXPECT_EQ(set.Find(u"node.menu"_qs), set.Find(u"node"_qs));
    EXPECT_EQ(set.Find(u"node.menu.old"_qs), set.Find(u"node"_qs));
    EXPECT_EQ(set.Find(u"Node"_qs), nullptr);
    EXPECT_EQ(&set.GetOrCreate(u"port.menu"_qs), set.Find(u"port"_qs));
    const CContextMenu& node = *set.Find(u"node"_qs);
    EXPECT_EQ(node.GetName(), u"node"_qs);
    EXPECT_EQ(labels(node), (QStringList{u"Open"_qs, u"--"_qs, u"Close"_qs}));
    EXPECT_EQ(node.ItemAt(0).GetAttribute(u"action1"_qs), u"a"_qs);
    EXPECT_EQ(node.ItemAt(2).GetCommandId(), CMenuCommandIds::kFirstId + 2);
    EXPECT_THAT(PopupTexts(services), IsEmpty());
}

TEST_F(ContextMenuTest, EntriesOutsideAMenuAreReportedAndDropped) {
    ASSERT_EQ(load(u"<menu-item label='Stray'/>"
                   u"<menu><menu-item label='NoMenu'/></menu>"
                   u"<menu id='ok'><group><menu-item label='Nested'/></group>"
                   u"<menu-item label='Kept'/></menu>"_qs),
              1);
    EXPECT_THAT(PopupTexts(services),
                ElementsAre(u"XML Error: <menu-item> tag outside of proper context."_qs,
                            u"XML Error: <menu> tag with no id='...' attribute."_qs,
                            u"XML Error: <menu-item> tag outside of proper context."_qs,
                            u"XML Error: <menu-item> tag outside of proper context."_qs));
    ASSERT_EQ(set.Menus().size(), 1U);
    EXPECT_EQ(labels(*set.Find(u"ok"_qs)), QStringList{u"Kept"_qs});
}

TEST_F(ContextMenuTest, EachLoadReplacesEveryMenu) {
    ASSERT_EQ(load(u"<menu id='a'><menu-item label='1'/></menu>"_qs), 1);
    ASSERT_EQ(load(u"<menu id='b'><menu-item label='2'/></menu>"_qs), 1);
    EXPECT_EQ(set.Find(u"a"_qs), nullptr);
    ASSERT_NE(set.Find(u"b"_qs), nullptr);
    set.Erase(u"b.menu"_qs);
    EXPECT_TRUE(set.IsEmpty());
}

TEST_F(ContextMenuTest, ALoadWhileLoadingIsRefused) {
    int nested = -1;
    services.onPopup = [&](const RecordingWireServices::Popup&) {
        nested = load(u"<menu id='inner'/>"_qs);
    };
    ASSERT_EQ(load(u"<menu/><menu id='outer'/>"_qs), 1);
    EXPECT_EQ(nested, 0);
    EXPECT_NE(set.Find(u"outer"_qs), nullptr);
    EXPECT_EQ(set.Find(u"inner"_qs), nullptr);
}

TEST_F(ContextMenuTest, FindMenuItemIdMatchesAttributesIdsLabelsAndFiles) {
    ASSERT_EQ(load(u"<menu id='m'>"
                   u"<menu-item id='Del' label='&amp;Delete...'/><separator label='Open'/>"
                   u"<menu-item label='Open' file='Open&amp;Page.html' alt-enter='1'/>"
                   u"<menu-item label='Rename' alt-enter='0'/></menu>"_qs),
              1);
    const CContextMenu& menu = *set.Find(u"m"_qs);
    const int del = menu.ItemAt(0).GetCommandId();
    const int open = menu.ItemAt(2).GetCommandId();
    struct Case {
        const char16_t* text;
        int expected;
    };
    const Case cases[] = {
        {u"&Delete...", del},     {u"delete", del},     {u"DEL", del}, {u"Open", open},
        {u"openpage.html", open}, {u"alt-enter", open}, {u"", 0},      {u"missing", 0},
        {u"t40001", 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(menu.FindMenuItemId(QString::fromUtf16(c.text)), c.expected)
            << QString::fromUtf16(c.text).toStdString();
    }
}

class MenuInvocationTest : public ContextMenuTest {
protected:
    void SetUp() override {
        ASSERT_EQ(load(u"<menu id='m'>"
                       u"<menu-item label='Plain'/>"
                       u"<menu-item label='Hidden' hidden-if='true'/>"
                       u"<menu-item label='Greyed' disabled-if='State=down'/>"
                       u"<menu-item label='Many' min-values='2'/></menu>"_qs),
                  1);
        menu = set.Find(u"m"_qs);
        grid.rows = {{{u"State"_qs, u"down"_qs}}};
        menu->SetOwners(&grid, nullptr);
    }
    int idOf(int index) const { return menu->ItemAt(index).GetCommandId(); }

    CContextMenu* menu = nullptr;
};

TEST_F(MenuInvocationTest, OnlyEntriesShownAndEnabledRun) {
    EXPECT_EQ(menu->InvokeCommand(idOf(0)), 1);
    EXPECT_EQ(menu->InvokeCommand(idOf(1)), 0);
    EXPECT_EQ(menu->InvokeCommand(idOf(2)), 0);
    EXPECT_EQ(menu->InvokeCommand(idOf(3)), 0);
    EXPECT_EQ(menu->InvokeCommand(idOf(3) + 100), 0);
    EXPECT_THAT(host.invoked, ElementsAre(idOf(0)));
    EXPECT_EQ(menu->PickItem(u"plain"_qs), 1);
    EXPECT_EQ(menu->PickItem(u"nothing"_qs), 0);
    EXPECT_THAT(host.invoked, ElementsAre(idOf(0), idOf(0)));
}

// A menu set outlives the windows it was shown for: an entry picked after
// its window closed runs without one.
TEST_F(MenuInvocationTest, ClosedOwnerWindowIsNotPassedOn) {
    auto window = std::make_unique<QWidget>();
    menu->SetOwners(&grid, window.get());
    ASSERT_EQ(menu->PickItem(u"plain"_qs), 1);
    window.reset();
    ASSERT_EQ(menu->PickItem(u"plain"_qs), 1);
    ASSERT_EQ(host.owners.size(), 2U);
    EXPECT_NE(host.owners[0], nullptr);
    EXPECT_EQ(host.owners[1], nullptr);
}

TEST_F(MenuInvocationTest, OrdinaryCommandsGoToTheView) {
    EXPECT_EQ(menu->InvokeCommand(32836), 1);
    EXPECT_THAT(host.routed, ElementsAre(32836));
    EXPECT_THAT(host.invoked, IsEmpty());
}

TEST_F(MenuInvocationTest, RunItemTakesOnlyRunAndUpdateCodes) {
    EXPECT_EQ(menu->RunItem(idOf(1), 5, 0), 0);
    EXPECT_EQ(menu->RunItem(idOf(1), -1, 0), 1);
    EXPECT_EQ(menu->RunItem(idOf(1) + 100, 0, 0), 0);
    EXPECT_THAT(host.codes, ElementsAre(-1));
}

// A command that picks another entry while it runs must leave the marker
// taken until the outer command ends.
TEST_F(MenuInvocationTest, NestedCommandKeepsTheBusyMarkerOfTheOuter) {
    ASSERT_TRUE(CMenuBusyMarker::IsFree());
    std::vector<bool> freeDuring;
    host.onInvoke = [&] {
        freeDuring.push_back(CMenuBusyMarker::IsFree());
        if (host.invoked.size() == 1) {
            menu->PickItem(u"Plain"_qs);
            freeDuring.push_back(CMenuBusyMarker::IsFree());
        }
    };
    EXPECT_EQ(menu->InvokeCommand(idOf(0)), 1);
    EXPECT_THAT(freeDuring, ElementsAre(false, false, false));
    EXPECT_TRUE(CMenuBusyMarker::IsFree());
    EXPECT_THAT(CMenuBusyMarker::Name().toStdString(), ::testing::StartsWith("SEMAPHORE 3 PROC #"));
}

}  // namespace
