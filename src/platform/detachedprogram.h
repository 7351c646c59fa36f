#pragma once

// Starts a program that lives on without us: the desktop's cache tools, a
// second instance of this program, the program an action names. It runs in
// a session of its own, so a closed terminal or Ctrl+C aimed at us leaves it
// alone, and it is not our child, so its end leaves no zombie behind.
//
// This process never forks for it: a fork while other threads run copies
// their locks in whatever state they hold them, and only the forking thread
// lives on in the child. glibc's posix_spawn starts util-linux's setsid,
// which forks the program into its new session and ends at once.

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// `program` is a path or a name looked up in PATH; its arguments reach it
// as they are, through no shell. False when it is no executable file or
// could not be started.
bool StartDetachedProgram(
    const QString& program, const QStringList& arguments,
    const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());
