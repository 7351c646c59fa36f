#include "framework/ktime.h"

#include "framework/klog.h"

#include <QStringList>

namespace {
constexpr qsizetype kMinimumTimestampTarget = 21;

QString durationPiece(QStringView format, long long number) {
    return kFormat(format, number, number > 1 ? u"s" : u"");
}
}  // namespace

QString kFormTimestamp(qsizetype targetSize, std::time_t time) {
    if (targetSize < kMinimumTimestampTarget) {
        kErrorLog(u"kFormTimestamp(): buffer length (%d) needs to be at least %d",
                  static_cast<long long>(targetSize), kMinimumTimestampTarget);
        return u"ERROR"_qs.left(std::max<qsizetype>(targetSize - 1, 0));
    }
    const std::time_t when = time != 0 ? time : std::time(nullptr);
    std::tm local{};
    localtime_r(&when, &local);
    char text[32] = {};
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return QString::fromLatin1(text);
}

QString kFormatDuration(long long seconds) {
    if (seconds == 0) {
        return u"less than a second"_qs;
    }
    QStringList pieces;
    const long long hours = seconds / 3600;
    const long long minutes = seconds % 3600 / 60;
    const long long rest = seconds % 60;
    if (hours != 0) {
        pieces.append(durationPiece(u"%d hr%s", hours));
    }
    if (minutes != 0) {
        pieces.append(durationPiece(u"%d min%s", minutes));
    }
    if (rest != 0) {
        pieces.append(durationPiece(u"%d sec%s", rest));
    }
    return pieces.join(u", ");
}
