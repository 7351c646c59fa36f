#include "net/grideventwriter.h"

#include "net/grideventdecoder.h"

#include <algorithm>
#include <bit>
#include <cstring>

static_assert(std::endian::native == std::endian::little,
              "the pipe streams carry little-endian integers and UTF-16 units as stored");

namespace {

constexpr qsizetype kInt32Bytes = 4;
// The attribute bytes of an event without attributes: a count of 0.
const QByteArray kNoAttributes(kInt32Bytes, '\0');

qsizetype fieldBytes(QStringView text) {
    return kInt32Bytes + text.size() * 2;
}

inline char* put(char* out, qint32 value) {
    std::memcpy(out, &value, sizeof value);
    return out + sizeof value;
}

// An empty view may have no data at all, and memcpy must never see a null
// pointer: an empty string is its length alone. The names and texts of a
// grid are mostly short, and copying those here beats calling memcpy.
inline char* put(char* out, QStringView text) {
    constexpr qsizetype kShortUnits = 16;
    const qsizetype units = text.size();
    out = put(out, static_cast<qint32>(units));
    if (units == 0) {
        return out;
    }
    if (units > kShortUnits) {
        std::memcpy(out, text.utf16(), static_cast<size_t>(units) * 2);
        return out + units * 2;
    }
    const char16_t* from = text.utf16();
    for (qsizetype at = 0; at < units; ++at, out += 2) {
        std::memcpy(out, from + at, 2);
    }
    return out;
}

// Attribute bytes, which are empty for an element without attributes.
char* put(char* out, const QByteArray& bytes) {
    if (bytes.isEmpty()) {
        return out;
    }
    std::memcpy(out, bytes.constData(), static_cast<size_t>(bytes.size()));
    return out + bytes.size();
}

}  // namespace

void CGridAttributeBlock::Clear() {
    m_bytes.resize(0);
    m_count = 0;
}

void CGridAttributeBlock::Add(QStringView name, QStringView value) {
    const qsizetype at = m_bytes.size();
    m_bytes.resize(at + fieldBytes(name) + fieldBytes(value));
    put(put(m_bytes.data() + at, name), value);
    ++m_count;
}

bool CGridEventWriter::Open() {
    reset();
    return m_pipe.Open(QStringLiteral("gridpipe"));
}

void CGridEventWriter::reset() {
    m_used = 0;
    m_blockSent = false;
    m_latestAt = -1;
    m_latestCopy = kNoAttributes;
    m_latestBytes = m_latestCopy.size();
}

// Blocks the reader gave back are filled again; a single event larger than
// a block makes its block as large as it needs.
void CGridEventWriter::grow(qsizetype count) {
    if (m_used == 0 && m_block.capacity() == 0) {
        m_block = m_pipe.SpareBlock();
    }
    const qsizetype needed = m_used + count;
    const qsizetype capacity = m_block.capacity();
    m_block.resize(std::max({needed <= capacity ? capacity : std::max(needed, 2 * capacity),
                             qsizetype(kBlockBytes + kBlockBytes / 2)}));
}

// Writes the kind and the texts of an event, with room for `more` bytes
// after them; returns where those go.
template <class... Texts>
char* CGridEventWriter::writeHeader(qint32 kind, qsizetype more, Texts... texts) {
    const qsizetype total = kInt32Bytes + more + (fieldBytes(texts) + ...);
    char* out = put(room(total), kind);
    ((out = put(out, texts)), ...);
    return out;
}

void CGridEventWriter::noteLatestAttributes(qsizetype at) {
    m_latestAt = at;
    m_latestBytes = m_used - at;
}

void CGridEventWriter::WriteStart(QStringView name, QStringView parent,
                                  const CGridAttributeBlock& attributes) {
    if (!m_pipe.IsConnected()) {
        return;
    }
    char* out = writeHeader(0, kInt32Bytes + attributes.m_bytes.size(), name, parent);
    const qsizetype attributesAt = out - m_block.constData();
    commit(put(put(out, attributes.m_count), attributes.m_bytes));
    noteLatestAttributes(attributesAt);
    sendFullBlock();
}

// Each attribute goes straight from expat's buffer into the block: a grid
// reply has millions of them.
void CGridEventWriter::WriteStart(QStringView name, QStringView parent,
                                  const char16_t* const* attributePairs) {
    if (!m_pipe.IsConnected()) {
        return;
    }
    const qsizetype countAt = writeHeader(0, kInt32Bytes, name, parent) - m_block.constData();
    m_used = countAt + kInt32Bytes;
    qint32 count = 0;
    for (const char16_t* const* pair = attributePairs; pair[0] != nullptr; pair += 2, ++count) {
        const QStringView attributeName = TerminatedView(pair[0]);
        const QStringView value = TerminatedView(pair[1]);
        commit(put(put(room(fieldBytes(attributeName) + fieldBytes(value)), attributeName), value));
    }
    put(m_block.data() + countAt, count);
    noteLatestAttributes(countAt);
    sendFullBlock();
}

void CGridEventWriter::WriteEnd(QStringView name, QStringView text, QStringView parent,
                                const CGridAttributeBlock& attributes) {
    if (!m_pipe.IsConnected()) {
        return;
    }
    char* out = writeHeader(1, kInt32Bytes + attributes.m_bytes.size(), name, text, parent);
    commit(put(put(out, attributes.m_count), attributes.m_bytes));
    sendFullBlock();
}

void CGridEventWriter::WriteEnd(QStringView name, QStringView text, QStringView parent) {
    if (!m_pipe.IsConnected()) {
        return;
    }
    // The header may move the block: the latest attributes are found after it.
    char* out = writeHeader(1, m_latestBytes, name, text, parent);
    if (m_latestBytes == kInt32Bytes) {
        commit(put(out, qint32(0)));  // no attributes, as in most of a grid
    } else {
        const char* latest =
            m_latestAt >= 0 ? m_block.constData() + m_latestAt : m_latestCopy.constData();
        std::memcpy(out, latest, static_cast<size_t>(m_latestBytes));
        commit(out + m_latestBytes);
    }
    sendFullBlock();
}

void CGridEventWriter::WriteInt32(qint32 value) {
    if (m_pipe.IsConnected()) {
        commit(put(room(kInt32Bytes), value));
    }
}

void CGridEventWriter::WriteString(QStringView text) {
    if (m_pipe.IsConnected()) {
        commit(put(room(fieldBytes(text)), text));
    }
}

bool CGridEventWriter::Flush() {
    return m_used > 0 ? sendBlock(1) : m_pipe.WakeReader();
}

// Hands the gathered fields to the reader once they fill a block, or at
// once with `atLeast` 1, which also wakes the reader for every block that
// waits. The latest attributes are kept first, for an end event still to come.
bool CGridEventWriter::sendBlock(qsizetype atLeast) {
    if (m_used < atLeast || m_used == 0) {
        return m_pipe.IsConnected();
    }
    if (m_latestAt >= 0) {
        m_latestCopy = QByteArray(m_block.constData() + m_latestAt, m_latestBytes);
        m_latestAt = -1;
    }
    m_block.resize(m_used);
    m_used = 0;
    QByteArray block = std::exchange(m_block, QByteArray());
    // The reply's first block wakes the reader at once: its rows show while
    // the writer parses on, however long the system keeps it from its turn.
    const bool wakeNow = atLeast < kBlockBytes || !m_blockSent;
    m_blockSent = true;
    return wakeNow ? m_pipe.WriteBlock(std::move(block)) : m_pipe.QueueBlock(std::move(block));
}

void CGridEventWriter::WriteFailure(QStringView reason) {
    if (!m_pipe.IsConnected()) {
        return;
    }
    char* out = writeHeader(CGridEvent::kFailed, kInt32Bytes, QStringView(), reason, QStringView());
    commit(put(out, qint32(0)));
}

void CGridEventWriter::Close() {
    Flush();
    m_pipe.Close();
    reset();
}
