#include "frame/menubar.h"

#include "frame/framecommands.h"
#include "resources/menus.h"

#include <QApplication>
#include <QMenu>
#include <QProxyStyle>
#include <QStyleFactory>

#include <span>

namespace {

// The application's style, with underlines under mnemonics at all times and
// Alt alone entering the menu bar whatever the style prefers.
class CMenuStyle : public QProxyStyle {
public:
    CMenuStyle() : QProxyStyle(QStyleFactory::create(QApplication::style()->name())) {}

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_UnderlineShortcut || hint == SH_MenuBar_AltKeyNavigation) {
            return 1;
        }
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

void fillPopup(QMenu* menu, std::span<const MenuItemResource> items, CFrameCommands& commands,
               QStyle* style);

QMenu* makePopup(const QString& text, std::span<const MenuItemResource> items,
                 CFrameCommands& commands, QStyle* style, QWidget* parent) {
    auto* menu = new QMenu(text, parent);
    menu->setStyle(style);
    CFrameCommands::KeepResourceText(menu->menuAction(), text);
    fillPopup(menu, items, commands, style);
    return menu;
}

void fillPopup(QMenu* menu, std::span<const MenuItemResource> items, CFrameCommands& commands,
               QStyle* style) {
    for (const MenuItemResource& item : items) {
        if (item.flags & MenuItemSeparator) {
            menu->addSeparator();
        } else if (item.flags & MenuItemPopup) {
            menu->addMenu(
                makePopup(QString::fromUtf16(item.text), item.popup, commands, style, menu));
        } else if (QAction* action = commands.Action(item.commandId)) {
            menu->addAction(action);
        }
    }
}

}  // namespace

CMenuBar::CMenuBar(QWidget* parent) : QMenuBar(parent) {
    setNativeMenuBar(false);
    // The bar fills its line, so that its corner widget sits at the line's
    // right end.
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    auto* style = new CMenuStyle;
    style->setParent(this);
    setStyle(style);
}

bool CMenuBar::LoadMenu(unsigned menuId, CFrameCommands& commands) {
    const MenuResource* resource = FindMenuResource(menuId);
    if (resource == nullptr) {
        return false;
    }
    clear();
    for (const MenuItemResource& item : resource->items) {
        if (!(item.flags & MenuItemPopup)) {
            continue;
        }
        QMenu* popup =
            makePopup(QString::fromUtf16(item.text), item.popup, commands, style(), this);
        addMenu(popup);
    }
    // Every popup, submenus included, is prepared as it opens.
    for (QMenu* popup : findChildren<QMenu*>()) {
        connect(popup, &QMenu::aboutToShow, this, [this, popup] { Q_EMIT InitMenuPopup(popup); });
        connect(popup, &QMenu::aboutToHide, this, &CMenuBar::PromptEnded);
        connect(popup, &QMenu::hovered, this, [this](const QAction* item) {
            if (item->menu() != nullptr) {
                Q_EMIT PromptEnded();
            }
        });
    }
    return true;
}
