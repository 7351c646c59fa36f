#pragma once

// Turns the bytes of the grid pipe back into start and end events. Blocks
// are fed as they arrive; every event that is complete is replayed at once
// and a partial one waits for the next block. The texts of an event point
// into the decoder's buffer and are valid during the callback only.

#include <QString>

#include <utility>
#include <vector>

struct CGridEvent {
    enum Kind : qint32 { kStart = 0, kEnd = 1 };

    Kind kind = kStart;
    QStringView name;
    QStringView text;  // end events only
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
};

class CGridEventDecoder {
public:
    // Longest string and largest attribute count accepted before the stream
    // counts as corrupt.
    static constexpr qint32 kMaxStringUnits = 64 * 1024 * 1024;
    static constexpr qint32 kMaxAttributes = 64 * 1024;

    // Room for `count` more bytes at the end of the buffer; Commit says how
    // many of them were filled.
    char* Reserve(qsizetype count);
    void Commit(qsizetype count);
    // Replays every complete event in the buffer; false once the stream is corrupt.
    bool Replay(IGridEventSink& sink);

    bool HasPartialEvent() const { return m_end > m_begin; }
    const QString& ErrorText() const { return m_errorText; }
    void Reset();

private:
    enum class Step { kDone, kNeedMore, kCorrupt };
    Step decodeOne(qsizetype& at, CGridEvent& event);
    bool readInt32(qsizetype& at, qint32& value) const;
    Step readString(qsizetype& at, QStringView& text);

    std::vector<char> m_buffer;
    qsizetype m_begin = 0;  // first byte not yet replayed
    qsizetype m_end = 0;    // end of the bytes received
    CGridEvent m_event;     // reused so that its attribute list keeps its room
    QString m_errorText;
};
