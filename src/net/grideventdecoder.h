#pragma once

// Turns the blocks of the grid pipe back into start and end events. Every
// event that is complete is replayed at once, straight from the block it
// arrived in; an event that a block cuts waits for the next block. The texts
// of an event point into the decoder's blocks and are valid during the
// callback only.

#include <QByteArray>
#include <QString>

#include <utility>
#include <vector>

struct CGridEvent {
    // A failure ends a reply that could not be read to its end: its text
    // says why, and the events before it are all the reply gave.
    enum Kind : qint32 { kStart = 0, kEnd = 1, kFailed = 2 };

    Kind kind = kStart;
    QStringView name;
    QStringView text;  // end and failure events only
    QStringView parent;
    std::vector<std::pair<QStringView, QStringView>> attributes;
};

class IGridEventSink {
public:
    virtual ~IGridEventSink() = default;
    virtual void OnGridEvent(const CGridEvent& event) = 0;
    // The writer closed its end. `intact` is false when the stream broke off
    // inside an event or could not be decoded.
    virtual void OnGridStreamEnd(bool intact) = 0;
    // The reader is done with the events it had for this turn of the event
    // loop (or paused); the sink may now show what they changed.
    virtual void OnGridTurnEnd() {}
};

class CGridEventDecoder {
public:
    // Longest string and largest attribute count accepted before the stream
    // counts as corrupt.
    static constexpr qint32 kMaxStringUnits = 64 * 1024 * 1024;
    static constexpr qint32 kMaxAttributes = 64 * 1024;

    // Replays every event that the block completes; false once the stream
    // is corrupt. The block is no longer used when this returns. A sink
    // that calls Reset ends the replay at once; one that calls Pause ends it
    // after the event in hand, keeping the block's rest for the next Feed
    // (which may be given an empty block).
    bool Feed(const QByteArray& block, IGridEventSink& sink);
    void Pause() { m_paused = true; }
    bool IsPaused() const { return m_paused; }

    bool HasPartialEvent() const { return !m_partial.isEmpty(); }
    const QString& ErrorText() const { return m_errorText; }
    void Reset();

private:
    enum class Step { kDone, kNeedMore, kCorrupt };
    // Replays the complete events of the bytes; the number of bytes replayed,
    // or -1 once the stream is corrupt or the sink reset the decoder.
    qsizetype replay(const char* bytes, qsizetype size, IGridEventSink& sink);
    Step decodeOne(qsizetype& at, CGridEvent& event);
    bool readInt32(qsizetype& at, qint32& value) const;
    Step readString(qsizetype& at, QStringView& text);
    Step corrupt(const char16_t* format, qint32 value);

    // The event that the last block cut, waiting for the rest of its bytes.
    QByteArray m_partial;
    // The bytes being decoded.
    const char* m_bytes = nullptr;
    qsizetype m_size = 0;
    quint64 m_resets = 0;
    bool m_paused = false;
    CGridEvent m_event;  // reused so that its attribute list keeps its room
    QString m_errorText;
};
