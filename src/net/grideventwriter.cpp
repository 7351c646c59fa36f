#include "net/grideventwriter.h"

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

char* put(char* out, qint32 value) {
    std::memcpy(out, &value, sizeof value);
    return out + sizeof value;
}

char* put(char* out, QStringView text) {
    out = put(out, static_cast<qint32>(text.size()));
    if (text.isEmpty()) {
        return out;  // an empty view may have no data at all, and memcpy takes no null
    }
    std::memcpy(out, text.utf16(), static_cast<size_t>(text.size()) * 2);
    return out + text.size() * 2;
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
    return m_sender.Open(QStringLiteral("gridpipe"));
}

void CGridEventWriter::reset() {
    m_used = 0;
    m_latestAt = -1;
    m_latestCopy = kNoAttributes;
    m_latestBytes = m_latestCopy.size();
}

void CGridEventWriter::grow(qsizetype count) {
    m_block.resize(std::max({m_used + count, 2 * m_block.size(), qsizetype(kMaxMessageBytes)}));
}

// Writes the kind and the texts of an event, with room for `more` bytes
// after them; returns where those go.
char* CGridEventWriter::writeHeader(qint32 kind, std::initializer_list<QStringView> texts,
                                    qsizetype more) {
    qsizetype total = kInt32Bytes + more;
    for (const QStringView text : texts) {
        total += fieldBytes(text);
    }
    char* out = put(room(total), kind);
    for (const QStringView text : texts) {
        out = put(out, text);
    }
    return out;
}

void CGridEventWriter::noteLatestAttributes(qsizetype at) {
    m_latestAt = at;
    m_latestBytes = m_used - at;
}

void CGridEventWriter::WriteStart(QStringView name, QStringView parent,
                                  const CGridAttributeBlock& attributes) {
    if (!m_sender.IsConnected()) {
        return;
    }
    char* out = writeHeader(0, {name, parent}, kInt32Bytes + attributes.m_bytes.size());
    const qsizetype attributesAt = out - m_block.constData();
    out = put(out, attributes.m_count);
    std::memcpy(out, attributes.m_bytes.constData(),
                static_cast<size_t>(attributes.m_bytes.size()));
    commit(out + attributes.m_bytes.size());
    noteLatestAttributes(attributesAt);
    sendBlocks(kBlockBytes);
}

// Each attribute goes straight from expat's buffer into the block: a grid
// reply has millions of them.
void CGridEventWriter::WriteStart(QStringView name, QStringView parent,
                                  const char16_t* const* attributePairs) {
    if (!m_sender.IsConnected()) {
        return;
    }
    const qsizetype countAt = writeHeader(0, {name, parent}, kInt32Bytes) - m_block.constData();
    m_used = countAt + kInt32Bytes;
    qint32 count = 0;
    for (const char16_t* const* pair = attributePairs; pair[0] != nullptr; pair += 2, ++count) {
        const QStringView attributeName(pair[0]);
        const QStringView value(pair[1]);
        commit(put(put(room(fieldBytes(attributeName) + fieldBytes(value)), attributeName), value));
    }
    put(m_block.data() + countAt, count);
    noteLatestAttributes(countAt);
    sendBlocks(kBlockBytes);
}

void CGridEventWriter::WriteEnd(QStringView name, QStringView text, QStringView parent,
                                const CGridAttributeBlock& attributes) {
    if (!m_sender.IsConnected()) {
        return;
    }
    char* out = writeHeader(1, {name, text, parent}, kInt32Bytes + attributes.m_bytes.size());
    out = put(out, attributes.m_count);
    std::memcpy(out, attributes.m_bytes.constData(),
                static_cast<size_t>(attributes.m_bytes.size()));
    commit(out + attributes.m_bytes.size());
    sendBlocks(kBlockBytes);
}

void CGridEventWriter::WriteEnd(QStringView name, QStringView text, QStringView parent) {
    if (!m_sender.IsConnected()) {
        return;
    }
    // The header may move the block: the latest attributes are found after it.
    char* out = writeHeader(1, {name, text, parent}, m_latestBytes);
    const char* latest =
        m_latestAt >= 0 ? m_block.constData() + m_latestAt : m_latestCopy.constData();
    std::memcpy(out, latest, static_cast<size_t>(m_latestBytes));
    commit(out + m_latestBytes);
    sendBlocks(kBlockBytes);
}

void CGridEventWriter::WriteInt32(qint32 value) {
    if (m_sender.IsConnected()) {
        commit(put(room(kInt32Bytes), value));
    }
}

void CGridEventWriter::WriteString(QStringView text) {
    if (m_sender.IsConnected()) {
        commit(put(room(fieldBytes(text)), text));
    }
}

bool CGridEventWriter::Flush() {
    return sendBlocks(1);
}

// Hands the gathered fields to the sender once they fill a block, or at
// once with `atLeast` 1; full blocks may wait for a few more before they go
// out, what is flushed goes out at once. The latest attributes are kept
// first, for an end event still to come.
bool CGridEventWriter::sendBlocks(qsizetype atLeast) {
    if (m_used < atLeast || m_used == 0) {
        return m_sender.IsConnected();
    }
    if (m_latestAt >= 0) {
        m_latestCopy = QByteArray(m_block.constData() + m_latestAt, m_latestBytes);
        m_latestAt = -1;
    }
    const auto send = [this, flushing = atLeast < kBlockBytes](QByteArray block) {
        return flushing ? m_sender.Send(std::move(block)) : m_sender.Queue(std::move(block));
    };
    bool sent = true;
    if (m_used <= kMaxMessageBytes) {
        m_block.resize(m_used);
        sent = send(std::exchange(m_block, QByteArray()));
    } else {
        for (qsizetype at = 0; sent && at < m_used; at += kBlockBytes) {
            sent = send(m_block.mid(at, std::min<qsizetype>(kBlockBytes, m_used - at)));
        }
    }
    m_used = 0;
    return sent;
}

void CGridEventWriter::Close() {
    Flush();
    m_sender.Close();
    reset();
}
