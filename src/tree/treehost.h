#pragma once

// What the World View model needs of the windows and the request machinery
// around it. The main frame and the request dispatcher fill these in; until
// they do, the default only logs, so nothing is pretended.

#include <QString>

class CMyTree;
class QTreeWidgetItem;

class CTreeHost {
public:
    virtual ~CTreeHost() = default;

    // The progress display's Cancel was pressed: tree XML is then ignored.
    virtual bool IsProgressCancelled() const { return false; }
    // The item the World View pane reported as current last.
    virtual QTreeWidgetItem* PaneCurrentItem() const { return nullptr; }
    // Asks the dispatcher for a tree request (kind 2) under the requester id;
    // its reply comes back through the tree pipe. 1 when it was sent.
    virtual int SendTreeRequest(quint16& requesterId, const QString& url, const QString& user,
                                const QString& password);
    // A new item was selected: the right-hand side shows what it names. The
    // result is the selection's success.
    virtual int OnItemSelected(CMyTree& tree, QTreeWidgetItem* item);
};

// The logging default, used while no host is installed.
CTreeHost& DefaultTreeHost();
