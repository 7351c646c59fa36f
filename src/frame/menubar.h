#pragma once

// The main window's menu bar: menu 99 drawn by the program itself (never a
// desktop-wide global menu), with the frame's command actions as items, so
// the toolbar commands show their icons. Mnemonic underlines are always
// drawn and the keyboard works on every style: Alt alone enters the bar,
// Left and Right move between the menus and wrap round, Enter, Up and Down
// open one, Escape closes a submenu before its menu, Alt plus a mnemonic
// opens that menu. Every popup asks the frame to prepare it (states,
// the Actions menu, the language pack) just before it shows.

#include <QMenuBar>

class CFrameCommands;

class CMenuBar : public QMenuBar {
    Q_OBJECT
public:
    explicit CMenuBar(QWidget* parent = nullptr);

    // Builds the menus of the menu resource from the commands' actions;
    // false for an unknown menu.
    bool LoadMenu(unsigned menuId, CFrameCommands& commands);

Q_SIGNALS:
    void InitMenuPopup(QMenu* popup);
    // No command item is highlighted any more: its popup closed, or the
    // highlight moved onto a submenu. A command's prompt ends here.
    void PromptEnded();
};
