#pragma once

// What the World View model needs of the windows and the request machinery
// around it. The main frame is the host; a tree without one stands alone
// (see CMyTree::SetHost).

#include <QString>

class CMyTree;
class QTreeWidgetItem;

class CTreeHost {
public:
    virtual ~CTreeHost() = default;

    // The progress display's Cancel was pressed: tree XML is then ignored.
    virtual bool IsProgressCancelled() const = 0;
    // The World View pane's target item (what its next command acts on).
    virtual QTreeWidgetItem* PaneCurrentItem() const = 0;
    // Asks the dispatcher for a tree request (kind 2) under the requester id
    // for the children of the item with the id; the reply comes back through
    // the tree pipe and goes under that item. 1 when it was sent.
    virtual int SendTreeRequest(quint16& requesterId, const QString& url, const QString& user,
                                const QString& password, quint32 itemId) = 0;
    // Drops every request still out under the requester id.
    virtual void CancelTreeRequests(quint16 requesterId) = 0;
    // After a fetch of the item's children: when the server answered 401,
    // marks the item's server expired and logs it out; 1 when it did.
    virtual int LogoutIfUnauthorized(CMyTree& tree, QTreeWidgetItem* fetched) = 0;
    // A new item was selected: the World View pane takes it as its target
    // and, unless a drop is carried out, the right-hand side shows what it
    // names. The result is the selection's success.
    virtual int OnItemSelected(CMyTree& tree, QTreeWidgetItem* item) = 0;
    // Fetches the item again keeping the grid's selected rows.
    virtual int RefreshItemKeepSelection(QTreeWidgetItem* item, bool collapse) = 0;
    // An item's label changed (its count): the window title follows.
    virtual void OnItemLabelChanged(QTreeWidgetItem* item) = 0;
};
