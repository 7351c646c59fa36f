#include "framework/kcrash.h"

#include "framework/klog.h"
#include "framework/kmachine.h"

#include <csignal>
#include <cstdlib>
#include <cstring>

#include <unistd.h>

namespace {

constexpr int kExitStatusMinusOne = 255;
// A crash inside the log's own lock would hang the report; the alarm ends
// the process instead.
constexpr unsigned kReportTimeLimitSeconds = 10;
constexpr int kFatalSignals[] = {SIGSEGV, SIGABRT, SIGBUS, SIGFPE, SIGILL};

QString crashCodeText(int code) {
    switch (code) {
        case CRASHCODE_DBINTEGRITY:
            return u"CRASHCODE_DBINTEGRITY: self-detected database integrity problem."_qs;
        case CRASHCODE_DBERROR:
            return u"CRASHCODE_DBERROR: self-detected fatal database error."_qs;
        case CRASHCODE_CORRUPT:
            return u"CRASHCODE_CORRUPT: self-detected memory corruption."_qs;
        case CRASHCODE_TORVOUSAGE:
            return u"CRASHCODE_TORVOUSAGE: invalid TORVO framework usage."_qs;
        case CRASHCODE_TODO:
            return u"CRASHCODE_TODO: feature not implemented yet."_qs;
        case CRASHCODE_MEMORY:
            return u"CRASHCODE_MEMORY: self-detected dynamic allocation error."_qs;
        case 0:
            return u"CRASHCODE=0: self-detected crash condition."_qs;
        case 1000:
            return u"CTRL_C_EVENT: win32 SERVICE_CONTROL_STOP interrupt"_qs;
        case 1001:
            return u"CTRL_BREAK_EVENT: win32 interrupt"_qs;
        default:
            return kFormat(u"UNKNOWN(%d)", code);
    }
}

bool guardIntact(const char16_t (&guard)[8]) {
    return QStringView(guard) == kSanityGuard;
}

void writeBanner() {
    static constexpr QStringView lines[] = {
        u"                 *      \n", u"            *    *    *  \n",
        u"              *  *  *   \n", u"        * * * CRASHED * * *\n",
        u"              *  *  *   \n", u"            *    *    *  \n",
        u"                 *      \n",
    };
    for (QStringView line : lines) {
        kWarningLog(u"%s", line);
    }
}

[[noreturn]] void exitMinusOne() {
    ::_exit(kExitStatusMinusOne);
}

// What the crash report shows of the crashing thread. It is taken before the
// report logs anything, because every log call resets the crash context.
struct CrashSnapshot {
    QString context;
    bool guard1Intact;
    bool guard2Intact;
};

CrashSnapshot takeSnapshot() {
    return {kSegFaultContext(), guardIntact(g_SegFaultContext.guard1),
            guardIntact(g_SegFaultContext.guard2)};
}

[[noreturn]] void reportAndEnd(int code, const CrashSnapshot& snapshot, int signalNumber) {
    if (kDebugLevel(0) == 0) {
        exitMinusOne();
    }
    writeBanner();
    if (signalNumber != 0) {
        kWarningLog(u"caught signal %d (%s)", signalNumber,
                    QString::fromLocal8Bit(::strsignal(signalNumber)));
    }
    kWarningLog(u"%s", crashCodeText(code));
    if (!snapshot.guard2Intact) {
        kWarningLog(u"kShowCrashContext(): SANITY 1 FAILED");
    }
    if (!snapshot.guard1Intact) {
        kWarningLog(u"kShowCrashContext(): SANITY 2 FAILED");
    }
    if (!snapshot.context.isEmpty()) {
        kWarningLog(u"probable explanation for the crash:");
        kWarningLog(u"%s", snapshot.context);
    }
    kWarningLog(u"dumping core (assuming %s can write to %s)...", kwhoami(), kpwd());
    if (kDumpCoreFlag() == 0 && kDebugLevel(1) == 0) {
        exitMinusOne();
    }
    // The abort must end the process here rather than come back through the
    // crash handler.
    std::signal(SIGABRT, SIG_DFL);
    std::abort();
}

void onFatalSignal(int signalNumber) {
    const CrashSnapshot snapshot = takeSnapshot();
    ::alarm(kReportTimeLimitSeconds);
    reportAndEnd(0, snapshot, signalNumber);
}

}  // namespace

void kShowCrashContext(int code) {
    reportAndEnd(code, takeSnapshot(), 0);
}

void kInstallCrashHandler() {
    struct sigaction action {};
    action.sa_handler = onFatalSignal;
    sigemptyset(&action.sa_mask);
    // A second fault while reporting takes the default action at once.
    action.sa_flags = SA_RESETHAND | SA_NODEFER;
    for (int signalNumber : kFatalSignals) {
        ::sigaction(signalNumber, &action, nullptr);
    }
}

void kRequireInit(QStringView function) {
    if (!kIsInitialised()) {
        kErrorLog(u"TORVO: %s() called before kInit()!", function);
        kShowCrashContext(CRASHCODE_TORVOUSAGE);
    }
    if (kDebugLevel(0) > 2) {
        kDebugLog(u"%s(): just made sure kInit() was called (OK)", function);
    }
}
