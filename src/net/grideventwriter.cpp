#include "net/grideventwriter.h"

#include <bit>
#include <cstring>

static_assert(std::endian::native == std::endian::little,
              "the pipe streams carry little-endian integers and UTF-16 units as stored");

namespace {

qsizetype fieldBytes(QStringView text) {
    return 4 + text.size() * 2;
}

// Makes room for `count` more bytes (left uninitialised) and returns it.
char* grow(QByteArray& bytes, qsizetype count) {
    const qsizetype at = bytes.size();
    bytes.resize(at + count);
    return bytes.data() + at;
}

char* put(char* out, qint32 value) {
    std::memcpy(out, &value, sizeof value);
    return out + sizeof value;
}

char* put(char* out, QStringView text) {
    out = put(out, static_cast<qint32>(text.size()));
    std::memcpy(out, text.utf16(), static_cast<size_t>(text.size()) * 2);
    return out + text.size() * 2;
}

}  // namespace

void CGridAttributeBlock::Clear() {
    m_bytes.resize(0);
    m_count = 0;
}

void CGridAttributeBlock::Add(QStringView name, QStringView value) {
    put(put(grow(m_bytes, fieldBytes(name) + fieldBytes(value)), name), value);
    ++m_count;
}

void CGridAttributeBlock::Add(std::span<const CGridAttributeView> attributes) {
    qsizetype total = 0;
    for (const auto& [name, value] : attributes) {
        total += fieldBytes(name) + fieldBytes(value);
    }
    char* out = grow(m_bytes, total);
    for (const auto& [name, value] : attributes) {
        out = put(put(out, name), value);
    }
    m_count += static_cast<qint32>(attributes.size());
}

bool CGridEventWriter::Open() {
    m_block.clear();
    return m_sender.Open(QStringLiteral("gridpipe"));
}

void CGridEventWriter::WriteStart(QStringView name, QStringView parent,
                                  const CGridAttributeBlock& attributes) {
    writeEvent(0, {name, parent}, attributes);
}

void CGridEventWriter::WriteEnd(QStringView name, QStringView text, QStringView parent,
                                const CGridAttributeBlock& attributes) {
    writeEvent(1, {name, text, parent}, attributes);
}

void CGridEventWriter::writeEvent(qint32 kind, std::initializer_list<QStringView> texts,
                                  const CGridAttributeBlock& attributes) {
    if (!m_sender.IsConnected()) {
        return;
    }
    qsizetype total = 8 + attributes.m_bytes.size();
    for (const QStringView text : texts) {
        total += fieldBytes(text);
    }
    char* out = put(grow(m_block, total), kind);
    for (const QStringView text : texts) {
        out = put(out, text);
    }
    out = put(out, attributes.m_count);
    std::memcpy(out, attributes.m_bytes.constData(),
                static_cast<size_t>(attributes.m_bytes.size()));
    sendBlocks(kBlockBytes);
}

void CGridEventWriter::WriteInt32(qint32 value) {
    if (m_sender.IsConnected()) {
        put(grow(m_block, 4), value);
    }
}

void CGridEventWriter::WriteString(QStringView text) {
    if (m_sender.IsConnected()) {
        put(grow(m_block, fieldBytes(text)), text);
    }
}

bool CGridEventWriter::Flush() {
    return sendBlocks(1);
}

// Hands the gathered fields to the sender once they fill a block, or at
// once with `atLeast` 1.
bool CGridEventWriter::sendBlocks(qsizetype atLeast) {
    if (m_block.size() < atLeast || m_block.isEmpty()) {
        return m_sender.IsConnected();
    }
    bool sent = true;
    if (m_block.size() <= kMaxMessageBytes) {
        sent = m_sender.Send(std::exchange(m_block, QByteArray()));
    } else {
        for (qsizetype at = 0; sent && at < m_block.size(); at += kBlockBytes) {
            sent = m_sender.Send(m_block.mid(at, kBlockBytes));
        }
    }
    m_block.clear();
    m_block.reserve(kMaxMessageBytes);
    return sent;
}

void CGridEventWriter::Close() {
    Flush();
    m_sender.Close();
    m_block.clear();
}
