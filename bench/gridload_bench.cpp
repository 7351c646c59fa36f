// A grid reply of the shape servers send (grid properties, headers, then
// 100,000 rows of 20 text cells), loaded the way the program loads it:
// served by the fake server on the loopback, downloaded and parsed into grid
// events on a download thread, handed through the grid pipe and decoded on
// the UI thread into the views a grid takes its texts from. The baseline is
// a bare 16-bit expat parse of the same bytes, fed in the download's own
// piece size, that touches every character as the reader does; the checksum
// of both must agree, which also proves that no field was lost.

#include "benchtools.h"
#include "net/netdispatcher.h"
#include "support/fakevelnixserver.h"
#include "support/gridreplies.h"
#include "support/recordingwireservices.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kRows = 100000;
constexpr int kRuns = 5;

// Starts the peak-memory mark afresh at the current size.
void resetPeakMemory() {
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly)) {
        clear.write("5");
    }
}

// The machine's 1-minute load average: figures taken under load are not
// those of a quiet moment.
QByteArray loadAverage() {
    QFile load(QStringLiteral("/proc/loadavg"));
    return load.open(QIODevice::ReadOnly) ? load.readAll().split(' ').first() : "?";
}

// CPU seconds of every thread of the process so far.
double processCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The wall and CPU seconds of every run, reported at their medians: one
// run slowed by the other work of a busy machine does not move them.
class Timing {
public:
    template <class Run>
    void Measure(Run run) {
        const double cpuBefore = processCpuSeconds();
        QElapsedTimer timer;
        timer.start();
        run();
        m_seconds.push_back(timer.nsecsElapsed() / 1e9);
        m_cpuSeconds.push_back(processCpuSeconds() - cpuBefore);
    }
    double Seconds() const { return median(m_seconds); }
    double CpuSeconds() const { return median(m_cpuSeconds); }

private:
    static double median(std::vector<double> values) {
        std::sort(values.begin(), values.end());
        return values.empty() ? 0 : values[values.size() / 2];
    }

    std::vector<double> m_seconds;
    std::vector<double> m_cpuSeconds;
};

// One load from the request to the last event decoded on this thread.
bool pipelineLoad(CNetDispatcher& dispatcher, const QString& url, long& events,
                  GridFieldChecksum& checksum) {
    GridChecksumReceiver reader(dispatcher.UiBridge());
    quint16 requesterId = 0;
    if (dispatcher.SendRequest(kNetRequestGrid, requesterId, url, QStringLiteral("bench"),
                               QStringLiteral("bench"), {})) {
        reader.Wait();
    }
    if (!reader.errorBox.isEmpty()) {
        std::fprintf(stderr, "error box: %s\n", qPrintable(reader.errorBox));
    }
    events = static_cast<long>(reader.events);
    checksum = reader.checksum;
    return reader.intact;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    // Boxes and actions that replies carry are recorded, never shown.
    RecordingWireServices services;
    const QByteArray reply = MakeTextCellGridReply(kRows);
    FakeVelnixServer server;
    // Served in pieces, as a server streams it, rather than copied whole
    // before the first byte goes out; the probes get an empty answer.
    FakeVelnixServer::Reply streamed;
    for (qsizetype at = 0; at < reply.size(); at += 64 * 1024) {
        streamed.chunks.push_back(reply.mid(at, 64 * 1024));
    }
    server.Script(FakeVelnixServer::kServicesPath, "Action=Grid", streamed);
    server.Script(FakeVelnixServer::kServicesPath, "Action=Grid&checkconnection=1",
                  FakeVelnixServer::Reply::Xml({}));
    const QString url = server.BaseUrl() + QStringLiteral("/cmi/Services?Action=Grid");
    CNetDispatcher dispatcher;

    Timing whole;
    Timing pieces;
    Timing stage;
    bool ok = true;
    GridFieldChecksum parsed;
    GridFieldChecksum loaded;
    long events = 0;
    long peakGrowth = 0;
    for (int run = 0; run < kRuns; ++run) {
        whole.Measure([&] {
            parsed = {};
            ok = DirectParseChecksum(reply, reply.size(), parsed) && ok;
        });
        pieces.Measure([&] {
            parsed = {};
            ok = DirectParseChecksum(reply, CNetThread::kGridChunkBytes, parsed) && ok;
        });
        const long before = statusKilobytes("VmRSS:");
        resetPeakMemory();
        stage.Measure([&] {
            if (!pipelineLoad(dispatcher, url, events, loaded)) {
                std::fprintf(stderr, "the load failed\n");
                ok = false;
            }
        });
        peakGrowth = std::max(peakGrowth, statusKilobytes("VmHWM:") - before);
        if (loaded != parsed) {
            std::fprintf(stderr, "the grid stage's fields differ from the parse's\n");
            ok = false;
        }
    }
    std::printf("machine load (1-minute average, %d cores): %s\n", QThread::idealThreadCount(),
                loadAverage().constData());
    std::printf("reply: %d rows x 20 text cells, %.1f MB, %ld events, %llu characters\n", kRows,
                reply.size() / 1e6, events, static_cast<unsigned long long>(parsed.characters));
    std::printf("bare parse in %d KiB pieces: %.3f s, %.3f CPU s (median of %d)\n",
                CNetThread::kGridChunkBytes / 1024, pieces.Seconds(), pieces.CpuSeconds(), kRuns);
    std::printf("bare parse of the whole text (information): %.3f s\n", whole.Seconds());
    std::printf("grid stage (download, parse, pipe, decode): %.3f s, %.3f CPU s in all threads "
                "(median of %d)\n",
                stage.Seconds(), stage.CpuSeconds(), kRuns);
    std::printf("grid stage vs bare parse in pieces: %.2f (goal: <= 1.5)\n",
                stage.Seconds() / pieces.Seconds());
    std::printf("grid stage CPU vs bare parse CPU: %.2f\n", stage.CpuSeconds() / pieces.CpuSeconds());
    std::printf(
        "peak memory: %ld MB in all (the reply's text and the fake server included); "
        "%ld MB more during a load\n",
        statusKilobytes("VmHWM:") / 1024, peakGrowth / 1024);
    return ok ? 0 : 1;
}
