#include "settings/urlcoding.h"

#include <gtest/gtest.h>

namespace {

TEST(UrlCodingTest, EncodesSeparatorsBlanksAndNonAscii) {
    struct Case {
        QString text;
        QString encoded;
    };
    const Case cases[] = {
        {QStringLiteral("a b&c=d"), QStringLiteral("a+b%26c%3Dd")},
        {QStringLiteral("host:8080"), QStringLiteral("host%3A8080")},
        {QStringLiteral("\"#%+;<>?@\\`"), QStringLiteral("%22%23%25%2B%3B%3C%3E%3F%40%5C%60")},
        {QStringLiteral("\u00e9"), QStringLiteral("%C3%A9")},
        {QStringLiteral("tab\tdel\x7f"), QStringLiteral("tab%09del%7F")},
        {QStringLiteral("plain-text_1.~/!"), QStringLiteral("plain-text_1.~/!")},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EncodeForURL(c.text), c.encoded) << c.text.toStdString();
        EXPECT_EQ(DecodeFromURL(c.encoded), c.text) << c.encoded.toStdString();
    }
}

TEST(UrlCodingTest, DecodesOnlyPercentWithTwoHexDigits) {
    struct Case {
        QString encoded;
        QString text;
    };
    const Case cases[] = {
        {QStringLiteral("100%"), QStringLiteral("100%")},
        {QStringLiteral("%4"), QStringLiteral("%4")},
        {QStringLiteral("%zz%41"), QStringLiteral("%zzA")},
        {QStringLiteral("a+b"), QStringLiteral("a b")},
        {QStringLiteral("\u00e9%C3%A9"), QStringLiteral("\u00e9\u00e9")},
        {QStringLiteral("%FF%FE"), QStringLiteral("%FF%FE")},  // not UTF-8: left as it was
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DecodeFromURL(c.encoded), c.text) << c.encoded.toStdString();
    }
}

TEST(UrlCodingTest, ByteOrderMarksSurviveTheRoundTrip) {
    struct Case {
        QString text;
        QString encoded;
    };
    const Case cases[] = {
        {QStringLiteral("\uFEFFabc"), QStringLiteral("%EF%BB%BFabc")},
        {QStringLiteral("\uFEFF"), QStringLiteral("%EF%BB%BF")},
        {QStringLiteral("ab\uFEFFc"), QStringLiteral("ab%EF%BB%BFc")},
        {QStringLiteral("\uFEFF\uFEFFx\uFEFF"), QStringLiteral("%EF%BB%BF%EF%BB%BFx%EF%BB%BF")},
        {QStringLiteral("\uFEFF \u00e9"), QStringLiteral("%EF%BB%BF+%C3%A9")},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EncodeForURL(c.text), c.encoded) << c.encoded.toStdString();
        EXPECT_EQ(DecodeFromURL(c.encoded), c.text) << c.encoded.toStdString();
    }
    // A mark given as text rather than as escapes is kept as well.
    EXPECT_EQ(DecodeFromURL(QStringLiteral("\uFEFFabc")), QStringLiteral("\uFEFFabc"));
}

}  // namespace
