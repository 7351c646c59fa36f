#include "dialogs/chooserquery.h"

#include "framework/kformat.h"
#include "settings/urlcoding.h"

#include <utility>

namespace {

constexpr QStringView kForbiddenNameCharacters = u"~`!@#$%^&()+=[]{}|;'\",<>?";

struct AgeSpan {
    const char16_t* text;
    qint64 seconds;  // fixed spans
    int years;       // calendar spans, when seconds is 0
    int months;
};

constexpr qint64 kHour = 3600;
constexpr qint64 kDay = 86400;

constexpr AgeSpan kAgeSpans[] = {
    {u"1 hour", kHour, 0, 0},      {u"2 hours", 2 * kHour, 0, 0}, {u"4 hours", 4 * kHour, 0, 0},
    {u"8 hours", 8 * kHour, 0, 0}, {u"1 day", kDay, 0, 0},        {u"2 days", 2 * kDay, 0, 0},
    {u"3 days", 3 * kDay, 0, 0},   {u"1 week", 7 * kDay, 0, 0},   {u"2 weeks", 14 * kDay, 0, 0},
    {u"4 weeks", 28 * kDay, 0, 0}, {u"2 months", 0, 0, 2},        {u"3 months", 0, 0, 3},
    {u"4 months", 0, 0, 4},        {u"6 months", 0, 0, 6},        {u"9 months", 0, 0, 9},
    {u"1 year", 0, 1, 0},          {u"2 years", 0, 2, 0},         {u"3 years", 0, 3, 0},
};

const std::pair<const char16_t*, const char16_t*> kSpeeds[] = {
    {u"10 M", u"10000000"},
    {u"100 M", u"100000000"},
    {u"1 G", u"1000000000"},
    {u"10 G", u"10000000000"},
};

bool isChosen(const QString& text) {
    return !text.isEmpty() && text != u"All";
}

QString yesNo(const QString& text) {
    return text.toLower() == u"yes" ? QStringLiteral("1") : QStringLiteral("0");
}

QString flag(bool on) {
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

QString speedValue(const QString& speed) {
    for (const auto& [text, value] : kSpeeds) {
        if (speed == text) {
            return QString::fromUtf16(value);
        }
    }
    return QStringLiteral("wrong_speed");
}

// The node pattern travels as hexadecimal code units, four digits each.
QString nodeHex(const QString& name) {
    QString hex;
    for (const QChar unit : name) {
        hex += kFormat(u"%04x", static_cast<unsigned>(unit.unicode()));
    }
    return hex;
}

QString nameTerm(const CElemQueryInput& input) {
    if (input.name.isEmpty()) {
        return QStringLiteral("&Name=*");
    }
    const QString field =
        input.alias && !input.nodeMode ? QStringLiteral("&Alias=") : QStringLiteral("&Name=");
    return field + EncodeForURL(input.nodeMode ? nodeHex(input.name) : input.name);
}

QString childrenTerm(const CElemQueryInput& input) {
    if (!input.childrenChecked) {
        return QStringLiteral("&Children=notspecified");
    }
    switch (input.childrenIndex) {
        case 0:
            return QStringLiteral("&Children=include");
        case 1:
            return QStringLiteral("&Children=exclude");
        default:
            return {};
    }
}

QString advancedTerms(const CElemQueryInput& input, std::time_t now) {
    QString query;
    // The server values come from the server's own lists, but they go into
    // a query all the same: encoded.
    if (isChosen(input.nmsState.text)) {
        query += kFormat(u"&addFilterNMS_value=%s&addFilterNMS_not=%s",
                         EncodeForURL(input.nmsState.value), flag(input.nmsNot));
    }
    if (isChosen(input.elementType.text)) {
        query += kFormat(u"&addFilterType_value=%s&addFilterType_not=%s",
                         EncodeForURL(input.elementType.value), flag(input.typeNot));
    }
    if (isChosen(input.monitorInLE)) {
        query += kFormat(u"&addFilterLive_value=%s", yesNo(input.monitorInLE));
    }
    if (isChosen(input.pollingEnabled)) {
        query += kFormat(u"&addFilterPolling_value=%s", yesNo(input.pollingEnabled));
    }
    if (isChosen(input.latencyPartner)) {
        query += kFormat(u"&addFilterAltLatency_value=%s", yesNo(input.latencyPartner));
    }
    if (isChosen(input.speed)) {
        query +=
            kFormat(u"&addFilterSpeed_not=%s&addFilterSpeed_sign=%s&addFilterSpeed_value=%s",
                    flag(input.speedNot), GetSignCode(input.speedSign), speedValue(input.speed));
    }
    // Cut-off times in 64 bits: the same text as ever before 2038, and
    // still right after it.
    if (isChosen(input.modifyTime)) {
        query += kFormat(u"&addFilterModified_sign=%s&addFilterModified_value=%s",
                         GetSignCode(input.modifySign),
                         QString::number(CutOffTime(input.modifyTime, now)));
    }
    if (isChosen(input.createTime)) {
        query += kFormat(u"&addFilterCreated_sign=%s&addFilterCreated_value=%s",
                         GetSignCode(input.createSign),
                         QString::number(CutOffTime(input.createTime, now)));
    }
    if (!input.systemDescription.isEmpty()) {
        query += kFormat(u"&addFilterSystem_value=%s", EncodeForURL(input.systemDescription));
    }
    if (!input.interfaceDescription.isEmpty()) {
        // The server reads the parameter under this spelling.
        query += kFormat(u"&addFilterInerface_value=%s", EncodeForURL(input.interfaceDescription));
    }
    if (isChosen(input.protocol.text)) {
        query += kFormat(u"&addFilterProtocol_value=%s", EncodeForURL(input.protocol.value));
    }
    if (!input.ipAddress.isEmpty()) {
        query += kFormat(u"&IPAddress=%s", EncodeForURL(input.ipAddress));
    }
    return query;
}

}  // namespace

QString CleanNameText(const QString& text) {
    QString cleaned;
    cleaned.reserve(text.size());
    for (const QChar c : text) {
        if ((c.unicode() >= 1 && c.unicode() <= 32) || kForbiddenNameCharacters.contains(c)) {
            continue;
        }
        cleaned += c;
    }
    return cleaned;
}

QString CleanIPText(const QString& text) {
    QString cleaned;
    cleaned.reserve(text.size());
    for (const QChar c : text) {
        const char16_t code = c.unicode();
        if ((code >= u'0' && code <= u'9') || code == u'*' || code == u'.' || code == u':' ||
            (code >= u'A' && code <= u'F')) {
            cleaned += c;
        } else if (code >= u'a' && code <= u'f') {
            cleaned += c.toUpper();
        }
    }
    return cleaned;
}

QString GetSignCode(const QString& sign) {
    if (sign == u"=") {
        return QStringLiteral("1");
    }
    if (sign == u">") {
        return QStringLiteral("2");
    }
    if (sign == u"<") {
        return QStringLiteral("3");
    }
    return QStringLiteral("wrong_sign");
}

qint64 CalendarSpan(int years, int months, std::time_t now) {
    std::tm target{};
    localtime_r(&now, &target);
    const int month = target.tm_mon + 1;
    if (months < month) {
        target.tm_year -= years;
        target.tm_mon = month - months - 1;
    } else {
        target.tm_year -= years + 1;
        target.tm_mon = month - months + 12 - 1;
    }
    target.tm_isdst = -1;
    return static_cast<qint64>(now) - static_cast<qint64>(std::mktime(&target));
}

qint64 CutOffTime(const QString& age, std::time_t now) {
    const QString lowered = age.toLower();
    qint64 span = 0;
    for (const AgeSpan& known : kAgeSpans) {
        if (lowered == known.text) {
            span =
                known.seconds != 0 ? known.seconds : CalendarSpan(known.years, known.months, now);
            break;
        }
    }
    return static_cast<qint64>(now) - span;
}

QString BuildElemQuery(const CElemQueryInput& input, std::time_t now) {
    QString query = nameTerm(input) + childrenTerm(input);
    if (input.advanced) {
        query += advancedTerms(input, now);
    }
    return query + input.chunkQuery;
}

QString BuildJobQuery(const CJobQueryInput& input) {
    static constexpr const char16_t* kDayTerms[] = {u"&sun=y", u"&mon=y", u"&tue=y", u"&wed=y",
                                                    u"&thu=y", u"&fri=y", u"&sat=y"};
    QString query;
    for (size_t day = 0; day < input.days.size(); ++day) {
        if (input.days[day]) {
            query += QString::fromUtf16(kDayTerms[day]);
        }
    }
    if (input.monthly) {
        query += QStringLiteral("&monthly=y");
    }
    switch (input.enabledIndex) {
        case 0:
            query += QStringLiteral("&enabled=all");
            break;
        case 1:
            query += QStringLiteral("&enabled=n");
            break;
        case 2:
            query += QStringLiteral("&enabled=y");
            break;
        default:
            break;
    }
    if (!input.subject.isEmpty()) {
        // Encoded: a subject may hold '&' or '#'; the wildcard '*' stays.
        query += kFormat(u"&subject=%s", EncodeForURL(input.subject));
    }
    query += input.chunkQuery;
    return query.replace(QStringLiteral("numberOfElementsPerChunk"), QStringLiteral("chunkSize"));
}
