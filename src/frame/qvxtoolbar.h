#pragma once

// The standard toolbar and the navigation bar. Both show the frame's
// command actions. The standard toolbar's Actions button shows its text and
// opens, on the whole button, the menu of the focused pane; the navigation
// bar shows text beside the icon only on Stop and Refresh, and keeps the
// arrow cursor while the program is busy so Stop can be aimed at.

#include <QToolBar>

class CFrameCommands;
class QMenu;
class QToolButton;

class CQVxToolBar : public QToolBar {
    Q_OBJECT
public:
    static constexpr unsigned kActionsCommand = 32828;

    explicit CQVxToolBar(const QString& title, QWidget* parent = nullptr);

    // The buttons of toolbar 99, from the commands' actions.
    void LoadButtons(CFrameCommands& commands);
    // The Actions button's menu, filled as it opens.
    QMenu* ActionsMenu() const { return m_actionsMenu; }
    // Opens that menu under the button, or at the pointer while the bar is
    // hidden; returns when it closes.
    void ShowActionsMenu();

Q_SIGNALS:
    void ActionsMenuAboutToShow(QMenu* menu);

private:
    QMenu* m_actionsMenu = nullptr;
    QToolButton* m_actionsButton = nullptr;
};

class CQVXNavBar : public QToolBar {
    Q_OBJECT
public:
    explicit CQVXNavBar(const QString& title, QWidget* parent = nullptr);

    // Back, Forward, Stop and Refresh.
    void SetupButtons(CFrameCommands& commands);
};
