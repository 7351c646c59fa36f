#include "dialogs/chooserquery.h"

#include <QDateTime>
#include <QTimeZone>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

namespace {

constexpr std::time_t kNow = 1'600'000'000;

TEST(ChooserQueryTest, CleaningKeepsOnlyWhatPatternsHold) {
    const struct {
        const char16_t* typed;
        const char16_t* name;
        const char16_t* ip;
    } cases[] = {
        {u"a b;c*", u"abc*", u"ABC*"},
        {u"1a.b*", u"1a.b*", u"1A.B*"},
        {u"x~`!@#$%^&()+=[]{}|;'\",<>?y", u"xy", u""},
        {u"fe80::1\t%eth0", u"fe80::1eth0", u"FE80::1E0"},
        {u"node\u00e9-7", u"node\u00e9-7", u"DE7"},
    };
    for (const auto& c : cases) {
        const QString typed = QString::fromUtf16(c.typed);
        EXPECT_EQ(CleanNameText(typed), QString::fromUtf16(c.name)) << typed.toStdString();
        EXPECT_EQ(CleanIPText(typed), QString::fromUtf16(c.ip)) << typed.toStdString();
    }
}

TEST(ChooserQueryTest, SignCodes) {
    const std::pair<const char16_t*, const char16_t*> cases[] = {
        {u"=", u"1"}, {u">", u"2"}, {u"<", u"3"}, {u"", u"wrong_sign"}, {u">=", u"wrong_sign"}};
    for (const auto& [sign, code] : cases) {
        EXPECT_EQ(GetSignCode(QString::fromUtf16(sign)), QString::fromUtf16(code));
    }
}

// Runs the body with the local time zone set to UTC.
void inUtc(const std::function<void()>& body) {
    const QByteArray saved = qgetenv("TZ");
    const bool had = qEnvironmentVariableIsSet("TZ");
    qputenv("TZ", "UTC");
    tzset();
    body();
    if (had) {
        qputenv("TZ", saved);
    } else {
        qunsetenv("TZ");
    }
    tzset();
}

TEST(ChooserQueryTest, CalendarSpansKeepTheTimeAndRollOverMissingDays) {
    const auto at = [](int year, int month, int day) {
        return QDateTime(QDate(year, month, day), QTime(12, 0), QTimeZone::utc())
            .toSecsSinceEpoch();
    };
    const struct {
        int years, months;
        qint64 now, target;
    } cases[] = {
        {0, 2, at(2021, 3, 31), at(2021, 1, 31)},
        {0, 3, at(2021, 5, 31), at(2021, 3, 3)},  // 31 February rolls into March
        {0, 2, at(2021, 1, 15), at(2020, 11, 15)},
        {0, 9, at(2021, 9, 30), at(2020, 12, 30)},
        {1, 0, at(2024, 2, 29), at(2023, 3, 1)},
        {3, 0, at(2021, 6, 1), at(2018, 6, 1)},
    };
    inUtc([&] {
        for (const auto& c : cases) {
            EXPECT_EQ(CalendarSpan(c.years, c.months, static_cast<std::time_t>(c.now)),
                      c.now - c.target)
                << c.years << "y " << c.months << "m";
        }
        const std::time_t now = static_cast<std::time_t>(at(2021, 3, 31));
        EXPECT_EQ(CutOffTime(u"2 Months"_qs, now), at(2021, 1, 31)) << "case does not matter";
        EXPECT_EQ(CutOffTime(u"1 week"_qs, now), now - 7 * 86400);
        EXPECT_EQ(CutOffTime(u"5 days"_qs, now), now) << "an unknown age cuts off nothing";
    });
}

TEST(ChooserQueryTest, CutOffTimesPast2038StayRight) {
    const std::time_t after2038 = static_cast<std::time_t>(2'200'000'000);
    EXPECT_EQ(CutOffTime(u"1 hour"_qs, after2038), 2'200'000'000 - 3600);
}

CElemQueryInput advancedAtDefaults() {
    CElemQueryInput input;
    input.name = QStringLiteral("core*");
    input.advanced = true;
    for (QString* all : {&input.nmsState.text, &input.elementType.text, &input.monitorInLE,
                         &input.pollingEnabled, &input.latencyPartner, &input.speed,
                         &input.modifyTime, &input.createTime, &input.protocol.text}) {
        *all = QStringLiteral("All");
    }
    input.systemDescription = input.interfaceDescription = input.ipAddress = QStringLiteral("*");
    return input;
}

TEST(ChooserQueryTest, ElementQueries) {
    const struct {
        const char* what;
        std::function<void(CElemQueryInput&)> set;
        const char16_t* query;
    } cases[] = {
        {"empty name, even with Alias",
         [](CElemQueryInput& in) {
             in.advanced = false;
             in.name.clear();
             in.alias = true;
         },
         u"&Name=*&Children=notspecified"},
        {"alias, encoded",
         [](CElemQueryInput& in) {
             in.advanced = false;
             in.alias = true;
             in.name = QStringLiteral("a b#");
         },
         u"&Alias=a+b%23&Children=notspecified"},
        {"node mode as hexadecimal code units",
         [](CElemQueryInput& in) {
             in.advanced = false;
             in.nodeMode = true;
             in.alias = true;
             in.name = QStringLiteral("ab");
         },
         u"&Name=00610062&Children=notspecified"},
        {"children without selection",
         [](CElemQueryInput& in) {
             in.advanced = false;
             in.childrenChecked = true;
             in.childrenIndex = -1;
         },
         u"&Name=core*"},
        {"children exclude",
         [](CElemQueryInput& in) {
             in.advanced = false;
             in.childrenChecked = true;
             in.childrenIndex = 1;
         },
         u"&Name=core*&Children=exclude"},
        {"advanced at their defaults", [](CElemQueryInput&) {},
         u"&Name=core*&Children=notspecified&addFilterSystem_value=*"
         u"&addFilterInerface_value=*&IPAddress=*"},
        {"server values encoded",
         [](CElemQueryInput& in) {
             in.nmsState = {QStringLiteral("Active"), QStringLiteral("a&b")};
             in.nmsNot = true;
             in.elementType = {QStringLiteral("Router"), QStringLiteral("r t")};
             in.protocol = {QStringLiteral("SNMP"), QStringLiteral("v=2")};
             in.systemDescription.clear();
             in.interfaceDescription.clear();
             in.ipAddress.clear();
         },
         u"&Name=core*&Children=notspecified&addFilterNMS_value=a%26b&addFilterNMS_not=1"
         u"&addFilterType_value=r+t&addFilterType_not=0&addFilterProtocol_value=v%3D2"},
        {"yes and no words, speed 1 G above, not off",
         [](CElemQueryInput& in) {
             in.monitorInLE = QStringLiteral("YES");
             in.pollingEnabled = QStringLiteral("No");
             in.latencyPartner = QStringLiteral("Yes");
             in.speed = QStringLiteral("1 G");
             in.speedSign = QStringLiteral(">");
             in.systemDescription.clear();
             in.interfaceDescription.clear();
             in.ipAddress.clear();
         },
         u"&Name=core*&Children=notspecified&addFilterLive_value=1&addFilterPolling_value=0"
         u"&addFilterAltLatency_value=1&addFilterSpeed_not=0&addFilterSpeed_sign=2"
         u"&addFilterSpeed_value=1000000000"},
        {"unknown speed and sign",
         [](CElemQueryInput& in) {
             in.speed = QStringLiteral("1g");
             in.speedSign.clear();
             in.speedNot = true;
             in.systemDescription.clear();
             in.interfaceDescription.clear();
             in.ipAddress.clear();
         },
         u"&Name=core*&Children=notspecified&addFilterSpeed_not=1"
         u"&addFilterSpeed_sign=wrong_sign&addFilterSpeed_value=wrong_speed"},
        {"ages and paging",
         [](CElemQueryInput& in) {
             in.modifyTime = QStringLiteral("1 day");
             in.modifySign = QStringLiteral("<");
             in.createTime = QStringLiteral("2 hours");
             in.createSign = QStringLiteral(">");
             in.systemDescription = QStringLiteral("Cisco IOS");
             in.interfaceDescription.clear();
             in.ipAddress.clear();
             in.chunkQuery = QStringLiteral("&chunk=2");
         },
         u"&Name=core*&Children=notspecified&addFilterModified_sign=3"
         u"&addFilterModified_value=1599913600&addFilterCreated_sign=2"
         u"&addFilterCreated_value=1599992800&addFilterSystem_value=Cisco+IOS&chunk=2"},
    };
    for (const auto& c : cases) {
        CElemQueryInput input = advancedAtDefaults();
        c.set(input);
        EXPECT_EQ(BuildElemQuery(input, kNow), QString::fromUtf16(c.query)) << c.what;
    }
}

TEST(ChooserQueryTest, JobQueries) {
    const struct {
        const char* what;
        std::function<void(CJobQueryInput&)> set;
        const char16_t* query;
    } cases[] = {
        {"first use", [](CJobQueryInput&) {},
         u"&sun=y&mon=y&tue=y&wed=y&thu=y&fri=y&sat=y&monthly=y&enabled=all&subject=*"
         u"&chunk=1&chunkSize=50&sort=&reverse=no"},
        {"some days, enabled only, subject encoded",
         [](CJobQueryInput& in) {
             in.days = {false, true, false, true, false, false, false};
             in.monthly = false;
             in.enabledIndex = 2;
             in.subject = QStringLiteral("a&b*");
             in.chunkQuery.clear();
         },
         u"&mon=y&wed=y&enabled=y&subject=a%26b*"},
        {"disabled only, no subject, no selection in the combo",
         [](CJobQueryInput& in) {
             in.days = {};
             in.monthly = false;
             in.enabledIndex = -1;
             in.subject.clear();
             in.chunkQuery.clear();
         },
         u""},
    };
    for (const auto& c : cases) {
        CJobQueryInput input;
        input.days.fill(true);
        input.monthly = true;
        input.subject = QStringLiteral("*");
        input.chunkQuery = QStringLiteral("&chunk=1&numberOfElementsPerChunk=50&sort=&reverse=no");
        c.set(input);
        EXPECT_EQ(BuildJobQuery(input), QString::fromUtf16(c.query)) << c.what;
    }
}

}  // namespace
