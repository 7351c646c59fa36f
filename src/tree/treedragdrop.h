#pragma once

// The World View pane as a drag source and a drop target, and its Copy, Cut
// and Paste. Folders and servers travel as clipboard item records: within
// one console a drop moves them, between two consoles it copies them (and
// the source removes its own on a move); a whole World View replaces the
// other console's; items the server delivered run the server's drop actions
// when dropped onto another of its items, and so do the data grid's rows.
//
// What the pane around it does (running actions, expanding with a fetch,
// deleting, pasting server files, asking to save) is reached through its
// site.

#include "framework/kprops.h"
#include "tree/clipboarditem.h"

#include <QBasicTimer>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QString>

class CMyDropInfoList;
class CMyTree;
class CTreeDropMarker;
class QMimeData;
class QTreeWidget;
class QTreeWidgetItem;

class CTreeDropSite {
public:
    virtual ~CTreeDropSite() = default;
    // Runs a drop's actions; context 'G' for grid rows, 0 otherwise.
    virtual void RunActions(const KPROPS& actions, int context) = 0;
    // The drag type of the data grid's rows, empty without a grid.
    virtual QString GridDragType() const = 0;
    // Expands the item, fetching its children once.
    virtual void ExpandItem(QTreeWidgetItem* item) = 0;
    // Deletes the item as the pane's Delete does.
    virtual void DeleteObjects(QTreeWidgetItem* item) = 0;
    // Pastes the server file objects a 'D' record names onto the target.
    virtual void PasteObjects(QTreeWidgetItem* target, const ClipboardHeader& header) = 0;
    // Offers to save the World View's unsaved changes; false when the user
    // cancels.
    virtual bool AskToSaveChanges() = 0;
};

class CTreeDragDrop : public QObject {
public:
    static constexpr int kHoverExpandMs = 1500;
    static constexpr int kTopEdgePixels = 3;
    static constexpr int kAutoScrollPixels = 10;

    CTreeDragDrop(CMyTree& tree, CTreeDropSite& site);
    ~CTreeDragDrop() override;

    // Takes the drags and drops of the control that shows the tree model.
    void Attach(QTreeWidget* control);

    // The data an item offers: its label as text and, for folders, servers,
    // the World View and server items, its record. Null without an item.
    QMimeData* CreateDataSource(QTreeWidgetItem* item) const;
    void Copy(QTreeWidgetItem* item);
    void Cut(QTreeWidgetItem* item);
    void Paste(QTreeWidgetItem* target);
    // Drags the item; a move removes it unless Shift is held as it ends.
    void BeginDrag(QTreeWidgetItem* item);

    // What a drop of the data onto the target would do; `insertBefore`
    // tells whether it goes before the target rather than into it.
    Qt::DropAction CheckDrop(const QMimeData* data, QTreeWidgetItem* target, bool& insertBefore,
                             bool onTopEdge);
    // Carries the drop out; false when nothing was dropped.
    bool DoDrop(const QMimeData* data, Qt::DropAction effect, QTreeWidgetItem* target,
                bool insertBefore);
    // Adds the folder stream's outermost folder under the parent (after the
    // item; RootLevel(): first; null: last) and what it holds. The
    // new folder, null when the stream was refused.
    QTreeWidgetItem* ReadFolderStream(CClipboardReader& reader, QTreeWidgetItem* parent,
                                      QTreeWidgetItem* after);

    // The drag events of the control's viewport.
    Qt::DropAction OnDragEnter(const QMimeData* data, QPoint point);
    Qt::DropAction OnDragOver(const QMimeData* data, QPoint point);
    void OnDragLeave();
    bool OnDrop(const QMimeData* data, Qt::DropAction effect, QPoint point);

    // The marks a drag over the pane shows: the item a drop goes into, and
    // the item a drop goes before.
    QTreeWidgetItem* DropHighlight() const;
    QTreeWidgetItem* InsertMark() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    QTreeWidget* control() const;
    QTreeWidgetItem* itemById(quint32 id) const;
    QTreeWidgetItem* targetAt(QPoint point, bool& onTopEdge) const;
    QTreeWidgetItem* rootItem() const;
    int kindOf(QTreeWidgetItem* item) const;
    const CMyDropInfoList* rulesOf(QTreeWidgetItem* item) const;
    QString targetRuleType(QTreeWidgetItem* item) const;
    Qt::DropAction checkTreeRecord(const ClipboardHeader& header, QTreeWidgetItem* target,
                                   bool& insertBefore, bool onTopEdge) const;
    Qt::DropAction checkServerRecord(const ClipboardHeader& header, QTreeWidgetItem* target,
                                     const char16_t* verb);
    bool placement(QTreeWidgetItem* target, bool insertBefore, QTreeWidgetItem*& parent,
                   QTreeWidgetItem*& after) const;
    QTreeWidgetItem* addServer(const ClipboardServer& server, QTreeWidgetItem* parent,
                               QTreeWidgetItem* after);
    QTreeWidgetItem* addFolder(const ClipboardFolder& folder, QTreeWidgetItem* parent,
                               QTreeWidgetItem* after);
    bool dropWorldView(CClipboardReader& reader);
    bool runDropActions(const ClipboardHeader& header, QTreeWidgetItem* target);
    void setMarks(QTreeWidgetItem* highlight, QTreeWidgetItem* insertMark);
    void autoScroll(QPoint point);
    void onHoverTimer();
    // The group below "Group List" that holds the saved selection, kept
    // across a drop and selected again after it.
    void rememberGroup();
    void reselectGroup();

    CMyTree& m_tree;
    CTreeDropSite& m_site;
    QPointer<QTreeWidget> m_control;
    CTreeDropMarker* m_marker = nullptr;
    // Items are named by their ids: a drop may delete any of them.
    quint32 m_dragSourceId = 0;
    quint32 m_hoverId = 0;
    quint32 m_dropHighlightId = 0;
    quint32 m_insertMarkId = 0;
    quint32 m_savedSelectionId = 0;
    bool m_fetchedDuringHover = false;
    bool m_inHoverTimer = false;
    QBasicTimer m_hoverTimer;
    quint32 m_groupId = 0;
    QString m_groupItemID;
    // The left button's press, for starting drags.
    QPoint m_pressPoint;
    quint32 m_pressItemId = 0;
};
