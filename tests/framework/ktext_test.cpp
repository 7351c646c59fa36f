#include "framework/ktext.h"
#include "framework/ktime.h"

#include "framework/startedframework.h"

#include <QDateTime>

#include <gtest/gtest.h>

namespace {

struct SplitCase {
    const char* name;
    QString text;
    QString delimiter;
    int maximum;
    bool trim;
    QStringList expected;
};

void PrintTo(const SplitCase& splitCase, std::ostream* out) {
    *out << splitCase.name;
}

class SplitTable : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitTable, SplitsIntoElements) {
    const SplitCase& c = GetParam();
    QStringList elements;
    const int count = c.delimiter.size() == 1
                          ? kParseDelimedList(c.text, elements, c.maximum, c.delimiter[0], c.trim)
                          : kParseDelimedListStr(c.text, elements, c.maximum, c.delimiter, c.trim);
    EXPECT_EQ(count, c.expected.size());
    EXPECT_EQ(elements, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, SplitTable,
    ::testing::Values(
        SplitCase{
            "trimmed", u" a , b b ,c \r\n"_qs, u","_qs, 10, true, {u"a"_qs, u"b b"_qs, u"c"_qs}},
        SplitCase{"untrimmed", u" a , b "_qs, u","_qs, 10, false, {u" a "_qs, u" b "_qs}},
        SplitCase{"restInLast", u"a,b,c,d"_qs, u","_qs, 3, false, {u"a"_qs, u"b"_qs, u"c,d"_qs}},
        SplitCase{"trailingDelimiter", u"a,b,"_qs, u","_qs, 5, false, {u"a"_qs, u"b"_qs, u""_qs}},
        SplitCase{"empty", u""_qs, u","_qs, 5, true, {}},
        SplitCase{"single", u"abc"_qs, u","_qs, 5, true, {u"abc"_qs}},
        SplitCase{
            "textDelimiter", u"a::b:c::d"_qs, u"::"_qs, 5, false, {u"a"_qs, u"b:c"_qs, u"d"_qs}},
        SplitCase{"textDelimiterRest", u"a, b, c"_qs, u", "_qs, 2, true, {u"a"_qs, u"b, c"_qs}}));

TEST(NameValuePairs, DecodesPairsAndKeepsTheText) {
    const QString query = u"Name=router+1&Note=hi+there%21&Flag&Empty="_qs;
    std::vector<KNVP> pairs;
    ASSERT_EQ(kParseNameValuePairs(query, pairs, 50, u'&', u'='), 4);
    EXPECT_EQ(kGetNVPValue(u"Name", pairs), u"router 1"_qs);
    EXPECT_EQ(kGetNVPValue(u"Note", pairs), u"hi there!"_qs);
    EXPECT_EQ(pairs[2].name, u"Flag"_qs);
    EXPECT_EQ(pairs[2].value, u""_qs);
    EXPECT_EQ(kGetNVPValue(u"name", pairs), u""_qs);

    ASSERT_EQ(kParseNameValuePairs(query, pairs, 2, u'&', u'='), 2);
    EXPECT_EQ(pairs[1].name, u"Note"_qs);
    EXPECT_EQ(kParseNameValuePairs(u"", pairs, 2, u'&', u'='), 0);
    EXPECT_TRUE(pairs.empty());
}

struct DecodeCase {
    QString input;
    QString expected;
};

TEST(WebDecoding, EscapesAreDecodedOnlyWhenWellFormed) {
    const DecodeCase cases[] = {
        {u"%41%62"_qs, u"Ab"_qs},     {u"%4a%4A"_qs, u"JJ"_qs}, {u"a%00b"_qs, u"a%00b"_qs},
        {u"%zz%4g"_qs, u"%zz%4g"_qs}, {u"100%"_qs, u"100%"_qs}, {u"%4"_qs, u"%4"_qs},
        {u"%%41"_qs, u"%A"_qs},       {u"%20x"_qs, u" x"_qs},
    };
    for (const DecodeCase& c : cases) {
        QString text = c.input;
        EXPECT_EQ(webgoop(text), c.expected) << c.input.toStdString();
    }
    QString plus = u"a+b\\+c++"_qs;
    EXPECT_EQ(plus2space(plus), u"a b +c  "_qs);
}

TEST(TextUtilities, CopyTrimAndLists) {
    QString target = u"keep"_qs;
    EXPECT_EQ(kstrncpy(target, u"abcdef", 0), u"keep"_qs);
    EXPECT_EQ(kstrncpy(target, u"abcdef", 1), u""_qs);
    EXPECT_EQ(kstrncpy(target, u"abcdef", 4), u"abc"_qs);
    EXPECT_EQ(kstrncpy(target, u"ab", 10), u"ab"_qs);

    QString trimmed = u"value \t\r\n"_qs;
    EXPECT_EQ(kTrimRight(trimmed), u"value"_qs);
    QString punctuated = u"name:) \n"_qs;
    EXPECT_EQ(kTrimRight(punctuated, true), u"name"_qs);
    QString blank = u" \t"_qs;
    EXPECT_EQ(kTrimRight(blank), u""_qs);

    QString mixed = u"ÄBc-Z"_qs;
    EXPECT_EQ(kstrlwr(mixed), u"Äbc-z"_qs);
    EXPECT_EQ(kSkipWhitespace(u"\t\r\n x "), u"x "_qs);
    EXPECT_EQ(kStripChars(u"a-b_c-d", u"-_", 0), u"abcd"_qs);
    EXPECT_EQ(kStripChars(u"a-b_c-d", u"-_", 3), u"ab"_qs);
    EXPECT_EQ(kCountChar(u"a,b,,c", u','), 3);
    EXPECT_EQ(kInList(u"b", {u"a"_qs, u"b"_qs}), 1);
    EXPECT_EQ(kInList(u"B", {u"a"_qs, u"b"_qs}), 0);
    EXPECT_EQ(kInList(QStringView(), {u""_qs}), 0);
}

TEST(TextUtilities, ElidedTextsKeepTheirStartAndEndInAnEllipsis) {
    const QString pair = QString::fromUtf16(u"\U0001F600");  // one character, two units
    struct Case {
        QString text;
        qsizetype limit;
        QString expected;
    };
    const Case cases[] = {
        {u"abcdef"_qs, 6, u"abcdef"_qs},
        {u"abcdefg"_qs, 6, u"abcde…"_qs},
        {u""_qs, 2, u""_qs},
        {u"abc"_qs + pair + u"def"_qs, 5, u"abc…"_qs},
        {u"ab"_qs + pair + u"def"_qs, 5, u"ab"_qs + pair + u"…"_qs},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(kElided(c.text, c.limit), c.expected) << c.text.toStdString();
    }
}

TEST(TextUtilities, DelimitedListMembership) {
    struct Case {
        QString item;
        QString list;
        int expected;
    };
    const Case cases[] = {
        {u"a"_qs, u"a"_qs, 1},     {u"a"_qs, u"a,b"_qs, 1},   {u"b"_qs, u"a,b,c"_qs, 1},
        {u"c"_qs, u"a,b,c"_qs, 1}, {u"b"_qs, u"ab,bc"_qs, 0}, {u""_qs, u"a,,b"_qs, 1},
        {u"x"_qs, u""_qs, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(kInDelimitedList(c.item, c.list, u','), c.expected)
            << c.item.toStdString() << " in " << c.list.toStdString();
    }
}

TEST(TextUtilities, RandomStaysInRange) {
    EXPECT_EQ(kRandom(7, 7), 7);
    EXPECT_EQ(kRandom(9, 3), 9);
    for (int i = 0; i < 100; ++i) {
        const int value = kRandom(-2, 3);
        EXPECT_GE(value, -2);
        EXPECT_LT(value, 3);
    }
    EXPECT_GE(kRandom(5, 0), 5);
}

TEST(Durations, FormatsHoursMinutesAndSeconds) {
    const std::pair<long long, QString> cases[] = {
        {0, u"less than a second"_qs},
        {1, u"1 sec"_qs},
        {60, u"1 min"_qs},
        {61, u"1 min, 1 sec"_qs},
        {7200, u"2 hrs"_qs},
        {3725, u"1 hr, 2 mins, 5 secs"_qs},
        {7322, u"2 hrs, 2 mins, 2 secs"_qs},
    };
    for (const auto& [seconds, expected] : cases) {
        EXPECT_EQ(kFormatDuration(seconds), expected) << seconds;
    }
}

TEST(Timestamps, LocalTimeOrErrorForSmallTargets) {
    const std::time_t when = 1700000000;
    EXPECT_EQ(kFormTimestamp(21, when),
              QDateTime::fromSecsSinceEpoch(when).toString(u"yyyy-MM-dd HH:mm:ss"_qs));
    EXPECT_EQ(kFormTimestamp(20, when), u"ERROR"_qs);
    EXPECT_EQ(kFormTimestamp(3, when), u"ER"_qs);
    EXPECT_EQ(kFormTimestamp(21, 0).size(), 19);
}

using Numbers = StartedFrameworkTest;

TEST_F(Numbers, LeadingNumbersOrZero) {
    const std::pair<QString, long long> integers[] = {
        {u"42abc"_qs, 42},
        {u"  -7"_qs, -7},
        {u"+5"_qs, 5},
        {u""_qs, 0},
        {u"x1"_qs, 0},
        {u"9223372036854775807"_qs, 9223372036854775807LL},
        {u"99999999999999999999"_qs, 9223372036854775807LL},
        {u"-99999999999999999999"_qs, -9223372036854775807LL - 1},
        {u"\n\t 12"_qs, 12},
        {u"\u0661\u0662"_qs, 0},  // only ASCII digits count
        {u"- 3"_qs, 0},
    };
    for (const auto& [text, expected] : integers) {
        EXPECT_EQ(katoh(text), expected) << text.toStdString();
    }
    const std::pair<QString, double> reals[] = {
        {u"3.5e2x"_qs, 350.0}, {u" -.25"_qs, -0.25}, {u"7."_qs, 7.0},
        {u"abc"_qs, 0.0},      {u""_qs, 0.0},
    };
    for (const auto& [text, expected] : reals) {
        EXPECT_DOUBLE_EQ(katof(text), expected) << text.toStdString();
    }
}

}  // namespace
