// Server grids of 10,000, 100,000 and 400,000 rows x 20 columns (with key,
// address and number columns) loaded the way the user sees them: requested
// through the dispatcher from the fake server on the loopback, downloaded and
// parsed on a download thread, replayed into a shown data grid until the
// last row is in, sorted by the grid's sort column, and a frame painted.
// The baseline is a bare 16-bit expat parse of the same bytes in the same
// run, fed in the download's piece size. Figures are medians of the runs:
// the load against the baseline, the longest stall of the UI thread (the
// largest gap between two ticks of a 1 ms precise timer), the time from the
// request to the first frame that paints a row, and the peak memory.
// Every load is checked: all rows in, each row's cells with the reply's
// texts and still together after the sort, the rows in the sort's order,
// and a row painted.

#include "benchprocess.h"
#include "benchtools.h"
#include "framework/klog.h"
#include "grid/cellformatter.h"
#include "grid/gridrequesters.h"
#include "grid/mygrid.h"
#include "gridctrl/gridcellbase.h"
#include "net/netdispatcher.h"
#include "net/netthread.h"
#include "support/fakevelnixserver.h"
#include "support/gridreplies.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kRuns = 5;
constexpr int kGoalRows = 100000;
constexpr int kColumns = 20;

// Hands each grid reply to the grid of its requester, as the application does.
class BenchGridRouter : public INetUiReceiver {
public:
    explicit BenchGridRouter(CNetUiBridge& bridge) : m_bridge(bridge) {
        m_bridge.SetReceiver(this);
    }
    ~BenchGridRouter() override { m_bridge.SetReceiver(nullptr); }
    void OnGridDataReady(quint16 requesterId, CNamedPipe clientEnd) override {
        RouteGridData(requesterId, std::move(clientEnd));
    }
    void OnTreeDataReady(quint16, CNamedPipe) override {}
    void OnStatusText(const QString&) override {}
    void OnErrorBox(const QString& text, const QString&) override {
        std::fprintf(stderr, "error box: %s\n", qPrintable(text));
    }

private:
    CNetUiBridge& m_bridge;
};

// The first paint of the viewport that draws rows, timed from Start.
class FirstRowPaint : public QObject {
public:
    explicit FirstRowPaint(CMyGrid& grid) : m_grid(grid) {
        m_grid.viewport()->installEventFilter(this);
    }
    ~FirstRowPaint() override { m_grid.viewport()->removeEventFilter(this); }
    void Start() {
        m_ms = -1;
        m_clock.start();
    }
    double Ms() const { return m_ms; }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && m_ms < 0 && m_grid.GetRowCount() > 1 &&
            m_grid.IsRedrawAllowed() && m_grid.isVisible()) {
            m_ms = m_clock.nsecsElapsed() / 1e6;
        }
        return false;
    }

private:
    CMyGrid& m_grid;
    QElapsedTimer m_clock;
    double m_ms = -1;
};

// The text-cell reply with its second column made a number column.
QByteArray benchReply(int rows) {
    QByteArray reply = MakeTextCellGridReply(rows);
    const QByteArray plain = "<colname>field2</colname><colhead>Field 2</colhead><colprops>[L]";
    const qsizetype at = reply.indexOf(plain);
    if (at >= 0) {
        reply.replace(at, plain.size(),
                      "<colname>field2</colname><colhead>Field 2</colhead><colprops>[N]");
    }
    return reply;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

// Starts the peak-memory mark afresh at the current size.
void resetPeakMemory() {
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly)) {
        clear.write("5");
    }
}

// What the load must have produced: every row of the reply once, each with
// the texts of the reply's row its key stands for, in the order of the
// grid's sort of its first column; and a frame that draws the first row's text.
bool checkGrid(CMyGrid& grid, int rows) {
    if (grid.GetRowCount() != rows + 1) {
        std::fprintf(stderr, "the grid holds %d rows, not %d\n", grid.GetRowCount() - 1, rows);
        return false;
    }
    if (grid.GetColumnCount() != kColumns) {
        std::fprintf(stderr, "the grid holds %d columns, not %d\n", grid.GetColumnCount(),
                     kColumns);
        return false;
    }
    static const QRegularExpression key(QStringLiteral("^node-(\\d+)\\.example\\.net$"));
    std::vector<bool> seen(static_cast<size_t>(rows));
    const int sortColumn = grid.GetSortColumn();
    const bool ascending = grid.GetSortAscending();
    for (int row = 1; row <= rows; ++row) {
        const QRegularExpressionMatch match = key.match(grid.GetItemText(row, 0));
        const int number = match.hasMatch() ? match.captured(1).toInt() : -1;
        if (number < 0 || number >= rows || seen[static_cast<size_t>(number)]) {
            std::fprintf(stderr, "row %d: key \"%s\" unknown or twice\n", row,
                         qPrintable(grid.GetItemText(row, 0)));
            return false;
        }
        seen[static_cast<size_t>(number)] = true;
        for (int col = 1; col < grid.GetColumnCount(); ++col) {
            if (grid.GetItemText(row, col) != TextCellGridReplyText(number, col)) {
                std::fprintf(stderr, "row %d: cell %d of \"%s\" is not its own\n", row, col,
                             qPrintable(grid.GetItemText(row, 0)));
                return false;
            }
        }
        if (row > 1 && sortColumn >= 0) {
            const int order =
                CompareCellSortKeys(MakeCellSortKey(grid.GetCell(row - 1, sortColumn)),
                                    MakeCellSortKey(grid.GetCell(row, sortColumn)));
            if (ascending ? order > 0 : order < 0) {
                std::fprintf(stderr, "rows %d and %d are out of order\n", row - 1, row);
                return false;
            }
        }
    }
    QRect first;
    if (!grid.GetCellRect(1, 0, first)) {
        std::fprintf(stderr, "the first row is not on the screen\n");
        return false;
    }
    const QImage frame = grid.viewport()->grab().toImage();
    int dark = 0;
    for (int y = first.top(); y <= first.bottom(); ++y) {
        for (int x = first.left(); x <= first.right(); ++x) {
            dark += frame.valid(x, y) && qGray(frame.pixel(x, y)) < 96 ? 1 : 0;
        }
    }
    if (dark == 0) {
        std::fprintf(stderr, "the painted frame shows no text in the first row\n");
        return false;
    }
    return true;
}

struct Phase {
    int rows = 0;
    qsizetype replyBytes = 0;
    double bareSeconds = 0;
    double loadSeconds = 0;
    double stallMs = 0;  // the longest of the runs'
    double firstRowMs = 0;
    long peakKilobytes = 0;
    long peakGrowthKilobytes = 0;
    bool ok = true;
};

// kRuns loads of a reply of `rows` rows into the grid, each against a bare
// parse of the same bytes.
Phase measure(CMyGrid& grid, RecordingMySystemSite& systemSite, int rows) {
    Phase phase;
    phase.rows = rows;
    const QByteArray reply = benchReply(rows);
    phase.replyBytes = reply.size();
    FakeVelnixServer server;
    // The served pieces share the reply's bytes, so the reply is held once.
    FakeVelnixServer::Reply streamed;
    for (qsizetype at = 0; at < reply.size(); at += 64 * 1024) {
        streamed.chunks.push_back(QByteArray::fromRawData(
            reply.constData() + at, std::min<qsizetype>(64 * 1024, reply.size() - at)));
    }
    server.Script(FakeVelnixServer::kServicesPath, "Action=Grid", streamed);
    server.Script(FakeVelnixServer::kServicesPath, "Action=Grid&checkconnection=1",
                  FakeVelnixServer::Reply::Xml({}));
    const QString url = server.BaseUrl() + QStringLiteral("/cmi/Services?Action=Grid");
    BenchGridRouter router(systemSite.dispatcher.UiBridge());
    FirstRowPaint firstRow(grid);

    std::vector<double> bare;
    std::vector<double> loads;
    std::vector<double> firstRows;
    const long before = statusKilobytes("VmRSS:");
    resetPeakMemory();
    for (int run = 0; run < kRuns; ++run) {
        GridFieldChecksum parsed;
        QElapsedTimer bareClock;
        bareClock.start();
        phase.ok = DirectParseChecksum(reply, CNetThread::kGridChunkBytes, parsed) && phase.ok;
        bare.push_back(bareClock.nsecsElapsed() / 1e9);

        StallMeter stalls;
        QEventLoop loop;
        QObject::connect(&grid, &CMyGrid::LoadEnded, &loop, &QEventLoop::quit);
        QElapsedTimer load;
        stalls.Start();
        firstRow.Start();
        load.start();
        if (grid.GetData(url, nullptr, false) == 0) {
            std::fprintf(stderr, "the request did not go out\n");
            phase.ok = false;
            return phase;
        }
        loop.exec();
        grid.viewport()->repaint();
        loads.push_back(load.nsecsElapsed() / 1e9);
        // Events that waited behind the load's end count as stalls too.
        QCoreApplication::processEvents();
        stalls.Stop();
        phase.stallMs = std::max(phase.stallMs, stalls.LongestMs());
        firstRows.push_back(firstRow.Ms() < 0 ? 1e9 : firstRow.Ms());
        phase.ok = checkGrid(grid, rows) && phase.ok;
    }
    phase.peakKilobytes = statusKilobytes("VmHWM:");
    phase.peakGrowthKilobytes = phase.peakKilobytes - before;
    phase.bareSeconds = median(bare);
    phase.loadSeconds = median(loads);
    phase.firstRowMs = median(firstRows);
    return phase;
}

}  // namespace

int main(int argc, char** argv) {
    BenchProcess process(argc, argv);
    QTemporaryDir folder;
    kInit(QStringLiteral("bench"), folder.filePath(QStringLiteral("bench.log")),
          folder.filePath(QStringLiteral("bench.dbg")), 0);

    QWidget host;
    host.resize(1024, 768);
    CMyGrid grid;
    grid.SetSavePrefsOnReset(false);
    grid.Create(QRect(0, 0, 1024, 768), &host, 100);
    host.show();

    // Row counts may be given on the command line instead.
    std::vector<int> rowCounts;
    for (int arg = 1; arg < argc; ++arg) {
        rowCounts.push_back(std::max(1, QByteArray(argv[arg]).toInt()));
    }
    if (rowCounts.empty()) {
        rowCounts = {10000, kGoalRows, 400000};
    }
    std::vector<Phase> phases;
    for (const int rows : rowCounts) {
        phases.push_back(measure(grid, process.SystemSite(), rows));
    }
    QFile loadFile(QStringLiteral("/proc/loadavg"));
    const QByteArray load =
        loadFile.open(QIODevice::ReadOnly) ? loadFile.readAll().split(' ').first() : "?";
    std::printf("machine load (1-minute average, %d cores): %s\n", QThread::idealThreadCount(),
                load.constData());
    std::printf("baseline: a bare 16-bit expat parse of the same reply in %d KiB pieces\n",
                CNetThread::kGridChunkBytes / 1024);
    bool ok = true;
    for (const Phase& phase : phases) {
        ok = ok && phase.ok;
        std::printf(
            "%d rows x 20 cells, %.1f MB: bare parse %.3f s, grid load into a shown "
            "CMyGrid %.3f s (medians of %d)%s\n",
            phase.rows, phase.replyBytes / 1e6, phase.bareSeconds, phase.loadSeconds, kRuns,
            phase.ok ? "" : ", CHECKS FAILED");
        std::printf("grid load vs bare parse, %d rows: %.2f%s\n", phase.rows,
                    phase.loadSeconds / phase.bareSeconds,
                    phase.rows == kGoalRows ? " (goal: <= 2.0)" : "");
        std::printf("longest UI-thread stall, %d rows: %.1f ms (goal: < 50)\n", phase.rows,
                    phase.stallMs);
        std::printf("request to the first painted row, %d rows: %.1f ms (goal: < 100)\n",
                    phase.rows, phase.firstRowMs);
        if (phase.rows == kGoalRows) {
            const double perRow = phase.peakGrowthKilobytes * 1024.0 / phase.rows;
            const double replyPerRow = static_cast<double>(phase.replyBytes) / phase.rows;
            std::printf("peak memory, %d rows: %ld MB (goal: < 400)\n", phase.rows,
                        phase.peakKilobytes / 1024);
            std::printf(
                "peak memory growth per row: %.0f bytes, %.1fx the reply's %.0f bytes per "
                "row (aim: <= 2x)\n",
                perRow, perRow / replyPerRow, replyPerRow);
        }
    }
    return ok ? 0 : 1;
}
