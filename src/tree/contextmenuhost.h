#pragma once

// What the server menus need of the panes that show them: the World View's
// selected item (its tab tags decide "cmoTag:" conditions), the route of an
// ordinary command through the right-hand view, which pane owns a menu, the
// main grid and its properties pane, the action runner, the server file
// chooser and the rediscover dialog. The application installs its host;
// until then the default writes one "SEAM" debug line per call and runs
// nothing. A chosen item runs through CContextMenuItem::Invoke.

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
    virtual const CMyItem* SelectedWorldViewItem() const;
    // Runs a command of the console's own (an id below the server range).
    virtual void RouteCommand(int commandId);
    // Runs the item's actions for the menu's grid (may be null) and owner
    // window; the result of the invocation.
    virtual int InvokeItem(const CContextMenuItem& item, int commandCode, qintptr extra,
                           CMenuGridRows* grid, QWidget* owner);

    // The context letter of a menu's owner window: 'T' for the World View
    // pane, 'G' for the right-hand view that shows the main grid, else 0.
    virtual char16_t ContextOf(const QWidget* owner) const;
    // The main frame's primary grid, null when none.
    virtual CMenuGridRows* MainGrid() const;
    // The properties pane under the grid is shown; closing it.
    virtual bool IsPropertiesPaneShown() const;
    virtual void CloseProperties();
    // Runs an action list in the context; 1 when every action ran.
    virtual int RunActions(const KPROPS& actions, char16_t context);
    // The server file chooser on the selected item's server; false unless OK.
    virtual bool SelectFile(const QString& keyPrefix, const QString& folder, QString& chosen);
    // The rediscover dialog, modal over the main window.
    virtual void RunReDiscoverDialog(const QString& requestsUrl, const QString& actionUrl);
    virtual void SetStatusText(const QString& text);
    // Appends the client's date and time parameters to an action text.
    virtual void AddDateTimeParams(QString& text);
};

// The installed host, or the logging default.
CContextMenuHost& ContextMenuHost();
// Installs the host; null restores the default. UI thread only.
void SetContextMenuHost(CContextMenuHost* host);
