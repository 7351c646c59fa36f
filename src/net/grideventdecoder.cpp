#include "net/grideventdecoder.h"

#include "framework/kformat.h"

#include <cstring>

void CGridEventDecoder::Reset() {
    ++m_resets;
    m_paused = false;
    m_partial.clear();
    m_errorText.clear();
}

bool CGridEventDecoder::Feed(const QByteArray& block, IGridEventSink& sink) {
    if (!m_errorText.isEmpty()) {
        return false;
    }
    m_paused = false;
    if (m_partial.isEmpty()) {
        const qsizetype replayed = replay(block.constData(), block.size(), sink);
        if (replayed >= 0 && replayed < block.size()) {
            m_partial = block.sliced(replayed);
        }
        return replayed >= 0 || m_errorText.isEmpty();
    }
    // The writer ends its blocks between events: joining bytes is for
    // streams cut elsewhere, and rare.
    QByteArray joined = std::exchange(m_partial, QByteArray()) + block;
    const qsizetype replayed = replay(joined.constData(), joined.size(), sink);
    if (replayed >= 0 && replayed < joined.size()) {
        m_partial = joined.sliced(replayed);
    }
    return replayed >= 0 || m_errorText.isEmpty();
}

// Kept apart from the decoding steps, which stay small enough to be inlined.
CGridEventDecoder::Step CGridEventDecoder::corrupt(const char16_t* format, qint32 value) {
    m_errorText = kFormat(format, value);
    return Step::kCorrupt;
}

inline bool CGridEventDecoder::readInt32(qsizetype& at, qint32& value) const {
    if (m_size - at < qsizetype(sizeof value)) {
        return false;
    }
    std::memcpy(&value, m_bytes + at, sizeof value);
    at += qsizetype(sizeof value);
    return true;
}

inline CGridEventDecoder::Step CGridEventDecoder::readString(qsizetype& at, QStringView& text) {
    qint32 length = 0;
    if (!readInt32(at, length)) {
        return Step::kNeedMore;
    }
    if (length < 0 || length > kMaxStringUnits) {
        return corrupt(u"grid pipe: bad string length %d", length);
    }
    const qsizetype bytes = qsizetype(length) * qsizetype(sizeof(char16_t));
    if (m_size - at < bytes) {
        return Step::kNeedMore;
    }
    // Every field has an even length and every block starts at an aligned
    // address, so string units always start at an even address.
    text = QStringView(reinterpret_cast<const char16_t*>(m_bytes + at), length);
    at += bytes;
    return Step::kDone;
}

qsizetype CGridEventDecoder::replay(const char* bytes, qsizetype size, IGridEventSink& sink) {
    const quint64 resets = m_resets;
    m_bytes = bytes;
    m_size = size;
    qsizetype replayed = 0;
    for (;;) {
        qsizetype at = replayed;
        switch (decodeOne(at, m_event)) {
            case Step::kDone:
                replayed = at;
                sink.OnGridEvent(m_event);
                if (resets != m_resets) {
                    return -1;
                }
                if (m_paused) {
                    return replayed;
                }
                break;
            case Step::kNeedMore:
                return replayed;
            case Step::kCorrupt:
                return -1;
        }
    }
}

CGridEventDecoder::Step CGridEventDecoder::decodeOne(qsizetype& at, CGridEvent& event) {
    qint32 kind = 0;
    if (!readInt32(at, kind)) {
        return Step::kNeedMore;
    }
    if (kind != CGridEvent::kStart && kind != CGridEvent::kEnd && kind != CGridEvent::kFailed) {
        return corrupt(u"grid pipe: unknown event kind %d", kind);
    }
    event.kind = static_cast<CGridEvent::Kind>(kind);
    event.text = {};
    Step step = readString(at, event.name);
    if (step == Step::kDone && event.kind != CGridEvent::kStart) {
        step = readString(at, event.text);
    }
    if (step == Step::kDone) {
        step = readString(at, event.parent);
    }
    if (step != Step::kDone) {
        return step;
    }
    qint32 count = 0;
    if (!readInt32(at, count)) {
        return Step::kNeedMore;
    }
    if (count < 0 || count > kMaxAttributes) {
        return corrupt(u"grid pipe: bad attribute count %d", count);
    }
    event.attributes.resize(static_cast<size_t>(count));
    for (auto& [name, value] : event.attributes) {
        step = readString(at, name);
        if (step == Step::kDone) {
            step = readString(at, value);
        }
        if (step != Step::kDone) {
            return step;
        }
    }
    return Step::kDone;
}
