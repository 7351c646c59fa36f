#pragma once

// Bytes written straight as UTF-8 at a raw write position: the writer asks
// for room for what it may write, writes there and hands back the new end.
// The bytes grow by doubling (a large block grows in place, without a copy
// of what was written), so a text of any size is written once, in one pass.

#include <QByteArray>
#include <QByteArrayView>

#include <algorithm>
#include <utility>

class Utf8Writer {
public:
    // The bytes written go after the bytes given.
    explicit Utf8Writer(QByteArray bytes = {}) : m_bytes(std::move(bytes)) {
        const qsizetype used = m_bytes.size();
        m_bytes.resize(std::max(used, kFirstSize));
        point(used);
    }

    // The write position, with room for `most` bytes after it.
    char* Room(qsizetype most) { return m_end - m_pos >= most ? m_pos : grow(most); }
    void Advance(char* to) { m_pos = to; }
    void Append(QByteArrayView bytes) {
        m_pos = std::copy_n(bytes.data(), bytes.size(), Room(bytes.size()));
    }
    qsizetype Size() const { return m_pos - m_bytes.constData(); }
    // Room for `more` bytes at once, for a caller that knows roughly how
    // much is still to come.
    void Reserve(qsizetype more) {
        if (m_end - m_pos < more) {
            grow(more);
        }
    }
    // The bytes written; the writer is empty afterwards.
    QByteArray Finish() {
        m_bytes.truncate(Size());
        QByteArray bytes = std::move(m_bytes);
        m_bytes = QByteArray();
        m_pos = m_end = nullptr;
        return bytes;
    }

private:
    static constexpr qsizetype kFirstSize = qsizetype(1) << 12;

    char* grow(qsizetype most) {
        const qsizetype used = Size();
        m_bytes.resize(std::max(used + most, 2 * m_bytes.size()));
        point(used);
        return m_pos;
    }
    void point(qsizetype used) {
        m_pos = m_bytes.data() + used;
        m_end = m_bytes.data() + m_bytes.size();
    }

    QByteArray m_bytes;
    char* m_pos = nullptr;
    char* m_end = nullptr;
};
