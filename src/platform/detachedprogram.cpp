#include "platform/detachedprogram.h"

#include "platform/posixspawn.h"

#include <QFileInfo>
#include <QStandardPaths>

#include <spawn.h>
#include <sys/wait.h>
#include <cerrno>
#include <csignal>

namespace {

// The executable file `program` names, or empty.
QString executablePath(const QString& program) {
    if (!program.contains(u'/')) {
        return QStandardPaths::findExecutable(program);
    }
    const QFileInfo file(program);
    return file.isFile() && file.isExecutable() ? file.absoluteFilePath() : QString();
}

}  // namespace

bool StartDetachedProgram(const QString& program, const QStringList& arguments,
                          const QProcessEnvironment& environment) {
    const QString path = executablePath(program);
    // The system's own, whatever PATH says.
    const QString starter = QStandardPaths::findExecutable(
        QStringLiteral("setsid"), {QStringLiteral("/usr/bin"), QStringLiteral("/bin")});
    if (path.isEmpty() || starter.isEmpty()) {
        return false;
    }
    // The program gets the signals' default actions and an empty signal
    // mask, whatever this process ignores or blocks.
    CSpawnAttributes attributes;
    sigset_t none;
    sigset_t all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(attributes.get(), &none);
    posix_spawnattr_setsigdefault(attributes.get(), &all);
    posix_spawnattr_setflags(attributes.get(), POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    const CSpawnStrings argv(
        QStringList{starter, QStringLiteral("--fork"), QStringLiteral("--"), path} + arguments);
    const CSpawnStrings envp(environment.toStringList());
    pid_t starting = -1;
    if (posix_spawn(&starting, argv.get()[0], nullptr, attributes.get(), argv.get(), envp.get()) !=
        0) {
        return false;
    }
    // The starter only forks: it ends at once.
    int status = 0;
    pid_t reaped = 0;
    do {
        reaped = waitpid(starting, &status, 0);
    } while (reaped < 0 && errno == EINTR);
    return reaped == starting && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
