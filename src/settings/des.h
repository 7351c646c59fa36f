#pragma once

// DES in electronic codebook mode for the credentials kept in the preferences
// file, and the hexadecimal text form they are stored in. The key is handed
// to every call; nothing here keeps one.

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <array>

using DesKey = std::array<unsigned char, 8>;

// Fills the buffer with zero bytes up to the next multiple of 8 and enciphers
// it in place block by block; returns the padded length.
int DesEncryptBuffer(const DesKey& key, QByteArray& buffer);

// Deciphers the buffer in place block by block. A length that is not a whole
// number of blocks leaves the buffer alone and returns the remainder (length
// modulo 8); otherwise 0.
int DesDecryptBuffer(const DesKey& key, QByteArray& buffer);

// The text's UTF-8 bytes, zero-filled to whole blocks, enciphered, written as
// two lower-case hex digits a byte. An empty text gives an empty result.
QString DesEncryptToHex(const DesKey& key, QStringView text);

// Reverses DesEncryptToHex: digits of either case; a damaged length is filled
// with blanks to a whole block; the text ends at the first zero byte. A
// non-hex digit counts as 0.
QString DesDecryptFromHex(const DesKey& key, QStringView hex);
