#pragma once

// The World View pane: the tree control that shows the World View model and
// turns the user's input into operations on it. Selecting an item drives the
// right-hand side, opening one fetches its children by its tree URL, a right
// click offers the item's popup with its server's menu entries, and the pane
// carries out the World View commands (new server and folder, rename,
// delete, log in and out, refresh, new window, server file objects), hover
// and keyboard help. UI thread only.

#include "tree/itemlabeldelegate.h"
#include "tree/tooltip.h"
#include "tree/treedragdrop.h"
#include "tree/widestlabel.h"

#include <QPointer>
#include <QString>
#include <QTreeWidget>

class CContextMenu;
class CLeftViewHost;
class CMenuGridRows;
class CMyItem;
class CMyTree;
class QListWidget;
class QMenu;

class CLeftView : public QTreeWidget, private CTreeDropSite {
    Q_OBJECT

public:
    // Where a point lies on an item.
    enum HitFlag : unsigned {
        kHitNowhere = 0,
        kHitOnIcon = 0x2,
        kHitOnLabel = 0x4,
        kHitOnButton = 0x10,
        kHitOnItem = kHitOnIcon | kHitOnLabel,
    };

    // The command ids of the pane's operations.
    enum Command : int {
        kNewServer = 32776,
        kNewServerPopup = 32822,
        kNewFolder = 32773,
        kNewFolderPopup = 32823,
        kRenameServer = 32777,
        kRenameFolder = 32774,
        kDeleteServer = 32779,
        kDeleteFolder = 32775,
        kNewWindow = 32797,
        kRefresh = 32784,
        kRefreshPopup = 32769,
        kOpenObject = 32802,
        kCreateFolderObject = 32803,
        kCreateFileObject = 32804,
        kDeleteObjects = 32805,
        kCopyObject = 32806,
        kObjectProperties = 32807,
        kLogIn = 32830,
        kLogOut = 32820,
        kSaveWorldView = 32852,
        kRenameKey = 32770,
        kHelp = 57670,
        kDebug = 472,
        kEditCopy = 57634,
        kEditCut = 57635,
        kEditPaste = 57637,
        kFirstXmlCommand = 40000,
        kLastXmlCommand = 50000,
    };

    CLeftView(CMyTree& tree, CLeftViewHost& host, QWidget* parent = nullptr);
    ~CLeftView() override;

    // ---- target item ----
    QTreeWidgetItem* GetTargetItem() const;
    // Makes the item the target as if hit on its label; its record or null.
    CMyItem* SetTargetItem(QTreeWidgetItem* item);
    unsigned GetHitFlags() const { return m_hitFlags; }
    // The pane's width at which every label measured so far fits whole. A
    // call measures at most a turn's share of the rows shown since the last
    // one, so that a node of many thousand items costs no single long turn;
    // FittingPending tells whether rows wait for the next call.
    int FittingWidth();
    bool FittingPending() const { return m_widestLabel.HasPending(); }
    // The pane's width is no longer fitted: rows that come are not measured
    // until FittingWidth is asked again.
    void StopFitting();
    // The item and flags of a point of the viewport.
    QTreeWidgetItem* HitTest(QPoint point, unsigned& flags) const;
    // The rectangle of the item's icon and label in viewport coordinates,
    // where the style draws them.
    QRect ItemTextRect(QTreeWidgetItem* item) const;

    // The tree model selected the item: it becomes the target.
    void OnModelSelection(QTreeWidgetItem* item);

    // ---- commands ----
    // Carries out a command of the pane; false when the id is not the pane's.
    bool OnCommand(int commandId);
    // Whether the command applies to the target item now.
    bool IsCommandEnabled(int commandId);

    void NewServer(QTreeWidgetItem* item, const QString& descriptor);
    void NewFolder(QTreeWidgetItem* item, const QString& name);
    void RenameItem(QTreeWidgetItem* item);
    void DeleteServer(QTreeWidgetItem* item);
    void DeleteFolder(QTreeWidgetItem* item);
    void RefreshItem(QTreeWidgetItem* item);
    void LogIn();
    // Logs the target server out; with `again` (Ctrl or Shift held) in again.
    void LogOut(bool again);
    void OpenNewInstance();
    void OpenObject();
    void CreateFolderObject();
    void CreateFileObject();
    void DeleteObjects();
    void CopyObject();
    void ObjectProperties();
    // Opens an item, fetching its children by URL once per hover.
    void ExpandItem(QTreeWidgetItem* item) override;
    // Drags and drops, Copy, Cut and Paste of the pane's items.
    CTreeDragDrop& DragDrop() { return m_dragDrop; }

    // ---- menus ----
    // Fills the popup for the item; the debugger's list gets a line per
    // step when given. False when the item has no menu.
    bool BuildPopupMenu(QMenu& menu, QTreeWidgetItem* item, QListWidget* debugList = nullptr);
    // The popup of the selected item; false when there is none.
    bool BuildSelectionMenu(QMenu& menu);
    // The server menu that the item's menu name names, null when none.
    CContextMenu* GetItemMenu(QTreeWidgetItem* item);
    int AddItemMenuItems(QMenu& menu, CMenuGridRows* grid, QWidget* owner);
    // Runs a server-menu command of the target item.
    int RunItemMenuCommand(int commandId);

    // ---- help ----
    QString GetHelpURL(QTreeWidgetItem* item) const;
    void ClearMenuHelpFlag() { m_menuTracked = false; }
    // The item tip shows, naming the item that F1 gives the help of.
    bool IsInfoTipShown() const;
    bool IsMenuTracked() const { return m_menuTracked; }
    Tooltip& HoverTip() { return m_tooltip; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    bool event(QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QTreeWidgetItem* commandItem(QTreeWidgetItem* item) const;
    CMyItem* recordOf(QTreeWidgetItem* item) const;
    // Where the style draws the item's icon (empty without one) and its
    // label, in viewport coordinates; false when the item is not shown.
    bool itemLayout(QTreeWidgetItem* item, QRect& icon, QRect& label) const;
    void onCurrentItemChanged(QTreeWidgetItem* current);
    void onItemExpansion(QTreeWidgetItem* item, bool expanded);
    void onItemChanged(QTreeWidgetItem* item);
    void onButtonPress(QTreeWidgetItem* item);
    void showContextHelp(QTreeWidgetItem* item);
    void showPopup(QTreeWidgetItem* item, bool byKeyboard);
    void swapFolderImage(QTreeWidgetItem* item, bool expanded);
    void startEdit(QTreeWidgetItem* item);
    // Where a new item goes for the target: first in a folder or the root,
    // after a server entry; false for other kinds.
    bool placeNewItem(QTreeWidgetItem* target, QTreeWidgetItem*& parent,
                      QTreeWidgetItem*& after) const;
    void onDeleteKey();
    bool canRename(QTreeWidgetItem* item) const;
    // The server copies a file object to the target path; a name with control
    // characters is refused before anything is sent.
    void postCopyObject(const QString& sourcePath, const QString& targetPath);
    void showNameError();
    void trackHover(QPoint point);
    // CTreeDropSite
    void RunActions(const KPROPS& actions, int context) override;
    QString GridDragType() const override;
    void DeleteObjects(QTreeWidgetItem* item) override;
    void PasteObjects(QTreeWidgetItem* target, const ClipboardHeader& header) override;
    bool AskToSaveChanges() override;

    CMyTree& m_tree;
    CLeftViewHost& m_host;
    CItemLabelDelegate m_painter;
    quint32 m_targetId = 0;
    unsigned m_hitFlags = kHitNowhere;
    bool m_keySelection = false;
    bool m_menuSelected = false;
    bool m_menuTracked = false;
    bool m_f1OnInfoTip = false;
    bool m_hoverFetched = false;
    // The item whose label is being edited, and its text before.
    quint32 m_editedId = 0;
    QString m_labelBeforeEdit;
    Tooltip m_tooltip;
    quint32 m_hoverId = 0;
    bool m_hoverPending = false;
    CTreeDragDrop m_dragDrop;
    CWidestLabel m_widestLabel;
};
