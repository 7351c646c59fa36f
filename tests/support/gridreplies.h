#pragma once

// Grid replies of the shape servers send, and a checksum of their fields
// that a direct expat parse and the grid stage's events must agree on.

#include "net/grideventreader.h"
#include "net/netuibridge.h"

#include <QByteArray>
#include <QEventLoop>
#include <QStringView>

// Every character of every field but white space, which the grid stage
// trims from texts and the document has between elements. Order does not
// count: a start tag reaches the parse before its text, while the grid's
// end event carries both.
struct GridFieldChecksum {
    quint64 sum = 0;
    quint64 characters = 0;
    quint64 elements = 0;  // start tags

    void Add(QStringView text) {
        for (const QChar c : text) {
            if (!c.isSpace()) {
                sum += c.unicode() * 0x9E3779B1ULL + 1;
                ++characters;
            }
        }
    }
    // A start event gives its name and attributes, an end event its name
    // and text: the attributes and parent it repeats are not counted again.
    void Add(const CGridEvent& event);
    bool operator==(const GridFieldChecksum&) const = default;
};

// Receives one grid reply through a bridge and decodes every event into the
// views a grid copies its texts from, touching each of their characters.
class GridChecksumReceiver : public INetUiReceiver, public IGridEventSink {
public:
    explicit GridChecksumReceiver(CNetUiBridge& bridge);
    ~GridChecksumReceiver() override;

    void OnGridDataReady(quint16, CNamedPipe clientEnd) override;
    void OnTreeDataReady(quint16, CNamedPipe) override {}
    void OnStatusText(const QString&) override {}
    void OnErrorBox(const QString& text, const QString&) override;
    void OnGridEvent(const CGridEvent& event) override;
    void OnGridStreamEnd(bool whole) override;
    // Runs the event loop until the stream ends or an error box comes.
    void Wait() { m_loop.exec(); }

    quint64 events = 0;
    GridFieldChecksum checksum;
    bool intact = false;
    QString errorBox;

private:
    QEventLoop m_loop;
    CNetUiBridge& m_bridge;
    CGridEventReader m_reader{*this};
};

// The checksum of a bare 16-bit expat parse fed `pieceBytes` at a time;
// false when the reply is not well-formed.
bool DirectParseChecksum(const QByteArray& reply, qsizetype pieceBytes,
                         GridFieldChecksum& checksum);

// A reply with grid properties, 20 headers and `rows` rows of 20 text cells:
// short texts, numbers, addresses, times, and now and then an entity
// reference.
QByteArray MakeTextCellGridReply(int rows);
// The text that cell `column` (from 0) of row `row` (from 0) of that reply
// shows, its entity references decoded.
QString TextCellGridReplyText(int row, int column);
// Rows whose values are attributes of empty row elements.
QByteArray MakeAttributeGridReply(int rows);
// Cells with entity and character references and text outside ASCII.
QByteArray MakeEntityGridReply(int rows);
