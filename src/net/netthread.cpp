#include "net/netthread.h"

#include "framework/klog.h"
#include "net/gridparser.h"
#include "net/mywire.h"
#include "net/parserfactoryregistry.h"
#include "net/treechunkwriter.h"
#include "net/wireservices.h"
#include "platform/http.h"
#include "resources/strings.h"

#include <functional>
#include <vector>

namespace {

constexpr unsigned kWaitingString = 104;
const QString kConnectionErrorText = QStringLiteral("Unable to connect to the Server");
const QString kConnectionErrorCaption = QStringLiteral("Quillet Error Connection");

}  // namespace

// Everything the download thread uses, kept alive by the thread itself so
// that an abandoned thread never reaches a destroyed object.
struct CNetThread::State {
    CNetDownload download;
    CNetUiBridge bridge;
    std::shared_ptr<std::atomic<int>> lastHttpStatus;
    std::atomic<bool> cancelled{false};
    // Run now and then while the download waits for the server.
    std::function<void()> whileWaiting;

    void Run();
    bool serverAllows();
    bool send(CHttpRequest& request);
    bool statusAllowsBody(int status);
    void stream(CHttpRequest& request);
    void streamGrid(CHttpRequest& request, CGridParser& parser);
    void streamTree(CHttpRequest& request);
    // Reads the reply chunk by chunk into the room that `roomFor` gives
    // (null: no room, the loop stops) and hands each to `consume` until it
    // answers false; true when the reply was read to its end.
    bool pumpChunks(CHttpRequest& request, qint64 chunkBytes, const std::function<char*()>& roomFor,
                    const std::function<bool(const char*, qint64)>& consume);
    template <class Writer>
    bool connectReader(Writer& writer, void (CNetUiBridge::*dataReady)(quint16, CNamedPipe),
                       QStringView pipe);
    // Fills the chunk as far as the reply goes: its length, 0 at the end,
    // -1 when the transfer failed.
    qint64 readChunk(CHttpRequest& request, char* chunk, qint64 chunkBytes);
    void reportConnectionError();
};

CNetThread::CNetThread(CNetDownload download, CNetUiBridge bridge,
                       std::shared_ptr<std::atomic<int>> lastHttpStatus)
    : m_state(std::make_shared<State>()) {
    m_state->download = std::move(download);
    m_state->bridge = std::move(bridge);
    m_state->lastHttpStatus = std::move(lastHttpStatus);
}

CNetThread::~CNetThread() {
    Cancel();
}

bool CNetThread::Start() {
    return m_thread.Start("qvx-download", [state = m_state] { state->Run(); });
}

void CNetThread::Cancel() {
    m_state->cancelled = true;
    m_thread.Join();
}

void CNetThread::State::Run() {
    const CWireBusy busy;
    const unsigned threadId = CurrentThreadId();
    kDebugLog(u"Thread 0x%X - start\n", threadId);
    bridge.PostStatusText(LoadResourceString(kWaitingString));
    CHttpRequest request;
    if (serverAllows() && send(request)) {
        stream(request);
    }
    request.Close();
    kDebugLog(u"Thread 0x%X - finish\n", threadId);
}

// A server that answers the probe with 401 has ended the account's
// session: the server connection logs out, and the request is not sent. A
// server that cannot be reached is left to the request to report.
bool CNetThread::State::serverAllows() {
    const HttpUrlParts& parts = download.url.Parts();
    if (parts.service != kHttpServiceHttp && parts.service != kHttpServiceHttps) {
        return true;
    }
    const QString path = parts.objectPath + (parts.objectPath.contains(u'?') ? u'&' : u'?') +
                         QStringLiteral("checkconnection=1");
    kDebugLog(u"Check Connection: %s\n", path);
    CHttpRequest probe;
    probe.SetUrl(download.server.Url(download.server.service, path));
    probe.SetMethod(HttpMethod::Post);
    probe.SetCredentials(download.server.user, download.password);
    probe.SetUserAgent(NetUserAgent());
    probe.SetWaitHook([this] { return !cancelled.load(); });
    const int status = probe.Send() ? probe.StatusCode() : 0;
    probe.Close();
    lastHttpStatus->store(status);
    if (status == 401) {
        bridge.PostUnauthorized(download.server);
        return false;
    }
    return !cancelled;
}

bool CNetThread::State::send(CHttpRequest& request) {
    request.SetUrl(download.url);
    request.SetMethod(HttpMethod::Get);
    request.SetCredentials(download.server.user, download.password);
    request.SetUserAgent(NetUserAgent());
    request.SetWaitHook([this] {
        if (whileWaiting) {
            whileWaiting();
        }
        return !cancelled.load();
    });
    if (!request.Send()) {
        if (!cancelled) {
            kDebugLog(u"Wire: %s\n", request.ErrorText());
            reportConnectionError();
        }
        return false;
    }
    return !cancelled && statusAllowsBody(request.StatusCode());
}

bool CNetThread::State::statusAllowsBody(int status) {
    if (download.url.Parts().service == kHttpServiceFtp || (status >= 200 && status <= 299)) {
        return true;
    }
    const QString text = kFormat(u"HTTP-%u", status);
    kDebugLog(u"Wire: %s\n", text);
    if (status == 401) {
        bridge.PostUnauthorized(download.server);
    } else {
        bridge.PostErrorBox(text, kConnectionErrorCaption);
    }
    return false;
}

void CNetThread::State::stream(CHttpRequest& request) {
    kDebugLog(u"Creating parser and pipe...\n");
    switch (download.kind) {
        case kNetRequestGrid: {
            std::unique_ptr<CExpatMyWire> parser =
                ParserFactoryRegistry::Create(QStringLiteral("Grid"));
            auto* gridParser = dynamic_cast<CGridParser*>(parser.get());
            if (gridParser == nullptr) {
                kErrorLog(u"No parser is registered under \"Grid\": the reply is dropped.");
                return;
            }
            streamGrid(request, *gridParser);
            return;
        }
        case kNetRequestTree:
            streamTree(request);
            return;
        case kNetRequestNone:
            break;
    }
    kErrorLog(u"A download of kind %d has no reader: the reply is dropped.",
              static_cast<int>(download.kind));
}

void CNetThread::State::streamGrid(CHttpRequest& request, CGridParser& parser) {
    CGridEventWriter& writer = parser.GridWriter();
    writer.SetAbortFlag(&cancelled);
    // Full blocks go out as the parse fills them; the rest goes out while
    // the server keeps the download waiting, so the reader is never more
    // than a moment behind a slow server.
    whileWaiting = [&writer] { writer.Flush(); };
    // Each chunk is read into the parser's own buffer.
    const auto parserRoom = [&parser] { return parser.ChunkBuffer(kGridChunkBytes); };
    const bool ended =
        pumpChunks(request, kGridChunkBytes, parserRoom, [&](const char*, qint64 count) {
            if (!connectReader(writer, &CNetUiBridge::PostGridDataReady, u"grid")) {
                return false;
            }
            const bool parsed = parser.ParseBufferedChunk(static_cast<int>(count), false);
            // An abandoned download learns of its end from its own flag: the
            // program's services may be gone by then.
            return parsed && !cancelled && writer.IsConnected() &&
                   WireServices().CancelFlag() == 0;
        });
    whileWaiting = nullptr;
    // Expat may hold the last end tag back until it knows that the reply
    // is complete; an empty reply gets its pipe here, so that its reader
    // learns that it could not be read.
    if (ended && !cancelled && connectReader(writer, &CNetUiBridge::PostGridDataReady, u"grid") &&
        parser.ParseChunk(nullptr, 0, true)) {
        writer.Flush();
    }
    // A reply that expat rejected is a failure, not a short table. A parse
    // stopped by a cancel leaves no error.
    if (!parser.GetParseError().isEmpty()) {
        writer.WriteFailure(parser.GetParseError());
    }
    writer.Close();
}

void CNetThread::State::streamTree(CHttpRequest& request) {
    CTreeChunkWriter writer;
    writer.SetAbortFlag(&cancelled);
    std::vector<char> buffer(CTreeChunkWriter::kMaxChunkBytes);
    const auto bufferRoom = [&buffer] { return buffer.data(); };
    pumpChunks(request, CTreeChunkWriter::kMaxChunkBytes, bufferRoom,
               [&](const char* chunk, qint64 count) {
                   return connectReader(writer, &CNetUiBridge::PostTreeDataReady, u"tree") &&
                          writer.WriteChunk(chunk, count);
               });
    writer.Close();
}

bool CNetThread::State::pumpChunks(CHttpRequest& request, qint64 chunkBytes,
                                   const std::function<char*()>& roomFor,
                                   const std::function<bool(const char*, qint64)>& consume) {
    for (;;) {
        char* chunk = roomFor();
        if (chunk == nullptr) {
            return false;
        }
        const qint64 count = readChunk(request, chunk, chunkBytes);
        if (count <= 0) {
            return count == 0 && !cancelled;
        }
        if (!consume(chunk, count)) {
            return false;
        }
    }
}

// Opens the reply's pipe with its first chunk and hands the client end to
// the reader. A write that fails ends the chunk loop, so a pipe is opened
// once per reply.
template <class Writer>
bool CNetThread::State::connectReader(Writer& writer,
                                      void (CNetUiBridge::*dataReady)(quint16, CNamedPipe),
                                      QStringView pipe) {
    if (writer.IsConnected()) {
        return true;
    }
    if (!writer.Open()) {
        return false;
    }
    (bridge.*dataReady)(download.requesterId, writer.TakeClientEnd());
    kDebugLog(u"before %s StartListen\n", pipe);
    writer.Connect();
    kDebugLog(u"after %s StartListen\n", pipe);
    return true;
}

qint64 CNetThread::State::readChunk(CHttpRequest& request, char* chunk, qint64 chunkBytes) {
    qint64 filled = 0;
    while (filled < chunkBytes && !cancelled) {
        const qint64 count = request.Read(chunk + filled, chunkBytes - filled);
        if (count < 0 && filled > 0) {
            break;  // the bytes read come first; the next read reports the failure
        }
        if (count < 0) {
            if (!cancelled) {
                kDebugLog(u"Wire: %s\n", request.ErrorText());
                reportConnectionError();
            }
            return -1;
        }
        if (count == 0) {
            break;
        }
        filled += count;
    }
    return cancelled ? 0 : filled;
}

void CNetThread::State::reportConnectionError() {
    bridge.PostErrorBox(kConnectionErrorText, kConnectionErrorCaption);
}
