#pragma once

// Stands in for the windows that take the request threads' calls: reads
// every grid and tree reply handed over with a data-ready call the way the
// data grid and the main frame will (replayed as it arrives on the test's
// thread), and records status texts, error boxes and logouts. Registers
// itself with a bridge for its lifetime.

#include "net/grideventreader.h"
#include "net/netuibridge.h"
#include "net/treechunkreader.h"

#include <QString>

#include <memory>
#include <ostream>
#include <vector>

// A grid event with its texts copied out of the reader's buffer.
struct RecordedGridEvent {
    int kind = 0;
    QString name;
    QString text;
    QString parent;
    std::vector<std::pair<QString, QString>> attributes;

    static RecordedGridEvent From(const CGridEvent& event);
    bool operator==(const RecordedGridEvent&) const = default;
};

void PrintTo(const RecordedGridEvent& event, std::ostream* out);

// Records the events of one grid stream and its end.
class RecordingGridSink : public IGridEventSink {
public:
    void OnGridEvent(const CGridEvent& event) override {
        events.push_back(RecordedGridEvent::From(event));
    }
    void OnGridStreamEnd(bool whole) override {
        ++ends;
        intact = whole;
    }
    // Processes events until the end arrives, or 10 seconds pass.
    bool WaitForEnd();

    std::vector<RecordedGridEvent> events;
    int ends = 0;
    bool intact = false;
};

// One reply as its reader saw it.
struct RecordedReply {
    quint16 requesterId = 0;
    std::vector<RecordedGridEvent> gridEvents;  // grid replies
    std::vector<QByteArray> treeChunks;         // tree replies
    QString treeText;
    bool ended = false;
    bool intact = false;
};

class RecordingNetReceiver : public INetUiReceiver, public INetLogout {
public:
    struct ErrorBox {
        QString text;
        QString caption;
    };

    explicit RecordingNetReceiver(CNetUiBridge& bridge);
    ~RecordingNetReceiver() override;

    void OnGridDataReady(quint16 requesterId, CNamedPipe clientEnd) override;
    void OnTreeDataReady(quint16 requesterId, CNamedPipe clientEnd) override;
    void OnStatusText(const QString& text) override { statusTexts.push_back(text); }
    void OnErrorBox(const QString& text, const QString& caption) override {
        errorBoxes.push_back({text, caption});
    }
    void LogoutUnauthorized(const CNetServerKey& server) override { logouts.push_back(server); }

    // Processes events until every reply handed over so far has ended and
    // `replies` have been handed over, or 10 seconds pass.
    bool WaitForReplies(size_t replies);
    // Whether every reply handed over has ended.
    bool AllEnded() const;

    std::vector<std::unique_ptr<RecordedReply>> replies;
    std::vector<QString> statusTexts;
    std::vector<ErrorBox> errorBoxes;
    std::vector<CNetServerKey> logouts;

private:
    class Reader;
    Reader& newReader(quint16 requesterId);

    CNetUiBridge& m_bridge;
    std::vector<std::unique_ptr<Reader>> m_readers;
};
