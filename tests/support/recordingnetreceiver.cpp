#include "support/recordingnetreceiver.h"

#include <QTest>

RecordedGridEvent RecordedGridEvent::From(const CGridEvent& event) {
    RecordedGridEvent copy{
        event.kind, event.name.toString(), event.text.toString(), event.parent.toString(), {}};
    for (const auto& [name, value] : event.attributes) {
        copy.attributes.emplace_back(name.toString(), value.toString());
    }
    return copy;
}

void PrintTo(const RecordedGridEvent& event, std::ostream* out) {
    *out << (event.kind == 0 ? "start " : "end ") << event.name.toStdString() << " ["
         << event.text.left(40).toStdString() << "] in " << event.parent.toStdString() << " {";
    for (const auto& [name, value] : event.attributes) {
        *out << ' ' << name.toStdString() << '=' << value.toStdString();
    }
    *out << " }";
}

bool RecordingGridSink::WaitForEnd() {
    return QTest::qWaitFor([this] { return ends > 0; }, 10000);
}

// Reads one reply into its record.
class RecordingNetReceiver::Reader : public IGridEventSink, public ITreeChunkSink {
public:
    explicit Reader(RecordedReply& reply) : m_reply(reply), m_grid(*this), m_tree(*this) {}

    void ReadGrid(CNamedPipe clientEnd) { m_grid.Attach(std::move(clientEnd)); }
    void ReadTree(CNamedPipe clientEnd) { m_tree.Attach(std::move(clientEnd)); }

    void OnGridEvent(const CGridEvent& event) override {
        m_reply.gridEvents.push_back(RecordedGridEvent::From(event));
    }
    void OnGridStreamEnd(bool intact) override { end(intact); }
    void OnTreeChunk(QByteArrayView bytes) override {
        m_reply.treeChunks.push_back(bytes.toByteArray());
    }
    void OnTreeStreamEnd(const QString& text, bool intact) override {
        m_reply.treeText = text;
        end(intact);
    }

private:
    void end(bool intact) {
        m_reply.ended = true;
        m_reply.intact = intact;
    }

    RecordedReply& m_reply;
    CGridEventReader m_grid;
    CTreeChunkReader m_tree;
};

RecordingNetReceiver::RecordingNetReceiver(CNetUiBridge& bridge) : m_bridge(bridge) {
    m_bridge.SetReceiver(this);
    m_bridge.SetLogout(this);
}

RecordingNetReceiver::~RecordingNetReceiver() {
    m_bridge.SetReceiver(nullptr);
    m_bridge.SetLogout(nullptr);
}

RecordingNetReceiver::Reader& RecordingNetReceiver::newReader(quint16 requesterId) {
    replies.push_back(std::make_unique<RecordedReply>());
    replies.back()->requesterId = requesterId;
    m_readers.push_back(std::make_unique<Reader>(*replies.back()));
    return *m_readers.back();
}

void RecordingNetReceiver::OnGridDataReady(quint16 requesterId, CNamedPipe clientEnd) {
    newReader(requesterId).ReadGrid(std::move(clientEnd));
}

void RecordingNetReceiver::OnTreeDataReady(quint16 requesterId, CNamedPipe clientEnd) {
    newReader(requesterId).ReadTree(std::move(clientEnd));
}

bool RecordingNetReceiver::AllEnded() const {
    return std::all_of(replies.begin(), replies.end(),
                       [](const auto& reply) { return reply->ended; });
}

bool RecordingNetReceiver::WaitForReplies(size_t count) {
    return QTest::qWaitFor([&] { return replies.size() >= count && AllEnded(); }, 10000);
}
