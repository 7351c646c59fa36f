// Exporting 100,000 x 20 rows of the data grid: the CSV file SaveAsCSV
// writes and the text CopyToClipboard builds for all rows, each against one
// QSaveFile write of the same bytes in the same run.

#include "grid/mygrid.h"

#include "benchtools.h"
#include "support/recordingmysystemsite.h"
#include "support/recordingwireservices.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int kRows = 100000;
constexpr int kColumns = 20;
constexpr int kRuns = 3;

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
            grid.SetItemText(row, col, QStringLiteral("cell %1, \"%2\"").arg(row).arg(col));
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

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    // Boxes and actions that replies carry are recorded, never shown.
    RecordingWireServices services;
    // The server connections' site: a dispatcher of its own and no settings.
    RecordingMySystemSite systemSite;
    QTemporaryDir folder;
    const QString csvPath = folder.filePath(QStringLiteral("grid.csv"));
    const QString basePath = folder.filePath(QStringLiteral("baseline.csv"));
    CMyGrid grid;
    fillGrid(grid);

    const double saved = bestSeconds(kRuns, [&] {
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
    const double fileBaseline = bestSeconds(kRuns, [&] { return writeOnce(basePath, fileBytes); });

    QByteArray textBytes;
    const double built = bestSeconds(kRuns, [&] {
        QElapsedTimer timer;
        timer.start();
        ExportRows rows;
        grid.CollectRows(false, true, rows);
        textBytes = CMyGrid::BuildCsvText(rows);
        return timer.nsecsElapsed() / 1e9;
    });
    const double textBaseline = bestSeconds(kRuns, [&] { return writeOnce(basePath, textBytes); });

    std::printf(
        "SaveAsCSV of 100,000 x 20: %.4f s, one QSaveFile write of its %lld bytes %.4f s "
        "(best of %d)\n",
        saved, static_cast<long long>(fileBytes.size()), fileBaseline, kRuns);
    std::printf("SaveAsCSV against one write: %.2f (goal: <= 3)\n", saved / fileBaseline);
    std::printf("clipboard text of 100,000 x 20: %.4f s, one QSaveFile write of it %.4f s\n", built,
                textBaseline);
    std::printf("clipboard text against one write: %.2f (goal: <= 3)\n", built / textBaseline);
    return 0;
}
