#include "resources/menus.h"

#include "resources/strings.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace {

constexpr MenuItemResource Item(unsigned commandId, const char16_t* text, unsigned flags = 0) {
    return {commandId, text, flags, {}};
}
constexpr MenuItemResource Separator() {
    return {0, nullptr, MenuItemSeparator, {}};
}
constexpr MenuItemResource Popup(const char16_t* text, std::span<const MenuItemResource> items) {
    return {0, text, MenuItemPopup, items};
}

// Main frame (99). The "&Actions" popup is rebuilt from the focused pane's
// menu whenever it opens; its items here are the World View commands.
constexpr MenuItemResource kFileNew[] = {
    Item(32776, u"&Server\tCtrl+N"),
    Item(32773, u"&Folder\tShift+Ctrl+F"),
    Item(32797, u"&Window\tShift+Ctrl+N"),
    Item(32864, u"World &View"),
};
constexpr MenuItemResource kFile[] = {
    Popup(u"&New", kFileNew),
    Separator(),
    Item(32866, u"&Open World View...\tCtrl+O"),
    Item(32819, u"&Save World View\tCtrl+S"),
    Item(32859, u"Save World View &As..."),
    Separator(),
    Item(57607, u"&Print...\tCtrl+P"),
    Separator(),
    Item(57665, u"E&xit"),
};
constexpr MenuItemResource kActions[] = {
    Item(32822, u"New &Server"),    Item(32823, u"&New Folder"),    Separator(),
    Item(32777, u"&Rename Server"), Item(32779, u"&Delete Server"), Separator(),
    Item(32774, u"&Rename Folder"), Item(32775, u"&Delete Folder"),
};
constexpr MenuItemResource kEdit[] = {
    Item(57643, u"&Undo\tAlt+Backspace"), Separator(),
    Item(57635, u"Cu&t\tCtrl+X"),         Item(57634, u"&Copy\tCtrl+C"),
    Item(57637, u"Paste\tCtrl+V"),        Separator(),
    Item(57642, u"Select &All\tCtrl+A"),
};
constexpr MenuItemResource kViewToolbars[] = {
    Item(32824, u"Standard Buttons", MenuItemCheckable | MenuItemChecked),
    Item(32825, u"Navigation Bar", MenuItemCheckable | MenuItemChecked),
    Item(32827, u"Grid Filter Bar", MenuItemCheckable | MenuItemChecked),
    Separator(),
    Item(32826, u"Lock Toolbars", MenuItemCheckable),
};
constexpr MenuItemResource kViewArrange[] = {
    Item(59413, u"By &Name"),
};
constexpr MenuItemResource kView[] = {
    Popup(u"&Toolbars", kViewToolbars),
    Item(59393, u"&Status Bar", MenuItemCheckable | MenuItemChecked),
    Item(32809, u"&Wizard", MenuItemCheckable),
    Separator(),
    Item(59409, u"&Large Icons", MenuItemCheckable),
    Item(59408, u"S&mall Icons", MenuItemCheckable),
    Item(59410, u"&List", MenuItemCheckable),
    Item(59411, u"Details", MenuItemCheckable),
    Separator(),
    Popup(u"Arrange &Icons", kViewArrange),
    Item(59412, u"Line &Up Icons"),
    Separator(),
    Item(32769, u"&Refresh\tF5"),
};
constexpr MenuItemResource kTools[] = {
    Item(32810, u"&Options..."),
};
constexpr MenuItemResource kHelp[] = {
    Item(32818, u"Quillet for Velnix &Help"),
    Item(32871, u"Tessaly Help", MenuItemGrayed),
    Separator(),
    Item(57664, u"&About Quillet for Velnix"),
};
constexpr MenuItemResource kMainFrame[] = {
    Popup(u"&File", kFile), Popup(u"&Actions", kActions), Popup(u"&Edit", kEdit),
    Popup(u"&View", kView), Popup(u"&Tools", kTools),     Popup(u"&Help", kHelp),
};

// Edit commands of panels and text fields (5062).
constexpr MenuItemResource kEditPopup[] = {
    Item(57635, u"Cu&t\tCtrl+X"),        Item(57634, u"&Copy\tCtrl+C"),
    Item(57637, u"Paste\tCtrl+V"),       Separator(),
    Item(57642, u"Select &All\tCtrl+A"),
};
constexpr MenuItemResource kEditMenu[] = {Popup(u"Edit", kEditPopup)};

// Browser pane (5059).
constexpr MenuItemResource kBrowserPopup[] = {
    Item(32778, u"&Back"), Item(32780, u"&Forward"),
    Item(32782, u"S&top"), Item(32784, u"&Refresh\tF5"),
    Separator(),           Item(57607, u"&Print...\tCtrl+P"),
};
constexpr MenuItemResource kBrowserMenu[] = {Popup(u"Browser", kBrowserPopup)};

// Grid column header (492).
constexpr MenuItemResource kGridHeaderPopup[] = {Item(32841, u"Select Fields...")};
constexpr MenuItemResource kGridHeaderMenu[] = {Popup(u"Header", kGridHeaderPopup)};

// Primary grid (5057). The server's menu items replace the "User-defined"
// placeholder, followed by a separator, Properties and a separator.
constexpr MenuItemResource kGridPopup[] = {
    Item(57634, u"&Copy\tCtrl+C"),
    Separator(),
    Item(32814, u"User-defined"),
    Item(57642, u"Select &All\tCtrl+A"),
    Item(32790, u"Export &Selected..."),
    Item(32791, u"&Export All..."),
    Separator(),
    Item(32833, u"&Print...\tCtrl+P"),
    Item(32769, u"&Refresh Data\tF5"),
};
constexpr MenuItemResource kGridMenu[] = {Popup(u"Grid", kGridPopup)};

// The language-pack editor's grid (103).
constexpr MenuItemResource kTranslationPopup[] = {
    Item(32846, u"Select &All\tCtrl+A"),
    Item(32847, u"Export &Selected..."),
    Item(32848, u"&Export All..."),
    Separator(),
    Item(32843, u"Copy Babelfish translation"),
    Item(32844, u"Copy Google translation"),
    Separator(),
    Item(32849, u"Translate by Babelfish"),
    Item(32850, u"Translate by Google"),
};
constexpr MenuItemResource kTranslationMenu[] = {Popup(u"Translation", kTranslationPopup)};

// Server file objects in the folder list (279).
constexpr MenuItemResource kServerFilesPopup[] = {
    Item(32802, u"Open"),          Separator(), Item(32803, u"New Folder\tEnter"),
    Item(32804, u"New Text File"), Separator(), Item(32805, u"Delete\tDel"),
    Item(32806, u"Duplicate"),     Separator(), Item(57634, u"&Copy\tCtrl+C"),
    Item(57637, u"Paste\tCtrl+V"), Separator(), Item(32807, u"Properties\tAlt-Enter"),
};
constexpr MenuItemResource kServerFilesMenu[] = {Popup(u"Server Files", kServerFilesPopup)};

// World View items: folder (263), root (265), server (260). The server menu
// holds both Log In and Log Out; the tree removes the one that does not apply.
constexpr MenuItemResource kTreeFolderPopup[] = {
    Item(32823, u"&New Folder"),    Item(32822, u"New &Server"),    Separator(),
    Item(32774, u"&Rename Folder"), Item(32775, u"&Delete Folder"),
};
constexpr MenuItemResource kTreeFolderMenu[] = {Popup(u"Folder", kTreeFolderPopup)};

constexpr MenuItemResource kTreeRootPopup[] = {
    Item(32822, u"New &Server"),
    Item(32823, u"&New Folder"),
    Separator(),
    Item(32796, u"New World View"),
    Item(32862, u"Open World View..."),
    Item(32852, u"Save World View", MenuItemGrayed),
    Item(32861, u"Save World View As..."),
};
constexpr MenuItemResource kTreeRootMenu[] = {Popup(u"World View", kTreeRootPopup)};

constexpr MenuItemResource kTreeServerPopup[] = {
    Item(32830, u"&Log In"),     Item(32820, u"&Log Out"),       Separator(),
    Item(32822, u"New &Server"), Item(32777, u"&Rename Server"), Item(32779, u"&Delete Server"),
};
constexpr MenuItemResource kTreeServerMenu[] = {Popup(u"Server", kTreeServerPopup)};

constexpr MenuResource kMenus[] = {
    {IDR_MAINFRAME, kMainFrame},
    {IDR_POPUP_EDIT, kEditMenu},
    {IDR_POPUP_BROWSER, kBrowserMenu},
    {IDR_POPUP_GRID_HEADER, kGridHeaderMenu},
    {IDR_POPUP_GRID, kGridMenu},
    {IDR_POPUP_TRANSLATION_GRID, kTranslationMenu},
    {IDR_POPUP_SERVER_FILES, kServerFilesMenu},
    {IDR_POPUP_TREE_FOLDER, kTreeFolderMenu},
    {IDR_POPUP_TREE_ROOT, kTreeRootMenu},
    {IDR_POPUP_TREE_SERVER, kTreeServerMenu},
    // A component's menu has no popup: the tree creates one and fills it
    // from the server's menu.
    {IDR_POPUP_COMPONENT, {}},
};

QAction* makeAction(const MenuItemResource& item, QObject* parent) {
    auto* action = new QAction(QString::fromUtf16(item.text), parent);
    action->setData(item.commandId);
    action->setStatusTip(CommandPrompt(item.commandId));
    action->setEnabled(!(item.flags & MenuItemGrayed));
    if (item.flags & (MenuItemCheckable | MenuItemChecked)) {
        action->setCheckable(true);
        action->setChecked(item.flags & MenuItemChecked);
    }
    return action;
}

// QMenu and QMenuBar take items the same way.
template <typename Target>
void fillMenu(Target* target, std::span<const MenuItemResource> items) {
    for (const MenuItemResource& item : items) {
        if (item.flags & MenuItemSeparator) {
            target->addSeparator();
        } else if (item.flags & MenuItemPopup) {
            fillMenu(target->addMenu(QString::fromUtf16(item.text)), item.popup);
        } else {
            target->addAction(makeAction(item, target));
        }
    }
}

}  // namespace

std::span<const MenuResource> AllMenuResources() {
    return kMenus;
}

const MenuResource* FindMenuResource(unsigned id) {
    for (const MenuResource& menu : kMenus) {
        if (menu.id == id) {
            return &menu;
        }
    }
    return nullptr;
}

QMenu* LoadMenuResource(unsigned id, QWidget* parent) {
    const MenuResource* resource = FindMenuResource(id);
    if (!resource) {
        return nullptr;
    }
    auto* menu = new QMenu(parent);
    fillMenu(menu, resource->items);
    return menu;
}

bool LoadMenuBarResource(QMenuBar* bar, unsigned id) {
    const MenuResource* resource = FindMenuResource(id);
    if (!resource) {
        return false;
    }
    fillMenu(bar, resource->items);
    return true;
}

QMenu* FirstSubMenu(const QMenu* menu) {
    for (QAction* action : menu->actions()) {
        if (auto* submenu = action->menu<QMenu*>()) {
            return submenu;
        }
    }
    return nullptr;
}

unsigned MenuCommandId(const QAction* action) {
    return action ? action->data().toUInt() : 0;
}

QAction* FindMenuCommand(const QWidget* menu, unsigned commandId) {
    for (QAction* action : menu->actions()) {
        if (MenuCommandId(action) == commandId && commandId != 0) {
            return action;
        }
        if (auto* submenu = action->menu<QMenu*>()) {
            if (QAction* found = FindMenuCommand(submenu, commandId)) {
                return found;
            }
        }
    }
    return nullptr;
}
