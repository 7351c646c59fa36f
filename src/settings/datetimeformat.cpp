#include "settings/datetimeformat.h"

#include "framework/kformat.h"
#include "framework/klog.h"
#include "framework/kprops.h"
#include "settings/langpack.h"
#include "settings/preferences.h"

#include <QComboBox>

#include <array>

namespace {

// Formatted times always lived in a 50-character buffer, terminator included.
constexpr qsizetype kMaxFormattedLength = 49;

struct DurationUnit {
    qint32 seconds;
    const char16_t* singular;
    const char16_t* plural;
};

constexpr DurationUnit kYear{31536000, u"year", u"years"};
constexpr DurationUnit kMonth{2592000, u"month", u"months"};
constexpr DurationUnit kWeek{604800, u"week", u"weeks"};
constexpr DurationUnit kDay{86400, u"day", u"days"};
constexpr DurationUnit kHour{3600, u"hour", u"hours"};
constexpr DurationUnit kMinute{60, u"min", u"mins"};
constexpr DurationUnit kSecond{1, u"sec", u"secs"};

constexpr std::array<DurationUnit, 6> kUnitsWithoutMonths{kYear, kWeek,   kDay,
                                                          kHour, kMinute, kSecond};
constexpr std::array<DurationUnit, 7> kUnitsWithMonths{kYear, kMonth,  kWeek,  kDay,
                                                       kHour, kMinute, kSecond};

QString unitWord(const DurationUnit& unit, qint32 count) {
    return LangLookup(QString::fromUtf16(count < 2 ? unit.singular : unit.plural));
}

template <std::size_t N>
QString formatDuration(qint32 count, int mode, const std::array<DurationUnit, N>& units) {
    QString text;
    int firstWritten = 0;
    for (std::size_t i = 0; i < N; ++i) {
        const int number = static_cast<int>(i) + 1;
        const qint32 unitCount = count / units[i].seconds;
        count %= units[i].seconds;
        if (unitCount == 0) {
            continue;
        }
        const bool written =
            text.isEmpty() || mode == 0 || (mode == 1 && number - firstWritten <= 1);
        if (!written) {
            continue;
        }
        if (text.isEmpty()) {
            firstWritten = number;
        }
        text += kFormat(u"%s%d %s", text.isEmpty() ? u"" : u", ", unitCount,
                        unitWord(units[i], unitCount));
    }
    return text;
}

QString formatWithKey(const CPreferences& prefs, const QString& key, const QString& defaultFormat,
                      std::time_t moment) {
    return FormatLocalTime(prefs.GetString(key, defaultFormat), moment);
}

// A format travels in the query with its "%" as "~", "/" as "!" and blanks
// as "%20", as the servers expect; the characters that would end the value
// or start another parameter are percent-encoded as well.
QString escapeFormatForQuery(QString format) {
    format.replace(u'%', u'~');
    format.replace(u'/', u'!');
    format.replace(u" "_qs, u"%20"_qs);
    format.replace(u"&"_qs, u"%26"_qs);
    format.replace(u"#"_qs, u"%23"_qs);
    format.replace(u"+"_qs, u"%2B"_qs);
    format.replace(u"="_qs, u"%3D"_qs);
    return format;
}

int fillFormatCombo(const KPROPS& formats, const QString& stored, QComboBox* combo) {
    combo->clear();
    const std::time_t now = std::time(nullptr);
    int selected = 0;
    for (int i = 0; i < formats.Count(); ++i) {
        const QString format = formats.GetNameAt(i);
        combo->addItem(FormatLocalTime(format, now), format);
        if (format == stored) {
            selected = i;
        }
    }
    combo->setCurrentIndex(formats.Count() > 0 ? selected : -1);
    return combo->count();
}

}  // namespace

QString FormatLocalTime(const QString& format, std::time_t moment) {
    if (format.isEmpty()) {
        return {};
    }
    const std::time_t when = moment != 0 ? moment : std::time(nullptr);
    std::tm local{};
    if (!localtime_r(&when, &local)) {
        return {};
    }
    const QByteArray narrowFormat = format.toLocal8Bit();
    std::array<char, 512> buffer{};
    const std::size_t length =
        std::strftime(buffer.data(), buffer.size(), narrowFormat.constData(), &local);
    const QString text = QString::fromLocal8Bit(buffer.data(), static_cast<qsizetype>(length));
    return text.size() <= kMaxFormattedLength ? text : QString();
}

QString FormatTime(const CPreferences& prefs, std::time_t moment) {
    return formatWithKey(prefs, u"TimeFormat"_qs, u"%X"_qs, moment);
}

QString FormatDate(const CPreferences& prefs, std::time_t moment) {
    return formatWithKey(prefs, u"DateFormat"_qs, u"%x"_qs, moment);
}

QString FormatDateTime(const CPreferences& prefs, std::time_t moment) {
    const bool dateFirst = prefs.GetString(u"DateTime"_qs, u"DateFirst"_qs) == u"DateFirst";
    const QString format = dateFirst ? prefs.GetString(u"DateFormatDF"_qs, u"%x"_qs) + u' ' +
                                           prefs.GetString(u"TimeFormatDF"_qs, u"%X"_qs)
                                     : prefs.GetString(u"TimeFormatTF"_qs, u"%X"_qs) + u' ' +
                                           prefs.GetString(u"DateFormatTF"_qs, u"%x"_qs);
    return FormatLocalTime(format, moment);
}

QString FormatSeconds(qint64 seconds, int mode) {
    const auto count = static_cast<qint32>(seconds);
    if (kDebugLevel(0) > 1) {
        kDebugLog(u"CPreferences::FormatSeconds (%ld)...", count);
    }
    QString text = mode == 2 ? formatDuration(count, mode, kUnitsWithMonths)
                             : formatDuration(count, mode, kUnitsWithoutMonths);
    if (text.isEmpty() && mode == 0) {
        text = kFormat(u"1 %s", LangLookup(u"sec"_qs));
    } else if (text.isEmpty() && mode == 1) {
        text = kFormat(u"0 %s", LangLookup(u"secs"_qs));
    }
    if (kDebugLevel(0) > 1) {
        kDebugLog(u"CPreferences::FormatSeconds(): %s", text);
    }
    return text;
}

QString FormatTimeOfDay(qint64 seconds) {
    const qint64 hour = seconds / 3600;
    const qint64 minute = (seconds % 3600) / 60;
    if (seconds < 0 || hour > 23) {
        return kFormat(u"%02d:%02d %s", 0, seconds < 0 ? 0 : minute, LangLookup(u"AM"_qs));
    }
    if (hour == 0) {
        return kFormat(u"%02d:%02d %s", 12, minute, u"AM");
    }
    if (hour < 12) {
        return kFormat(u"%02d:%02d %s", hour, minute, LangLookup(u"AM"_qs));
    }
    return kFormat(u"%02d:%02d %s", hour == 12 ? 12 : hour - 12, minute, LangLookup(u"PM"_qs));
}

QString FormatPollRate(int seconds) {
    const int hours = seconds / 3600;
    const int minutes = (seconds % 3600) / 60;
    if (hours > 0) {
        if (minutes == 0) {
            return kFormat(hours < 2 ? u"%d hour" : u"%d hours", hours);
        }
        return kFormat(hours < 2 ? u"%d hour %d min" : u"%d hours %d min", hours, minutes);
    }
    if (seconds % 60 == 30) {
        return kFormat(u"%d.%d min", minutes, 5);
    }
    return kFormat(u"%d min", minutes);
}

QString FormatBytes(qint64 bytes) {
    const qint64 kilo = bytes / 1024;
    const qint64 mega = kilo / 1024;
    const qint64 giga = mega / 1024;
    if (giga >= 2) {
        return kFormat(u"%I64d GB", giga);
    }
    if (mega >= 2) {
        return kFormat(u"%I64d MB", mega);
    }
    if (kilo < 2) {
        return kFormat(u"%I64d B", bytes);
    }
    return kFormat(u"%I64d KB", kilo);
}

QString FormatSpeed(qint64 rate) {
    struct Step {
        qint64 size;
        const char16_t* whole;
        const char16_t* fraction;
    };
    static constexpr Step kSteps[] = {
        {1000000000, u"%I64dG", u"%.1fG"},
        {1000000, u"%I64dM", u"%.1fM"},
        {1000, u"%I64dK", u"%.1fK"},
    };
    if (rate < 0) {
        return kFormat(u"%I64dB", rate);
    }
    if (rate == 0) {
        return {};
    }
    for (const Step& step : kSteps) {
        if (rate >= step.size) {
            return rate % step.size == 0
                       ? kFormat(step.whole, rate / step.size)
                       : kFormat(step.fraction, static_cast<double>(rate) / step.size);
        }
    }
    return kFormat(u"%I64dB", rate);
}

QString FormatFileMode(unsigned mode, int* specialBits) {
    auto bit = [mode](unsigned mask, QChar letter) { return mode & mask ? letter : QChar(u'-'); };
    bool special = false;
    auto execute = [&](unsigned setIdMask, unsigned executeMask) {
        if (mode & setIdMask) {
            special = true;
            return QChar(u's');
        }
        return bit(executeMask, u'x');
    };
    QString text;
    switch (mode & 0xF000) {
        case 0x6000:
            text += u'b';
            break;
        case 0x2000:
            text += u'c';
            break;
        case 0x4000:
            text += u'd';
            break;
        default:
            text += u'-';
            break;
    }
    text += bit(0x100, u'r');
    text += bit(0x80, u'w');
    text += execute(0x800, 0x40);
    text += bit(0x20, u'r');
    text += bit(0x10, u'w');
    text += execute(0x400, 0x08);
    text += bit(0x04, u'r');
    text += bit(0x02, u'w');
    text += bit(0x01, u'x');
    if (mode & 0x200) {
        special = true;
        text += u't';
    } else {
        text += u'-';
    }
    if (special && specialBits) {
        *specialBits = 16;
    }
    return text;
}

int FillDateFormatCombo(const CPreferences& prefs, QComboBox* combo, const QString& key) {
    return fillFormatCombo(prefs.DateFormats(), prefs.GetString(key), combo);
}

int FillTimeFormatCombo(const CPreferences& prefs, QComboBox* combo, const QString& key) {
    return fillFormatCombo(prefs.TimeFormats(), prefs.GetString(key), combo);
}

int AddDateTimeParams(const CPreferences& prefs, QString& url) {
    static constexpr QStringView kLeftAlone[] = {u"about:blank", u"curl:", u"javascript:", u"(",
                                                 u"file:"};
    if (url.isEmpty()) {
        return 0;
    }
    for (QStringView marker : kLeftAlone) {
        if (url.contains(marker)) {
            return 0;
        }
    }
    // The server never sees a fragment, so the parameters go in front of it.
    const qsizetype hash = url.indexOf(u'#');
    QString address = hash < 0 ? url : url.left(hash);
    const QString fragment = hash < 0 ? QString() : url.mid(hash);
    bool hasQuery = address.contains(u'?');
    bool appended = false;
    auto append = [&](QStringView name, const QString& value) {
        address += hasQuery ? u'&' : u'?';
        address += name;
        address += value;
        hasQuery = true;
        appended = true;
    };
    const QString dateFormat = prefs.GetString(u"DateFormat"_qs, u"%x"_qs);
    const QString timeFormat = prefs.GetString(u"TimeFormat"_qs, u"%X"_qs);
    if (!dateFormat.isEmpty()) {
        append(u"datefs=", escapeFormatForQuery(dateFormat));
    }
    if (!timeFormat.isEmpty()) {
        append(u"timefs=", escapeFormatForQuery(timeFormat));
    }
    if (!dateFormat.isEmpty()) {
        append(u"datetime=", FormatLocalTime(u"%H:%M:%S:%m:%d:%Y"_qs, 0));
    }
    url = address + fragment;
    return appended ? 1 : 0;
}
