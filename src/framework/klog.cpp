#include "framework/klog.h"

#include "framework/kpath.h"
#include "framework/ktext.h"
#include "framework/ktime.h"

#include <QFileInfo>

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <mutex>

thread_local KSegFaultContext g_SegFaultContext = {
    {}, {u'S', u'A', u'N', u'I', u'T', u'Y'}, {u'S', u'A', u'N', u'I', u'T', u'Y'}};

namespace {

constexpr qsizetype kMaxPathLength = 499;
constexpr qsizetype kMessageBufferLength = 10000;
// A log line is read in a terminal or an editor: 2000 characters hold any
// request, path or reply line worth reading, and a megabyte-long line (a
// whole script or reply on one line) would make the log unusable.
constexpr qsizetype kLogLineLimit = 2000;

struct LogState {
    std::mutex mutex;  // guards the texts below and every append to the log
    QString programTag = QStringLiteral(" -*- ");
    QString logPath;
    QString debugPath;
    bool errorPageStarted = false;
};

LogState& state() {
    static LogState instance;
    return instance;
}

std::atomic<bool> g_initialised{false};
std::atomic<int> g_dumpCore{0};
std::atomic<int> g_cachedLevel{-1};
std::atomic<long long> g_lastLevelRead{0};
std::mutex g_levelMutex;

QString defaultLogPath() {
    return PathJoin(TempFolder(), QStringLiteral("torvo.log"));
}
QString defaultDebugPath() {
    return PathJoin(TempFolder(), QStringLiteral("torvo.dbg"));
}

QString choosePath(const char* variable, const QString& argument, const QString& fallback) {
    const QString fromEnvironment = qEnvironmentVariable(variable);
    if (!fromEnvironment.isEmpty()) {
        return fromEnvironment;
    }
    return argument.isNull() ? fallback : argument;
}

QString applyPath(QString& slot, const QString& path, const QString& builtInDefault) {
    if (!path.isNull() && !path.isEmpty()) {
        slot = path == u"default" ? builtInDefault : path.left(kMaxPathLength);
    }
    return slot;
}

void writeGuard(char16_t (&guard)[8]) {
    std::fill(std::begin(guard), std::end(guard), u'\0');
    std::copy(kSanityGuard.utf16(), kSanityGuard.utf16() + kSanityGuard.size(), guard);
}

int readDebugLevel(const QString& path) {
    struct stat info {};
    const QByteArray nativePath = QFile::encodeName(path);
    if (path.isEmpty() || ::stat(nativePath.constData(), &info) != 0 || S_ISDIR(info.st_mode)) {
        return 0;
    }
    int level = 1;
    if (FILE* file = std::fopen(nativePath.constData(), "r")) {
        char line[10] = {};
        if (std::fgets(line, sizeof line, file) != nullptr) {
            level = static_cast<int>(
                std::clamp<long long>(kLeadingInteger(QString::fromLatin1(line)), 1, INT32_MAX));
        }
        std::fclose(file);
    }
    return level;
}

QString timestamp() {
    // 21 is the smallest target kFormTimestamp accepts without an error line.
    return kFormTimestamp(21, 0);
}

void kWriteLogLine(FILE* stream, bool isFile, QStringView tag, const QString& programTag,
                   QStringView time, QStringView line) {
    const QString text = isFile
                             ? kFormat(u"| %-3.3s | %-5.5s | %5.5d | %-19.19s | %s\n", tag,
                                       programTag, static_cast<long long>(::getpid()), time, line)
                             : kFormat(u"| %-3.3s | %s\n", tag, line);
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fflush(stream);
}

FILE* openLogFile(const QString& path, const QString& programTag, QStringView time) {
    const QByteArray nativePath = QFile::encodeName(path);
    struct stat info {};
    if (::stat(nativePath.constData(), &info) != 0 || S_ISDIR(info.st_mode)) {
        if (FILE* created = std::fopen(nativePath.constData(), "w")) {
            kWriteLogLine(created, true, u" ", programTag, time, u" ");
            std::fclose(created);
            ::chmod(nativePath.constData(), S_IRUSR | S_IWUSR | S_IRGRP | S_IROTH);
        }
    }
    return std::fopen(nativePath.constData(), "a");
}

void writeErrorToConsole(LogState& log, const QString& message) {
    if (qEnvironmentVariable("REQUEST_METHOD").isEmpty()) {
        std::fputs(message.toUtf8().append('\n').constData(), stderr);
        return;
    }
    // Run as a web server's program: the error becomes the reply page.
    if (!log.errorPageStarted) {
        std::fputs("Content-type: text/html\n\n", stdout);
        log.errorPageStarted = true;
    }
    std::fputs("<html><head><title>Server Error</title></head></html><body>\n", stdout);
    std::fputs("<table height=5 width=100% bgcolor=000000 border=5 cellpadding=8>\n", stdout);
    const QString row = kFormat(
        u"<tr bgcolor=FF0000><td align=left valign=middle><pre><font "
        u"color=white>%s</font></pre></td></tr>\n",
        message);
    std::fputs(row.toUtf8().constData(), stdout);
    std::fputs("</table>\n", stdout);
    std::fputs("</body></html>\n", stdout);
    std::fflush(stdout);
}

}  // namespace

void kSetSegFaultContext(QStringView text) {
    const qsizetype length =
        std::min<qsizetype>(text.size(), std::size(g_SegFaultContext.text) - 1);
    std::copy(text.utf16(), text.utf16() + length, g_SegFaultContext.text);
    g_SegFaultContext.text[length] = u'\0';
}

QString kSegFaultContext() {
    return QString::fromUtf16(g_SegFaultContext.text);
}

bool kSegFaultGuardsIntact() {
    return QStringView(g_SegFaultContext.guard1) == kSanityGuard &&
           QStringView(g_SegFaultContext.guard2) == kSanityGuard;
}

QString kSetLogPath(const QString& path) {
    LogState& log = state();
    std::lock_guard lock(log.mutex);
    return applyPath(log.logPath, path, defaultLogPath());
}

QString kSetDebugPath(const QString& path) {
    LogState& log = state();
    std::lock_guard lock(log.mutex);
    const QString previous = log.debugPath;
    const QString current = applyPath(log.debugPath, path, defaultDebugPath());
    if (current != previous) {
        // A level read from another flag file says nothing about this one:
        // without this, lines written in the same second would follow the
        // old file.
        g_cachedLevel.store(-1, std::memory_order_relaxed);
    }
    return current;
}

void kInit(const QString& tag, const QString& logPath, const QString& debugPath, int dumpCore) {
    LogState& log = state();
    const bool firstCall = !g_initialised.load();
    {
        std::lock_guard lock(log.mutex);
        log.errorPageStarted = false;
        log.programTag = kFormat(u"%-5.5s", tag);
    }
    if (firstCall) {
        std::srand(static_cast<unsigned>(std::time(nullptr)));
    }
    g_dumpCore = dumpCore;
    writeGuard(g_SegFaultContext.guard1);
    writeGuard(g_SegFaultContext.guard2);
    kSetSegFaultContext({});

    kSetLogPath(choosePath("TORVOLOG", logPath, QStringLiteral("default")));
    kSetDebugPath(choosePath("TORVODBG", debugPath, QStringLiteral("default")));

    kDebugLog(u"%-60.60s", QString(120, u'-'));
    if (firstCall) {
        kDebugLog(u"starting %s executable...", kProgramTag());
    } else {
        kDebugLog(u"processing next %s request...", kProgramTag());
    }
    if (kDebugLevel(0) > 2) {
        kDebugLog(u"kInit(): done.");
    }
    g_initialised = true;
}

bool kIsInitialised() {
    return g_initialised.load();
}

int kDumpCoreFlag() {
    return g_dumpCore.load();
}

QString kProgramTag() {
    LogState& log = state();
    std::lock_guard lock(log.mutex);
    return log.programTag;
}

int kDebugLevel(int force) {
    const long long now = static_cast<long long>(std::time(nullptr));
    const int cached = g_cachedLevel.load(std::memory_order_relaxed);
    const long long lastRead = g_lastLevelRead.load(std::memory_order_relaxed);
    if (cached != -1 && force == 0 && lastRead != 0 && lastRead == now) {
        return cached;
    }
    std::lock_guard levelLock(g_levelMutex);
    QString path;
    {
        LogState& log = state();
        std::lock_guard lock(log.mutex);
        path = log.debugPath;
    }
    const int level = readDebugLevel(path);
    g_cachedLevel.store(level, std::memory_order_relaxed);
    g_lastLevelRead.store(now, std::memory_order_relaxed);
    return level;
}

int kLogWrite(QStringView tag, QString text) {
    const QString time = timestamp();
    LogState& log = state();
    std::lock_guard lock(log.mutex);
    if (log.logPath == u"null" || log.logPath.isEmpty()) {
        return 0;
    }
    FILE* stream = nullptr;
    const bool isFile = log.logPath != u"stdout" && log.logPath != u"stderr";
    if (!isFile) {
        stream = log.logPath == u"stdout" ? stdout : stderr;
    } else {
        stream = openLogFile(log.logPath, log.programTag, time);
        if (stream == nullptr) {
            return 0;
        }
    }
    if (text.endsWith(u'\n')) {
        text.chop(1);
    }
    int lines = 0;
    for (const QStringView line : QStringView(text).split(u'\n')) {
        // Only an overlong line is copied to be cut.
        const QString cut = line.size() > kLogLineLimit ? kElided(line, kLogLineLimit) : QString();
        kWriteLogLine(stream, isFile, tag, log.programTag, time, cut.isNull() ? line : cut);
        ++lines;
    }
    if (isFile) {
        std::fclose(stream);
    }
    return lines;
}

namespace kdetail {

int logFormatted(QStringView tag, QStringView function, QStringView format,
                 std::span<const KFormatArg> args) {
    kSetSegFaultContext(kFormat(u"%s tried to format a string longer than %u bytes", function,
                                static_cast<unsigned>(kMessageBufferLength)));
    QString message = kFormatArgs(format, args);
    kSetSegFaultContext({});
    if (message.size() >= kMessageBufferLength) {
        message = kElided(message, kMessageBufferLength - 1);
    }
    const int written = kLogWrite(tag, message);
    if (tag == u"ERR") {
        LogState& log = state();
        std::lock_guard lock(log.mutex);
        writeErrorToConsole(log, message);
    }
    return written;
}

}  // namespace kdetail

void kDebugHexDump(const void* pointer, int before, int after) {
    const auto* marked = static_cast<const unsigned char*>(pointer);
    const unsigned char* first = marked - std::max(0, before);
    const unsigned char* end = marked + std::max(0, after);
    const QString rule = kFormat(u"+%-56.56s+", QString(56, u'-'));
    kDebugLog(u"%s", rule);
    for (const unsigned char* line = first; line < end; line += 8) {
        QString hex = kFormat(u"| 0x%08lx |",
                              static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(line)));
        QString characters;
        for (int i = 0; i < 8; ++i) {
            const unsigned char* byte = line + i;
            // Bytes past the requested stretch are not read: the caller
            // vouched only for [first, end).
            if (byte >= end) {
                hex += u"    ";
                characters += u' ';
                continue;
            }
            hex += kFormat(byte == marked ? u"<%02x>" : u" %02x ", static_cast<unsigned>(*byte));
            characters += (*byte < 32 || *byte >= 127) ? QChar(u'.') : QChar(char16_t(*byte));
        }
        kDebugLog(u"%s| %s |", hex, characters);
    }
    kDebugLog(u"%s", rule);
}
