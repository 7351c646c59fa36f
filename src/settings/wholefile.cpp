#include "settings/wholefile.h"

#include "framework/kfile.h"
#include "framework/klog.h"

#include <QFile>
#include <QStringDecoder>

#include <sys/stat.h>

#include <cerrno>

namespace {

int writeUtf8Atomically(const QString& path, const QString& text) {
    QString error;
    if (!kSaveFileAtomically(path, text.toUtf8(), &error)) {
        kDebugLog(u"WRITE FAILED: %s (%s)", path, error);
        return 0;
    }
    return 1;
}

// Reads the whole file in text mode; false (with the log line the callers
// share) when it cannot be opened.
bool readTextBytes(const QString& path, QByteArray& bytes) {
    KFILE file;
    if (path.isEmpty() || !file.Open(u"%s", u"r", path)) {
        kDebugLog(u"READ FAILED: %s\n", path);
        return false;
    }
    bytes = file.Stream()->readAll();
    return true;
}

}  // namespace

int WriteStringToFile(const QString& path, const QString& text) {
    return writeUtf8Atomically(path, text);
}

int WriteEntireFile(const QString& path, const QString& text) {
    return writeUtf8Atomically(path, text);
}

int ReadTextFile(const QString& path, QString& output) {
    output.clear();
    QByteArray bytes;
    if (!readTextBytes(path, bytes)) {
        return 0;
    }
    output = QString::fromUtf8(bytes);
    return 1;
}

int ReadEntireUTF8File(const QString& path, QString& output) {
    output.clear();
    QByteArray bytes;
    if (!readTextBytes(path, bytes)) {
        return 0;
    }
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                     QStringDecoder::Flag::ConvertInitialBom);
    QString text = decoder(bytes);
    if (decoder.hasError()) {
        kDebugLog(u"ReadEntireUTF8File(): MultiByteToWideChar() failed: %s\n",
                  u"not valid UTF-8, read as Latin-1");
        text = QString::fromLatin1(bytes);
    }
    output = text;
    return 1;
}

int PathExists(const QString& path) {
    if (path.isEmpty()) {
        return 0;
    }
    struct stat info {};
    if (::lstat(QFile::encodeName(path).constData(), &info) == 0) {
        return 1;
    }
    return errno == ENOENT || errno == ENOTDIR || errno == ENAMETOOLONG ? 0 : 1;
}
