#pragma once

// What the server menus need of the panes that show them: the World View's
// selected item (its tab tags decide "cmoTag:" conditions), the route of an
// ordinary command through the right-hand view, which pane owns a menu, the
// main grid and its properties pane, the action runner, the server file
// chooser and the rediscover dialog. The application installs its host
// before any menu is shown. A chosen item runs through InvokeItem.

#include <QString>
#include <QtGlobal>

class CContextMenuItem;
class CMenuGridRows;
class CMyItem;
class KPROPS;
class QWidget;

class CContextMenuHost {
public:
    virtual ~CContextMenuHost() = default;

    // The World View's selected item, null when none.
    virtual const CMyItem* SelectedWorldViewItem() const = 0;
    // Runs a command of the console's own (an id below the server range).
    virtual void RouteCommand(int commandId) = 0;
    // Runs the item's actions for the menu's grid (may be null) and owner
    // window; the result of the invocation.
    virtual int InvokeItem(const CContextMenuItem& item, int commandCode, qintptr extra,
                           CMenuGridRows* grid, QWidget* owner) = 0;

    // The context letter of a menu's owner window: 'T' for the World View
    // pane, 'G' for the right-hand view that shows the main grid, else 0.
    virtual char16_t ContextOf(const QWidget* owner) const = 0;
    // The main frame's primary grid, null when none.
    virtual CMenuGridRows* MainGrid() const = 0;
    // Whether the properties pane under the grid is shown.
    virtual bool IsPropertiesPaneShown() const = 0;
    // Closes the properties pane under the grid.
    virtual void CloseProperties() = 0;
    // Runs an action list in the context; 1 when every action ran.
    virtual int RunActions(const KPROPS& actions, char16_t context) = 0;
    // The server file chooser on the selected item's server; false unless OK.
    virtual bool SelectFile(const QString& keyPrefix, const QString& folder, QString& chosen) = 0;
    // The rediscover dialog, modal over the main window.
    virtual void RunReDiscoverDialog(const QString& requestsUrl, const QString& actionUrl) = 0;
    // Shows the text in the main window's status bar.
    virtual void SetStatusText(const QString& text) = 0;
    // Appends the client's date and time parameters to an action text.
    virtual void AddDateTimeParams(QString& text) = 0;
};

// The installed host. Reaching for it before one is installed is a
// programming error that ends the program.
CContextMenuHost& ContextMenuHost();
// Installs the host (null removes it) and returns the one it replaces.
// UI thread only.
CContextMenuHost* SetContextMenuHost(CContextMenuHost* host);
