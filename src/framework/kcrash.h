#pragma once

// The crash report: what the program was doing when it had to stop, written to
// the log before the process ends.

#include <QStringView>

// Codes the framework passes for the fatal conditions it detects itself.
enum KCrashCode : int {
    CRASHCODE_DBINTEGRITY = -105,
    CRASHCODE_DBERROR = -104,
    CRASHCODE_CORRUPT = -103,
    CRASHCODE_TORVOUSAGE = -102,
    CRASHCODE_TODO = -101,
    CRASHCODE_MEMORY = -100,
};

// Reports the condition and ends the process: with debugging off at once with
// exit status 255, otherwise after the banner, the code's text, the guard
// checks and the crash context, by abort() so that a core dump can be left.
[[noreturn]] void kShowCrashContext(int code);

// Routes fatal signals (segmentation fault, abort, bus error, arithmetic and
// illegal-instruction faults) through the crash report.
void kInstallCrashHandler();

// Ends the process through the crash report before kInit() has been
// called; `function` names the caller in the error line.
void kRequireInit(QStringView function);
