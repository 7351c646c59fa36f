#pragma once

// The context menus a server defines: a set of named menus, each an ordered
// list of entries. The set is loaded from the "context-menus" section of the
// login reply; the World View pane and the grid show a named menu's entries
// and run the chosen one.

#include "tree/contextmenuitem.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <map>
#include <memory>
#include <vector>

class CContextMenuParser;
class CMenuGridRows;
class QMenu;

class CContextMenu {
public:
    // Entries take their command ids from `commandIds`, which must outlive
    // the menu; null gives ids of 0.
    CContextMenu(const QString& name, const CMenuCommandSource* commandIds);
    ~CContextMenu();
    CContextMenu(const CContextMenu&) = delete;
    CContextMenu& operator=(const CContextMenu&) = delete;

    const QString& GetName() const { return m_name; }
    CContextMenuItem& AddItem();
    bool IsEmpty() const { return m_items.empty(); }
    int Count() const { return static_cast<int>(m_items.size()); }
    const CContextMenuItem& ItemAt(int index) const { return *m_items.at(index); }

    CContextMenuItem* FindItem(int commandId) const;
    // The command id of the first entry that the text names (ignoring case,
    // "&" and "..."): an attribute of that name with a non-zero number (as
    // "alt-enter" marks an entry), or the entry's id, label or file. 0 when
    // none does or the text is empty.
    int FindMenuItemId(const QString& text) const;
    // Runs the entry the text names; 0 when none runs.
    int PickItem(const QString& text);
    // Ordinary command ids go to the right-hand view (result 1). A server
    // entry runs unless it is hidden, disabled or greyed for the selection.
    int InvokeCommand(int commandId);
    // The command route of the panes: command codes 0 (run) and -1 (update)
    // only; whether an entry had the id.
    int RunItem(int commandId, int commandCode, qintptr extra);

    // Inserts the entries into a popup: for a grid menu (its owner is the
    // right-hand view) in place of the "User-defined" entry (32814), else at
    // the top; no two separators follow each other, hidden entries are left
    // out, entries are greyed for the grid's selection and checked when
    // their page shows in the properties pane. A grid menu ends with
    // Properties (32836) unless an entry is one, and the grid's own
    // commands are greyed for the selection. Each action carries its
    // command id in its data. Stores the grid and owner. Returns 1.
    int AddXmlDrivenMenuItems(QMenu& popup, CMenuGridRows* grid, QWidget* owner);

    // The grid (null for the World View pane) and the window the menu was
    // last shown for; the entries run for them.
    void SetOwners(CMenuGridRows* grid, QWidget* owner);
    CMenuGridRows* GetGrid() const { return m_grid; }

private:
    std::vector<std::unique_ptr<CContextMenuItem>> m_items;
    QString m_name;
    const CMenuCommandSource* m_commandIds;
    CMenuGridRows* m_grid = nullptr;
    // The window may close while the menu set lives on.
    QPointer<QWidget> m_owner;
};

class CContextMenuSet {
public:
    using MenuMap = std::map<QString, std::unique_ptr<CContextMenu>>;

    CContextMenuSet();
    ~CContextMenuSet();
    CContextMenuSet(const CContextMenuSet&) = delete;
    CContextMenuSet& operator=(const CContextMenuSet&) = delete;

    // The text before the first ".menu": the key of a menu name.
    static QString StripMenuSuffix(const QString& name);

    // Where the entries of later loads take their command ids from.
    void SetCommandIds(const CMenuCommandSource& commandIds) { m_commandIds = commandIds; }

    // Replaces every menu with those of the XML text; `label` names the
    // caller in the log. 0 while another load runs.
    int Load(const QString& xml, const QString& label);
    CContextMenu* Find(const QString& name) const;
    CContextMenu& GetOrCreate(const QString& name);
    void Erase(const QString& name);
    void Clear();
    bool IsEmpty() const { return m_menus.empty(); }
    const MenuMap& Menus() const { return m_menus; }

private:
    MenuMap m_menus;
    CMenuCommandSource m_commandIds;
};
