#include "frame/framecommands.h"

#include "frame/alphaimagelist.h"
#include "frame/mainframe.h"
#include "frame/statusbar.h"
#include "framework/klog.h"
#include "resources/accelerators.h"
#include "resources/menus.h"
#include "resources/strings.h"
#include "resources/toolbars.h"

#include <QAction>
#include <QApplication>
#include <QMenu>

namespace {

// The navigation bar's buttons and the bar commands that show a check mark.
constexpr unsigned kNavigationCommands[] = {32778, 32780, 32782, 32784};
constexpr unsigned kHelpKeyCommand = 57670;

const char* const kResourceTextProperty = "resourceText";

}  // namespace

CFrameCommands::CFrameCommands(CMainFrame& frame) : QObject(&frame), m_frame(frame) {
    if (const MenuResource* menu = FindMenuResource(IDR_MAINFRAME)) {
        addMenuItems(menu->items);
    }
    for (unsigned toolbar : {unsigned{IDR_TOOLBAR_STANDARD}, unsigned{IDR_TOOLBAR_SEARCH}}) {
        for (unsigned commandId : ToolbarButtons(toolbar)) {
            // 5471 is the filter field's place, not a command.
            if (commandId != 0 && commandId != 5471) {
                add(commandId, CommandTip(commandId), false);
            }
        }
    }
    for (unsigned commandId : kNavigationCommands) {
        add(commandId, CommandTip(commandId), false);
    }
    for (const AcceleratorResource& key : AcceleratorTable(IDR_MAINFRAME)) {
        QAction* action = add(key.commandId, CommandTip(key.commandId), false);
        action->setShortcut(QKeySequence(key.key));
        action->setShortcutContext(Qt::WindowShortcut);
    }
    m_idleTimer.setInterval(kIdleUpdateMs);
    connect(&m_idleTimer, &QTimer::timeout, this, &CFrameCommands::UpdateStates);
    m_idleTimer.start();
    // The edit keys and F2 belong to the focused pane: their states follow
    // the focus at once, so a key pressed right after a click goes where
    // the focus now is.
    connect(qApp, &QApplication::focusChanged, this, &CFrameCommands::UpdateStates);
}

void CFrameCommands::addMenuItems(std::span<const MenuItemResource> items) {
    for (const MenuItemResource& item : items) {
        if (item.flags & MenuItemPopup) {
            addMenuItems(item.popup);
        } else if (item.commandId != 0) {
            add(item.commandId, QString::fromUtf16(item.text),
                (item.flags & MenuItemCheckable) != 0);
        }
    }
}

QAction* CFrameCommands::add(unsigned commandId, const QString& text, bool checkable) {
    if (QAction* existing = m_actions.value(commandId)) {
        return existing;
    }
    auto* action = new QAction(text.isEmpty() ? CommandPrompt(commandId) : text, this);
    KeepResourceText(action, action->text());
    action->setData(commandId);
    action->setCheckable(checkable);
    action->setToolTip(CommandTip(commandId));
    const QString prompt = CommandPrompt(commandId);
    action->setProperty("prompt", prompt);
    action->setIcon(CAlphaImageList::CommandIcon(commandId));
    // Menus show their items' icons; the command texts of the menu bar keep
    // to the toolbar commands' icons only.
    action->setIconVisibleInMenu(!action->icon().isNull());
    connect(action, &QAction::triggered, this, [this, commandId] { run(commandId); });
    connect(action, &QAction::hovered, this,
            [this, prompt] { m_frame.StatusPanes().ShowPrompt(prompt); });
    // Keys reach the command wherever the focus is inside the window.
    m_frame.addAction(action);
    m_actions.insert(commandId, action);
    m_ids.append(commandId);
    return action;
}

QAction* CFrameCommands::Action(unsigned commandId) const {
    return m_actions.value(commandId);
}

QString CFrameCommands::ResourceText(const QAction* action) {
    const QVariant kept = action->property(kResourceTextProperty);
    return kept.isValid() ? kept.toString() : action->text();
}

void CFrameCommands::KeepResourceText(QAction* action, const QString& text) {
    action->setProperty(kResourceTextProperty, text);
}

void CFrameCommands::RestoreResourceTexts(const QWidget* menu) {
    for (QAction* action : menu->actions()) {
        if (const QVariant kept = action->property(kResourceTextProperty); kept.isValid()) {
            action->setText(kept.toString());
        }
        if (const QMenu* submenu = action->menu<QMenu*>()) {
            RestoreResourceTexts(submenu);
        }
    }
}

void CFrameCommands::run(unsigned commandId) {
    if (commandId == kHelpKeyCommand) {
        // F1 offers a visible grid its column help before the World View.
        m_frame.OnHelpKey();
        return;
    }
    if (!m_frame.OnCommand(static_cast<int>(commandId))) {
        // Menus, bars and keys offer a command only while something takes it.
        kWarningLog(u"Command %u was offered but nothing handles it: a wiring fault.", commandId);
    }
}

void CFrameCommands::UpdateStates() {
    for (auto it = m_actions.cbegin(); it != m_actions.cend(); ++it) {
        CCmdUI state;
        m_frame.UpdateCommandUI(static_cast<int>(it.key()), state);
        QAction* action = it.value();
        action->setEnabled(state.enabled);
        if (action->isCheckable()) {
            action->setChecked(state.checked);
        }
    }
    m_frame.UpdateFilterField();
}
