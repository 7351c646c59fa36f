#pragma once

// One entry of a server-defined context menu: the attributes of its
// "menu-item" or "separator" element (names in lower case), its command id
// in the server-menu range, and what those attributes decide: whether the
// entry is hidden or greyed for the current selection (a small condition
// language), its accelerator label, whether it opens the properties pane,
// and the expansion of column references in its action texts.

#include "framework/kprops.h"

#include <QString>

class CMenuCommandIds;
class CMenuGridRows;
class QWidget;

// Where the entries of one server's menus take their command ids from: the
// application's table, under that server's identifier.
struct CMenuCommandSource {
    CMenuCommandIds* table = nullptr;
    quint64 server = 0;

    // A free id, 0 when there is no table or no free id.
    int Alloc() const;
};

class CContextMenuItem {
public:
    // Takes a command id (a warning box when none is free) and sets the
    // defaults "max-values" 0, "min-values" 1 and "id" "t<command id>".
    explicit CContextMenuItem(const CMenuCommandSource& commandIds);
    CContextMenuItem(const CContextMenuItem&) = delete;
    CContextMenuItem& operator=(const CContextMenuItem&) = delete;

    // Copies the attributes and the command id.
    void CopyFrom(const CContextMenuItem& other);

    // Adds an attribute (the name lower-cased) or replaces its value.
    void SetAttribute(const QString& name, const QString& value);
    // The attribute's value, "" when absent; the name in any case.
    QString GetAttribute(const QString& name) const;
    const KPROPS& GetAttributes() const { return m_attributes; }

    bool IsSeparator() const { return m_separator; }
    void SetSeparator(bool separator) { m_separator = separator; }
    int GetCommandId() const { return m_commandId; }

    // Whether the condition in the attribute (e.g. "hidden-if") holds for
    // the grid's selection and the World View's selected item. An absent or
    // empty condition is false.
    bool EvaluateCondition(const CMenuGridRows* grid, const QString& attributeName) const;
    // One term of a condition; `label` names the condition in messages.
    bool EvaluateTerm(const CMenuGridRows* grid, const QString& label, const QString& term) const;
    // "cmoTag:" terms: the text after the prefix, "!" negating.
    bool EvaluateCmoTag(const QString& tag) const;

    // Whether the grid's selected row count lies within "min-values" and
    // "max-values" (0: no limit); always without a grid.
    bool IsEnabled(const CMenuGridRows* grid) const;
    // "\tAlt+Enter", "\tDel", "\t[Fn]" or nothing, after the menu text.
    QString GetAccelLabel() const;
    // Whether an action or curl attribute opens the properties pane.
    bool HasPropertiesAction() const;

    // Replaces each "col-ref" element of the text by the selected rows'
    // values of the column it names, percent-escaped. With too few rows for
    // "min-values" a reference expands to nothing and `errorText` says so.
    QString ExpandColRefs(const QString& text, const CMenuGridRows* grid, QString& errorText) const;

    // Runs the entry for its menu's owner window: nothing (0) unless the
    // caller's argument is 0; else the handler's result.
    int Invoke(int commandId, int callerArgument, qintptr third, CMenuGridRows* grid,
               QWidget* owner) const;

private:
    QString expandColumn(const QString& column, const QString& initialComma,
                         const CMenuGridRows* grid, QString& errorText) const;
    int attributeNumber(const QString& name) const;

    KPROPS m_attributes{100, 10};
    bool m_separator = false;
    int m_commandId = 0;
};
