#include "settings/buildstamp.h"

#include "framework/kformat.h"
#include "framework/ktext.h"
#include "settings/texttools.h"

#include <QMutex>
#include <QMutexLocker>

// Exported, kept by the linker even unreferenced, and read only through a
// volatile pointer: the compiler must not fold the values into the code,
// because the bytes are patched in the finished program.
extern "C" __attribute__((used, visibility("default"))) const char g_BuildStamp[] =
    "<BURN-IN>\n"
    "<ZRM_BUILDNUM>11082920                    </ZRM_BUILDNUM>\n"
    "<ZRM_BUILDNOTE>mon                         </ZRM_BUILDNOTE>\n"
    "</BURN-IN>\n";
static_assert(sizeof(g_BuildStamp) == 139 + 1, "the stamp record's layout is fixed");

namespace {

constexpr QStringView kVersionPrefix = u"6.3.0";

// The override is written by the UI thread and read by request workers.
QMutex g_overrideMutex;
QString g_buildNumOverride;

QString stampedBuildNum() {
    return BuildStampField(BuildStampText(), u"ZRM_BUILDNUM");
}

}  // namespace

QString BuildStampText() {
    const volatile char* bytes = g_BuildStamp;
    QByteArray record(sizeof(g_BuildStamp) - 1, '\0');
    for (qsizetype i = 0; i < record.size(); ++i) {
        record[i] = bytes[i];
    }
    return QString::fromLatin1(record);
}

QString BuildStampField(QStringView record, QStringView tag) {
    QString field = ExtractTag(record, tag, false);
    return kTrimRight(field);
}

QString GetVersionString(bool withNote) {
    if (withNote) {
        return kFormat(u"%s.%s %s", kVersionPrefix, stampedBuildNum(), GetBuildNote());
    }
    return kFormat(u"%s.%s", kVersionPrefix, stampedBuildNum());
}

QString GetBuildNum() {
    {
        const QMutexLocker lock(&g_overrideMutex);
        if (!g_buildNumOverride.isEmpty()) {
            QString buildNum = g_buildNumOverride;
            return kTrimRight(buildNum);
        }
    }
    return stampedBuildNum();
}

QString GetBuildNote() {
    return BuildStampField(BuildStampText(), u"ZRM_BUILDNOTE");
}

void SetBuildNumOverride(const QString& buildNum) {
    const QMutexLocker lock(&g_overrideMutex);
    g_buildNumOverride = buildNum;
}
