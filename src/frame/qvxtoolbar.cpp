#include "frame/qvxtoolbar.h"

#include "frame/framecommands.h"
#include "resources/toolbars.h"

#include <QAction>
#include <QCursor>
#include <QMenu>
#include <QToolButton>

namespace {

void showTextBesideIcon(QToolBar& bar, QAction* action) {
    if (auto* button = qobject_cast<QToolButton*>(bar.widgetForAction(action))) {
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    }
}

}  // namespace

CQVxToolBar::CQVxToolBar(const QString& title, QWidget* parent) : QToolBar(title, parent) {}

void CQVxToolBar::LoadButtons(CFrameCommands& commands) {
    for (unsigned commandId : ToolbarButtons(IDR_TOOLBAR_STANDARD)) {
        if (commandId == 0) {
            addSeparator();
            continue;
        }
        QAction* action = commands.Action(commandId);
        if (action == nullptr) {
            continue;
        }
        addAction(action);
        if (commandId != kActionsCommand) {
            continue;
        }
        action->setText(QStringLiteral("Actions"));
        CFrameCommands::KeepResourceText(action, action->text());
        m_actionsMenu = new QMenu(this);
        connect(m_actionsMenu, &QMenu::aboutToShow, this,
                [this] { Q_EMIT ActionsMenuAboutToShow(m_actionsMenu); });
        m_actionsButton = qobject_cast<QToolButton*>(widgetForAction(action));
        if (m_actionsButton != nullptr) {
            m_actionsButton->setMenu(m_actionsMenu);
            m_actionsButton->setPopupMode(QToolButton::InstantPopup);
        }
        showTextBesideIcon(*this, action);
    }
}

void CQVxToolBar::ShowActionsMenu() {
    if (m_actionsButton != nullptr && m_actionsButton->isVisible()) {
        m_actionsButton->showMenu();
    } else if (m_actionsMenu != nullptr) {
        m_actionsMenu->exec(QCursor::pos());
    }
}

CQVXNavBar::CQVXNavBar(const QString& title, QWidget* parent) : QToolBar(title, parent) {
    // A busy cursor elsewhere in the window; here Stop stays easy to aim at.
    setCursor(Qt::ArrowCursor);
}

void CQVXNavBar::SetupButtons(CFrameCommands& commands) {
    struct Button {
        unsigned commandId;
        bool showsText;
    };
    constexpr Button kButtons[] = {{32778, false}, {32780, false}, {32782, true}, {32784, true}};
    for (const Button& button : kButtons) {
        if (QAction* action = commands.Action(button.commandId)) {
            addAction(action);
            if (button.showsText) {
                showTextBesideIcon(*this, action);
            }
        }
    }
}
