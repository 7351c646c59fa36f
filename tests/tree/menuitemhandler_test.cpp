#include "tree/menuitemhandler.h"
#include "framework/kprops.h"
#include "menufixture.h"
#include "resources/menus.h"
#include "support/recordedpopups.h"
#include "tree/contextmenu.h"

#include <QMenu>
#include <QWidget>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class MenuItemHandlerTest : public MenuTest {
protected:
    MenuItemHandlerTest() {
        set.SetCommandIds(ids);
        // Entries run through the real invocation.
        host.runInvokedItems = true;
        host.grid = &grid;
        host.gridView = &gridView;
        host.treePane = &treePane;
    }

    CContextMenu& load(const QString& inner) {
        set.Load(u"<context-menus><menu id='m'>"_qs + inner + u"</menu></context-menus>"_qs,
                 u"test"_qs);
        return *set.Find(u"m"_qs);
    }
    // The texts of a popup's actions, "--" for separators, "[x]" for
    // greyed entries and "(v)" for checked ones.
    static QStringList texts(const QMenu& popup) {
        QStringList shown;
        for (const QAction* action : popup.actions()) {
            QString text = action->isSeparator() ? u"--"_qs : action->text();
            if (!action->isSeparator() && !action->isEnabled()) {
                text += u" [x]"_qs;
            }
            if (action->isChecked()) {
                text += u" (v)"_qs;
            }
            shown << text;
        }
        return shown;
    }
    int run(CContextMenu& menu, int index, QWidget* owner) {
        menu.SetOwners(&grid, owner);
        return menu.RunItem(menu.ItemAt(index).GetCommandId(), 0, 0);
    }

    CContextMenuSet set;
    FakeGridRows grid;
    QWidget gridView;
    QWidget treePane;
};

TEST_F(MenuItemHandlerTest, ATreeMenuPutsItsEntriesFirstWithoutDoubledSeparators) {
    CContextMenu& menu = load(
        u"<separator/><menu-item label='Ping' function-key='5'/><separator/>"
        u"<menu-item label='Gone' hidden-if='true'/><separator/>"
        u"<menu-item label='Grey' disabled-if='true'/><menu-item label='Del' delete='1'/>"_qs);
    QMenu popup;
    popup.addAction(u"&Log In"_qs)->setData(32830U);
    ASSERT_EQ(menu.AddXmlDrivenMenuItems(popup, &grid, &treePane), 1);
    // The tree's menu has no grid rows: entries need no selected row there.
    EXPECT_EQ(texts(popup), (QStringList{u"Ping\t[F5]"_qs, u"--"_qs, u"Grey [x]"_qs, u"Del\tDel"_qs,
                                         u"&Log In"_qs}));
    EXPECT_EQ(MenuCommandId(popup.actions().at(0)),
              static_cast<unsigned>(menu.ItemAt(1).GetCommandId()));
    EXPECT_EQ(menu.GetGrid(), nullptr);
}

TEST_F(MenuItemHandlerTest, AGridMenuReplacesItsPlaceholderAndGreysBySelection) {
    struct Case {
        int selected;
        int wholeRows;
        QStringList expected;
    };
    const Case cases[] = {
        {0,
         1,
         {u"Copy [x]"_qs, u"One [x]"_qs, u"--"_qs, u"Properties\tAlt+Enter [x]"_qs, u"--"_qs,
          u"Select All [x]"_qs}},
        {1,
         5,
         {u"Copy"_qs, u"One"_qs, u"--"_qs, u"Properties\tAlt+Enter"_qs, u"--"_qs,
          u"Select All"_qs}},
        {2,
         5,
         {u"Copy"_qs, u"One [x]"_qs, u"--"_qs, u"Properties\tAlt+Enter [x]"_qs, u"--"_qs,
          u"Select All"_qs}},
    };
    CContextMenu& menu = load(u"<menu-item label='One' max-values='1'/>"_qs);
    for (const Case& c : cases) {
        grid.rows.assign(c.selected, {{u"k"_qs, u"v"_qs}});
        grid.rowCount = c.wholeRows;
        QMenu popup;
        popup.addAction(u"Copy"_qs)->setData(57634U);
        popup.addAction(u"User-defined"_qs)->setData(32814U);
        popup.addAction(u"Select All"_qs)->setData(57642U);
        menu.AddXmlDrivenMenuItems(popup, &grid, &gridView);
        EXPECT_EQ(texts(popup), c.expected) << c.selected << " rows selected";
    }
}

TEST_F(MenuItemHandlerTest, AGridMenuWithoutEntriesOrWithItsOwnPropertiesAddsNoneOfItsOwn) {
    CContextMenu& empty = set.GetOrCreate(u"none"_qs);
    QMenu bare;
    empty.AddXmlDrivenMenuItems(bare, &grid, &gridView);
    EXPECT_EQ(texts(bare), (QStringList{u"Properties\tAlt+Enter [x]"_qs, u"--"_qs}))
        << "no separator before Properties";

    CContextMenu& menu = load(
        u"<menu-item id='Properties' label='Details' alt-enter='1' action='properties:x'/>"_qs);
    grid.rows.assign(1, {{u"k"_qs, u"v"_qs}});
    grid.propertiesItem = menu.ItemAt(0).GetCommandId();
    host.propertiesShown = true;
    QMenu popup;
    menu.AddXmlDrivenMenuItems(popup, &grid, &gridView);
    EXPECT_EQ(texts(popup), (QStringList{u"Details\tAlt+Enter (v)"_qs, u"--"_qs}));
}

TEST_F(MenuItemHandlerTest, AnEntryRunsItsActionsAsAListWithColumnValues) {
    CContextMenu& menu = load(
        u"<menu-item label='Go' file='go.htm' client-datetime-info='1' min-values='0' "
        u"action1='curl:a?n=&lt;col-ref&gt;Name&lt;/col-ref&gt;' other='x' action2='b'/>"_qs);
    grid.rows = {{{u"Name"_qs, u"n 1"_qs}}, {{u"Name"_qs, u"n2"_qs}}};
    EXPECT_EQ(run(menu, 0, &treePane), 1);
    ASSERT_EQ(host.ran.Count(), 2);
    EXPECT_EQ(host.ran.GetNameAt(0), u"mitem01"_qs);
    EXPECT_EQ(host.ran.GetValueAt(0), u"curl:a?n=n%201%2Cn2&TZ=0"_qs);
    EXPECT_EQ(host.ran.GetNameAt(1), u"mitem02"_qs);
    EXPECT_EQ(host.ran.GetValueAt(1), u"b&TZ=0"_qs);
    EXPECT_EQ(host.ran.GetExtra1At(0), QString::number(menu.ItemAt(0).GetCommandId()));
    EXPECT_EQ(host.ran.GetExtra2At(1), u"go.htm"_qs);
    EXPECT_THAT(host.contexts, ElementsAre(u'T'));
}

TEST_F(MenuItemHandlerTest, AnEntryWithoutActionsIsReportedAndRunsNothing) {
    CContextMenu& menu = load(u"<menu-item label='Empty' min-values='0'/>"_qs);
    EXPECT_EQ(run(menu, 0, &gridView), 1);
    EXPECT_THAT(host.contexts, IsEmpty());
    EXPECT_THAT(PopupTexts(services),
                ElementsAre(u"MenuItemHandler: <menu-item> has no actionN='...' attributes."_qs));
}

TEST_F(MenuItemHandlerTest, TheEntryThatOpenedThePropertiesPaneClosesIt) {
    CContextMenu& menu = load(u"<menu-item label='Info' action='properties:/p'/>"_qs);
    grid.rows.assign(1, {{u"k"_qs, u"v"_qs}});
    run(menu, 0, &gridView);
    EXPECT_EQ(grid.propertiesItem, menu.ItemAt(0).GetCommandId()) << "the grid remembers it";
    host.propertiesShown = true;
    run(menu, 0, &gridView);
    EXPECT_FALSE(host.propertiesShown);
    EXPECT_EQ(grid.propertiesItem, 0);
    EXPECT_EQ(host.contexts.size(), 1U) << "the second choice ran no actions";
}

TEST_F(MenuItemHandlerTest, RediscoverAsksTheServerForTheSelectedKeys) {
    CContextMenu& menu = load(
        u"<menu-item label='Again' custom-action='REDISCOVER' rediscover-reqs-url='/r?A=1' "
        u"rediscover-url='/d?A=2' with-rules='1'/>"_qs);
    grid.rows.assign(2, {{u"k"_qs, u"v"_qs}});
    grid.keys = QStringList{u"k1"_qs, u"k2"_qs};
    host.chosenFile = u"/rules/a&b.xml"_qs;
    EXPECT_EQ(run(menu, 0, &gridView), 1);
    EXPECT_EQ(grid.columnPrefsSaved, 1);
    EXPECT_THAT(host.fileChooser, ElementsAre(u"RediscoverSelectFile $KJ_HOME"_qs));
    EXPECT_THAT(host.rediscovered,
                ElementsAre(u"/r?A=1&Selected=k1,k2"_qs,
                            u"/d?A=2&RulesFile=/rules/a%26b.xml&Selected=k1,k2"_qs));
    EXPECT_THAT(host.statusTexts, ElementsAre(u"Prompting for discover rules file on server..."_qs,
                                              u"Attempting rediscover on server..."_qs));

    host.rediscovered.clear();
    host.statusTexts.clear();
    host.chosenFile.clear();
    EXPECT_EQ(run(menu, 0, &gridView), 1) << "a cancelled choice ends quietly";
    EXPECT_THAT(host.rediscovered, IsEmpty());
    EXPECT_THAT(host.statusTexts,
                ElementsAre(u"Prompting for discover rules file on server..."_qs));

    run(menu, 0, &treePane);
    EXPECT_THAT(host.rediscovered, IsEmpty()) << "only a grid's menu rediscovers";
    EXPECT_THAT(PopupTexts(services),
                ElementsAre(u"Error: Can't Re-Discover this type of item."_qs));
}

}  // namespace
