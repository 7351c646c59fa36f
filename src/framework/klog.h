#pragma once

// The framework's one log file and its debug switch. Debug lines are written
// only while the debug-flag file exists; its first number is the level that
// callers compare against to decide how much detail to write. Every function
// here may be called from any thread.

#include "framework/kformat.h"

#include <QString>

// What the program was doing when a crash happens now; the crash report
// prints it. Each thread has its own, so a crash names its own thread's work.
// The guard texts lie directly behind the context so that the crash report can
// tell whether an overlong write ran over it.
struct KSegFaultContext {
    char16_t text[300];
    char16_t guard1[8];
    char16_t guard2[8];
};
extern thread_local KSegFaultContext g_SegFaultContext;
// What an intact guard holds.
inline constexpr QStringView kSanityGuard = u"SANITY";

// Copies a text into the crash context, cut to fit; an empty text clears it.
void kSetSegFaultContext(QStringView text);
QString kSegFaultContext();
// Whether both guard texts still hold "SANITY".
bool kSegFaultGuardsIntact();

// Starts or restarts the framework. A null path argument selects the built-in
// default; the environment variables "TORVOLOG" and "TORVODBG" override both.
void kInit(const QString& tag, const QString& logPath, const QString& debugPath, int dumpCore);

bool kIsInitialised();
int kDumpCoreFlag();
QString kProgramTag();

// Returns the path now in force after setting it: "default" selects the
// built-in default, an empty text keeps the path, a null text only returns it.
QString kSetLogPath(const QString& path);
QString kSetDebugPath(const QString& path);

// The current debug level (0 = off); the flag file is examined at most once a
// second unless forced.
int kDebugLevel(int force);

// Writes the message to the log target with the three-letter tag "DBG", "WAR"
// or "ERR", one prefixed line per line of the text; an overlong line is cut
// with an ellipsis. Returns the number of lines written.
int kLogWrite(QStringView tag, QString text);

namespace kdetail {
int logFormatted(QStringView tag, QStringView function, QStringView format,
                 std::span<const KFormatArg> args);
}

template <typename... Args>
int kDebugLog(QStringView format, const Args&... args) {
    if (kDebugLevel(0) == 0) {
        return 0;
    }
    const std::array<KFormatArg, sizeof...(Args)> list{KFormatArg(args)...};
    return kdetail::logFormatted(u"DBG", u"kDebugLog()", format, list);
}

template <typename... Args>
void kWarningLog(QStringView format, const Args&... args) {
    const std::array<KFormatArg, sizeof...(Args)> list{KFormatArg(args)...};
    kdetail::logFormatted(u"WAR", u"kWarningLog()", format, list);
}

template <typename... Args>
void kErrorLog(QStringView format, const Args&... args) {
    const std::array<KFormatArg, sizeof...(Args)> list{KFormatArg(args)...};
    kdetail::logFormatted(u"ERR", u"kErrorLog()", format, list);
}

// A hex and character dump, as debug lines, of the bytes from `before` bytes
// ahead of `pointer` up to `after` bytes behind it; the byte at the pointer
// is marked.
void kDebugHexDump(const void* pointer, int before, int after);
