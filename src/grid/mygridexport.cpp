// CMyGrid: its rows handed out as a comma-separated file, as text and an
// HTML table on the clipboard, and the developer's dump of its state.
// Hidden rows (height 0, left by the row filter) never go out; hidden
// columns ("[H]") only into a file that asks for them.

#include "framework/kformat.h"
#include "framework/klog.h"
#include "grid/clipboardformats.h"
#include "grid/delimitedtext.h"
#include "gridctrl/gridcellbase.h"
#include "grid/mygrid.h"
#include "grid/mygridsite.h"
#include "grid/utf8pieces.h"
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
#include <memory>

namespace {

constexpr unsigned kGridFilesFilterString = 552;
constexpr unsigned kUnableToSaveString = 509;
constexpr unsigned kFormatCentre = 0x1;
constexpr unsigned kFormatRight = 0x2;

void errorBox(const QString& text) {
    if (HaveUiServices()) {
        UiServices().Popups().ErrorBox(text);
    }
}

// Server text inside the HTML table: "&", "<" and ">" escaped, in one
// pass over the text.
void appendHtmlEscaped(Utf8Pieces& out, QStringView text) {
    // At most every character an entity of five.
    char16_t* to = out.Room(5 * text.size());
    const char16_t* const end = text.utf16() + text.size();
    for (const char16_t* in = text.utf16(); in != end; ++in) {
        switch (*in) {
        case u'&':
            to = std::copy_n(u"&amp;", 5, to);
            break;
        case u'<':
            to = std::copy_n(u"&lt;", 4, to);
            break;
        case u'>':
            to = std::copy_n(u"&gt;", 4, to);
            break;
        default:
            *to++ = *in;
        }
    }
    out.Advance(to);
}

}  // namespace

std::vector<CMyGrid::ExportColumn> CMyGrid::exportedColumns(bool includeHidden) const {
    std::vector<ExportColumn> columns;
    for (int col = 0; col < GetColumnCount(); ++col) {
        const GridColumn* column = GetGridColumnEntry(col);
        if (column != nullptr && (includeHidden || !column->Has(kTokenHidden))) {
            columns.push_back({col, column});
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

bool CMyGrid::writeDelimited(DelimitedText& text, const std::vector<int>& rows,
                             const std::vector<ExportColumn>& columns, bool columnHeads,
                             QIODevice& out) const {
    // Each piece goes out as soon as it is full, so a large grid is never
    // held whole.
    const auto writePiece = [&text, &out] {
        QByteArray& bytes = text.Encode();
        const bool whole = out.write(bytes) == bytes.size();
        bytes.truncate(0);
        return whole;
    };
    for (const int row : rows) {
        for (const ExportColumn& column : columns) {
            text.AddField(columnHeads && row == 0 ? QStringView(column.entry->colhead)
                                                  : GetItemTextView(row, column.col),
                          column.entry->Has(kTokenText));
        }
        text.EndRow();
        if (text.PieceFull() && !writePiece()) {
            return false;
        }
    }
    return writePiece();
}

void CMyGrid::CollectRows(bool selectedOnly, bool withHeader, ExportRows& out) const {
    std::vector<ExportRows::Column> columns;
    for (const ExportColumn& column : exportedColumns(false)) {
        columns.push_back({column.col, column.entry->Has(kTokenText)});
    }
    out = ExportRows(*this, exportedRows(selectedOnly, withHeader), std::move(columns));
}

namespace {

// The clipboard's text: rows of comma-separated fields, CR LF line ends.
class ClipboardCsv {
public:
    void AddCell(const ExportCell& cell) { m_text.AddField(cell.text, cell.quote); }
    void EndRow() {
        m_text.EndRow();
        if (m_text.PieceFull()) {
            m_text.Encode();
        }
    }
    QByteArray Finish() { return std::move(m_text.Encode()); }

private:
    DelimitedText m_text{DelimitedText::Fields::kClipboard, u',', u"\r\n"};
};

// The clipboard's HTML table, appended to the bytes it is started on.
class HtmlTable {
public:
    explicit HtmlTable(QByteArray bytes) : m_html(std::move(bytes)) {
        m_html.Append(u"<table border=0>");
    }
    void AddCell(const ExportCell& cell) {
        if (!m_rowOpen) {
            m_html.Append(u"<tr>");
            m_rowOpen = true;
        }
        m_html.Append(u"<td nowrap ");
        if ((cell.format & kFormatRight) != 0) {
            m_html.Append(u" align=right ");
        }
        if ((cell.format & kFormatCentre) != 0) {
            m_html.Append(u" align=center ");
        }
        m_html.Append(u">");
        appendHtmlEscaped(m_html, cell.text);
        m_html.Append(u"</td> ");
    }
    void EndRow() {
        m_html.Append(m_rowOpen ? QStringView(u"</tr>") : QStringView(u"<tr></tr>"));
        m_rowOpen = false;
        if (m_html.PieceFull()) {
            m_html.Encode();
        }
    }
    QByteArray Finish() {
        m_html.Append(u"</table>");
        return std::move(m_html.Encode());
    }

private:
    Utf8Pieces m_html;
    bool m_rowOpen = false;
};

// Hands every cell of the rows to each of the formats, reading each cell
// once however many formats are built.
template <class... Formats>
void writeCells(const ExportRows& rows, Formats&... formats) {
    for (size_t row = 0; row < rows.size(); ++row) {
        for (size_t column = 0; column < rows.ColumnCount(); ++column) {
            const ExportCell cell = rows.Cell(row, column);
            (formats.AddCell(cell), ...);
        }
        (formats.EndRow(), ...);
    }
}

}  // namespace

QByteArray CMyGrid::BuildCsvText(const ExportRows& rows) {
    ClipboardCsv text;
    writeCells(rows, text);
    return text.Finish();
}

void CMyGrid::AppendHtmlTable(const ExportRows& rows, QByteArray& utf8) {
    HtmlTable html(std::move(utf8));
    writeCells(rows, html);
    utf8 = html.Finish();
}

QString CMyGrid::ColorToHtml(quint32 colour) {
    return kFormat(u"#%.2X%.2X%.2X", colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

std::unique_ptr<QMimeData> CMyGrid::ClipboardData(bool withHeader) const {
    ExportRows rows;
    CollectRows(true, withHeader, rows);
    auto data = std::make_unique<QMimeData>();
    QByteArray text;
    CopyHTML2Clipboard(*data, [&rows, &text](QByteArray& utf8) {
        ClipboardCsv csv;
        HtmlTable html(std::move(utf8));
        writeCells(rows, csv, html);
        text = csv.Finish();
        utf8 = html.Finish();
    });
    CopyText2Clipboard(*data, text);
    return data;
}

void CMyGrid::CopyToClipboard(bool withHeader) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr) {
        kDebugLog(u"OpenClipboard(fails)\n");
        return;
    }
    try {
        clipboard->setMimeData(ClipboardData(withHeader).release());
    } catch (const std::exception& error) {
        kDebugLog(u"There was an error while trying put data into clipboard:%s\n",
                  QString::fromLocal8Bit(error.what()));
    }
}

int CMyGrid::WriteGridFile(const QString& path, QChar separator, bool selectedOnly,
                           bool includeHidden) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        errorBox(kFormat(u"%s: %s", QDir::toNativeSeparators(path), file.errorString()));
        return 0;
    }
    // The selected-rows file heads its columns with their XML heads.
    DelimitedText text(DelimitedText::Fields::kFile, separator, u"\n");
    const bool written = writeDelimited(text, exportedRows(selectedOnly, true),
                                        exportedColumns(includeHidden), selectedOnly, file);
    if (!written || !file.commit()) {
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
    return kFormat(u"+-%-7.7s-+-%-15.15s-+-%-7.7s-+-%-20.20s-+-%-20.20s-+\n", dashes, dashes,
                   dashes, dashes, dashes);
}

QString dumpTable(const QString& first, const QString& third) {
    return dumpRule() +
           kFormat(u"| %-7.7s | %-15.15s | %-7.7s | %-20.20s | %-20.20s |\n", first, u"ColName"_qs,
                   third, u"ColHead"_qs, u"ColProps"_qs) +
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
