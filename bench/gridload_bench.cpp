// A large grid reply loaded the way the program loads it: served by the
// fake server on the loopback, downloaded and parsed into grid events on a
// download thread, streamed through the grid pipe and decoded on the UI
// thread, against a bare expat parse of the same bytes in the same run.
// Prints the ratio of the two (the goal is 1.5 or less) and the memory the
// load needed.

#include "benchtools.h"
#include "net/grideventreader.h"
#include "net/netdispatcher.h"
#include "support/fakevelnixserver.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>

#include <expat.h>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int kRows = 100000;
constexpr int kColumns = 20;
constexpr int kRuns = 5;

QByteArray makeReply() {
    QByteArray reply = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<grid pid=\"0\">\n";
    reply.reserve(kRows * 520);
    for (int row = 0; row < kRows; ++row) {
        reply += "<row";
        for (int column = 0; column < kColumns; ++column) {
            reply += QByteArray(" c") + QByteArray::number(column) + "=\"cell value " +
                     QByteArray::number(row) + '-' + QByteArray::number(column) + "\"";
        }
        reply += "/>\n";
    }
    return reply + "</grid>\n";
}

// Starts the peak-memory mark afresh at the current size.
void resetPeakMemory() {
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly)) {
        clear.write("5");
    }
}

// Decodes every event and touches each text, as a grid would when it
// copies the values it shows.
class CountingReader : public INetUiReceiver, public IGridEventSink {
public:
    explicit CountingReader(CNetUiBridge& bridge) : m_bridge(bridge) { m_bridge.SetReceiver(this); }
    ~CountingReader() override { m_bridge.SetReceiver(nullptr); }

    void OnGridDataReady(quint16, CNamedPipe clientEnd) override {
        m_reader.Attach(std::move(clientEnd));
    }
    void OnTreeDataReady(quint16, CNamedPipe) override {}
    void OnStatusText(const QString&) override {}
    void OnErrorBox(const QString& text, const QString&) override {
        std::fprintf(stderr, "error box: %s\n", qPrintable(text));
        m_loop.quit();
    }
    void OnGridEvent(const CGridEvent& event) override {
        ++events;
        characters += event.name.size() + event.text.size();
        for (const auto& [name, value] : event.attributes) {
            characters += name.size() + value.size();
        }
    }
    void OnGridStreamEnd(bool whole) override {
        intact = whole;
        m_loop.quit();
    }
    // Runs the UI thread's event loop until the stream ends.
    void Wait() { m_loop.exec(); }

    long events = 0;
    qint64 characters = 0;
    bool intact = false;

private:
    QEventLoop m_loop;
    CNetUiBridge& m_bridge;
    CGridEventReader m_reader{*this};
};

// Seconds from the request to the last event decoded on this thread.
double pipelineLoad(CNetDispatcher& dispatcher, const QString& url, long& events) {
    CountingReader reader(dispatcher.UiBridge());
    QElapsedTimer timer;
    timer.start();
    quint16 requesterId = 0;
    if (dispatcher.SendRequest(kNetRequestGrid, requesterId, url, QStringLiteral("bench"),
                               QStringLiteral("bench"), {})) {
        reader.Wait();
    }
    if (!reader.intact) {
        std::fprintf(stderr, "the load failed\n");
    }
    const double seconds = timer.nsecsElapsed() / 1e9;
    events = reader.events;
    return seconds;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const QByteArray reply = makeReply();
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

    double bare = 1e9;
    double barePieces = 1e9;
    double pipeline = 1e9;
    long elements = 0;
    long events = 0;
    long peakGrowth = 0;
    for (int run = 0; run < kRuns; ++run) {
        bare = std::min(bare, bareParse(reply, reply.size(), elements));
        barePieces = std::min(barePieces, bareParse(reply, CNetThread::kGridChunkBytes, elements));
        const long before = statusKilobytes("VmRSS:");
        resetPeakMemory();
        pipeline = std::min(pipeline, pipelineLoad(dispatcher, url, events));
        peakGrowth = std::max(peakGrowth, statusKilobytes("VmHWM:") - before);
    }
    std::printf("reply: %d rows x %d columns, %.1f MB, %ld elements, %ld events\n", kRows, kColumns,
                reply.size() / 1e6, elements, events);
    std::printf("bare expat parse, whole text:         %.3f s (best of %d)\n", bare, kRuns);
    std::printf("bare expat parse, in download pieces: %.3f s (best of %d)\n", barePieces, kRuns);
    std::printf("download+parse+pipe+decode:           %.3f s (best of %d)\n", pipeline, kRuns);
    std::printf("ratio to the whole-text parse:        %.2f (goal: 1.5 or less)\n",
                pipeline / bare);
    std::printf("ratio to the parse in pieces:         %.2f\n", pipeline / barePieces);
    std::printf(
        "peak memory: %ld MB in all (the reply's text and the fake server included); "
        "%ld MB more during a load\n",
        statusKilobytes("VmHWM:") / 1024, peakGrowth / 1024);
    return events == 2L * elements ? 0 : 1;
}
