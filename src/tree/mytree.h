#pragma once

// The World View tree model. It is attached to the World View pane's tree
// control and turns tree XML (a server reply, a tree URL's document, a saved
// World View) into control items that own their records, writes the World
// View back as XML, and offers the find, insert, remove, prune, collapse and
// count operations of the tree. Every operation does nothing (0 or null)
// while no control is attached.
//
// Item arguments: null means the selected item, RootLevel() the first root
// item, wherever an operation says so. As a parent of an insertion, null and
// RootLevel() both mean the root level.

#include "net/expatmywire.h"
#include "tree/myitem.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QTreeWidget>

#include <chrono>
#include <functional>
#include <memory>
#include <vector>

class CTreeHost;

class CMyTree : public CExpatMyWire {
public:
    // The modified mark after the root's tree text: two blanks and a star.
    static constexpr QStringView kModifiedMark = u"  *";

    CMyTree();
    ~CMyTree() override;

    // The program's own tree lets pending events run while it reads XML.
    void SetMainTree(bool mainTree) { m_mainTree = mainTree; }
    // The windows and dispatcher around the tree. Without a host (null, the
    // start state) the tree stands alone: a selection simply stands, nothing
    // is fetched through the tree pipe, and there are no requests to cancel.
    void SetHost(CTreeHost* host);

    // Stores the control and empties it. A control that is destroyed detaches
    // itself.
    void AttachTreeCtrl(QTreeWidget* tree);
    QTreeWidget* GetTreeCtrl() const { return m_tree; }
    // The control's root level (the pseudo-item of the root items).
    QTreeWidgetItem* RootLevel() const;

    // Navigation.
    CMyItem* GetMyItem(QTreeWidgetItem* item) const;
    QTreeWidgetItem* GetRootItem() const;
    QTreeWidgetItem* GetSelectedItem() const;
    QTreeWidgetItem* GetParentItem(QTreeWidgetItem* item) const;
    QTreeWidgetItem* GetChildItem(QTreeWidgetItem* item) const;
    QTreeWidgetItem* GetNextSiblingItem(QTreeWidgetItem* item) const;
    QTreeWidgetItem* FindItemById(quint32 itemId) const;
    int GetChildCount(QTreeWidgetItem* item) const;
    bool ItemHasChildren(QTreeWidgetItem* item) const;
    bool IsItemExpanded(QTreeWidgetItem* item) const;
    bool Expand(QTreeWidgetItem* item, bool expand);
    void EnsureVisible(QTreeWidgetItem* item);
    void SortChildren(QTreeWidgetItem* item);
    // Same image for the normal and the selected state.
    bool SetItemImage(QTreeWidgetItem* item, int image);
    // Shows or hides the expand button; refused off the UI thread.
    bool SetHasChildren(QTreeWidgetItem* item, bool hasChildren);
    void EndLabelEdit();
    // Selects the item in the control (null or RootLevel(): the first root
    // item), cancels the tree's requests and has the host show it; without
    // force, selecting the last selection again does nothing and succeeds.
    // 0 when the control refused it, the right-hand side failed or the
    // server's login turned out expired.
    int SelectItem(QTreeWidgetItem* item, bool force);
    // The item the last successful SelectItem selected, null when gone.
    QTreeWidgetItem* GetLastSelection() const { return FindItemById(m_lastSelectionId); }
    // Opens the item, fetching its children by its tree URL when it has
    // none; 1 when open, 0 for no item or an expired login.
    int FetchAndExpand(QTreeWidgetItem* item);
    // Refreshes the nearest dynamic ancestor (keeping the grid's selected
    // rows) and opens it; 0 when there is none.
    int RefreshDynamicParent(QTreeWidgetItem* item);
    // Whether the item has something to be filled from; never while the
    // tree is being built.
    bool IsDynamicItem(QTreeWidgetItem* item) const;
    // Client-side logout of every logged-in server under the item (null:
    // the whole World View).
    void LogoutAll(QTreeWidgetItem* item);
    // Cancels the tree's outstanding requests.
    void CancelRequests();

    // Identity: the item's ID, and the IDs from the top down joined by "|".
    QString GetID(QTreeWidgetItem* item) const;
    QString GetFullCurl(QTreeWidgetItem* item) const;

    // Servers.
    QTreeWidgetItem* FindSystemItem(QTreeWidgetItem* item) const;
    CServerConnection* GetSystem(QTreeWidgetItem* item) const;
    QString GetSystemItemText(QTreeWidgetItem* item) const;
    // The server's base URL, or "TreeDataError" outside servers.
    QString GetServerURL(QTreeWidgetItem* item, bool withCredentials = false) const;
    bool IsUnderKind(QTreeWidgetItem* item, int kind) const;
    bool SameSystem(QTreeWidgetItem* first, QTreeWidgetItem* second) const;

    // Searching; every comparison is exact.
    bool ItemMatchesName(const QString& name, QTreeWidgetItem* item) const;
    QTreeWidgetItem* FindItemByName(const QString& name, QTreeWidgetItem* start) const;
    bool IsUnderName(const QString& name, QTreeWidgetItem* item) const;
    QTreeWidgetItem* FindItemByPath(const QStringList& names) const;
    // The first child whose tree text equals the label, both cut at their
    // first "(" and stripped of trailing blanks. Null parent: the first root item.
    QTreeWidgetItem* FindChildByLabel(const QString& label, QTreeWidgetItem* parent) const;
    // Depth-first; port 0 matches any port. Null start: every root item.
    QTreeWidgetItem* FindSystemByHost(const QString& host, int port, QTreeWidgetItem* start) const;

    // Building. `after` null means last, RootLevel() first.
    QTreeWidgetItem* AddRootItem(const QString& label);
    QTreeWidgetItem* AddFolderItem(QTreeWidgetItem* parent, const QString& label,
                                   QTreeWidgetItem* after = nullptr);
    QTreeWidgetItem* AddSystemItem(QTreeWidgetItem* parent, const QString& label,
                                   const CServerConnection& session,
                                   QTreeWidgetItem* after = nullptr);
    // Inserts a copy; the result is the new item or, for a first component
    // that a server entry absorbs, the server entry.
    QTreeWidgetItem* InsertItemCopy(QTreeWidgetItem* parent, QTreeWidgetItem* after,
                                    const CMyItem& record);
    // Inserts the item with its SmartTree folders; the result is the topmost
    // folder found or made, or the inserted item when there were none.
    QTreeWidgetItem* AddSmartTreeItem(QTreeWidgetItem* parent, const CMyItem& record);

    // Removing. RootLevel() empties the whole tree.
    void DeleteItem(QTreeWidgetItem* item);
    // Deletes the item; the result is its parent, null for a root item.
    QTreeWidgetItem* RemoveItem(QTreeWidgetItem* item);
    // Collapses the item and deletes its children; the result is their number.
    int DeleteChildren(QTreeWidgetItem* item);
    void CollapseItem(QTreeWidgetItem* item);
    // Removes folders below the item (and the item) that hold nothing; 1 when
    // the item itself was removed.
    int DeleteEmptyFolders(QTreeWidgetItem* item);

    // Counts in labels: removes the suffix SetItemCount wrote, nothing else.
    void RemoveItemCount(QTreeWidgetItem* item);
    // Writes the row count of a grid (its heading row included) after the
    // label of the count item, else of the item, else of the selected item.
    int SetItemCount(QTreeWidgetItem* item, int gridRows);
    void SetCountItem(QTreeWidgetItem* item);

    // The modified mark.
    void SetModified();
    void ClearModified();
    bool IsModified() const { return m_modified; }
    bool IsBuilding() const { return m_building; }

    // A drop being carried out counts the "item" elements it brings.
    void SetDropID(const QString& id);
    const QString& GetDropID() const { return m_dropID; }
    int GetDropCount() const { return m_dropCount; }

    // Replaces the parent's children with the items of a tree XML text; 0
    // while another text is being read, or when the text was refused.
    int AddItemsFromXML(const QString& xml, QTreeWidgetItem* parent);
    // The same for a reply that may be large, on the UI thread: the text is
    // read into a scratch item standing in for the parent, and only a text
    // read whole takes the place of the parent's children. It is read in
    // pieces of kPieceCharacters characters and moved in slices of
    // kSliceItems items, as many as fit in a turn of the event loop of
    // kTurnTime (at least one piece or slice), so that the window runs
    // meanwhile however busy the machine is. `done` is told the parent
    // (null when it went away meanwhile) and whether the text was read; a
    // reply of one piece and one slice is in place, and `done` told, before
    // this returns. 0 when refused.
    static constexpr qsizetype kPieceCharacters = 16384;
    static constexpr int kSliceItems = 500;
    static constexpr std::chrono::milliseconds kTurnTime{10};
    using SlicesDone = std::function<void(QTreeWidgetItem* parent, bool added)>;
    int AddItemsFromXMLInSlices(const QString& xml, QTreeWidgetItem* parent, SlicesDone done);
    // The length of a turn instead of kTurnTime; zero makes every piece
    // and slice a turn of its own.
    void SetTurnTime(std::chrono::milliseconds time) { m_turnTime = time; }
    // Fills the parent's children from a local file, or from the server: at
    // once when called off the UI thread, else through a tree request.
    int AddItemsFromURL(const QString& url, QTreeWidgetItem* parent, bool quiet);
    // Reads a whole World View into a tree of its own and, only when that
    // succeeds, puts it in place of every item of this tree. 1 on success.
    int ReplaceFromXML(const QString& xml);
    // The World View as XML (item null) or one item's element at a depth.
    void WriteXML(QString& out, int depth, QTreeWidgetItem* item) const;

    quint16& RequesterId() { return m_requesterId; }

    int XMLHandleStartTag(const QString& name, const KPROPS& attributes, const QString& parent,
                          const XmlElementStack& stack) override;
    int XMLHandleEndTag(const QString& name, const QString& text, const KPROPS& attributes,
                        const QString& parent, const XmlElementStack& stack) override;

private:
    // The item an argument names: null = selected, RootLevel() = first root item.
    QTreeWidgetItem* resolve(QTreeWidgetItem* item) const;
    // The control item under which an insertion goes.
    QTreeWidgetItem* insertionParent(QTreeWidgetItem* parent) const;
    QTreeWidgetItem* InsertItem(QTreeWidgetItem* parent, QTreeWidgetItem* after,
                                std::unique_ptr<CMyItem> record);
    bool AbsorbFirstComponent(QTreeWidgetItem* parent, const CMyItem& record);
    // Collapses the item and takes its children out of the control.
    QList<QTreeWidgetItem*> detachChildren(QTreeWidgetItem* item);
    void ApplyExpansion(QTreeWidgetItem* item);
    // Reads the text with `target` as the current parent; true when whole.
    bool parseInto(const QString& xml, QTreeWidgetItem* target);
    // The same a piece at a time: beginParse starts it (false when it was
    // refused), the pieces are read with ReadPiece, and endParse ends it
    // with the last piece's outcome, true when the text was read whole.
    bool beginParse(const QString& xml, QTreeWidgetItem* target);
    bool endParse(Pieces read);
    // While a reply is read into a scratch item: the parent the scratch
    // stands in for, where the item is the scratch; else the item itself.
    QTreeWidgetItem* standsFor(QTreeWidgetItem* item) const;
    QTreeWidgetItem* parentOf(QTreeWidgetItem* item) const;
    // One turn of a reply read in slices: the next pieces of its text, or,
    // once it is read, the next slices of its items (all that is left when
    // `atOnce`); tells `done` after the last.
    void nextTurn(bool atOnce);
    // Reads the next pieces into the scratch item; true once the text is
    // read whole and its items wait for their slices.
    bool readNextPieces(const QElapsedTimer& turn, bool atOnce);
    // Whether the turn begun at `turn` has time for more work.
    bool turnGoesOn(const QElapsedTimer& turn) const;
    void endSlices(QTreeWidgetItem* parent, bool added);
    void applyExpansionBelow(QTreeWidgetItem* item);
    // Reads the rest of a reply being read in slices and moves every item
    // still waiting for its slice in at once.
    void finishSlices();
    // The drop being carried out fetches the selected item's children.
    int fetchForDrop(QTreeWidgetItem* item);
    // The selected server's login turned out expired.
    bool selectedLoginExpired() const;
    // The host's progress display was cancelled; never without a host.
    bool progressCancelled() const;
    QTreeWidgetItem* findByName(const QString& name, QTreeWidgetItem* start) const;
    bool onUiThread() const;

    void OpenSystem(const KPROPS& attributes);
    void OpenItem(const QString& name, const KPROPS& attributes);
    QTreeWidgetItem* OpenDirectoryEntry(std::unique_ptr<CMyItem> record);

    QPointer<QTreeWidget> m_tree;
    CTreeHost* m_host = nullptr;
    bool m_mainTree = false;
    bool m_building = false;
    bool m_modified = false;
    QString m_dropID;
    int m_dropCount = 0;
    quint16 m_requesterId = 0;
    quint32 m_countItemId = 0;
    quint32 m_lastSelectionId = 0;
    // While XML is read: the item under which the next element goes, and for
    // each open element whether it moved that item and where from, so that
    // its end moves back exactly as far.
    struct OpenElement {
        bool moved = false;
        QTreeWidgetItem* previousParent = nullptr;
    };
    QTreeWidgetItem* m_currentParent = nullptr;
    std::vector<OpenElement> m_openElements;
    std::unique_ptr<CMyItem> m_baseAttributes;

    // The reply being read into a scratch item and the parent it stands for.
    std::unique_ptr<QTreeWidgetItem> m_scratch;
    QTreeWidgetItem* m_scratchFor = nullptr;
    bool m_readingPiece = false;
    // The items of a reply read whole and waiting for their slice, and the
    // parent, found again by its id at each turn (the user may delete it).
    struct Slices {
        QList<QTreeWidgetItem*> items;
        qsizetype next = 0;
        quint32 parentId = 0;
        SlicesDone done;
    };
    Slices m_slices;
    std::unique_ptr<QTimer> m_sliceTimer;
    std::chrono::milliseconds m_turnTime = kTurnTime;
};
