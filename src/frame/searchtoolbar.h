#pragma once

// The grid filter bar: a text field that filters the rows of the view's
// primary grid, and the "Clear Filter Field" button. The grid filters as the
// user types (when real-time filtering is on), on Enter, when an action sets
// the filter and when the filter is cleared. While the field holds no
// filter it shows its cue text greyed; the cue is never a filter.

#include "frame/cmdui.h"

#include <QComboBox>
#include <QToolBar>

#include <functional>

class CFrameCommands;
class CMyGrid;
class CPreferences;

class CSearchComboBox : public QComboBox {
    Q_OBJECT
public:
    static constexpr int kFieldId = 5471;
    static constexpr int kFieldWidth = 160;
    // The row filter's flags: hide the rows that do not match.
    static constexpr unsigned kFilterFlags = 0x11;

    // `grid` answers the view's primary grid, null when there is none.
    CSearchComboBox(std::function<CMyGrid*()> grid, CPreferences& prefs, QWidget* parent = nullptr);

    QString CueText() const { return m_cue; }
    // Puts the text into the field and filters the grid by it; without a
    // grid the field keeps its text.
    void SetFilter(const QString& text);
    // Filters the grid by the field's text, the cue counting as empty.
    void ApplyFilter();
    // Real-time filtering after an edit.
    void OnEditChange();
    // The field shows its cue again.
    void ShowCue();
    bool IsCueText() const { return currentText() == m_cue; }
    bool IsEmpty() const { return currentText().isEmpty(); }
    // Copy (57634), Cut (57635) and Paste (57637) act on the field's text;
    // nothing for other commands.
    CommandHandler CommandHandlerOf(int commandId);
    CMyGrid* Grid() const { return m_grid(); }

private:
    // The usual width, or wider where the whole cue would not show.
    int fieldWidth() const;

    std::function<CMyGrid*()> m_grid;
    CPreferences& m_prefs;
    QString m_cue;
};

class CSearchToolbar : public QToolBar {
    Q_OBJECT
public:
    static constexpr int kClearCommand = 32842;

    CSearchToolbar(const QString& title, std::function<CMyGrid*()> grid, CPreferences& prefs,
                   QWidget* parent = nullptr);

    // The field, then the clear button of the commands.
    void LoadButtons(CFrameCommands& commands);
    CSearchComboBox& Field() { return *m_field; }

    // Empties the field and shows every row, then gives the field the focus;
    // nothing without a grid.
    void ClearFilter();
    // The field is empty or shows the cue.
    bool IsFilterEmpty() const { return m_field->IsEmpty() || m_field->IsCueText(); }
    // A new table: the field goes back to its cue.
    void ResetFilterText() { m_field->ShowCue(); }
    // The field or its editor has the keyboard focus.
    bool HasFieldFocus() const;

private:
    CSearchComboBox* m_field;
};
