#pragma once

// The small panel above a grid whose rows the server delivers in chunks
// (pages): the current row range and the total, first/previous/next/last
// links and a drop-down of every range. It builds the URL suffix that asks
// for one chunk in a sort order, and re-runs its owning panel (an element
// or job chooser) when the page or the order changes.

#include <QComboBox>
#include <QLabel>
#include <QPointer>
#include <QString>
#include <QWidget>

class CMyGrid;
class CMyGridSite;
class CNavigatorOwner;

// The range drop-down; the type exists so the panel's controls keep their
// own class.
class CNavComboBox : public QComboBox {
    Q_OBJECT
public:
    using QComboBox::QComboBox;
};

class CGridNavigator : public QWidget {
    Q_OBJECT

public:
    // Control ids of the panel's template.
    enum : int {
        kIdRange = 5196,
        kIdTotal = 5599,
        kIdFirst = 5596,
        kIdPrior = 5595,
        kIdNext = 5379,
        kIdLast = 5593,
        kIdOf = 5602,
    };
    static constexpr int kDefaultElementsPerChunk = 500;

    // `site` shows and hides the navigator (the view); null: none does.
    CGridNavigator(QWidget* parent, int chunk, const QString& sortColumn, bool ascending,
                   CMyGridSite* site = nullptr);

    // The grid whose column names the sort order takes.
    void SetGrid(const CMyGrid* grid) { m_grid = grid; }

    // From the grid's "chunks" element: the total, the owning panel (null:
    // the navigator hides), the chunk (below 1 is 1) and the entries per
    // chunk (0: the "ElementsPerChunk" preference).
    void SetRange(int total, CNavigatorOwner* owner, int chunk, int perChunk);
    // "first", "prior", "next" or "last"; false when the chunk stayed.
    bool Navigate(const QString& word);
    int GetChunk() const { return m_chunk; }
    int GetChunkCount() const;
    QString GetChunkQuery() const;
    // A header click: chunk 1, sorted by the grid column's XML name.
    void SetSort(int gridCol, bool ascending);
    QString GetSortColumn() const { return m_sortColumn; }
    bool GetAscending() const { return m_ascending; }
    CNavigatorOwner* GetOwner() const { return m_owner; }

    // Shown with the view's panels: nothing to do beyond the display.
    void OnPanelShown();

    QString GetRangeText() const { return m_rangeText; }
    QString GetTotalText() const { return m_totalText; }
    CNavComboBox& RangeCombo() { return *m_combo; }
    QLabel* Link(int controlId) const;

    // Decimal with "," between groups of three digits; 0 or less is "0".
    static QString GroupDigits(qint64 number);

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static int elementsPerChunkPreference();
    void refresh();
    void rerunOwner();
    void onComboChosen(int index);
    void onRangeEdited(const QString& text);
    void setHovered(QLabel* label);
    QLabel* makeLabel(int controlId, const QString& text);
    void layoutControls();

    CMyGridSite* m_site;
    QPointer<const CMyGrid> m_grid;
    QString m_rangeText;
    QString m_totalText;
    QString m_sortColumn;
    bool m_ascending;
    int m_chunk;
    CNavigatorOwner* m_owner = nullptr;
    int m_perChunk = kDefaultElementsPerChunk;
    int m_total = kDefaultElementsPerChunk;
    QLabel* m_hovered = nullptr;
    CNavComboBox* m_combo;
    QLabel* m_first;
    QLabel* m_prior;
    QLabel* m_next;
    QLabel* m_last;
    QLabel* m_of;
    QLabel* m_totalLabel;
    bool m_filling = false;
};
