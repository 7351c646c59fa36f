#pragma once

// One action per command of the main menu, the toolbars, the navigation bar
// and the key table: its menu text, tooltip, status-bar prompt, key and
// icon. Menus and bars show the same action, so a command has one state
// everywhere. A triggered action goes to the frame's command route; the
// states come from the frame before a popup opens and on a short idle
// timer. The keys work in every pane of the window, while text fields keep
// their own edit keys.

#include <QHash>
#include <QList>
#include <QObject>
#include <QTimer>

#include <span>

class CMainFrame;
class QAction;
class QWidget;
struct MenuItemResource;

class CFrameCommands : public QObject {
    Q_OBJECT
public:
    static constexpr int kIdleUpdateMs = 250;

    explicit CFrameCommands(CMainFrame& frame);

    // The command's action; null for a command that has none.
    QAction* Action(unsigned commandId) const;
    const QList<unsigned>& CommandIds() const { return m_ids; }

    // The text of the resource an action or a menu title came from: a
    // language pack always translates this, never an earlier translation.
    static QString ResourceText(const QAction* action);
    static void KeepResourceText(QAction* action, const QString& text);
    // Puts every resource text back on the menu's items and its submenus.
    static void RestoreResourceTexts(const QWidget* menu);

    // Every action's enabled and checked state from the frame.
    void UpdateStates();

private:
    QAction* add(unsigned commandId, const QString& text, bool checkable);
    void addMenuItems(std::span<const MenuItemResource> items);
    void run(unsigned commandId);

    CMainFrame& m_frame;
    QHash<unsigned, QAction*> m_actions;
    QList<unsigned> m_ids;
    QTimer m_idleTimer;
};
