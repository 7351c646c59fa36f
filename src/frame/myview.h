#pragma once

// Row 1 of the right-hand side: the view that holds the primary data grid,
// the folder list of a World View item's children, and at most one panel
// (plus the grid's chunk navigator). A render tells it which of these to
// show; it stacks them, routes the edit commands and the list's menus, and
// maps list rows back to their World View items.

#include "frame/cmdui.h"
#include "frame/myviewdlg.h"

#include <QPointer>
#include <QString>
#include <QWidget>

class CFolderList;
class CGridNavigator;
class CMyGrid;
class CMyGridSite;
class CMyTree;
class CPanelFactory;
class CPreferences;
class QMenu;
class QTreeWidgetItem;

class CMyView : public QWidget {
    Q_OBJECT
public:
    // The show flags of a render.
    enum ShowFlag : unsigned {
        kShowGrid = 0x01,
        kShowList = 0x02,
        kShowPanel = 0x10,        // create the panel and show it
        kShowPanelHidden = 0x20,  // create the panel hidden (the navigator)
    };
    static constexpr int kNavigatorCode = 566;
    static constexpr int kElemChooserCode = 302;
    static constexpr int kNodeChooserCode = 303;
    static constexpr int kJobChooserCode = 5621;

    CMyView(CMyTree& tree, CPreferences& prefs, CPanelFactory& panels, QWidget* parent = nullptr);
    ~CMyView() override;

    // What the next ShowParts shows: show flags, panel code, kind letter.
    void SetRequest(unsigned showFlags, int panelCode, int kind);
    unsigned ShowFlags() const { return m_showFlags; }
    int PanelCode() const { return m_panelCode; }
    int Kind() const { return m_kind; }

    // Shows the parts the request names; 0 when a part could not be made.
    int ShowParts(const QString& locator, QTreeWidgetItem* context);
    // Makes the panel of the panel code; any thread: off the UI thread the
    // UI thread does it and its result is returned.
    int Render(const QString& locator, QTreeWidgetItem* context);
    int RenderOnUIThread(const QString& locator, QTreeWidgetItem* context);
    // The primary grid loads its rows from the URL for the item's server;
    // 0 when the server answered 401.
    int LoadGrid(const QString& url, QTreeWidgetItem* item);
    // Records and applies the navigator's visibility; returns it.
    int ShowNavigator(bool show);
    void RecalcLayout();

    // The windows of the main grid; set once, before the first render.
    void SetGridSite(CMyGridSite* site);
    CMyGrid* GetGrid() const { return m_grid; }
    CFolderList* GetFolderList() const { return m_folderList; }
    CMyViewDlg* Panel() const { return m_panel; }
    CGridNavigator* Navigator() const;
    CMyViewDlg* GetElemChooser() const;
    CMyViewDlg* GetJobChooser() const;
    bool IsListShown() const { return m_listShown; }
    bool IsGridShown() const { return m_gridShown; }
    // The application is up, the grid is a visible window and the calling
    // thread is not an action worker being aborted.
    bool IsGridUsable() const;
    bool IsPanelShown() const { return m_panelShown; }
    bool IsNavigatorShown() const { return m_navigatorShown; }
    // The focus is in the panel (or a window below it).
    bool PanelHasFocus() const;

    // The list styles: 0 icon, 1 details, 2 small icons, 3 list. Setting one
    // stores it as "ListViewMode".
    int ListViewMode() const;
    int ModifyListStyle(int mode);

    // The World View menu resource for the kind of the list row at the
    // selection mark, owned by the caller; null when no row is selected or
    // its kind has no menu.
    QMenu* BuildListMenu(QWidget* parent) const;
    // Menu 5057 with the grid's server menu in its first popup.
    QMenu* BuildGridMenu(QWidget* parent);
    // The grid's server menu commands; true when a panel component took it.
    bool OnServerCommand(int commandId);
    // The view's own commands (copy, paste, select all, refresh, export,
    // print...), each only while it has something to act on: Copy on the
    // focused panel, list or a usable grid; Paste on the focused panel's
    // field. Cut and Undo have nothing here to act on.
    CommandHandler CommandHandlerOf(int commandId);
    // Copies the selected rows' names, each followed by "\r\n"; nothing
    // without a selection.
    void CopyListSelection();

Q_SIGNALS:
    // A list row was activated: the World View selects its item.
    void ItemActivated(QTreeWidgetItem* item);
    // A command chosen from the view's own menus, for the frame to carry out.
    void CommandChosen(int commandId);
    // Refresh: the selected item is fetched again, keeping the grid's rows.
    void RefreshRequested(QTreeWidgetItem* item);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void makeActive(QWidget* part, bool show, bool& shownFlag);
    int fillFolderList(const QString& url, QTreeWidgetItem* item);
    void replaceWidget(QPointer<CMyViewDlg>& slot, CMyViewDlg* made);
    void makeNavigator();
    void refreshKeepingSelection();
    void showGridMenu(QPoint globalPos);

    CMyTree& m_tree;
    CPreferences& m_prefs;
    CPanelFactory& m_panels;
    unsigned m_showFlags = 0;
    int m_panelCode = 0;
    int m_kind = 0;
    QPointer<QWidget> m_navigator;
    CMyGrid* m_grid = nullptr;
    QPointer<CMyViewDlg> m_panel;
    CFolderList* m_folderList = nullptr;
    bool m_navigatorShown = false;
    bool m_panelShown = false;
    bool m_gridShown = false;
    bool m_listShown = false;
};
