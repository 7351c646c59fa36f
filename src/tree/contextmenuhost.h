#pragma once

// What the server menus need of the panes that show them: the World View's
// selected item (its tab tags decide "cmoTag:" conditions), the route of an
// ordinary command through the right-hand view, and the running of a chosen
// item's actions. The panes install their host; until then the default
// writes one "SEAM" debug line per call and runs nothing.

#include <QtGlobal>

class CContextMenuItem;
class CMenuGridRows;
class CMyItem;
class QWidget;

class CContextMenuHost {
public:
    virtual ~CContextMenuHost() = default;

    // The World View's selected item, null when none.
    virtual const CMyItem* SelectedWorldViewItem() const;
    // Runs a command of the console's own (an id below the server range).
    virtual void RouteCommand(int commandId);
    // Runs the item's actions for the menu's grid (may be null) and owner
    // window; the result of the invocation.
    virtual int InvokeItem(const CContextMenuItem& item, int commandCode, qintptr extra,
                           CMenuGridRows* grid, QWidget* owner);
};

// The installed host, or the logging default.
CContextMenuHost& ContextMenuHost();
// Installs the host; null restores the default. UI thread only.
void SetContextMenuHost(CContextMenuHost* host);
