#pragma once

// A static splitter of one row of columns or one column of rows whose rows
// can be hidden and shown again without destroying their panes. Each section
// (row or column) keeps an ideal and a minimum size; the layout gives every
// shown section its ideal size in order and the last shown one the rest, as
// the frame's layout code expects. A hidden row keeps the size it had and gets
// it back when shown. Rows and columns are addressed by the fixed ("real")
// index they were created with, whether shown or hidden. UI thread only.

#include "frame/2darray.h"

#include <QList>
#include <QSplitter>

#include <vector>

class CExtSplitter : public QSplitter {
    Q_OBJECT
public:
    static constexpr int kFirstPaneId = 59648;

    struct SectionInfo {
        int current = 0;
        int ideal = 0;
        int minimum = 0;
    };

    explicit CExtSplitter(QWidget* parent = nullptr);

    // One row of `cols` columns or one column of `rows` rows; false otherwise.
    bool CreateStatic(int rows, int cols);
    // Places the pane at its fixed (row, col) with an initial size along the
    // splitter; false when the place is outside the splitter or taken.
    bool CreateView(int row, int col, QWidget* pane, int initialSize);

    int RowCount() const { return m_panes.Rows(); }
    int ColumnCount() const { return m_panes.Cols(); }
    QWidget* GetPane(int row, int col) const { return m_panes.At(row, col); }
    QWidget* GetRowPane(int row) const { return m_panes.At(row, 0); }

    bool IsRowVisible(int row) const { return m_shownRows.contains(row); }
    void HideRow(int row);
    void ShowRow(int row);
    const QList<int>& ShownRows() const { return m_shownRows; }
    const QList<int>& HiddenRows() const { return m_hiddenRows; }

    // Sections along the splitter: rows of a column of rows, columns of a row.
    virtual SectionInfo GetRowInfo(int row) const;
    virtual void SetRowInfo(int row, int ideal, int minimum);
    SectionInfo GetColumnInfo(int col) const;
    void SetColumnInfo(int col, int ideal, int minimum);

    // The real row or column of the active pane, -1 when none.
    int ActiveSection() const { return m_activeSection; }
    void SetActivePane(int row, int col);

    // Gives the shown sections their sizes again.
    virtual void RecalcLayout();
    // The length the panes share: the splitter's length without its handles.
    int PaneSpace() const;

protected:
    // Whether the user may drag the handle below visible section `visibleIndex`.
    virtual bool TrackRowSize(int visibleIndex);
    QSplitterHandle* createHandle() override;
    void resizeEvent(QResizeEvent* event) override;

private:
    class Handle;
    struct Section {
        int ideal = 0;
        int minimum = 0;
    };

    int sectionCount() const;
    int sectionOf(int row, int col) const;
    QWidget* paneOfSection(int section) const;
    // The pane's position among the splitter's widgets, -1 when it has none.
    int indexOfSection(int section) const;
    bool isAlongRows() const { return orientation() == Qt::Vertical; }
    void renumberPanes();
    void rememberUserSizes();
    bool handleRefused(QSplitterHandle* handle);

    C2DArray m_panes;
    QList<int> m_shownRows;
    QList<int> m_hiddenRows;
    std::vector<Section> m_sections;
    int m_activeSection = -1;
    bool m_laying = false;
};
