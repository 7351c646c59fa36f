#include "grid/cellformatter.h"

#include "framework/kformat.h"
#include "framework/ktext.h"
#include "gridctrl/gridcellbase.h"
#include "grid/mygrid.h"
#include "server/mysystemsite.h"
#include "settings/datetimeformat.h"
#include "settings/langpack.h"
#include "settings/preferences.h"

#include <cmath>
#include <ctime>
#include <memory>
#include <new>

namespace {

// What a time before 1970 shows instead: the date formatters never see one.
constexpr qint64 kNegativeTimeShown = 2082690000;
constexpr double kRealNonNumber = 1152921504606846976.0;  // 2 to the power 60
constexpr qint64 kIntegerNonNumber = 0x0FFFFFFFFFFFFFFFLL;
constexpr int kTimeTextLimit = 128;

const CPreferences& formatterPrefs() {
    static const CPreferences defaults;
    const CPreferences* prefs = MySystemSite().Preferences();
    return prefs != nullptr ? *prefs : defaults;
}

bool isNonNumber(QStringView value, bool parsedZero) {
    return parsedZero && (value.isEmpty() || (value.front() != u'-' && !value.front().isDigit()));
}

QString twoDigits(qint64 number) {
    return kFormat(u"%s%u", number < 10 ? QStringLiteral("0") : QString(),
                   static_cast<unsigned>(number));
}

// strftime of a broken-down time with the user's pattern; empty when the
// text would not fit or the pattern is empty.
QString formatTimePattern(const QString& pattern, const std::tm& fields) {
    if (pattern.isEmpty()) {
        return {};
    }
    char buffer[kTimeTextLimit * 4 + 1] = {};
    const QByteArray format = pattern.toLocal8Bit();
    const size_t length = std::strftime(buffer, sizeof buffer, format.constData(), &fields);
    const QString text = QString::fromLocal8Bit(buffer, static_cast<qsizetype>(length));
    return text.size() <= kTimeTextLimit ? text : QString();
}

std::tm utcFields(std::time_t moment) {
    std::tm fields{};
    gmtime_r(&moment, &fields);
    return fields;
}

std::tm localFields(std::time_t moment) {
    std::tm fields{};
    localtime_r(&moment, &fields);
    return fields;
}

qint64 clockSortValue(const std::tm& fields) {
    return (fields.tm_hour * 3600LL + fields.tm_min * 60LL + fields.tm_sec) * 10;
}

// True when the text holds a line break afterwards.
bool normaliseLineBreaks(QString& text) {
    bool breaks = false;
    for (const QChar c : std::as_const(text)) {
        if (c == u'\n' || c == u'<') {
            breaks = true;
            break;
        }
    }
    if (!breaks || (!text.contains(u'\n') && !text.contains(u"<br>"))) {
        return false;
    }
    text.replace(QStringLiteral("\r\n"), QStringLiteral("<br>"));
    text.replace(QStringLiteral("\n\r"), QStringLiteral("<br>"));
    text.replace(QStringLiteral("\n"), QStringLiteral("<br>"));
    text.replace(QStringLiteral("<br>"), QStringLiteral("\r\n"));
    return true;
}

// "[TIME]": the UTC fields of the moment read as local ones, a year on.
void formatClockTime(QStringView raw, const CellFormatStyle& style, GridItemInfo& item,
                     CellValue& value) {
    const qsizetype dot = raw.indexOf(u'.');
    std::tm fields = utcFields(static_cast<std::time_t>(katoh(dot < 0 ? raw : raw.left(dot))));
    fields.tm_year += 1;
    fields.tm_isdst = -1;
    const std::time_t local = std::mktime(&fields);
    const std::tm shown = localFields(local);
    item.strText = formatTimePattern(style.timeFormat, shown);
    value.kind = CellValue::kInteger;
    value.integer = clockSortValue(shown);
}

// "[JOBTIME]": a job's time in local time; when the local date differs from
// the UTC date the row's day list moves with it.
void formatJobTime(QStringView raw, const CellFormatStyle& style, GridItemInfo& item,
                   CellValue& value, CMyGrid* grid) {
    const qsizetype dot = raw.indexOf(u'.');
    const std::time_t moment = static_cast<std::time_t>(katoh(dot < 0 ? raw : raw.left(dot)));
    const qint64 flag = dot < 0 ? 0 : katoh(raw.mid(dot + 1));
    const std::tm utc = utcFields(moment);
    const std::tm local = localFields(moment);
    // Dates, not days of the year: on New Year's Eve day 365 is before day 1.
    const auto dateKey = [](const std::tm& fields) {
        return fields.tm_year * 400 + fields.tm_yday;
    };
    if (dateKey(utc) != dateKey(local) && grid != nullptr) {
        grid->RewriteDaysCell(item.row, dateKey(utc) < dateKey(local) ? 1 : -1);
    }
    item.strText = formatTimePattern(style.timeFormat, local);
    value.kind = CellValue::kInteger;
    if (flag != 0) {
        value.integer = (local.tm_hour * 60LL + local.tm_min) * 600 + 591;
        item.strText += QStringLiteral(" TZ");
    } else {
        value.integer = clockSortValue(local);
    }
}

// The table of value tokens; false when none applies (kind 0).
bool applyValueToken(const GridColumn& column, bool header, bool folder, QStringView raw,
                     QStringView v, GridItemInfo& item, CellValue& value) {
    const bool data = !header;
    const qint64 integer = (column.tokens & kIntegerTokens) != 0 ? katoh(v) : 0;
    auto setInteger = [&](qint64 number) {
        value.kind = CellValue::kInteger;
        value.integer = number;
    };
    if (column.Has(kTokenMode)) {
        setInteger(integer);
        item.nFormat |= DT_CENTER;
        if (data) {
            item.strText = FormatFileMode(static_cast<unsigned>(integer & 0xFFFF));
        }
    } else if (column.Has(kTokenBytes)) {
        setInteger(integer);
        item.nFormat |= DT_RIGHT;
        if (data && !v.isEmpty()) {
            item.strText = FormatBytes(integer);
        }
    } else if (column.Has(kTokenKBytes)) {
        setInteger(integer);
        item.nFormat |= DT_RIGHT;
        if (data && !v.isEmpty()) {
            item.strText = FormatBytes(integer * 1024);
        }
    } else if (column.Has(kTokenSecs)) {
        setInteger(integer);
        item.nFormat |= DT_CENTER;
        if (data) {
            item.strText = integer == 0 ? QStringLiteral("1 sec")
                                        : FormatSeconds(static_cast<qint32>(integer), 2);
        }
    } else if (column.Has(kTokenMins)) {
        value.kind = CellValue::kReal;
        value.real = katof(v);
        item.nFormat |= DT_CENTER;
        if (data) {
            item.strText = FormatSeconds(static_cast<qint64>(value.real * 60), 2);
        }
    } else if (column.Has(kTokenPollRate)) {
        const double real = katof(v);
        value.kind = CellValue::kReal;
        value.real = std::fabs(real) - (real < 0 ? 0.01 : 0.0);
        item.nFormat |= DT_CENTER;
        if (data) {
            item.strText = FormatPollRate(static_cast<int>(std::fabs(real) * 60));
            if (real < 0) {
                item.strText += u'*';
            }
        }
    } else if (column.Has(kTokenDevSpeed)) {
        const QList<QStringView> parts = v.split(u':');
        const QStringView first = parts.isEmpty() ? v : parts.front().trimmed();
        setInteger(katoh(first));
        item.nFormat |= DT_CENTER;
        if (data) {
            if (value.integer == 0) {
                item.strText = QStringLiteral(" ");
            } else if (parts.size() < 2) {
                item.strText = FormatSpeed(value.integer);
            } else {
                item.strText =
                    FormatSpeed(value.integer) + u':' + FormatSpeed(katoh(parts.at(1).trimmed()));
            }
        }
    } else if (column.Has(kTokenDouble) || column.Has(kTokenDataHours)) {
        value.kind = CellValue::kReal;
        value.real = katof(v);
        const bool nonNumber = isNonNumber(v, value.real == 0.0);
        if (nonNumber) {
            value.kind = CellValue::kCaseText;
            value.real = kRealNonNumber;
        }
        if (column.Has(kTokenDouble)) {
            item.nFormat |= DT_RIGHT;
        } else {
            item.nFormat |= DT_CENTER;
            if (data && !nonNumber) {
                item.strText = FormatSeconds(static_cast<qint64>(value.real * 3600), 1);
            }
        }
    } else if (column.Has(kTokenNumber)) {
        setInteger(integer);
        if (isNonNumber(v, integer == 0)) {
            value.kind = CellValue::kCaseText;
            value.integer = kIntegerNonNumber;
        }
        item.nFormat |= DT_RIGHT;
    } else if (column.Has(kTokenAddress)) {
        value.kind = CellValue::kSortText;
        value.sortText = MakeAddressSortKey(raw);
    } else if (data && (column.Has(kTokenUtc) || column.Has(kTokenDate))) {
        setInteger(integer);
        if (integer != 0) {
            const std::time_t moment =
                static_cast<std::time_t>(integer < 0 ? kNegativeTimeShown : integer);
            item.strText = column.Has(kTokenUtc) ? FormatDateTime(formatterPrefs(), moment)
                                                 : FormatDate(formatterPrefs(), moment);
        }
    } else if (data && column.Has(kTokenDaySeconds)) {
        setInteger(integer);
        item.strText = FormatTimeOfDay(static_cast<qint32>(integer));
    } else if (column.Has(kTokenCase)) {
        value.kind = CellValue::kCaseText;
    } else if (data && column.Has(kTokenIcon)) {
        value.kind = CellValue::kSortText;
        value.sortText = folder ? QStringLiteral("!!") + raw.toString() : raw.toString();
    } else if (data && column.Has(kTokenElapsed)) {
        QString display;
        setInteger(ParseElapsedTime(raw, display));
        item.strText = display;
    } else {
        return false;
    }
    return true;
}

void applyRowColours(unsigned rowFlags, const CellFormatStyle& style, GridItemInfo& item) {
    if ((rowFlags & (kRowDisabled | kRowInactive)) != 0) {
        item.crBkClr = style.disabledBack;
        item.crFgClr = style.disabledFore;
    } else if ((rowFlags & kRowHighlighted) != 0) {
        item.crBkClr = style.highlightedBack;
        item.crFgClr = style.highlightedFore;
    } else if ((rowFlags & kRowWarning) != 0) {
        item.crBkClr = style.warningBack;
        item.crFgClr = style.warningFore;
    } else if ((rowFlags & kRowError) != 0) {
        item.crBkClr = style.errorBack;
        item.crFgClr = style.errorFore;
    }
}

}  // namespace

unsigned GridRowFlagsOf(QStringView property) {
    if (property.isEmpty()) {
        return 0;
    }
    switch (property.front().unicode()) {
        case u'd':
            return kRowDisabled;
        case u'e':
            return kRowError;
        case u'h':
            return kRowHighlighted;
        case u'r':
            return kRowInactive;
        case u'w':
            return kRowWarning;
        default:
            return 0;
    }
}

CellFormatStyle CellFormatStyle::Read(const CPreferences* prefs) {
    CellFormatStyle style;
    if (prefs == nullptr) {
        return style;
    }
    auto colour = [prefs](const char16_t* key, GridColour fallback) {
        return GridColour(prefs->GetULong(QString::fromUtf16(key), fallback.Value()));
    };
    style.headBack = colour(u"RGB_ColHeadBack", style.headBack);
    style.headFore = colour(u"RGB_ColHeadFore", style.headFore);
    style.cellBack = colour(u"RGB_GridCellBack", style.cellBack);
    style.cellFore = colour(u"RGB_GridCellFore", style.cellFore);
    style.disabledBack = colour(u"RGB_DisabledBack", style.disabledBack);
    style.disabledFore = colour(u"RGB_DisabledFore", style.disabledFore);
    style.highlightedBack = colour(u"RGB_HighlightedBack", style.highlightedBack);
    style.highlightedFore = colour(u"RGB_HighlightedFore", style.highlightedFore);
    style.warningBack = colour(u"RGB_WarningBack", style.warningBack);
    style.warningFore = colour(u"RGB_WarningFore", style.warningFore);
    style.errorBack = colour(u"RGB_ErrorBack", style.errorBack);
    style.errorFore = colour(u"RGB_ErrorFore", style.errorFore);
    style.timeFormat = prefs->Settings().GetValue(QStringLiteral("TimeFormat"));
    return style;
}

// Made for every address cell of a load: read in place, written digit by
// digit, with no copy, split or format on the way.
QString MakeAddressSortKey(QStringView text) {
    qint64 numbers[5] = {};
    bool any = false;
    qsizetype start = 0;
    for (int part = 0; part < 5 && start <= text.size(); ++part) {
        qsizetype end = start;
        while (end < text.size() && text[end] != u'.' && text[end] != u':') {
            ++end;
        }
        const QStringView number = text.sliced(start, end - start).trimmed();
        if (!number.isEmpty()) {
            any = true;
            numbers[part] = katoh(number);
            if (part < 4) {
                numbers[part] = qBound(qint64(0), numbers[part], qint64(255));
            }
        }
        start = end + 1;
    }
    if (!any) {
        return QStringLiteral("000000000000");
    }
    QString key;
    key.reserve(16);
    auto appendHex = [&key](unsigned value, int width) {
        char16_t digits[8];
        int count = 0;
        do {
            digits[count++] = u"0123456789ABCDEF"[value & 0xF];
            value >>= 4;
        } while (value != 0);
        for (int pad = count; pad < width; ++pad) {
            key += u'0';
        }
        while (count > 0) {
            key += QChar(digits[--count]);
        }
    };
    for (int part = 0; part < 4; ++part) {
        appendHex(static_cast<unsigned>(numbers[part]), 2);
    }
    appendHex(static_cast<unsigned>(numbers[4]), 4);
    return key;
}

qint64 ParseElapsedTime(QStringView text, QString& display) {
    QStringView rest = text;
    auto take = [&rest](QChar separator) {
        const qsizetype at = rest.indexOf(separator);
        const QStringView number = at < 0 ? rest : rest.left(at);
        rest = at < 0 ? QStringView() : rest.mid(at + 1);
        return static_cast<quint32>(katoh(number));
    };
    quint32 days = 0;
    if (rest.contains(u'-')) {
        days = take(u'-');
    }
    const quint32 hours = take(u':');
    const quint32 minutes = take(u':');
    const quint32 seconds = static_cast<quint32>(katoh(rest));
    const quint32 total = seconds + 60 * minutes + 3600 * hours + 86400 * days;
    display.clear();
    if (total / 86400 != 0) {
        display = kFormat(u"%u-", total / 86400);
    }
    display += twoDigits(total % 86400 / 3600) + u':' + twoDigits(total % 3600 / 60) + u':' +
               twoDigits(total % 60);
    return total;
}

int FormatCell(const GridColumn& column, GridItemInfo& item, QString& text, CMyGrid* grid) {
    if (grid != nullptr) {
        return FormatCell(column, item, text, grid->FormatStyle(), grid->GetRowProperty(), grid);
    }
    CellFormatStyle style = CellFormatStyle::Read(MySystemSite().Preferences());
    return FormatCell(column, item, text, style, 0, nullptr);
}

int FormatCell(const GridColumn& column, GridItemInfo& item, QString& text,
               const CellFormatStyle& style, unsigned rowFlags, CMyGrid* grid) {
    const bool header = item.row == 0;
    const bool folder = text.endsWith(u'/');
    // Plain text columns keep no value record: they compare as one without.
    std::unique_ptr<CellValue> value;
    if ((column.tokens & kValueTokens) != 0) {
        value.reset(new (std::nothrow) CellValue);
        if (value == nullptr) {
            return 0;
        }
    }
    CellValue scratch;
    CellValue& record = value ? *value : scratch;
    const bool lineBreaks = normaliseLineBreaks(text);
    if (header || column.Has(kTokenTranslate)) {
        if (const CLangPack* pack = ActiveLangPack()) {
            pack->TranslateText(text, 0);
        }
    }
    item.strText = text;
    item.nFormat = (header ? DT_BOTTOM : DT_VCENTER) | DT_WORD_ELLIPSIS;
    if ((lineBreaks || header || column.Has(kTokenTranslate)) && text.contains(u"\r\n")) {
        item.nFormat |= DT_WORDBREAK;
    }
    item.mask = GVIF_TEXT | GVIF_PARAM | GVIF_BKCLR | GVIF_FGCLR | GVIF_FORMAT;
    item.crBkClr = header ? style.headBack : style.cellBack;
    item.crFgClr = header ? style.headFore : style.cellFore;
    item.iImage = -1;
    record.column = &column;
    if (item.strText.isEmpty() && grid != nullptr && rowFlags != 0) {
        item.strText = QStringLiteral(" ");
    }
    if (!header && column.Has(kTokenIcon)) {
        item.mask |= GVIF_IMAGE;
        item.crBkClr = CLR_DEFAULT;
        item.crFgClr = GridColour(0);
        item.iImage = folder ? style.folderImage : style.fileImage;
    }
    const QStringView v = kSkipWhitespace(text);
    if (!applyValueToken(column, header, folder, text, v, item, record)) {
        record.kind = CellValue::kNoValue;
    }
    if (column.Has(kTokenRight)) {
        item.nFormat |= DT_RIGHT;
    } else if (column.Has(kTokenLeft)) {
    } else if (column.Has(kTokenCentre)) {
        item.nFormat |= DT_CENTER;
    } else if (column.Has(kTokenTime)) {
        if (katoh(v) != 0) {
            formatClockTime(text, style, item, record);
        }
    } else if (column.Has(kTokenJobTime)) {
        if (katoh(v) != 0) {
            formatJobTime(text, style, item, record, grid);
        }
    }
    if (!header) {
        applyRowColours(rowFlags, style, item);
    }
    // A record without a value compares as no record does: ignoring case.
    if (record.kind == CellValue::kNoValue) {
        value.reset();
    }
    item.lParam = reinterpret_cast<qintptr>(value.release());
    return 1;
}

int CompareCellValues(const CellValue* first, const QString& firstText, const CellValue* second,
                      const QString& secondText) {
    if (first == nullptr || second == nullptr) {
        return firstText.compare(secondText, Qt::CaseInsensitive);
    }
    switch (first->kind) {
        case CellValue::kCaseText:
            return firstText.compare(secondText, Qt::CaseSensitive);
        case CellValue::kReal:
            return first->real < second->real ? -1 : first->real > second->real ? 1 : 0;
        case CellValue::kInteger:
            return first->integer < second->integer ? -1 : first->integer > second->integer ? 1 : 0;
        case CellValue::kSortText: {
            const bool firstFolder = first->sortText.startsWith(u"!!");
            const bool secondFolder = second->sortText.startsWith(u"!!");
            if (firstFolder != secondFolder) {
                return firstFolder ? -1 : 1;
            }
            return first->sortText.toUpper().compare(second->sortText.toUpper(), Qt::CaseSensitive);
        }
        default:
            return firstText.compare(secondText, Qt::CaseInsensitive);
    }
}

int CompareCells(const CGridCellBase* first, const CGridCellBase* second, qintptr) {
    if (first == nullptr || second == nullptr) {
        return 0;
    }
    return CompareCellValues(reinterpret_cast<const CellValue*>(first->GetData()), first->GetText(),
                             reinterpret_cast<const CellValue*>(second->GetData()),
                             second->GetText());
}

CellSortKey MakeCellSortKey(const CGridCellBase* cell) {
    CellSortKey key;
    if (cell == nullptr) {
        return key;
    }
    const auto* value = reinterpret_cast<const CellValue*>(cell->GetData());
    if (value == nullptr) {
        // Compared ignoring case: the cell's own text, shared, not a folded copy.
        key.text = cell->GetText();
        return key;
    }
    key.hasValue = true;
    key.kind = value->kind;
    key.integer = value->integer;
    key.real = value->real;
    switch (value->kind) {
        case CellValue::kCaseText:
            key.text = cell->GetText();
            break;
        case CellValue::kSortText:
            key.text = value->sortText.toUpper();
            break;
        default:
            // A non-number's display text compares against a number's.
            key.text = cell->GetText();
            break;
    }
    return key;
}

int CompareCellSortKeys(const CellSortKey& first, const CellSortKey& second) {
    if (!first.hasValue || !second.hasValue) {
        return first.text.compare(second.text, Qt::CaseInsensitive);
    }
    switch (first.kind) {
        case CellValue::kReal:
            return first.real < second.real ? -1 : first.real > second.real ? 1 : 0;
        case CellValue::kInteger:
            return first.integer < second.integer ? -1 : first.integer > second.integer ? 1 : 0;
        case CellValue::kSortText: {
            const bool firstFolder = first.text.startsWith(u"!!");
            const bool secondFolder = second.text.startsWith(u"!!");
            if (firstFolder != secondFolder) {
                return firstFolder ? -1 : 1;
            }
            return first.text.compare(second.text, Qt::CaseSensitive);
        }
        default:
            return first.text.compare(second.text, Qt::CaseSensitive);
    }
}
