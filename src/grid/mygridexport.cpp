// CMyGrid: its rows handed out as a comma-separated file, as text and an
// HTML table on the clipboard, and the developer's dump of its state.
// Hidden rows (height 0, left by the row filter) never go out; hidden
// columns ("[H]") only into a file that asks for them.

#include "framework/kformat.h"
#include "framework/klog.h"
#include "grid/clipboardformats.h"
#include "grid/gridcellbase.h"
#include "grid/mygrid.h"
#include "grid/mygridsite.h"
#include "settings/promptforfile.h"
#include "settings/settingsfolder.h"
#include "settings/wholefile.h"
#include "tree/treetexts.h"
#include "ui/popupmessages.h"
#include "ui/uiservices.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QGuiApplication>
#include <QMimeData>
#include <QSaveFile>
#include <QUrl>

#include <algorithm>
#include <exception>

namespace {

constexpr unsigned kGridFilesFilterString = 552;
constexpr unsigned kUnableToSaveString = 509;
constexpr quint32 kWhite = 0xFFFFFF;
constexpr unsigned kFormatCentre = 0x1;
constexpr unsigned kFormatRight = 0x2;

void errorBox(const QString& text) {
    if (HaveUiServices()) {
        UiServices().Popups().ErrorBox(text);
    }
}

QString htmlEscaped(const QString& text) {
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
            case u'&':
                escaped += u"&amp;";
                break;
            case u'<':
                escaped += u"&lt;";
                break;
            case u'>':
                escaped += u"&gt;";
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}

// A file field: between quotes, inner quotes doubled, carriage returns
// dropped and line feeds made blanks, so that every row stays one line.
void appendFileField(QString& out, const QString& text) {
    out += u'"';
    const bool plain = std::none_of(text.begin(), text.end(), [](QChar c) {
        return c == u'"' || c == u'\n' || c == u'\r';
    });
    if (plain) {
        out += text;
    } else {
        for (const QChar c : text) {
            if (c == u'"') {
                out += u"\"\"";
            } else if (c == u'\n') {
                out += u' ';
            } else if (c != u'\r') {
                out += c;
            }
        }
    }
    out += u'"';
}

}  // namespace

std::vector<int> CMyGrid::exportedColumns(bool includeHidden) const {
    std::vector<int> columns;
    for (int col = 0; col < GetColumnCount(); ++col) {
        const GridColumn* column = GetGridColumnEntry(col);
        if (column != nullptr && (includeHidden || !column->Has(kTokenHidden))) {
            columns.push_back(col);
        }
    }
    return columns;
}

std::vector<int> CMyGrid::exportedRows(bool selectedOnly, bool withHeader) const {
    std::vector<int> rows;
    const auto shown = [this](int row) { return GetRowHeight(row) > 0; };
    if (withHeader && GetRowCount() > 0 && (selectedOnly || shown(0))) {
        rows.push_back(0);
    }
    if (!selectedOnly) {
        for (int row = 1; row < GetRowCount(); ++row) {
            if (shown(row)) {
                rows.push_back(row);
            }
        }
        return rows;
    }
    // A row counts as selected when any of its cells is: a locked column
    // is never selected, so no single column can stand for the row.
    const int lastCol = GetColumnCount() - 1;
    for (CCellID cell = GetNextItem(CCellID(), GVNI_ALL | GVNI_SELECTED); IsValid(cell);
         cell = GetNextItem(CCellID(cell.row, lastCol), GVNI_ALL | GVNI_SELECTED)) {
        if (cell.row > 0 && shown(cell.row)) {
            rows.push_back(cell.row);
        }
    }
    return rows;
}

void CMyGrid::CollectRows(bool selectedOnly, bool withHeader, ExportRows& out) const {
    out.clear();
    const std::vector<int> columns = exportedColumns(false);
    for (const int row : exportedRows(selectedOnly, withHeader)) {
        ExportRow& cells = out.emplace_back();
        cells.reserve(columns.size());
        for (const int col : columns) {
            ExportCell& cell = cells.emplace_back();
            const CGridCellBase* object = GetCell(row, col);
            cell.text = object != nullptr ? object->GetText() : GetItemText(row, col);
            if (object != nullptr) {
                const GridColour back = object->GetBackColour();
                cell.background = back.Value() == 0 || back.IsDefault() ? kWhite : back.Value();
                cell.format = object->GetFormat();
            }
            cell.quote = GetGridColumnEntry(col)->Has(kTokenText) ? 1 : 0;
        }
    }
}

QString CMyGrid::BuildCsvText(const ExportRows& rows) {
    QString text;
    for (const ExportRow& row : rows) {
        bool first = true;
        for (const ExportCell& cell : row) {
            if (!first) {
                text += u',';
            }
            first = false;
            // A cell that holds a separator, a quote or a line break is
            // quoted too, or pasting it would split the row.
            const bool special = std::any_of(cell.text.begin(), cell.text.end(), [](QChar c) {
                return c == u',' || c == u'"' || c == u'\r' || c == u'\n';
            });
            if (cell.quote == 0 && !special) {
                text += cell.text;
                continue;
            }
            text += u'"';
            if (cell.text.contains(u'"')) {
                QString doubled = cell.text;
                text += doubled.replace(QStringLiteral("\""), QStringLiteral("\"\""));
            } else {
                text += cell.text;
            }
            text += u'"';
        }
        text += u"\r\n";
    }
    return text;
}

QString CMyGrid::BuildHtmlTable(const ExportRows& rows) {
    QString html = QStringLiteral("<table border=0>");
    for (const ExportRow& row : rows) {
        html += u"<tr>";
        for (const ExportCell& cell : row) {
            html += u"<td nowrap ";
            if ((cell.format & kFormatRight) != 0) {
                html += u" align=right ";
            }
            if ((cell.format & kFormatCentre) != 0) {
                html += u" align=center ";
            }
            html += u'>';
            html += htmlEscaped(cell.text);
            html += u"</td> ";
        }
        html += u"</tr>";
    }
    html += u"</table>";
    return html;
}

QString CMyGrid::ColorToHtml(quint32 colour) {
    return kFormat(u"#%.2X%.2X%.2X", colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

void CMyGrid::CopyToClipboard(bool withHeader) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr) {
        kDebugLog(u"OpenClipboard(fails)\n");
        return;
    }
    try {
        ExportRows rows;
        CollectRows(true, withHeader, rows);
        auto data = std::make_unique<QMimeData>();
        CopyHTML2Clipboard(*data, BuildHtmlTable(rows));
        CopyText2Clipboard(*data, BuildCsvText(rows));
        clipboard->setMimeData(data.release());
    } catch (const std::exception& error) {
        kDebugLog(u"There was an error while trying put data into clipboard:%s\n",
                  QString::fromLocal8Bit(error.what()));
    }
}

QString CMyGrid::buildFileText(QChar separator, bool selectedOnly, bool includeHidden) const {
    const std::vector<int> columns = exportedColumns(includeHidden);
    QString text;
    for (const int row : exportedRows(selectedOnly, true)) {
        bool first = true;
        for (const int col : columns) {
            if (!first) {
                text += separator;
            }
            first = false;
            // The selected-rows file heads its columns with their XML heads.
            appendFileField(text, selectedOnly && row == 0 ? GetGridColumnEntry(col)->colhead
                                                           : GetItemText(row, col));
        }
        text += u'\n';
    }
    return text;
}

int CMyGrid::WriteGridFile(const QString& path, QChar separator, bool selectedOnly,
                           bool includeHidden) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        errorBox(kFormat(u"%s: %s", QDir::toNativeSeparators(path), file.errorString()));
        return 0;
    }
    const QByteArray bytes = buildFileText(separator, selectedOnly, includeHidden).toUtf8();
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        errorBox(TranslatedResourceString(kUnableToSaveString));
        return 0;
    }
    return 1;
}

int CMyGrid::SaveAsCSV(bool selectedOnly, bool includeHidden, const QString& path) {
    QString target = path;
    if (target.isEmpty()) {
        QString proposed = m_strMenuName;
        if (proposed.endsWith(u".menu", Qt::CaseInsensitive)) {
            proposed.chop(5);
        }
        if (!PromptForFile(false, target, proposed, QStringLiteral("csv"),
                           TranslatedResourceString(kGridFilesFilterString), window())) {
            return 0;
        }
    }
    if (WriteGridFile(target, u',', selectedOnly, includeHidden) == 0) {
        errorBox(kFormat(u"Failed to save grid data in: %s", target));
        return 0;
    }
    return 1;
}

// The debug dump ----------------------------------------------------------

namespace {

constexpr int kDumpTextWidth = 20;

QString dumpRule() {
    const QString dashes(kDumpTextWidth, u'-');
    return kFormat(u"+-%-7.7s-+-%-15.15s-+-%-7.7s-+-%-20.20s-+-%-20.20s-+\n", dashes, dashes, dashes,
                   dashes, dashes);
}

QString dumpTable(const QString& first, const QString& third) {
    return dumpRule() +
           kFormat(u"| %-7.7s | %-15.15s | %-7.7s | %-20.20s | %-20.20s |\n", first,
                   u"ColName"_qs, third, u"ColHead"_qs, u"ColProps"_qs) +
           dumpRule();
}

// A column head on one line, without its leading blanks.
QString dumpHead(const QString& head) {
    QString line = head;
    line.replace(u'\r', u' ').replace(u'\n', u' ');
    qsizetype start = 0;
    while (start < line.size() && line.at(start) == u' ') {
        ++start;
    }
    return line.mid(start);
}

QString yesNo(bool value) {
    return value ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
}

}  // namespace

QString CMyGrid::debugText() const {
    QString text = QStringLiteral("CMyGrid::OnDebugGrid()...\n\n");
    text += kFormat(u"%08lx [%s]\n", static_cast<unsigned long>(reinterpret_cast<quintptr>(this)),
                    m_site->IsMainGrid(*this) ? u"MAIN GRID"_qs : u"THIS IS NOT THE MAIN GRID"_qs);
    text += kFormat(u"  %-28s:\n", u"m_GridProperties"_qs);
    for (int i = 0; i < m_GridProperties.Count(); ++i) {
        text += kFormat(u"      %-24s = '%s'\n", m_GridProperties.GetNameAt(i),
                        m_GridProperties.GetValueAt(i));
    }
    text += kFormat(u"  %-28s = ", u"m_pPropertiesPanelMenuItem"_qs);
    text += IsPropertiesPaneShown() ? u"NULL\n"_qs : u"(properties panel is not visible)\n"_qs;
    const auto quoted = [&text](const QString& name, const QString& value) {
        text += kFormat(u"  %-28s = '%s'\n", name, value);
    };
    quoted(u"GetPrefKeyBase()"_qs, GetPrefKeyBase());
    quoted(u"GetMenuName()"_qs, GetMenuName());
    quoted(u"GetDragType()"_qs, GetDragType());
    quoted(u"GetPropertiesURL()"_qs, GetPropertiesURL());
    quoted(u"m_strGridURL"_qs, m_strGridURL);
    text += kFormat(u"  %-28s = %ld\n", u"m_iExpectedRows"_qs, static_cast<long>(m_iExpectedRows));
    text += kFormat(u"  %-28s = %s\n", u"m_fDirlist"_qs, yesNo(m_fDirlist));
    if (m_fDirlist) {
        quoted(u"m_strDirListFilter"_qs, m_strDirListFilter);
        quoted(u"m_strDirListPath"_qs, m_strDirListPath);
        text += kFormat(u"  %-28s = %d\n", u"m_iXmlColDirlistName"_qs, m_iXmlColDirlistName);
    }
    text += kFormat(u"  %-28s = %s\n", u"m_fHiddenRows"_qs, yesNo(m_fHiddenRows));
    text += kFormat(u"  %-28s = %s\n", u"m_fSynchRowCountWithTreeItem"_qs,
                    yesNo(m_fSynchRowCountWithTreeItem));
    text += kFormat(u"  %-28s = %u\n", u"m_iServerPid"_qs, m_iServerPid);
    text += u"\n";

    text += u"This is how the XML Columns are mapped to Grid Columns:\n"_qs;
    text += dumpTable(u"XmlCol"_qs, u"GridCol"_qs);
    for (int xmlCol = 1; xmlCol <= kMaxXmlColumns; ++xmlCol) {
        const GridColumn& column = m_Columns[static_cast<size_t>(xmlCol)];
        if (column.colname.isEmpty()) {
            continue;
        }
        text += kFormat(u"| %7d | %-15.15s | %7d | %-20.20s | %-20.20s |\n", xmlCol, column.colname,
                        m_xmlToGridCol[static_cast<size_t>(xmlCol)], dumpHead(column.colhead),
                        column.colprops);
    }
    text += dumpRule();

    text += u"\nThis is how the Grid Columns map back to XML Columns:\n"_qs;
    text += dumpTable(u"GridCol"_qs, u"XmlCol"_qs);
    const QString error = QStringLiteral("***ERROR***");
    for (int col = 0; col < GetColumnCount(); ++col) {
        const int xmlCol = GridColToXmlCol(col);
        const GridColumn* column = GetGridColumnEntry(col);
        text += kFormat(u"| %7d | %-15.15s | %7d | %-20.20s | %-20.20s |\n", col,
                        column != nullptr ? column->colname : error, xmlCol,
                        column != nullptr ? dumpHead(column->colhead) : error,
                        column != nullptr ? column->colprops : error);
    }
    text += dumpRule();
    return text;
}

void CMyGrid::OnDebugGrid() {
    // A plain text file opened by the desktop, never a command line built
    // from a path.
    const QString path =
        QDir(Getlocalsettingsdir()).filePath(QStringLiteral("Quillex-grid-debug.txt"));
    if (WriteStringToFile(path, debugText()) == 0) {
        kDebugLog(u"CMyGrid::OnDebugGrid(): cannot write %s\n", path);
        return;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}
