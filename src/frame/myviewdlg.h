#pragma once

// The base of every panel shown in the right-hand side: the tab strip, the
// choosers, the login and logout panels. A panel remembers the World View
// item that was current when it was made, gives Copy and Paste to its edit
// fields, and hears when the view has shown it. The frame's shortcuts reach a
// panel without help: they are window shortcuts of the main window, which
// holds every panel.

#include "grid/navigatorowner.h"

#include <QString>
#include <QWidget>

class QTreeWidgetItem;

class CMyViewDlg : public QWidget, public CNavigatorOwner {
    Q_OBJECT
public:
    CMyViewDlg(int templateId, QWidget* parent, QTreeWidgetItem* currentItem);
    ~CMyViewDlg() override;

    int TemplateId() const { return m_templateId; }
    // The World View item current when the panel was made; null when none.
    QTreeWidgetItem* CurrentTreeItem() const { return m_currentItem; }

    // Runs each time the view has shown the panel, and when the grid's
    // navigator asks its owner to run again. Empty here.
    void OnPanelShown() override {}
    // Copy from, and paste into, the edit field that has the focus; 1 when
    // done. Paste needs an enabled, visible, writable field.
    virtual int EditCopy();
    virtual int EditPaste();
    // A filter command of the grid's reply ("disable_advanced_filters"...)
    // with its text, for the chooser above the grid; other panels ignore it.
    virtual void GridFilterCommand(const QString& command, const QString& text);

private:
    int m_templateId;
    QTreeWidgetItem* m_currentItem;
};
