#include "settings/des.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

namespace {

constexpr DesKey kFipsKey{0x13, 0x34, 0x57, 0x79, 0x9B, 0xBC, 0xDF, 0xF1};

TEST(DesTest, FipsVectorEnciphersAndDeciphers) {
    QByteArray block = QByteArray::fromHex("0123456789ABCDEF");
    EXPECT_EQ(DesEncryptBuffer(kFipsKey, block), 8);
    EXPECT_EQ(block.toHex(), QByteArray("85e813540f0ab405"));
    EXPECT_EQ(DesDecryptBuffer(kFipsKey, block), 0);
    EXPECT_EQ(block.toHex(), QByteArray("0123456789abcdef"));
}

TEST(DesTest, BufferIsZeroFilledToWholeBlocks) {
    QByteArray buffer("abc");
    EXPECT_EQ(DesEncryptBuffer(kFipsKey, buffer), 8);
    EXPECT_EQ(DesDecryptBuffer(kFipsKey, buffer), 0);
    EXPECT_EQ(buffer, QByteArray("abc\0\0\0\0\0", 8));
}

TEST(DesTest, DecipheringAPartialBlockChangesNothing) {
    QByteArray buffer("0123456789");
    EXPECT_EQ(DesDecryptBuffer(kFipsKey, buffer), 2);
    EXPECT_EQ(buffer, QByteArray("0123456789"));
}

TEST(DesTest, HexLengthFollowsThePaddedUtf8Length) {
    struct Case {
        QString text;
        qsizetype digits;
    };
    const Case cases[] = {
        {QString(), 0},
        {QStringLiteral("12345678"), 16},
        {QStringLiteral("123456789"), 32},
        {QStringLiteral("1234567\u00e9"), 32},  // é is two bytes: 9 in all
    };
    const QRegularExpression lowerHex(QStringLiteral("^[0-9a-f]*$"));
    for (const Case& c : cases) {
        const QString hex = DesEncryptToHex(kFipsKey, c.text);
        EXPECT_EQ(hex.size(), c.digits) << c.text.toStdString();
        EXPECT_TRUE(lowerHex.match(hex).hasMatch()) << hex.toStdString();
    }
}

TEST(DesTest, TextsRoundTripThroughHex) {
    const QString texts[] = {
        QStringLiteral("HP=host%3A80&U=user&P=&"),
        QStringLiteral("Gr\u00fc\u00dfe \u65e5\u672c \U0001F600"),
        QStringLiteral("exactly8"),
    };
    for (const QString& text : texts) {
        const QString hex = DesEncryptToHex(kFipsKey, text);
        EXPECT_EQ(DesDecryptFromHex(kFipsKey, hex), text);
        EXPECT_EQ(DesDecryptFromHex(kFipsKey, hex.toUpper()), text);
    }
}

TEST(DesTest, WrongKeyGivesOtherTextNotAnError) {
    constexpr DesKey other{1, 2, 3, 4, 5, 6, 7, 8};
    const QString hex = DesEncryptToHex(kFipsKey, QStringLiteral("secret password"));
    EXPECT_NE(DesDecryptFromHex(other, hex), QStringLiteral("secret password"));
}

TEST(DesTest, DamagedHexLengthIsReadWithoutOverrun) {
    const QString hex = DesEncryptToHex(kFipsKey, QStringLiteral("0123456789abcdef"));
    // A lost digit and a lost block: both still decipher the whole blocks.
    EXPECT_EQ(DesDecryptFromHex(kFipsKey, hex.left(16)), QStringLiteral("01234567"));
    EXPECT_FALSE(DesDecryptFromHex(kFipsKey, hex.left(31)).isNull());
}

}  // namespace
