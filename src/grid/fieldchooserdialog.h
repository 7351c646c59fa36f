#pragma once

// "Select Fields": the user picks which fields of a server grid the server
// returns, and in which order. The server's list of fields fills "Available
// fields:", the columns the main grid shows now are already chosen, and OK
// stores the choice in the preferences and reloads the main grid.

#include <QDialog>
#include <QString>
#include <QStringList>

class CMyGrid;
class CMySystem;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;

class CFieldChooserDialog : public QDialog {
    Q_OBJECT

public:
    // The fields of one record, as the server's field list gives them.
    enum FieldPart { kFieldName, kFieldLabel, kFieldProperties, kFieldDescription, kFieldExtra };

    // `primaryGrid` (may be null) is the main window's grid: its columns are
    // preselected and it reloads on OK. `system` is the selected server.
    CFieldChooserDialog(CMyGrid* primaryGrid, CMySystem* system, QWidget* parent = nullptr);

    // Names the server's field list; must come before the dialog runs.
    void SetFieldList(const QString& name);
    QString GetProfileKey() const { return m_profileKey; }
    // Fills the lists while the window is hidden; false when there is no
    // field list name (the error box has told the user).
    bool Start();
    // Start, then the modal run.
    int DoModal();

    QListWidget* AvailableList() const { return m_available; }
    QListWidget* ChosenList() const { return m_chosen; }
    QLabel* DescriptionLabel() const { return m_description; }
    QLabel* DebugLabel() const { return m_debugInfo; }
    QPushButton* AddButton() const { return m_add; }
    QPushButton* RemoveButton() const { return m_remove; }
    QPushButton* MoveUpButton() const { return m_moveUp; }
    QPushButton* MoveDownButton() const { return m_moveDown; }
    QPushButton* OkButton() const { return m_ok; }
    int GetChangeCount() const { return m_changes; }

    void OnAdd();
    void OnRemove();
    void OnMoveUp();
    void OnMoveDown();

protected:
    void accept() override;

private:
    void fillAvailable();
    void preselect();
    void showDebugInfo();
    void updateButtons();
    void showDescription();
    // The selected rows of a list, top to bottom.
    static QList<int> selectedRows(const QListWidget& list);
    // The selection of the chosen list as one block: its first and last
    // row, false when it is empty or has gaps.
    bool chosenBlock(int& first, int& last) const;
    static QListWidgetItem* makeItem(const QStringList& record);

    CMyGrid* m_primaryGrid;
    CMySystem* m_system;
    QString m_fieldList;
    QString m_profileKey;
    QListWidget* m_available;
    QListWidget* m_chosen;
    QLabel* m_description;
    QPushButton* m_ok;
    QPushButton* m_cancel;
    QLabel* m_debugInfo;
    QPushButton* m_add;
    QPushButton* m_remove;
    QPushButton* m_moveUp;
    QPushButton* m_moveDown;
    int m_changes = 0;
};

// The field list a grid's chooser works on (its "field-chooser" property);
// empty when the grid has none.
QString GridFieldChooserList(const CMyGrid& grid);
// Runs "Select Fields" on the grid's field list for the grid's selected
// server; false when the grid has no field chooser.
bool RunFieldChooser(CMyGrid& grid, QWidget* parent);
