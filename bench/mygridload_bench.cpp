// A server grid of 100,000 rows x 20 columns (with key and number columns)
// loaded the way the user sees it: requested through the dispatcher from the
// fake server on the loopback, downloaded and parsed on a download thread,
// replayed into a shown data grid until the last row is in and a frame is
// painted. Best of 5 loads into one grid, against a bare 16-bit expat parse
// of the same bytes in the same run. Also the longest stall of the UI thread
// (the largest gap between two ticks of a 1 ms precise timer) and the peak
// memory of the process.

#include "benchtools.h"
#include "framework/klog.h"
#include "grid/gridrequesters.h"
#include "grid/mygrid.h"
#include "net/netdispatcher.h"
#include "net/netthread.h"
#include "support/fakevelnixserver.h"
#include "support/gridreplies.h"
#include "support/recordingmysystemsite.h"
#include "support/recordingwireservices.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int kRows = 100000;
constexpr int kRuns = 5;

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

// The text-cell reply with its second column made a number column.
QByteArray benchReply() {
    QByteArray reply = MakeTextCellGridReply(kRows);
    const QByteArray plain = "<colname>field2</colname><colhead>Field 2</colhead><colprops>[L]";
    const qsizetype at = reply.indexOf(plain);
    if (at >= 0) {
        reply.replace(at, plain.size(),
                      "<colname>field2</colname><colhead>Field 2</colhead><colprops>[N]");
    }
    return reply;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    // Boxes and actions that replies carry are recorded, never shown.
    RecordingWireServices services;
    // The server connections' site: a dispatcher of its own and no settings.
    RecordingMySystemSite systemSite;
    QTemporaryDir folder;
    kInit(QStringLiteral("bench"), folder.filePath(QStringLiteral("bench.log")),
          folder.filePath(QStringLiteral("bench.dbg")), 0);
    const QByteArray reply = benchReply();
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

    QWidget host;
    host.resize(1024, 768);
    CMyGrid grid;
    grid.SetSavePrefsOnReset(false);
    grid.Create(QRect(0, 0, 1024, 768), &host, 100);
    host.show();

    bool ok = true;
    double bareSeconds = 1e9;
    double loadSeconds = 1e9;
    double longestStall = 0;
    GridFieldChecksum parsed;
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer bare;
        bare.start();
        parsed = {};
        ok = DirectParseChecksum(reply, CNetThread::kGridChunkBytes, parsed) && ok;
        bareSeconds = std::min(bareSeconds, bare.nsecsElapsed() / 1e9);

        StallMeter stalls;
        QEventLoop loop;
        QObject::connect(&grid, &CMyGrid::LoadEnded, &loop, &QEventLoop::quit);
        QElapsedTimer load;
        stalls.Start();
        load.start();
        if (grid.GetData(url, nullptr, false) == 0) {
            std::fprintf(stderr, "the request did not go out\n");
            return 1;
        }
        loop.exec();
        grid.viewport()->repaint();
        const double seconds = load.nsecsElapsed() / 1e9;
        // Events that waited behind the load's end count as stalls too.
        QCoreApplication::processEvents();
        stalls.Stop();
        loadSeconds = std::min(loadSeconds, seconds);
        longestStall = std::max(longestStall, stalls.LongestMs());
        if (grid.GetRowCount() != kRows + 1) {
            std::fprintf(stderr, "the grid holds %d rows, not %d\n", grid.GetRowCount() - 1, kRows);
            ok = false;
        }
    }
    QFile loadFile(QStringLiteral("/proc/loadavg"));
    const QByteArray load =
        loadFile.open(QIODevice::ReadOnly) ? loadFile.readAll().split(' ').first() : "?";
    std::printf("machine load (1-minute average, %d cores): %s\n", QThread::idealThreadCount(),
                load.constData());
    std::printf("reply: %d rows x 20 cells, %.1f MB\n", kRows, reply.size() / 1e6);
    std::printf("bare parse: %.3f s (best of %d)\n", bareSeconds, kRuns);
    std::printf("grid load into a shown CMyGrid: %.3f s (best of %d)\n", loadSeconds, kRuns);
    std::printf("grid load vs bare parse: %.2f (goal: 2.0)\n", loadSeconds / bareSeconds);
    std::printf("longest UI-thread stall: %.1f ms (goal: 50)\n", longestStall);
    std::printf("peak memory: %ld MB (goal: 400)\n", statusKilobytes("VmHWM:") / 1024);
    return ok ? 0 : 1;
}
