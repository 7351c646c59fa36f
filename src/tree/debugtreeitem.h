#pragma once

// The "TreeView Object Debugger": everything the program holds about one
// World View item (the control's view of it, its record, and for a server
// entry its session, menu inventory and drag-and-drop rules, with a checker
// of drag-and-drop pairs). It changes nothing.

#include <QDialog>
#include <QString>

class CLeftView;
class CMyDropInfoList;
class CMyItem;
class CMyTree;
class QFormLayout;
class QLabel;
class QListWidget;
class QTableWidget;
class QTreeWidgetItem;

class CDebugTreeItem : public QDialog {
    Q_OBJECT

public:
    static constexpr int kTemplateId = 472;

    CDebugTreeItem(CMyTree& tree, QTreeWidgetItem* item, CLeftView& pane,
                   QWidget* parent = nullptr);

    // The value shown after a label of the template ("TreeURL:"...), null
    // when the dialog has no such line.
    const QLabel* Value(const QString& label) const;
    QListWidget& MenuLines() const { return *m_menuLines; }
    QListWidget& DragObjects() const { return *m_dragObjects; }
    QListWidget& DropTargets() const { return *m_dropTargets; }
    QTableWidget& MenuInventory() const { return *m_menus; }
    // The checker's line and the three action lines.
    QString CheckerText() const;
    QString ActionText(int index) const;
    bool ShowsServerPart() const { return m_serverPart; }

private:
    void addLine(const QString& label, const QString& value);
    void fillServerPart(const CMyItem& record);
    void checkPair();

    QFormLayout* m_form = nullptr;
    QListWidget* m_menuLines = nullptr;
    QListWidget* m_dragObjects = nullptr;
    QListWidget* m_dropTargets = nullptr;
    QTableWidget* m_menus = nullptr;
    QLabel* m_checker = nullptr;
    QLabel* m_actions[3] = {};
    const CMyDropInfoList* m_rules = nullptr;
    bool m_serverPart = false;
};
