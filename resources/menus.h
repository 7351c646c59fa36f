#pragma once

// The program's menu resources as data, and the Qt menus built from them.
// Item texts keep their "&" mnemonic and their "\t" accelerator label (QMenu
// shows the part after the tab in its shortcut column). The keys themselves
// come from the accelerator table, never from the menu texts.

#include <QString>

#include <span>

class QAction;
class QMenu;
class QMenuBar;
class QWidget;

enum MenuResourceId : unsigned {
    IDR_MAINFRAME = 99,
    IDR_POPUP_TRANSLATION_GRID = 103,
    IDR_POPUP_TREE_SERVER = 260,
    IDR_POPUP_TREE_FOLDER = 263,
    IDR_POPUP_TREE_ROOT = 265,
    IDR_POPUP_SERVER_FILES = 279,
    IDR_POPUP_GRID_HEADER = 492,
    IDR_POPUP_GRID = 5057,
    IDR_POPUP_BROWSER = 5059,
    IDR_POPUP_COMPONENT = 5061,
    IDR_POPUP_EDIT = 5062,
};

enum MenuItemFlag : unsigned {
    MenuItemSeparator = 0x01,
    MenuItemPopup = 0x02,
    MenuItemGrayed = 0x04,
    // The item carries a check mark that its command's state sets.
    MenuItemCheckable = 0x08,
    MenuItemChecked = 0x10,
};

struct MenuItemResource {
    unsigned commandId = 0;  // 0 for separators and popups
    const char16_t* text = nullptr;
    unsigned flags = 0;
    std::span<const MenuItemResource> popup;  // the items of a MenuItemPopup
};

struct MenuResource {
    unsigned id;
    std::span<const MenuItemResource> items;
};

// Every menu resource in the order the language pack adds their texts
// (99, 5062, 5059, 492, 5057, 103, 279, 263, 265, 260), then the others.
std::span<const MenuResource> AllMenuResources();
// The menu resource `id`, or null.
const MenuResource* FindMenuResource(unsigned id);

// A new menu holding the resource's top-level items (most resources hold one
// popup, whose submenu is the context menu callers show). Null for an unknown
// id. Each action carries its command id in QAction::data(); separators and
// popups carry 0. The caller owns the menu unless a parent is given.
QMenu* LoadMenuResource(unsigned id, QWidget* parent = nullptr);
// Appends the resource's items to a menu bar, popups as its menus. False for
// an unknown id.
bool LoadMenuBarResource(QMenuBar* bar, unsigned id);
// The first submenu of a loaded menu (the "first popup" of a resource), or null.
QMenu* FirstSubMenu(const QMenu* menu);

// The command id a menu action carries, 0 for none.
unsigned MenuCommandId(const QAction* action);
// The action of `menu` or its submenus that carries the command, or null.
QAction* FindMenuCommand(const QWidget* menu, unsigned commandId);
