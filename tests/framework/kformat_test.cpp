#include "framework/kformat.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

struct FormatCase {
    const char* name;
    QString actual;
    QString expected;
};

void PrintTo(const FormatCase& formatCase, std::ostream* out) {
    *out << formatCase.name;
}

class KFormatTable : public ::testing::TestWithParam<FormatCase> {};

TEST_P(KFormatTable, MatchesPrintf) {
    EXPECT_EQ(GetParam().actual.toStdString(), GetParam().expected.toStdString());
}

const QString kWide = QStringLiteral("Zürich");

INSTANTIATE_TEST_SUITE_P(
    Conversions, KFormatTable,
    ::testing::Values(
        FormatCase{"plain", kFormat(u"Row: %d of %d", 3, 250), u"Row: 3 of 250"_qs},
        FormatCase{"percent", kFormat(u"100%% done"), u"100% done"_qs},
        FormatCase{"wideString", kFormat(u"[%s]", kWide), u"[Zürich]"_qs},
        FormatCase{"charLiteral", kFormat(u"[%s]", u"abc"), u"[abc]"_qs},
        FormatCase{"nullText", kFormat(u"[%s]", static_cast<const char16_t*>(nullptr)),
                   u"[(null)]"_qs},
        FormatCase{"leftCut", kFormat(u"|%-5.5s|", QStringLiteral("ZRM")), u"|ZRM  |"_qs},
        FormatCase{"cutLong", kFormat(u"|%-5.5s|", QStringLiteral("Quillex")), u"|Quill|"_qs},
        FormatCase{"rightPad", kFormat(u"|%8s|", QStringLiteral("ab")), u"|      ab|"_qs},
        FormatCase{"zeroFilledPid", kFormat(u"%5.5d", 1234), u"01234"_qs},
        FormatCase{"longPid", kFormat(u"%5.5d", 4194301), u"4194301"_qs},
        FormatCase{"negative", kFormat(u"%d", -42), u"-42"_qs},
        FormatCase{"zeroWidth", kFormat(u"%05d", -42), u"-0042"_qs},
        FormatCase{"leftInt", kFormat(u"|%-4d|", 7), u"|7   |"_qs},
        FormatCase{"plusFlag", kFormat(u"%+d", 5), u"+5"_qs},
        FormatCase{"unsigned", kFormat(u"%u", 4000000000u), u"4000000000"_qs},
        FormatCase{"longUnsigned", kFormat(u"%lu", 123456789UL), u"123456789"_qs},
        FormatCase{"int64", kFormat(u"%I64d", LLONG_MIN), u"-9223372036854775808"_qs},
        FormatCase{"hexLower", kFormat(u"%x", 255), u"ff"_qs},
        FormatCase{"hexUpperZero", kFormat(u"%08X", 0xBEEF), u"0000BEEF"_qs},
        FormatCase{"hexOfNegativeInt", kFormat(u"%x", -1), u"ffffffff"_qs},
        FormatCase{"hexByte", kFormat(u"%02x", 7u), u"07"_qs},
        FormatCase{"char", kFormat(u"[%c]", u'é'), u"[é]"_qs},
        FormatCase{"float", kFormat(u"%.1f", 2.25), u"2.2"_qs},
        FormatCase{"floatDefault", kFormat(u"%f", 1.5), u"1.500000"_qs},
        FormatCase{"floatWidth", kFormat(u"%6.2f", 3.14159), u"  3.14"_qs},
        FormatCase{"starWidth", kFormat(u"|%*d|", 4, 9), u"|   9|"_qs},
        FormatCase{"negativeStarWidthPadsLeft", kFormat(u"|%*d|", -3, 7), u"|7  |"_qs},
        FormatCase{"hugeStarWidthIsCapped",
                   QString::number(kFormat(u"%*s", LLONG_MIN, u"a").size()), u"100000"_qs},
        FormatCase{"starPrecision", kFormat(u"%.*s", 2, QStringLiteral("abcdef")), u"ab"_qs},
        FormatCase{"missingArgument", kFormat(u"a%db"), u"ab"_qs},
        FormatCase{"unknownConversion", kFormat(u"50%q", 1), u"50%q"_qs},
        FormatCase{"trailingPercent", kFormat(u"50%"), u"50%"_qs},
        FormatCase{"textAsNumber", kFormat(u"%d", QStringLiteral("12")), u"12"_qs},
        FormatCase{"numberAsText", kFormat(u"%s", 12), u"12"_qs}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
