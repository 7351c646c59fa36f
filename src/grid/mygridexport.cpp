// CMyGrid: its rows handed out as a comma-separated file, as text and an
// HTML table on the clipboard, and the developer's dump of its state.
// Hidden rows (height 0, left by the row filter) never go out; hidden
// columns ("[H]") only into a file that asks for them.

#include "framework/kformat.h"
#include "framework/klog.h"
#include "grid/cellutf8.h"
#include "grid/clipboardformats.h"
#include "grid/delimitedtext.h"
#include "gridctrl/gridcellbase.h"
#include "grid/mygrid.h"
#include "grid/mygridsite.h"
#include "grid/utf8writer.h"
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
    // A row counts as selected when any of its scrollable cells is: a locked
    // column is never selected, so no single column can stand for the row.
    // Each row is looked at up to its first selected cell.
    const auto selected = [this](int row) {
        for (int col = GetFixedColumnCount(); col < GetColumnCount(); ++col) {
            if ((GetItemState(row, col) & CELL_SELECTED) != 0) {
                return true;
            }
        }
        return false;
    };
    for (int row = std::max(GetFixedRowCount(), 1); row < GetRowCount(); ++row) {
        if (selected(row) && shown(row)) {
            rows.push_back(row);
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
                                                  : GetItemTextView(row, column.col));
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

// The clipboard's text: rows of comma-separated fields, CR LF line ends. A
// field keeps its line breaks and is quoted when its column holds text or
// when it holds a comma, a quote or a line break, which pasting would
// split; its quotes are doubled.
class ClipboardCsv {
public:
    void AddCell(const ExportCell& cell, const CellUtf8& utf8) {
        const QByteArrayView text = utf8.Bytes();
        // At most a separator, two quotes and every byte doubled.
        char* out = m_text.Room(2 * text.size() + 3);
        if (m_rowStarted) {
            *out++ = ',';
        }
        m_rowStarted = true;
        const bool quoted = cell.quote || utf8.Holds(CellUtf8::kQuote | CellUtf8::kSeparator);
        if (quoted) {
            *out++ = '"';
        }
        if (utf8.Holds(CellUtf8::kQuote)) {
            for (const char byte : text) {
                *out++ = byte;
                if (byte == '"') {
                    *out++ = '"';
                }
            }
        } else {
            out = std::copy_n(text.data(), text.size(), out);
        }
        if (quoted) {
            *out++ = '"';
        }
        m_text.Advance(out);
    }
    void EndRow() {
        m_text.Append("\r\n");
        m_rowStarted = false;
    }
    QByteArray Finish() { return m_text.Finish(); }

private:
    Utf8Writer m_text;
    bool m_rowStarted = false;
};

// The clipboard's HTML table, appended to the bytes it is started on. The
// server's text is escaped ("&", "<" and ">"), since it goes into markup.
class HtmlTable {
public:
    explicit HtmlTable(QByteArray bytes) : m_html(std::move(bytes)) {
        m_html.Append("<table border=0>");
    }
    void AddCell(const ExportCell& cell, const CellUtf8& utf8) {
        if (!m_rowOpen) {
            m_html.Append("<tr>");
            m_rowOpen = true;
        }
        static constexpr QByteArrayView kClose = "</td> ";
        const QByteArrayView open = cellOpening(cell.format);
        const QByteArrayView text = utf8.Bytes();
        // At most every byte an entity of five.
        char* out = m_html.Room(open.size() + 5 * text.size() + kClose.size());
        out = std::copy_n(open.data(), open.size(), out);
        out = utf8.Holds(CellUtf8::kMarkup) ? escaped(text, out)
                                            : std::copy_n(text.data(), text.size(), out);
        m_html.Advance(std::copy_n(kClose.data(), kClose.size(), out));
    }
    void EndRow() {
        m_html.Append(m_rowOpen ? "</tr>" : "<tr></tr>");
        m_rowOpen = false;
    }
    QByteArray Finish() {
        m_html.Append("</table>");
        return m_html.Finish();
    }

private:
    // The opening tag, right-aligned first when a format asks for both.
    static QByteArrayView cellOpening(unsigned format) {
        static constexpr QByteArrayView kOpenings[] = {
            "<td nowrap >", "<td nowrap  align=center >", "<td nowrap  align=right >",
            "<td nowrap  align=right  align=center >"};
        return kOpenings[format & (kFormatCentre | kFormatRight)];
    }
    static char* escaped(QByteArrayView text, char* out) {
        for (const char byte : text) {
            switch (byte) {
            case '&':
                out = std::copy_n("&amp;", 5, out);
                break;
            case '<':
                out = std::copy_n("&lt;", 4, out);
                break;
            case '>':
                out = std::copy_n("&gt;", 4, out);
                break;
            default:
                *out++ = byte;
            }
        }
        return out;
    }

    Utf8Writer m_html;
    bool m_rowOpen = false;
};

// Hands every cell of the rows to each of the formats, reading and
// encoding each cell once however many formats are built.
template <class... Formats>
void writeCells(const ExportRows& rows, Formats&... formats) {
    CellUtf8 utf8;
    for (size_t row = 0; row < rows.size(); ++row) {
        for (size_t column = 0; column < rows.ColumnCount(); ++column) {
            const ExportCell cell = rows.Cell(row, column);
            utf8.Encode(cell.text);
            (formats.AddCell(cell, utf8), ...);
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
    DelimitedText text(separator, u"\n");
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
