// Exporting 100,000 x 20 rows of the data grid: the CSV file SaveAsCSV
// writes and what Edit > Copy puts on the clipboard for all rows selected,
// each against the bare work of handing those bytes out, in the same run.
// The clipboard carries two formats, text and an HTML table, so its baseline
// is one QSaveFile write of both formats' bytes; the file's is one write of
// the file's bytes. Every output is checked row by row against the texts the
// grid was filled with.

#include "grid/mygrid.h"

#include "benchprocess.h"
#include "benchtools.h"

#include <QElapsedTimer>
#include <QFile>
#include <QMimeData>
#include <QSaveFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int kRows = 100000;
constexpr int kColumns = 20;
constexpr int kRuns = 5;

QString cellText(int row, int col) {
    return QStringLiteral("cell %1, \"%2\"").arg(row).arg(col);
}

void fillGrid(CMyGrid& grid) {
    grid.SetSavePrefsOnReset(false);
    grid.BeginLoad();
    grid.SetColumnCount(kColumns);
    grid.SetRowCount(kRows + 1);
    grid.SetFixedRowCount(1);
    for (int col = 1; col <= kColumns; ++col) {
        grid.AddColumn(QStringLiteral("c%1").arg(col), QStringLiteral("Column %1").arg(col),
                       col == 2 ? QStringLiteral("[S]") : QString());
        grid.SetupColumn(col);
    }
    for (int row = 1; row <= kRows; ++row) {
        for (int col = 0; col < kColumns; ++col) {
            grid.SetItemText(row, col, cellText(row, col));
        }
    }
}

// One QSaveFile with each of the byte arrays written once.
double writeOnce(const QString& path, std::initializer_list<QByteArrayView> parts) {
    QElapsedTimer timer;
    timer.start();
    QSaveFile file(path);
    bool written = file.open(QIODevice::WriteOnly);
    for (const QByteArrayView bytes : parts) {
        written = written && file.write(bytes.data(), bytes.size()) == bytes.size();
    }
    if (!written || !file.commit()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    }
    return timer.nsecsElapsed() / 1e9;
}

QString htmlEscaped(QString text) {
    return text.replace(u'&', u"&amp;"_qs).replace(u'<', u"&lt;"_qs).replace(u'>', u"&gt;"_qs);
}

// Whether the HTML document holds a table of a header row and then every
// data row, each cell's text escaped.
bool holdsEveryHtmlRow(const QByteArray& html) {
    qsizetype at = html.indexOf("<table border=0><tr>");
    const qsizetype headerEnd = html.indexOf("</tr>", at);
    if (at < 0 || headerEnd < 0) {
        std::fprintf(stderr, "no table\n");
        return false;
    }
    at = headerEnd + qstrlen("</tr>");
    for (int row = 1; row <= kRows; ++row) {
        QString expected = u"<tr>"_qs;
        for (int col = 0; col < kColumns; ++col) {
            expected += u"<td nowrap >"_qs + htmlEscaped(cellText(row, col)) + u"</td> "_qs;
        }
        expected += u"</tr>"_qs;
        const QByteArray bytes = expected.toUtf8();
        if (QByteArrayView(html).sliced(at).first(std::min(bytes.size(), html.size() - at)) !=
            bytes) {
            std::fprintf(stderr, "HTML row %d differs\n", row);
            return false;
        }
        at += bytes.size();
    }
    return html.sliced(at).startsWith("</table>");
}

// Whether the bytes hold the header and then every data row, each field
// quoted with its quotes doubled, rows ended by `lineEnd`.
bool holdsEveryRow(const QByteArray& bytes, QByteArrayView lineEnd) {
    const QList<QByteArray> lines = bytes.split('\n');
    if (lines.size() != kRows + 2 || !lines.last().isEmpty()) {
        std::fprintf(stderr, "%lld lines, not %d\n", static_cast<long long>(lines.size()),
                     kRows + 2);
        return false;
    }
    const QByteArray ending = lineEnd.chopped(1).toByteArray();
    for (int row = 1; row <= kRows; ++row) {
        QStringList fields;
        for (int col = 0; col < kColumns; ++col) {
            fields << QChar(u'"') + cellText(row, col).replace(QChar(u'"'), QStringLiteral("\"\"")) +
                          QChar(u'"');
        }
        if (lines[row] != fields.join(u',').toUtf8() + ending) {
            std::fprintf(stderr, "row %d: %s\n", row, lines[row].constData());
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    BenchProcess process(argc, argv);
    QTemporaryDir folder;
    const QString csvPath = folder.filePath(QStringLiteral("grid.csv"));
    const QString basePath = folder.filePath(QStringLiteral("baseline.csv"));
    CMyGrid grid;
    fillGrid(grid);

    const double saved = medianSeconds(kRuns, [&] {
        QElapsedTimer timer;
        timer.start();
        if (grid.SaveAsCSV(false, false, csvPath) == 0) {
            std::fprintf(stderr, "SaveAsCSV failed\n");
        }
        return timer.nsecsElapsed() / 1e9;
    });
    QFile written(csvPath);
    const QByteArray fileBytes =
        written.open(QIODevice::ReadOnly) ? written.readAll() : QByteArray();
    const double fileBaseline =
        medianSeconds(kRuns, [&] { return writeOnce(basePath, {fileBytes}); });

    grid.SetSelectedRange(1, 0, kRows, kColumns - 1);
    QByteArray textBytes;
    QByteArray htmlBytes;
    const double built = medianSeconds(kRuns, [&] {
        QElapsedTimer timer;
        timer.start();
        const std::unique_ptr<QMimeData> data = grid.ClipboardData(true);
        const double seconds = timer.nsecsElapsed() / 1e9;
        textBytes = data->data(QStringLiteral("text/plain"));
        htmlBytes = data->data(QStringLiteral("text/html"));
        return seconds;
    });
    const double copyBaseline =
        medianSeconds(kRuns, [&] { return writeOnce(basePath, {textBytes, htmlBytes}); });

    const bool fileWhole = holdsEveryRow(fileBytes, "\n");
    const bool textWhole = holdsEveryRow(textBytes, "\r\n") && holdsEveryHtmlRow(htmlBytes);
    printMachineLoad();
    std::printf("SaveAsCSV of 100,000 x 20: %.4f s, one QSaveFile write of its %lld bytes %.4f s "
                "(median of %d)%s\n",
                saved, static_cast<long long>(fileBytes.size()), fileBaseline, kRuns,
                fileWhole ? "" : "; THE FILE IS WRONG");
    std::printf("SaveAsCSV against one write: %.2f (goal: <= 3)\n", saved / fileBaseline);
    std::printf("clipboard text and HTML of 100,000 x 20: %.4f s, one QSaveFile write of their "
                "%lld + %lld bytes %.4f s (median of %d)%s\n",
                built, static_cast<long long>(textBytes.size()),
                static_cast<long long>(htmlBytes.size()), copyBaseline, kRuns,
                textWhole ? "" : "; THE CLIPBOARD IS WRONG");
    std::printf("clipboard text and HTML against one write of both: %.2f (goal: <= 3)\n",
                built / copyBaseline);
    return fileWhole && textWhole ? 0 : 1;
}
