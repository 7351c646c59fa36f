#pragma once

// The panel of a logged-in server whose tree names no panel of its own: the
// server's facts in one line and a Logout button.

#include "frame/myviewdlg.h"

class CMySystem;
class CMyTree;
class QLabel;

class CLogoutDialog : public CMyViewDlg {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 5386;
    static constexpr int kStatusId = 5116;

    CLogoutDialog(QWidget* parent, QTreeWidgetItem* item, CMyTree& tree);

    // "[ host | user | type version | info ]"
    static QString StatusLine(const CMySystem& system);
    // Logs the server out; the panel may be gone when it returns.
    void OnOK();

private:
    QTreeWidgetItem* m_item;
    CMyTree& m_tree;
    CMySystem* m_system;
    QLabel* m_status;
};
