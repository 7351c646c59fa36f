#include "resources/accelerators.h"
#include "resources/menus.h"
#include "resources/strings.h"
#include "resources/vocabulary.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <vector>

namespace {

struct StringCase {
    unsigned id;
    const char16_t* text;
};

TEST(StringTable, HoldsTheTextsOtherPartsShowVerbatim) {
    const StringCase cases[] = {
        {457, u"Quillet for Velnix"},
        {463, u"by Zorvic"},
        {513, u"World View"},
        {57344, u"Quillet for Velnix"},
        {560, u" (Empty)"},
        {468, u"What's This? \t[F1]"},
        {493, u"Enter text to filter by     "},
        {32834, u"|____________________________________|"},
        {32811, u"_________________"},
        {32812, u"________________________"},
        {552, u"Grid Files (*.csv)|*.csv||"},
        {540,
         u"Results contain an unexpected condition:         too many new elements.\n"
         u"Please review log file prior to saving changes.\n\n"},
    };
    for (const StringCase& c : cases) {
        EXPECT_EQ(LoadResourceString(c.id), QString::fromUtf16(c.text)) << c.id;
    }
}

TEST(StringTable, EveryIdNamedByTheProgramHasAText) {
    const unsigned ids[] = {
        100, 102, 103, 104, 200, 411, 450, 451, 455, 456,   457,   458,   461,  462, 463, 465, 466,
        467, 468, 493, 494, 506, 507, 509, 510, 511, 513,   514,   515,   518,  519, 520, 521, 522,
        523, 524, 525, 526, 527, 528, 529, 530, 531, 532,   533,   534,   535,  536, 537, 538, 539,
        540, 541, 542, 543, 544, 545, 546, 548, 549, 551,   552,   553,   554,  555, 556, 558, 559,
        560, 561, 565, 566, 567, 568, 569, 570, 571, 32811, 32812, 32834, 57344};
    for (unsigned id : ids) {
        EXPECT_FALSE(LoadResourceString(id).isEmpty()) << id;
    }
}

TEST(StringTable, MissingIdIsNullAndCommandsSplitPromptAndTip) {
    EXPECT_TRUE(LoadResourceString(1).isNull());
    EXPECT_EQ(CommandTip(32828), u"Perform Actions on the Selected Item");
    EXPECT_EQ(CommandTip(32778), u"Back");
    EXPECT_EQ(CommandPrompt(32782), u"Stop the current activity");
    EXPECT_TRUE(CommandTip(513).isEmpty());
    EXPECT_TRUE(CommandPrompt(1).isEmpty());
}

// Walks a loaded menu into "id:text" lines, "-" for separators and
// ">text" / "<" around submenus, so whole menus compare at once.
void describe(const QMenu* menu, std::vector<QString>& lines) {
    for (QAction* action : menu->actions()) {
        if (action->isSeparator()) {
            lines.push_back(u"-"_qs);
        } else if (QMenu* submenu = action->menu<QMenu*>()) {
            lines.push_back(u">"_qs + action->text());
            describe(submenu, lines);
            lines.push_back(u"<"_qs);
        } else {
            lines.push_back(QString::number(MenuCommandId(action)) + u":"_qs + action->text());
        }
    }
}

TEST(MenuResources, TranslationGridMenuHasItsItemsInOrder) {
    std::unique_ptr<QMenu> menu(LoadMenuResource(IDR_POPUP_TRANSLATION_GRID));
    ASSERT_TRUE(menu);
    std::vector<QString> lines;
    describe(FirstSubMenu(menu.get()), lines);
    const std::vector<QString> expected = {
        u"32846:Select &All\tCtrl+A"_qs,
        u"32847:Export &Selected..."_qs,
        u"32848:&Export All..."_qs,
        u"-"_qs,
        u"32843:Copy Babelfish translation"_qs,
        u"32844:Copy Google translation"_qs,
        u"-"_qs,
        u"32849:Translate by Babelfish"_qs,
        u"32850:Translate by Google"_qs,
    };
    EXPECT_EQ(lines, expected);
}

TEST(MenuResources, MainMenuCarriesCommandIdsAndInitialStates) {
    std::unique_ptr<QMenu> menu(LoadMenuResource(IDR_MAINFRAME));
    ASSERT_TRUE(menu);
    QStringList titles;
    for (QAction* action : menu->actions()) {
        titles << action->text();
    }
    EXPECT_EQ(titles, QStringList({u"&File"_qs, u"&Actions"_qs, u"&Edit"_qs, u"&View"_qs,
                                   u"&Tools"_qs, u"&Help"_qs}));
    QAction* open = FindMenuCommand(menu.get(), 32866);
    ASSERT_TRUE(open);
    EXPECT_EQ(open->text(), u"&Open World View...\tCtrl+O");
    QAction* newServer = FindMenuCommand(menu.get(), 32776);  // in the File > New submenu
    ASSERT_TRUE(newServer);
    EXPECT_EQ(newServer->text(), u"&Server\tCtrl+N");
    QAction* statusBar = FindMenuCommand(menu.get(), 59393);
    ASSERT_TRUE(statusBar);
    EXPECT_TRUE(statusBar->isCheckable());
    EXPECT_TRUE(statusBar->isChecked());
    EXPECT_FALSE(FindMenuCommand(menu.get(), 32871)->isEnabled());
    EXPECT_EQ(FindMenuCommand(menu.get(), 32828), nullptr);
}

TEST(MenuResources, PopupMenusHoldTheCommandsTheirCallersExpect) {
    struct Case {
        unsigned menu;
        std::vector<unsigned> commands;
    };
    const Case cases[] = {
        {IDR_POPUP_TREE_SERVER, {32830, 32820, 32822, 32777, 32779}},
        {IDR_POPUP_TREE_FOLDER, {32823, 32822, 32774, 32775}},
        {IDR_POPUP_TREE_ROOT, {32822, 32823, 32796, 32862, 32852, 32861}},
        {IDR_POPUP_SERVER_FILES, {32802, 32803, 32804, 32805, 32806, 32807}},
        {IDR_POPUP_GRID, {57634, 32814, 57642, 32790, 32791, 32833, 32769}},
        {IDR_POPUP_GRID_HEADER, {32841}},
    };
    for (const Case& c : cases) {
        std::unique_ptr<QMenu> menu(LoadMenuResource(c.menu));
        ASSERT_TRUE(menu) << c.menu;
        QMenu* popup = FirstSubMenu(menu.get());
        ASSERT_TRUE(popup) << c.menu;
        for (unsigned command : c.commands) {
            EXPECT_TRUE(FindMenuCommand(popup, command)) << c.menu << " " << command;
        }
    }
    std::unique_ptr<QMenu> root(LoadMenuResource(IDR_POPUP_TREE_ROOT));
    EXPECT_FALSE(FindMenuCommand(root.get(), 32852)->isEnabled());
}

TEST(MenuResources, ComponentMenuIsEmptyAndUnknownIdsLoadNothing) {
    std::unique_ptr<QMenu> component(LoadMenuResource(IDR_POPUP_COMPONENT));
    ASSERT_TRUE(component);
    EXPECT_TRUE(component->actions().isEmpty());
    EXPECT_EQ(FirstSubMenu(component.get()), nullptr);
    EXPECT_EQ(LoadMenuResource(4242), nullptr);
    QMenuBar bar;
    EXPECT_FALSE(LoadMenuBarResource(&bar, 4242));
}

TEST(MenuResources, MenuBarGetsOneMenuPerTopLevelPopup) {
    QMenuBar bar;
    ASSERT_TRUE(LoadMenuBarResource(&bar, IDR_MAINFRAME));
    ASSERT_EQ(bar.actions().size(), 6);
    EXPECT_EQ(bar.actions().at(1)->text(), u"&Actions");
    EXPECT_TRUE(FindMenuCommand(&bar, 57664));
}

void checkItems(unsigned menuId, std::span<const MenuItemResource> items) {
    for (const MenuItemResource& item : items) {
        if (item.flags & MenuItemSeparator) {
            EXPECT_EQ(item.text, nullptr) << menuId;
            continue;
        }
        ASSERT_NE(item.text, nullptr) << menuId;
        EXPECT_FALSE(QString::fromUtf16(item.text).isEmpty()) << menuId;
        if (item.flags & MenuItemPopup) {
            EXPECT_EQ(item.commandId, 0u) << menuId;
            checkItems(menuId, item.popup);
        } else {
            EXPECT_NE(item.commandId, 0u)
                << menuId << " " << QString::fromUtf16(item.text).toStdString();
            EXPECT_TRUE(item.popup.empty()) << menuId;
        }
    }
}

TEST(MenuResources, EveryItemIsWellFormedAndThePackOrderComesFirst) {
    const unsigned packOrder[] = {99, 5062, 5059, 492, 5057, 103, 279, 263, 265, 260};
    const auto menus = AllMenuResources();
    ASSERT_GE(menus.size(), std::size(packOrder));
    std::set<unsigned> ids;
    for (std::size_t i = 0; i < menus.size(); ++i) {
        if (i < std::size(packOrder)) {
            EXPECT_EQ(menus[i].id, packOrder[i]);
        }
        EXPECT_TRUE(ids.insert(menus[i].id).second) << menus[i].id;
        checkItems(menus[i].id, menus[i].items);
    }
}

// Collects the command ids and "\t" labels of a menu's items.
void collectLabels(std::span<const MenuItemResource> items,
                   std::vector<std::pair<unsigned, QString>>& labels) {
    for (const MenuItemResource& item : items) {
        if (item.flags & MenuItemPopup) {
            collectLabels(item.popup, labels);
        } else if (item.text) {
            const QString text = QString::fromUtf16(item.text);
            if (const qsizetype tab = text.indexOf(u'\t'); tab > 0) {
                labels.emplace_back(item.commandId, text.mid(tab + 1));
            }
        }
    }
}

TEST(Accelerators, MainMenuLabelsMatchTheKeysThatRunTheirCommands) {
    std::vector<std::pair<unsigned, QString>> labels;
    collectLabels(FindMenuResource(IDR_MAINFRAME)->items, labels);
    ASSERT_FALSE(labels.empty());
    const auto table = AcceleratorTable(IDR_MAINFRAME);
    for (const auto& entry : labels) {
        const unsigned command = entry.first;
        const QString& label = entry.second;
        const QKeySequence shown = QKeySequence::fromString(label, QKeySequence::PortableText);
        const bool found = std::ranges::any_of(table, [&](const AcceleratorResource& accelerator) {
            return accelerator.commandId == command && QKeySequence(accelerator.key) == shown;
        });
        EXPECT_TRUE(found) << command << " " << label.toStdString();
    }
    EXPECT_TRUE(AcceleratorTable(4242).empty());
}

TEST(Accelerators, NoKeyRunsTwoCommands) {
    std::set<int> keys;
    for (const AcceleratorResource& entry : AcceleratorTable(IDR_MAINFRAME)) {
        EXPECT_TRUE(keys.insert(entry.key.toCombined()).second)
            << QKeySequence(entry.key).toString().toStdString();
    }
}

TEST(Vocabulary, ElementTypesAreUniqueAndInTheirNumberRange) {
    const auto types = ElementTypes();
    ASSERT_EQ(types.size(), 626u);
    std::set<unsigned> numbers;
    std::set<QString> typeNames;
    for (const ElementTypeResource& type : types) {
        EXPECT_GE(type.number, 104000u);
        EXPECT_LE(type.number, 105247u);
        EXPECT_TRUE(numbers.insert(type.number).second) << type.number;
        EXPECT_TRUE(typeNames.insert(QString::fromUtf16(type.typeName)).second) << type.number;
        EXPECT_FALSE(QString::fromUtf16(type.displayName).isEmpty()) << type.number;
    }
    EXPECT_TRUE(numbers.contains(104002));
    EXPECT_TRUE(typeNames.contains(u"interface"_qs));
}

TEST(Vocabulary, OtherServerKeysAreUnique) {
    const auto entries = ServerVocabulary();
    ASSERT_EQ(entries.size(), 134u);
    std::set<QString> keys;
    for (const VocabularyResource& entry : entries) {
        EXPECT_TRUE(keys.insert(QString::fromUtf16(entry.key)).second)
            << QString::fromUtf16(entry.key).toStdString();
        EXPECT_FALSE(QString::fromUtf16(entry.text).isEmpty());
    }
    for (const char16_t* key : {u"NoData", u"gmt-5", u"pst8pdt"}) {
        EXPECT_TRUE(keys.contains(QString::fromUtf16(key)));
    }
}

}  // namespace
