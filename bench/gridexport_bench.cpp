// Exporting 100,000 x 20 rows of the data grid: the CSV file SaveAsCSV
// writes and the text CopyToClipboard builds for all rows, each against the
// bare work of handing those bytes out, one QSaveFile write of the same
// bytes, in the same run. Both outputs are checked row by row against the
// texts the grid was filled with.

#include "grid/mygrid.h"

#include "benchprocess.h"
#include "benchtools.h"

#include <QElapsedTimer>
#include <QFile>
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

double writeOnce(const QString& path, const QByteArray& bytes) {
    QElapsedTimer timer;
    timer.start();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    }
    return timer.nsecsElapsed() / 1e9;
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
    const double fileBaseline = medianSeconds(kRuns, [&] { return writeOnce(basePath, fileBytes); });

    QByteArray textBytes;
    const double built = medianSeconds(kRuns, [&] {
        QElapsedTimer timer;
        timer.start();
        ExportRows rows;
        grid.CollectRows(false, true, rows);
        textBytes = CMyGrid::BuildCsvText(rows);
        return timer.nsecsElapsed() / 1e9;
    });
    const double textBaseline = medianSeconds(kRuns, [&] { return writeOnce(basePath, textBytes); });

    const bool fileWhole = holdsEveryRow(fileBytes, "\n");
    const bool textWhole = holdsEveryRow(textBytes, "\r\n");
    printMachineLoad();
    std::printf("SaveAsCSV of 100,000 x 20: %.4f s, one QSaveFile write of its %lld bytes %.4f s "
                "(median of %d)%s\n",
                saved, static_cast<long long>(fileBytes.size()), fileBaseline, kRuns,
                fileWhole ? "" : "; THE FILE IS WRONG");
    std::printf("SaveAsCSV against one write: %.2f (goal: <= 3)\n", saved / fileBaseline);
    std::printf("clipboard text of 100,000 x 20: %.4f s, one QSaveFile write of its %lld bytes "
                "%.4f s (median of %d)%s\n",
                built, static_cast<long long>(textBytes.size()), textBaseline, kRuns,
                textWhole ? "" : "; THE TEXT IS WRONG");
    std::printf("clipboard text against one write: %.2f (goal: <= 3)\n", built / textBaseline);
    return fileWhole && textWhole ? 0 : 1;
}
