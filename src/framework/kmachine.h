#pragma once

// Questions about files, the machine and the user, and the shell call.

#include "framework/kformat.h"

#include <QString>

// 1 when the path exists and is a directory.
int kIsDirectory(const QString& path);
// 1 when the path exists and is not a directory; with mustBeNonEmpty it must
// also hold at least one byte.
int kFileExists(const QString& path, bool mustBeNonEmpty = false);

// The computer name, read once and then kept.
QString khostname();
// The user's login name, read on every call; "ERROR" when it cannot be read.
QString kwhoami();
// The current directory, read once and then kept; "ERROR" when it cannot be read.
QString kpwd();

namespace kdetail {
int runShellCommand(QStringView format, std::span<const KFormatArg> args);
}

// Formats a command line and runs it through the shell; 1 when it exits with
// status 0. Every text argument is quoted for the shell, so data can never
// become a command: formats must not add quotes of their own around "%s".
template <typename... Args>
int ksystem(QStringView format, const Args&... args) {
    const std::array<KFormatArg, sizeof...(Args)> list{KFormatArg(args)...};
    return kdetail::runShellCommand(format, list);
}
