#include "framework/kmachine.h"

#include "framework/klog.h"

#include <QDir>
#include <QFileInfo>
#include <QSysInfo>

#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

#include <sys/wait.h>

namespace {

constexpr qsizetype kMaxCommandLength = 1000;

// Single quotes keep every character literal; a quote inside is closed,
// escaped and reopened.
QString shellQuoted(const QString& text) {
    QString quoted = text;
    quoted.replace(u'\'', u"'\\''"_qs);
    return u'\'' + quoted + u'\'';
}

QString loginName() {
    const long bufferSize = std::max(::sysconf(_SC_GETPW_R_SIZE_MAX), 16384L);
    std::vector<char> buffer(static_cast<size_t>(bufferSize));
    passwd entry{};
    passwd* result = nullptr;
    if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &result) == 0 &&
        result != nullptr && result->pw_name != nullptr && *result->pw_name != '\0') {
        return QString::fromLocal8Bit(result->pw_name);
    }
    return qEnvironmentVariable("USER");
}

}  // namespace

int kIsDirectory(const QString& path) {
    return !path.isEmpty() && QFileInfo(path).isDir() ? 1 : 0;
}

int kFileExists(const QString& path, bool mustBeNonEmpty) {
    if (path.isEmpty()) {
        return 0;
    }
    const QFileInfo info(path);
    if (!info.exists() || info.isDir()) {
        return 0;
    }
    return !mustBeNonEmpty || info.size() > 0 ? 1 : 0;
}

QString khostname() {
    static std::once_flag once;
    static QString name;
    std::call_once(once, [] { name = QSysInfo::machineHostName().left(50); });
    if (kDebugLevel(0) > 1) {
        kDebugLog(u"khostname(): %s", name);
    }
    return name;
}

QString kwhoami() {
    QString name = loginName().left(100);
    if (name.isEmpty()) {
        name = QStringLiteral("ERROR");
    }
    if (kDebugLevel(0) > 1) {
        kDebugLog(u"kwhoami(): %s", name);
    }
    return name;
}

QString kpwd() {
    static std::once_flag once;
    static QString directory;
    std::call_once(once, [] {
        directory = QDir::currentPath();
        if (directory.isEmpty()) {
            directory = QStringLiteral("ERROR");
        }
    });
    if (kDebugLevel(0) >= 2) {
        kDebugLog(u"kpwd(): %s", directory);
    }
    return directory;
}

namespace kdetail {

int runShellCommand(QStringView format, std::span<const KFormatArg> args) {
    // The quoted texts must outlive the arguments that refer to them.
    std::vector<QString> quotedTexts;
    quotedTexts.reserve(args.size());
    std::vector<KFormatArg> quotedArgs;
    quotedArgs.reserve(args.size());
    for (const KFormatArg& arg : args) {
        if (arg.kind() == KFormatArg::Kind::Text) {
            quotedTexts.push_back(shellQuoted(arg.asText()));
            quotedArgs.emplace_back(quotedTexts.back());
        } else {
            quotedArgs.push_back(arg);
        }
    }
    const QString command = kFormatArgs(format, quotedArgs);
    if (command.size() >= kMaxCommandLength) {
        kWarningLog(u"SYS CMD FAILED:");
        kWarningLog(u"  %s", command.left(kMaxCommandLength - 1));
        kWarningLog(u"  error: command longer than %d characters", kMaxCommandLength - 1);
        return 0;
    }
    if (kDebugLevel(0) > 1) {
        kDebugLog(u"CMD: %s", command);
    }
    errno = 0;
    const int status = std::system(command.toLocal8Bit().constData());
    const int savedErrno = errno;
    if (status == 0) {
        return 1;
    }
    kWarningLog(u"SYS CMD FAILED:");
    kWarningLog(u"  %s", command);
    if (status == -1 && savedErrno != 0) {
        kWarningLog(u"  error: %s (errno=%d)", QString::fromLocal8Bit(std::strerror(savedErrno)),
                    savedErrno);
    } else {
        kWarningLog(u"  system() response: %d", WIFEXITED(status) ? WEXITSTATUS(status) : status);
    }
    return 0;
}

}  // namespace kdetail
