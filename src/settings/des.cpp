#include "settings/des.h"

#include "framework/ktext.h"

// The one-block DES calls of libcrypto are marked deprecated, but they are the
// only DES in OpenSSL 3 that needs no legacy provider module at run time.
#define OPENSSL_SUPPRESS_DEPRECATED
#include <openssl/des.h>

#include <algorithm>

namespace {

constexpr int kBlockSize = 8;

void cipherBlocks(const DesKey& key, QByteArray& buffer, int direction) {
    DES_cblock keyBlock;
    std::copy(key.begin(), key.end(), keyBlock);
    DES_key_schedule schedule;
    DES_set_key_unchecked(&keyBlock, &schedule);
    auto* bytes = reinterpret_cast<unsigned char*>(buffer.data());
    for (qsizetype offset = 0; offset < buffer.size(); offset += kBlockSize) {
        auto* block = reinterpret_cast<DES_cblock*>(bytes + offset);
        DES_ecb_encrypt(block, block, &schedule, direction);
    }
}

// The program's own cipher texts hold only hex digits; anything else counts as 0.
int hexDigitValue(QChar digit) {
    return std::max(HexDigitValue(digit), 0);
}

}  // namespace

int DesEncryptBuffer(const DesKey& key, QByteArray& buffer) {
    const qsizetype remainder = buffer.size() % kBlockSize;
    if (remainder != 0) {
        buffer.append(kBlockSize - remainder, '\0');
    }
    cipherBlocks(key, buffer, DES_ENCRYPT);
    return static_cast<int>(buffer.size());
}

int DesDecryptBuffer(const DesKey& key, QByteArray& buffer) {
    const int remainder = static_cast<int>(buffer.size() % kBlockSize);
    if (remainder != 0) {
        return remainder;
    }
    cipherBlocks(key, buffer, DES_DECRYPT);
    return 0;
}

QString DesEncryptToHex(const DesKey& key, QStringView text) {
    QByteArray buffer = text.toUtf8();
    DesEncryptBuffer(key, buffer);
    return QString::fromLatin1(buffer.toHex());
}

QString DesDecryptFromHex(const DesKey& key, QStringView hex) {
    QByteArray buffer;
    buffer.reserve((hex.size() + 1) / 2 + kBlockSize);
    for (qsizetype i = 0; i < hex.size(); i += 2) {
        int value = hexDigitValue(hex[i]);
        if (i + 1 < hex.size()) {
            value = value * 16 + hexDigitValue(hex[i + 1]);
        }
        buffer.append(static_cast<char>(value));
    }
    const qsizetype remainder = buffer.size() % kBlockSize;
    if (remainder != 0) {
        buffer.append(kBlockSize - remainder, ' ');
    }
    DesDecryptBuffer(key, buffer);
    const qsizetype end = buffer.indexOf('\0');
    return QString::fromUtf8(end < 0 ? buffer : buffer.left(end));
}
