#include "framework/kfile.h"

#include "framework/kcrash.h"
#include "framework/klog.h"

#include <QSaveFile>

#include <optional>

namespace {

std::optional<QIODevice::OpenMode> openModeOf(QStringView mode) {
    QIODevice::OpenMode flags;
    const bool update = mode.contains(u'+') || mode.contains(u"rw");
    if (mode.startsWith(u'r')) {
        flags = update ? QIODevice::ReadWrite : QIODevice::ReadOnly;
    } else if (mode.startsWith(u'w')) {
        flags = (update ? QIODevice::ReadWrite : QIODevice::WriteOnly) | QIODevice::Truncate;
    } else if (mode.startsWith(u'a')) {
        flags = (update ? QIODevice::ReadWrite : QIODevice::WriteOnly) | QIODevice::Append;
    } else {
        return std::nullopt;
    }
    if (!mode.contains(u'b')) {
        flags |= QIODevice::Text;
    }
    return flags;
}

}  // namespace

bool kSaveFileAtomically(const QString& path, const QByteArray& bytes, QString* error) {
    QSaveFile file(path);
    // Small writes stay in the buffer until the flush, and commit() renames
    // the new file into place even when that flush met a full disk: only an
    // explicit flush tells, and the old file must stay then.
    if (!path.isEmpty() && file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() &&
        file.flush() && file.error() == QFileDevice::NoError && file.commit()) {
        return true;
    }
    if (error != nullptr) {
        *error = path.isEmpty() ? QStringLiteral("no file name") : file.errorString();
    }
    return false;
}

KFILE::KFILE() = default;
KFILE::~KFILE() = default;

int KFILE::openPath(const QString& path, QStringView mode) {
    kRequireInit(u"KFILE::Open");
    if (mode != u"r" && mode != u"w" && mode != u"rw" && mode != u"a") {
        kWarningLog(u"KFILE::Open(): suspicious Mode '%s'", mode);
    }
    if (kDebugLevel(0) > 2) {
        kDebugLog(u"KFILE::Open(): '%s' for '%s'", path, mode);
    }
    Close();
    const std::optional<QIODevice::OpenMode> flags = openModeOf(mode);
    auto file = std::make_unique<QFile>(path);
    if (path.isEmpty() || !flags || !file->open(*flags)) {
        if (kDebugLevel(0) != 0) {
            kWarningLog(u"KFILE::Open(): FAILED on '%s' for '%s'", path, mode);
        }
        return 0;
    }
    if (kDebugLevel(0) > 2) {
        kWarningLog(u"KFILE::Open(): succeeded on '%s' for '%s'", path, mode);
    }
    m_file = std::move(file);
    return 1;
}

int KFILE::Write(QStringView text) {
    if (!m_file) {
        return 0;
    }
    const QByteArray bytes = text.toUtf8();
    return m_file->write(bytes) == bytes.size() ? 1 : 0;
}

void KFILE::Close() {
    m_file.reset();
}
