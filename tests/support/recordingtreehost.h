#pragma once

// Stands in for the main window around a World View model: records the tree
// requests it is asked to send and answers with the pane's target item a
// test sets. A selection stands and every request goes out.

#include "tree/treehost.h"

#include <QStringList>

#include <functional>

class RecordingTreeHost : public CTreeHost {
public:
    bool IsProgressCancelled() const override { return progressCancelled; }
    // Asked on the UI thread just before a worker's fetch starts.
    QTreeWidgetItem* PaneCurrentItem() const override {
        if (beforeFetch) {
            beforeFetch();
        }
        return paneItem;
    }
    // Records "url user password".
    int SendTreeRequest(quint16&, const QString& url, const QString& user, const QString& password,
                        quint32) override {
        requests << url + u' ' + user + u' ' + password;
        return 1;
    }
    void CancelTreeRequests(quint16) override {}
    int LogoutIfUnauthorized(CMyTree&, QTreeWidgetItem*) override { return 0; }
    int OnItemSelected(CMyTree&, QTreeWidgetItem*) override { return 1; }
    int RefreshItemKeepSelection(QTreeWidgetItem*, bool) override { return 0; }
    void OnItemLabelChanged(QTreeWidgetItem*) override {}

    bool progressCancelled = false;
    QTreeWidgetItem* paneItem = nullptr;
    std::function<void()> beforeFetch;
    QStringList requests;
};
