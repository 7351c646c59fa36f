#pragma once

// The folder list of the right-hand view (control 101): the children of a
// World View item, one row each, in one of four styles. The rows live in one
// model that two views share: a list view for the icon, small-icon and list
// styles and a tree view with columns for the details style, so a change of
// style keeps the rows and their selection.

#include <QStackedWidget>
#include <QStandardItemModel>

class CMyTree;
class CPreferences;
class QItemSelectionModel;
class QListView;
class QTreeView;
class QTreeWidgetItem;

class CFolderList : public QStackedWidget {
    Q_OBJECT
public:
    // The styles as "ListViewMode" stores them.
    enum Mode { kIcon = 0, kDetails = 1, kSmallIcon = 2, kList = 3 };
    static constexpr int kControlId = 101;

    explicit CFolderList(QWidget* parent = nullptr);

    QStandardItemModel& Model() { return m_model; }
    int Mode() const { return m_mode; }
    // Out-of-range modes are taken as their two low bits.
    void SetMode(int mode);
    // The view of the current style (the one that takes the focus).
    QAbstractItemView* CurrentView() const;
    QListView* ListView() const { return m_list; }
    QTreeView* DetailsView() const { return m_details; }

    // Puts icons the user dragged about back in rows.
    void LineUpIcons();

    void DeleteAllItems();
    // One row per child of the item: label, icon and the child as item data.
    void FillFromChildren(CMyTree& tree, QTreeWidgetItem* parent);
    // Columns for the kind letter of the item shown, sized for `width`. Until
    // the user sizes a column they follow the list's width, since the list
    // may be filled before it is laid out.
    void SetColumns(int kind, int width);
    // The detail texts of each row by the kind of its item.
    void FillDetails(CMyTree& tree, const CPreferences& prefs);

    int RowCount() const { return m_model.rowCount(); }
    QTreeWidgetItem* ItemOfRow(int row) const;
    QList<int> SelectedRows() const;
    // The row of the current index, -1 when none.
    int SelectionMark() const;
    void SelectRow(int row);
    // Column 0 of each selected row followed by "\r\n"; empty without selection.
    QString SelectedText() const;
    // Whether the focus is in one of the two views.
    bool HasFocusInside() const;

Q_SIGNALS:
    void RowActivated(int row);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // The widths of the kind's columns for `width`, each at least as wide as
    // its title.
    void sizeColumns(int width);

    QStandardItemModel m_model;
    QListView* m_list = nullptr;
    QTreeView* m_details = nullptr;
    int m_mode = kIcon;
    int m_columnsKind = 0;
    // The columns follow the list's width: the user has sized none since
    // they were set.
    bool m_columnsFollowWidth = false;
    bool m_sizingColumns = false;
};

// The width of the "Fullpath" column of a directory listing `width` wide:
// what is left beside the other columns, at most 200 and never less than a
// usable minimum.
int FullPathColumnWidth(int width);
