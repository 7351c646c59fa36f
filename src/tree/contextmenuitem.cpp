#include "tree/contextmenuitem.h"

#include "framework/klog.h"
#include "framework/ktext.h"
#include "net/wireservices.h"
#include "settings/langpack.h"
#include "settings/urltext.h"
#include "tree/contextmenuhost.h"
#include "tree/menugridrows.h"
#include "tree/myitem.h"
#include "tree/xmlnumbers.h"
#include "ui/menucommandids.h"

#include <QRegularExpression>

namespace {

constexpr int kMaxConditionPieces = 10;
constexpr int kMaxTagEntries = 10;
constexpr int kMaxFunctionKey = 12;
constexpr int kMinFunctionKey = 2;
const QString kCmoTagPrefix = QStringLiteral("cmoTag:");
const QString kColRef = QStringLiteral("col-ref");

// The "initial-comma" option of a column reference's opening tag, in any
// quoting and spacing; "yes" when it is not given.
QString initialCommaOption(QStringView openingTag) {
    static const QRegularExpression option(
        QStringLiteral(R"re(\sinitial-comma\s*=\s*(?:"([^"]*)"|'([^']*)'|([^\s"'>/]+)))re"));
    const QRegularExpressionMatch match = option.match(openingTag.toString());
    if (!match.hasMatch()) {
        return QStringLiteral("yes");
    }
    for (int group = 1; group <= 3; ++group) {
        if (match.capturedStart(group) >= 0) {
            return match.captured(group);
        }
    }
    return QStringLiteral("yes");
}

// Where the next "col-ref" element begins at or after `from`: the element
// name must end at a blank, "/" or ">", so "<col-refs>" is no reference.
qsizetype findOpeningTag(const QString& text, qsizetype from) {
    const QString start = u'<' + kColRef;
    for (qsizetype at = text.indexOf(start, from); at >= 0; at = text.indexOf(start, at + 1)) {
        const qsizetype after = at + start.size();
        if (after < text.size() &&
            (text.at(after) == u'>' || text.at(after) == u'/' || text.at(after).isSpace())) {
            return at;
        }
    }
    return -1;
}

}  // namespace

int CMenuCommandSource::Alloc() const {
    return table != nullptr ? table->Alloc(server) : 0;
}

CContextMenuItem::CContextMenuItem(const CMenuCommandSource& commandIds)
    : m_commandId(commandIds.Alloc()) {
    m_attributes.Add(QStringLiteral("max-values"), QStringLiteral("0"));
    m_attributes.Add(QStringLiteral("min-values"), QStringLiteral("1"));
    if (m_commandId == 0) {
        WireServices().PopupMessage(
            QStringLiteral("XML Error: Menu item range exceeded maximum value. Log out from any "
                           "unused servers to free resources, or use File > New > Window to open "
                           "another copy of Quillex."),
            kPopupWarning);
    }
    m_attributes.Add(QStringLiteral("id"), kFormat(u"t%d", m_commandId));
}

void CContextMenuItem::CopyFrom(const CContextMenuItem& other) {
    m_attributes.Clear();
    m_attributes.Merge(&other.m_attributes);
    m_commandId = other.m_commandId;
}

void CContextMenuItem::SetAttribute(const QString& name, const QString& value) {
    m_attributes.Add(name.toLower(), value);
}

QString CContextMenuItem::GetAttribute(const QString& name) const {
    return m_attributes.GetValueNoCase(name);
}

int CContextMenuItem::attributeNumber(const QString& name) const {
    return XmlDecimal(GetAttribute(name));
}

bool CContextMenuItem::EvaluateCondition(const CMenuGridRows* grid,
                                         const QString& attributeName) const {
    const QString condition = GetAttribute(attributeName);
    const QString label = attributeName + u'=' + condition;
    kDebugLog(u":: evaluating: %s", label);
    QStringList alternatives;
    kParseDelimedList(condition, alternatives, kMaxConditionPieces, u'|', true);
    for (const QString& alternative : alternatives) {
        QStringList terms;
        kParseDelimedList(alternative, terms, kMaxConditionPieces, u'&', true);
        const bool allTrue = std::all_of(terms.cbegin(), terms.cend(), [&](const QString& term) {
            return EvaluateTerm(grid, label, term);
        });
        if (allTrue) {
            return true;
        }
    }
    return false;
}

bool CContextMenuItem::EvaluateTerm(const CMenuGridRows* grid, const QString& label,
                                    const QString& term) const {
    if (term == u"true") {
        return true;
    }
    if (term == u"false") {
        return false;
    }
    if (term.startsWith(kCmoTagPrefix)) {
        return EvaluateCmoTag(term.mid(kCmoTagPrefix.size()));
    }
    QStringList sides;
    if (kParseDelimedList(term, sides, 3, u'=', true) != 2) {
        WireServices().PopupMessage(
            kFormat(u"%s:\n\r    %s\n\r%s:\n\r   %s",
                    LangLookup(QStringLiteral("Bug in context menu specification")), label,
                    LangLookup(QStringLiteral("Invalid expression")), term),
            kPopupError);
        return false;
    }
    const QString& left = sides.at(0);
    const QString& right = sides.at(1);
    int count = 0;
    bool found = false;
    if (left.contains(u"exists(")) {
        // Text from the menu file: "exists(" may have nothing after it.
        QString column = left.mid(left.indexOf(u'(') + 1);
        column.chop(1);
        const QString values =
            grid != nullptr ? grid->GetSelectedRowsByColName(column, count, 0) : QString();
        found = values.isEmpty();
    } else {
        const QString values =
            grid != nullptr ? grid->GetSelectedRowsByColName(left, count, 0) : QString();
        kDebugLog(u"::   unique set of selected values off %s column: %.100s\n", left, values);
        found = values.isEmpty() ? right == u"0" : kInDelimitedList(right, values, u',') != 0;
    }
    kDebugLog(u"::   %s value '%s'\n", found ? u"found" : u"did not find", right);
    return found;
}

bool CContextMenuItem::EvaluateCmoTag(const QString& tag) const {
    const bool negate = tag.startsWith(u'!');
    const QString wanted = negate ? tag.mid(1) : tag;
    QString tags;
    if (const CMyItem* item = ContextMenuHost().SelectedWorldViewItem()) {
        tags = item->Attributes.GetValue(kFormat(u"tab%u-tags", item->SelectedTab));
    }
    QStringList entries;
    kParseDelimedList(tags, entries, kMaxTagEntries, u',', true);
    const bool present = entries.contains(wanted);
    return negate ? !present : present;
}

bool CContextMenuItem::IsEnabled(const CMenuGridRows* grid) const {
    if (grid == nullptr) {
        return true;
    }
    const int selected = grid->GetSelectedRowCount();
    const int minimum = attributeNumber(QStringLiteral("min-values"));
    const int maximum = attributeNumber(QStringLiteral("max-values"));
    return !(minimum != 0 && selected < minimum) && !(maximum != 0 && selected > maximum);
}

QString CContextMenuItem::GetAccelLabel() const {
    if (m_separator) {
        return {};
    }
    if (attributeNumber(QStringLiteral("alt-enter")) != 0) {
        return LangLookup(QStringLiteral("\tAlt+Enter"));
    }
    if (attributeNumber(QStringLiteral("delete")) != 0) {
        return LangLookup(QStringLiteral("\tDel"));
    }
    const int key = attributeNumber(QStringLiteral("function-key"));
    if (key >= kMinFunctionKey && key <= kMaxFunctionKey) {
        return kFormat(u"\t[F%d]", key);
    }
    return {};
}

bool CContextMenuItem::HasPropertiesAction() const {
    if (m_separator) {
        return false;
    }
    for (int i = 0; i < m_attributes.Count(); ++i) {
        const QString name = m_attributes.GetNameAt(i);
        if ((name.startsWith(u"action") || name.startsWith(u"curl")) &&
            m_attributes.GetValueAt(i).startsWith(u"properties")) {
            return true;
        }
    }
    return false;
}

QString CContextMenuItem::ExpandColRefs(const QString& text, const CMenuGridRows* grid,
                                        QString& errorText) const {
    const QString closing = QStringLiteral("</") + kColRef;
    QString expanded = text;
    qsizetype from = 0;
    for (;;) {
        const qsizetype open = findOpeningTag(expanded, from);
        const qsizetype openEnd = open >= 0 ? expanded.indexOf(u'>', open) : -1;
        const qsizetype close = openEnd >= 0 ? expanded.indexOf(closing, openEnd) : -1;
        const qsizetype closeEnd = close >= 0 ? expanded.indexOf(u'>', close) : -1;
        if (closeEnd < 0) {
            return expanded;
        }
        const QString column = expanded.mid(openEnd + 1, close - openEnd - 1);
        const QString option =
            initialCommaOption(QStringView(expanded).mid(open, openEnd - open + 1));
        const QString values = expandColumn(column, option, grid, errorText);
        expanded.replace(open, closeEnd + 1 - open, values);
        // Values come from the grid: never read them as further references.
        from = open + values.size();
    }
}

QString CContextMenuItem::expandColumn(const QString& column, const QString& initialComma,
                                       const CMenuGridRows* grid, QString& errorText) const {
    if (grid == nullptr) {
        return {};
    }
    const int minimum = attributeNumber(QStringLiteral("min-values"));
    const int selected = grid->GetSelectedRowCount();
    if (minimum > 0 && selected < minimum) {
        errorText =
            kFormat(u"Fewer rows were selected (%ld) than required (%ld)", selected, minimum);
        return {};
    }
    int count = 0;
    QString values = EscapeURLChars(grid->GetSelectedRowsByColName(column, count, 0).mid(1));
    if (!values.isEmpty() && initialComma != u"yes") {
        const qsizetype firstKept = values.indexOf(QRegularExpression(QStringLiteral("[^,]")));
        values.remove(0, firstKept < 0 ? values.size() : firstKept);
    }
    return values;
}
