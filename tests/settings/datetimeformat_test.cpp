#include "settings/datetimeformat.h"

#include "settings/langpack.h"
#include "settings/preferences.h"
#include "support/temphome.h"

#include <QComboBox>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <optional>

namespace {

struct SecondsCase {
    qint64 seconds;
    const char16_t* mode0;
    const char16_t* mode1;
    const char16_t* mode2;
};

TEST(FormatSeconds, ModesWriteAllUnitsTwoNeighboursOrTheLargest) {
    const SecondsCase cases[] = {
        {0, u"1 sec", u"0 secs", u""},
        {1, u"1 sec", u"1 sec", u"1 sec"},
        {61, u"1 min, 1 sec", u"1 min, 1 sec", u"1 min"},
        {3601, u"1 hour, 1 sec", u"1 hour", u"1 hour"},
        {7322, u"2 hours, 2 mins, 2 secs", u"2 hours, 2 mins", u"2 hours"},
        {90061, u"1 day, 1 hour, 1 min, 1 sec", u"1 day, 1 hour", u"1 day"},
        {3000000, u"4 weeks, 6 days, 17 hours, 20 mins", u"4 weeks, 6 days", u"1 month"},
        {31536000 + 604800, u"1 year, 1 week", u"1 year, 1 week", u"1 year"},
        {63072000 + 5184000, u"2 years, 8 weeks, 4 days", u"2 years, 8 weeks", u"2 years"},
        // Only the low 32 bits count.
        {(qint64(1) << 32) + 60, u"1 min", u"1 min", u"1 min"},
    };
    for (const SecondsCase& c : cases) {
        EXPECT_EQ(FormatSeconds(c.seconds, 0), QString::fromUtf16(c.mode0)) << c.seconds;
        EXPECT_EQ(FormatSeconds(c.seconds, 1), QString::fromUtf16(c.mode1)) << c.seconds;
        EXPECT_EQ(FormatSeconds(c.seconds, 2), QString::fromUtf16(c.mode2)) << c.seconds;
    }
}

TEST(FormatSeconds, UnitWordsComeFromTheLanguagePack) {
    CLangPack pack;
    pack.Add(u"mins"_qs, u"Minuten"_qs);
    pack.Add(u"hour"_qs, u"Stunde"_qs);
    pack.Add(u"secs"_qs, u"Sekunden"_qs);
    SetActiveLangPack(&pack);
    EXPECT_EQ(FormatSeconds(3720, 0), u"1 Stunde, 2 Minuten");
    EXPECT_EQ(FormatSeconds(0, 1), u"0 Sekunden");
    SetActiveLangPack(nullptr);
}

struct TextCase {
    qint64 value;
    const char16_t* expected;
};

void expectAll(std::span<const TextCase> cases, QString (*format)(qint64)) {
    for (const TextCase& c : cases) {
        EXPECT_EQ(format(c.value), QString::fromUtf16(c.expected)) << c.value;
    }
}

TEST(FormatTimeOfDay, ShowsATwelveHourClock) {
    const TextCase cases[] = {
        {0, u"12:00 AM"},     {59, u"12:00 AM"},    {3660, u"01:01 AM"},
        {43200, u"12:00 PM"}, {46800, u"01:00 PM"}, {86399, u"11:59 PM"},
        {86400, u"00:00 AM"}, {90060, u"00:01 AM"}, {-5, u"00:00 AM"},
    };
    expectAll(cases, FormatTimeOfDay);
}

TEST(FormatTimeOfDay, LooksUpTheWordsExceptAtMidnight) {
    CLangPack pack;
    pack.Add(u"AM"_qs, u"vorm."_qs);
    pack.Add(u"PM"_qs, u"nachm."_qs);
    SetActiveLangPack(&pack);
    EXPECT_EQ(FormatTimeOfDay(0), u"12:00 AM");
    EXPECT_EQ(FormatTimeOfDay(3600), u"01:00 vorm.");
    EXPECT_EQ(FormatTimeOfDay(46800), u"01:00 nachm.");
    SetActiveLangPack(nullptr);
}

TEST(FormatPollRate, ShowsHoursAndMinutes) {
    const TextCase cases[] = {
        {90, u"1.5 min"},  {95, u"1 min"},          {30, u"0.5 min"},   {300, u"5 min"},
        {3600, u"1 hour"}, {3660, u"1 hour 1 min"}, {7200, u"2 hours"}, {7260, u"2 hours 1 min"},
        {3630, u"1 hour"}, {0, u"0 min"},
    };
    expectAll(cases, [](qint64 seconds) { return FormatPollRate(static_cast<int>(seconds)); });
}

TEST(FormatBytes, UsesAUnitFromTwoOfItUpward) {
    const TextCase cases[] = {
        {0, u"0 B"},
        {1536, u"1536 B"},
        {2047, u"2047 B"},
        {2048, u"2 KB"},
        {2097151, u"2047 KB"},
        {3 * 1048576 - 1, u"2 MB"},
        {2 * 1073741824LL - 1, u"2047 MB"},
        {5 * 1073741824LL, u"5 GB"},
    };
    expectAll(cases, FormatBytes);
}

TEST(FormatSpeed, UsesDecimalStepsWithOneDecimalForFractions) {
    const TextCase cases[] = {
        {0, u""},           {-5, u"-5B"},       {1, u"1B"},          {999, u"999B"},
        {1000, u"1K"},      {1500, u"1.5K"},    {2000, u"2K"},       {999999, u"1000.0K"},
        {1500000, u"1.5M"}, {10000000, u"10M"}, {2000000000, u"2G"}, {2500000000LL, u"2.5G"},
    };
    expectAll(cases, FormatSpeed);
}

TEST(FormatFileMode, ShowsTypePermissionsAndSpecialBits) {
    struct Case {
        unsigned mode;
        const char16_t* text;
        bool special;
    };
    const Case cases[] = {
        {040755, u"drwxr-xr-x-", false}, {0100644, u"-rw-r--r---", false},
        {020666, u"crw-rw-rw--", false}, {060660, u"brw-rw-----", false},
        {0104755, u"-rwsr-xr-x-", true}, {0102711, u"-rwx--s--x-", true},
        {041777, u"drwxrwxrwxt", true},  {0104000, u"---s-------", true},
    };
    for (const Case& c : cases) {
        int flag = 0;
        EXPECT_EQ(FormatFileMode(c.mode, &flag), QString::fromUtf16(c.text)) << c.mode;
        EXPECT_EQ(flag, c.special ? 16 : 0) << c.mode;
        EXPECT_EQ(FormatFileMode(c.mode), QString::fromUtf16(c.text));
    }
}

// Preferences with the local time zone fixed to UTC, so formatted moments are known.
class PreferencesFormatTest : public TempHomeTest {
protected:
    void SetUp() override {
        TempHomeTest::SetUp();
        const char* zone = std::getenv("TZ");
        m_savedZone = zone ? std::optional<QByteArray>(zone) : std::nullopt;
        qputenv("TZ", "UTC");
        tzset();
    }
    void TearDown() override {
        if (m_savedZone) {
            qputenv("TZ", *m_savedZone);
        } else {
            qunsetenv("TZ");
        }
        tzset();
        TempHomeTest::TearDown();
    }

    // 2023-11-14 22:13:20 UTC, a Tuesday.
    static constexpr std::time_t kMoment = 1700000000;
    CPreferences m_prefs;

private:
    std::optional<QByteArray> m_savedZone;
};

TEST_F(PreferencesFormatTest, DateAndTimeFollowTheStoredFormats) {
    m_prefs.SetString(u"DateFormat"_qs, u"%Y-%m-%d"_qs);
    m_prefs.SetString(u"TimeFormat"_qs, u"%H:%M:%S"_qs);
    EXPECT_EQ(FormatDate(m_prefs, kMoment), u"2023-11-14");
    EXPECT_EQ(FormatTime(m_prefs, kMoment), u"22:13:20");

    m_prefs.SetString(u"DateFormatDF"_qs, u"%d.%m.%Y"_qs);
    m_prefs.SetString(u"TimeFormatDF"_qs, u"%H:%M"_qs);
    EXPECT_EQ(FormatDateTime(m_prefs, kMoment), u"14.11.2023 22:13");
    m_prefs.SetString(u"DateTime"_qs, u"TimeFirst"_qs);
    m_prefs.SetString(u"TimeFormatTF"_qs, u"%I:%M %p"_qs);
    m_prefs.SetString(u"DateFormatTF"_qs, u"%Y.%m.%d"_qs);
    EXPECT_EQ(FormatDateTime(m_prefs, kMoment), u"10:13 PM 2023.11.14");
}

TEST_F(PreferencesFormatTest, EmptyAndOverlongResultsAreEmpty) {
    m_prefs.SetString(u"DateFormat"_qs, QString());
    EXPECT_TRUE(FormatDate(m_prefs, kMoment).isEmpty());
    const QString fortyNine = QString(u'x').repeated(45) + u"%Y"_qs;
    EXPECT_EQ(FormatLocalTime(fortyNine, kMoment).size(), 49);
    EXPECT_TRUE(FormatLocalTime(fortyNine + u"x"_qs, kMoment).isEmpty());
    EXPECT_FALSE(FormatLocalTime(u"%x"_qs, 0).isEmpty());
}

TEST_F(PreferencesFormatTest, CombosListEveryFormatAndSelectTheStoredOne) {
    QComboBox combo;
    combo.addItem(u"stale"_qs);
    m_prefs.SetString(u"DateFormat"_qs, u"%Y-%m-%d %a"_qs);
    EXPECT_EQ(FillDateFormatCombo(m_prefs, &combo, u"DateFormat"_qs), 32);
    EXPECT_EQ(combo.currentIndex(), 23);
    EXPECT_EQ(combo.itemData(23).toString(), u"%Y-%m-%d %a");
    EXPECT_EQ(combo.itemText(23), FormatLocalTime(u"%Y-%m-%d %a"_qs, 0));

    EXPECT_EQ(FillDateFormatCombo(m_prefs, &combo, u"DateFormatDF"_qs), 32);
    EXPECT_EQ(combo.currentIndex(), 0);

    m_prefs.SetString(u"TimeFormatTF"_qs, u"%H:%M:%S"_qs);
    EXPECT_EQ(FillTimeFormatCombo(m_prefs, &combo, u"TimeFormatTF"_qs), 4);
    EXPECT_EQ(combo.currentIndex(), 1);
}

class DateTimeParamsTest : public PreferencesFormatTest {
protected:
    void SetUp() override {
        PreferencesFormatTest::SetUp();
        m_prefs.SetString(u"DateFormat"_qs, u"%Y-%m-%d %a"_qs);
        m_prefs.SetString(u"TimeFormat"_qs, u"%I:%M:%S %p"_qs);
    }
    static QString stamp() { return u"\\d\\d:\\d\\d:\\d\\d:\\d\\d:\\d\\d:\\d{4}"_qs; }
    static constexpr QStringView kFormats = u"datefs=~Y-~m-~d%20~a&timefs=~I:~M:~S%20~p";
};

TEST_F(DateTimeParamsTest, DecoratesServerUrlsBeforeAnyFragment) {
    struct Case {
        const char16_t* url;
        QString pattern;
    };
    const QString tail =
        QRegularExpression::escape(kFormats.toString()) + u"&datetime="_qs + stamp();
    const Case cases[] = {
        {u"http://h/cmi/Services?Action=X",
         u"^http://h/cmi/Services\\?Action=X&"_qs + tail + u"$"_qs},
        {u"https://h:8443/page", u"^https://h:8443/page\\?"_qs + tail + u"$"_qs},
        {u"http://h/p?a=1#part", u"^http://h/p\\?a=1&"_qs + tail + u"#part$"_qs},
        {u"http://h/p#x?y", u"^http://h/p\\?"_qs + tail + u"#x\\?y$"_qs},
    };
    for (const Case& c : cases) {
        QString url = QString::fromUtf16(c.url);
        EXPECT_EQ(AddDateTimeParams(m_prefs, url), 1);
        EXPECT_TRUE(QRegularExpression(c.pattern).match(url).hasMatch()) << url.toStdString();
    }
}

TEST_F(DateTimeParamsTest, SkipsUrlsThatAreNotServerPages) {
    for (const char16_t* skipped : {u"", u"about:blank", u"curl:grid:http://h/x",
                                    u"javascript:go()", u"http://h/f(1)", u"file:///tmp/x.html"}) {
        QString url = QString::fromUtf16(skipped);
        EXPECT_EQ(AddDateTimeParams(m_prefs, url), 0);
        EXPECT_EQ(url, QString::fromUtf16(skipped));
    }
}

TEST_F(DateTimeParamsTest, EditedFormatsCannotAddParameters) {
    m_prefs.SetString(u"DateFormat"_qs, u"%d/%m&x=1#+"_qs);
    m_prefs.SetString(u"TimeFormat"_qs, QString());
    QString url = u"http://h/p"_qs;
    EXPECT_EQ(AddDateTimeParams(m_prefs, url), 1);
    EXPECT_TRUE(url.startsWith(u"http://h/p?datefs=~d!~m%26x%3D1%23%2B&datetime="))
        << url.toStdString();
    EXPECT_FALSE(url.contains(u"timefs="));
}

TEST_F(DateTimeParamsTest, EmptyDateFormatLeavesOutTheDateAndTheMoment) {
    m_prefs.SetString(u"DateFormat"_qs, QString());
    QString url = u"http://h/p"_qs;
    EXPECT_EQ(AddDateTimeParams(m_prefs, url), 1);
    EXPECT_EQ(url, u"http://h/p?timefs=~I:~M:~S%20~p");

    m_prefs.SetString(u"TimeFormat"_qs, QString());
    url = u"http://h/p"_qs;
    EXPECT_EQ(AddDateTimeParams(m_prefs, url), 0);
    EXPECT_EQ(url, u"http://h/p");
}

}  // namespace
