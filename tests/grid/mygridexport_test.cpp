// The data grid's rows handed out: CSV files, the clipboard's text and HTML
// table, and the debug dump.

#include "grid/clipboardformats.h"
#include "grid/delimitedtext.h"
#include "mygridfixture.h"
#include "settings/wholefile.h"
#include "support/urlcatcher.h"

#include <QClipboard>
#include <QFile>
#include <QMimeData>
#include <QRegularExpression>

namespace {

QString fileText(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

class MyGridExportTest : public MyGridTest {
protected:
    QString csvPath() const { return tempFolder() + QStringLiteral("/grid.csv"); }
};

TEST_F(MyGridExportTest, FileFieldsAreQuotedWithLineBreaksFlattened) {
    ASSERT_TRUE(load(GridXml({{"a", "A", ""}, {"b", "B", "[S]"}},
                             {{"say &quot;hi&quot;", "one&#13;&#10;two"}, {"x,y", "z"}})));
    ASSERT_EQ(grid->SaveAsCSV(false, false, csvPath()), 1);
    // The load sorts the rows: the header first, then either order.
    QStringList lines = fileText(csvPath()).split(u'\n');
    EXPECT_EQ(lines.takeFirst(), u"\"A\",\"B\"");
    EXPECT_EQ(lines.takeLast(), u"") << "every line ends";
    lines.sort();
    EXPECT_EQ(lines, QStringList({u"\"say \"\"hi\"\"\",\"one two\""_qs, u"\"x,y\",\"z\""_qs}));
}

TEST_F(MyGridExportTest, HiddenColumnsOnlyWhenAskedAndHiddenRowsNever) {
    ASSERT_TRUE(load(GridXml({{"name", "Name", ""}, {"secret", "Secret", "[H]"}},
                             {{"alpha", "s1"}, {"beta", "s2"}})));
    grid->FilterRows(u"beta"_qs, CMyGrid::kFilterHide);
    struct Case {
        bool hidden;
        QString file;
    };
    const Case cases[] = {
        {false, u"\"Name\"\n\"beta\"\n"_qs},
        {true, u"\"Name\",\"Secret\"\n\"beta\",\"s2\"\n"_qs},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(grid->SaveAsCSV(false, c.hidden, csvPath()), 1);
        EXPECT_EQ(fileText(csvPath()), c.file) << c.hidden;
    }
    ExportRows rows;
    grid->CollectRows(false, true, rows);
    EXPECT_EQ(CMyGrid::BuildCsvText(rows), "Name\r\nbeta\r\n");
    // Selected but hidden is not copied either.
    grid->SetSelectedRange(1, 0, grid->GetRowCount() - 1, grid->GetColumnCount() - 1);
    EXPECT_EQ(grid->ClipboardData(true)->text(), u"Name\r\nbeta\r\n");
}

// A locked column is never selected, so the selected rows are found over
// every column, not by one.
TEST_F(MyGridExportTest, SelectedRowsBesideALockedColumnAreWritten) {
    ASSERT_TRUE(load(GridXml({{"key", "Key", "[LOCKED]"}, {"name", "Name", ""}},
                             {{"k1", "alpha"}, {"k2", "beta"}, {"k3", "gamma"}})));
    ASSERT_EQ(grid->GetFixedColumnCount(), 1);
    const int nameCol = grid->FindColumnByName(u"name"_qs);
    for (const QString& name : {u"beta"_qs, u"gamma"_qs}) {
        const int row = grid->FindRowByText(nameCol, name);
        ASSERT_GT(row, 0);
        grid->SetItemState(row, nameCol, grid->GetItemState(row, nameCol) | CELL_SELECTED);
    }
    ASSERT_EQ(grid->SaveAsCSV(true, false, csvPath()), 1);
    const QStringList lines = fileText(csvPath()).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[0].contains(u"\"Key\"") && lines[0].contains(u"\"Name\""));
    EXPECT_EQ(lines.filter(u"\"beta\""_qs).size(), 1);
    EXPECT_EQ(lines.filter(u"\"gamma\""_qs).size(), 1);
}

TEST_F(MyGridExportTest, AnUnwritableTargetKeepsTheOldFileAndSaysSo) {
    ASSERT_TRUE(load(GridXml({{"name", "Name", ""}}, {{"alpha"}})));
    ASSERT_EQ(WriteStringToFile(csvPath(), u"old"_qs), 1);
    ASSERT_TRUE(QFile::setPermissions(tempFolder(), QFile::ReadOwner | QFile::ExeOwner));
    const bool writable = QFile(tempFolder() + u"/probe"_qs).open(QIODevice::WriteOnly);
    if (!writable) {
        EXPECT_EQ(grid->SaveAsCSV(false, false, csvPath()), 0);
        EXPECT_EQ(fileText(csvPath()), u"old");
        ASSERT_FALSE(ui.popups.empty());
        EXPECT_EQ(ui.popups.back().text, u"Failed to save grid data in: "_qs + csvPath());
    }
    QFile::setPermissions(tempFolder(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // Running as root writes anyway: a target inside a missing folder fails too.
    const QString missing = tempFolder() + u"/none/grid.csv"_qs;
    EXPECT_EQ(grid->SaveAsCSV(false, false, missing), 0);
    EXPECT_EQ(ui.popups.back().text, u"Failed to save grid data in: "_qs + missing);
}

// Large exports are built and encoded a piece at a time: no row may be lost,
// cut or garbled where one piece ends and the next begins.
TEST_F(MyGridExportTest, ExportsOfManyPiecesArriveWhole) {
    constexpr int kRows = 5000;
    std::vector<QByteArray> texts;
    texts.reserve(2 * kRows);
    std::vector<std::vector<const char*>> rows;
    QStringList fileLines;
    QStringList clipboardLines;
    QStringList htmlRows;
    for (int i = 0; i < kRows; ++i) {
        const QByteArray number = QByteArray::number(i);
        texts.push_back("r" + number + " Z\xc3\xbcrich, \xe2\x82\xac");
        texts.push_back("say &quot;hi&quot;&#10;\xf0\x9d\x84\x9e " + number + " &lt;&amp;&gt;");
        rows.push_back({texts[texts.size() - 2].constData(), texts.back().constData()});
        const QString name = QString::fromUtf8("r" + number + " Z\xc3\xbcrich, \xe2\x82\xac");
        const QString note = QString::fromUtf8("\xf0\x9d\x84\x9e " + number + " <&>");
        fileLines << u"\""_qs + name + u"\",\"say \"\"hi\"\" "_qs + note + u"\""_qs;
        clipboardLines << u"\""_qs + name + u"\",\"say \"\"hi\"\"\r\n"_qs + note + u"\""_qs;
        htmlRows << u"<tr><td nowrap >"_qs + name + u"</td> <td nowrap >say \"hi\"\r\n"_qs +
                        note.chopped(3) + u"&lt;&amp;&gt;</td> </tr>"_qs;
    }
    ASSERT_TRUE(load(GridXml({{"name", "Name", ""}, {"note", "Note", ""}}, rows)));
    fileLines.sort();
    clipboardLines.sort();
    htmlRows.sort();

    ASSERT_EQ(grid->SaveAsCSV(false, false, csvPath()), 1);
    const QString file = fileText(csvPath());
    ASSERT_GT(file.size(), 2 * Utf8Pieces::kPieceCharacters);
    QStringList lines = file.split(u'\n');
    EXPECT_EQ(lines.takeFirst(), u"\"Name\",\"Note\"");
    EXPECT_EQ(lines.takeLast(), u"");
    lines.sort();
    EXPECT_EQ(lines, fileLines);

    ExportRows collected;
    grid->CollectRows(false, false, collected);
    const QString text = QString::fromUtf8(CMyGrid::BuildCsvText(collected));
    // A line break inside a quoted field stays; each row starts with "r.
    lines = text.split(QRegularExpression(u"\r\n(?=\"r|$)"_qs));
    EXPECT_EQ(lines.takeLast(), u"");
    lines.sort();
    EXPECT_EQ(lines, clipboardLines);

    QByteArray html("<p>");
    CMyGrid::AppendHtmlTable(collected, html);
    QString table = QString::fromUtf8(html);
    ASSERT_TRUE(table.startsWith(u"<p><table border=0>")) << "appended after what was there";
    ASSERT_TRUE(table.endsWith(u"</table>"));
    lines = table.sliced(19).chopped(8).split(QRegularExpression(u"(?<=</tr>)"_qs),
                                              Qt::SkipEmptyParts);
    lines.sort();
    EXPECT_EQ(lines, htmlRows);
}

// One row of a plain grid control holding the texts with those formats,
// handed out with the quoting its columns ask for.
class ExportRowFixture {
public:
    struct Cell {
        const char16_t* text;
        bool quote;
        unsigned format;
    };
    explicit ExportRowFixture(std::initializer_list<Cell> cells) {
        m_grid.SetRowCount(1);
        m_grid.SetColumnCount(static_cast<int>(cells.size()));
        std::vector<ExportRows::Column> columns;
        int col = 0;
        for (const Cell& cell : cells) {
            m_grid.SetItemText(0, col, QString::fromUtf16(cell.text));
            m_grid.SetItemFormat(0, col, cell.format);
            columns.push_back({col++, cell.quote});
        }
        rows = ExportRows(m_grid, {0}, std::move(columns));
    }
    ExportRows rows;

private:
    CGridCtrl m_grid;
};

TEST_F(MyGridExportTest, ClipboardTextQuotesWhatWouldSplitARow) {
    const ExportRowFixture row{{u"plain", false, 0}, {u"text", true, 0}, {u"1,234", false, 0},
                               {u"say \"hi\"", false, 0}, {u"a\r\nb", false, 0}};
    EXPECT_EQ(QString::fromUtf8(CMyGrid::BuildCsvText(row.rows)),
              u"plain,\"text\",\"1,234\",\"say \"\"hi\"\"\",\"a\r\nb\"\r\n");
}

// Each cell is encoded once for both formats, plain ASCII without the
// encoder: what a format treats specially must be found wherever it sits,
// also after the first character beyond ASCII.
TEST_F(MyGridExportTest, ClipboardFormatsFindSpecialsBeyondAscii) {
    struct Case {
        const char16_t* text;
        unsigned format;
        QByteArray csv;
        QByteArray html;
    };
    const Case cases[] = {
        {u"", 0, "", "<td nowrap ></td> "},
        {u"Zürich, CH", 0, "\"Z\xc3\xbcrich, CH\"", "<td nowrap >Z\xc3\xbcrich, CH</td> "},
        {u"€ \"x\"", 0x2, "\"\xe2\x82\xac \"\"x\"\"\"",
         "<td nowrap  align=right >\xe2\x82\xac \"x\"</td> "},
        {u"\U0001D11E<b>&", 0x3, "\xf0\x9d\x84\x9e<b>&",
         "<td nowrap  align=right  align=center >\xf0\x9d\x84\x9e&lt;b&gt;&amp;</td> "},
        {u"é\r\nà", 0x1, "\"\xc3\xa9\r\n\xc3\xa0\"",
         "<td nowrap  align=center >\xc3\xa9\r\n\xc3\xa0</td> "},
        // Half a pair: the replacement character, never joined with what
        // follows.
        {u"x\xD800", 0, "x\xef\xbf\xbd", "<td nowrap >x\xef\xbf\xbd</td> "},
    };
    for (const Case& c : cases) {
        const ExportRowFixture row{{c.text, false, c.format}};
        const std::string name = QString::fromUtf16(c.text).toStdString();
        EXPECT_EQ(CMyGrid::BuildCsvText(row.rows), c.csv + "\r\n") << name;
        QByteArray html;
        CMyGrid::AppendHtmlTable(row.rows, html);
        EXPECT_EQ(html, "<table border=0><tr>" + c.html + "</tr></table>") << name;
    }
}

TEST_F(MyGridExportTest, HtmlTableAlignsAndEscapes) {
    const ExportRowFixture row{{u"<b>&", false, 0x2}, {u"c", false, 0x1}};
    QByteArray html;
    CMyGrid::AppendHtmlTable(row.rows, html);
    EXPECT_EQ(html,
              "<table border=0><tr><td nowrap  align=right >&lt;b&gt;&amp;</td> "
              "<td nowrap  align=center >c</td> </tr></table>");
    EXPECT_EQ(CMyGrid::ColorToHtml(0x00336699), u"#996633");
}

TEST_F(MyGridExportTest, HtmlFormatOffsetsCountUtf8Bytes) {
    for (const QString& fragment : {u"<table></table>"_qs, u"<td>Zürich €</td>"_qs}) {
        const QByteArray block = BuildHtmlFormatBlock(fragment.toUtf8());
        const qsizetype n = fragment.toUtf8().size();
        const auto field = [&block](const char* name) {
            const qsizetype at = block.indexOf(name) + qstrlen(name);
            return block.mid(at, 8).toLongLong();
        };
        EXPECT_EQ(field("StartHTML:"), 97);
        EXPECT_EQ(field("StartFragment:"), 111);
        EXPECT_EQ(field("EndFragment:"), 136 + n);
        EXPECT_EQ(field("EndHTML:"), 172 + n);
        EXPECT_EQ(block.size(), 172 + n);
        EXPECT_TRUE(block.mid(97).startsWith("<html>"));
        EXPECT_TRUE(block.mid(111).startsWith("<!--StartFragment -->"));
        EXPECT_TRUE(block.mid(136 + n).startsWith("<!--EndFragment-->"));
    }
}

TEST_F(MyGridExportTest, CopyPutsTextAndHtmlOfTheSelectedRows) {
    ASSERT_TRUE(load(
        GridXml({{"name", "Name", ""}, {"note", "Note", "[S]"}}, {{"a&lt;b", "x"}, {"c", "y,z"}})));
    grid->CopyToClipboard(true);
    const QMimeData* headerOnly = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(headerOnly, nullptr);
    EXPECT_EQ(headerOnly->text(), u"Name,\"Note\"\r\n");

    grid->SetSelectedRange(1, 0, 2, 1);
    grid->CopyToClipboard(false);
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    QStringList lines = data->text().split(u"\r\n"_qs);
    EXPECT_EQ(lines.takeLast(), u"") << "every row ends";
    lines.sort();
    EXPECT_EQ(lines, QStringList({u"a<b,\"x\""_qs, u"c,\"y,z\""_qs}));
    EXPECT_TRUE(data->html().contains(u"<td nowrap >a&lt;b</td>"));
    EXPECT_TRUE(data->html().startsWith(u"<html><body>"));
    EXPECT_FALSE(data->text().contains(QChar(0)));
}

TEST_F(MyGridExportTest, DebugDumpIsATextFileOpenedByTheDesktop) {
    ASSERT_TRUE(load(GridXml({{"name", "Name", ""}, {"secret", "Secret", "[H]"}}, {{"a", "b"}})));
    UrlCatcher catcher({u"file"_qs});
    grid->OnDebugGrid();
    ASSERT_EQ(catcher.urls.size(), 1);
    const QString path = catcher.urls[0].toLocalFile();
    EXPECT_TRUE(path.endsWith(u".txt"));
    const QString dump = fileText(path);
    EXPECT_TRUE(dump.startsWith(u"CMyGrid::OnDebugGrid()...\n\n"));
    EXPECT_TRUE(dump.contains(u"[MAIN GRID]"));
    EXPECT_TRUE(dump.contains(u"This is how the XML Columns are mapped to Grid Columns:\n"));
    EXPECT_TRUE(dump.contains(
        u"|       1 | name            |       1 | Name                 |                      |"));
}

}  // namespace
