#include "net/grideventdecoder.h"

#include "framework/kformat.h"

#include <cstring>

char* CGridEventDecoder::Reserve(qsizetype count) {
    if (m_begin > 0) {
        // Only the partial event at the end is kept; it starts the buffer anew.
        std::memmove(m_buffer.data(), m_buffer.data() + m_begin,
                     static_cast<size_t>(m_end - m_begin));
        m_end -= m_begin;
        m_begin = 0;
    }
    if (m_buffer.size() < static_cast<size_t>(m_end + count)) {
        m_buffer.resize(static_cast<size_t>(m_end + count));
    }
    return m_buffer.data() + m_end;
}

void CGridEventDecoder::Commit(qsizetype count) {
    m_end += count;
}

void CGridEventDecoder::Reset() {
    m_begin = 0;
    m_end = 0;
    m_errorText.clear();
}

bool CGridEventDecoder::Replay(IGridEventSink& sink) {
    if (!m_errorText.isEmpty()) {
        return false;
    }
    for (;;) {
        qsizetype at = m_begin;
        switch (decodeOne(at, m_event)) {
            case Step::kDone:
                m_begin = at;
                sink.OnGridEvent(m_event);
                break;
            case Step::kNeedMore:
                return true;
            case Step::kCorrupt:
                return false;
        }
    }
}

CGridEventDecoder::Step CGridEventDecoder::decodeOne(qsizetype& at, CGridEvent& event) {
    qint32 kind = 0;
    if (!readInt32(at, kind)) {
        return Step::kNeedMore;
    }
    if (kind != CGridEvent::kStart && kind != CGridEvent::kEnd) {
        m_errorText = kFormat(u"grid pipe: unknown event kind %d", kind);
        return Step::kCorrupt;
    }
    event.kind = static_cast<CGridEvent::Kind>(kind);
    event.text = {};
    Step step = readString(at, event.name);
    if (step == Step::kDone && event.kind == CGridEvent::kEnd) {
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
        m_errorText = kFormat(u"grid pipe: bad attribute count %d", count);
        return Step::kCorrupt;
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

bool CGridEventDecoder::readInt32(qsizetype& at, qint32& value) const {
    if (m_end - at < qsizetype(sizeof value)) {
        return false;
    }
    std::memcpy(&value, m_buffer.data() + at, sizeof value);
    at += qsizetype(sizeof value);
    return true;
}

CGridEventDecoder::Step CGridEventDecoder::readString(qsizetype& at, QStringView& text) {
    qint32 length = 0;
    if (!readInt32(at, length)) {
        return Step::kNeedMore;
    }
    if (length < 0 || length > kMaxStringUnits) {
        m_errorText = kFormat(u"grid pipe: bad string length %d", length);
        return Step::kCorrupt;
    }
    const qsizetype bytes = qsizetype(length) * qsizetype(sizeof(char16_t));
    if (m_end - at < bytes) {
        return Step::kNeedMore;
    }
    // Every field has an even length, so string units always start at an
    // even offset of the buffer.
    text = QStringView(reinterpret_cast<const char16_t*>(m_buffer.data() + at), length);
    at += bytes;
    return Step::kDone;
}
