#pragma once

// Starts a program on the client for the "app:" action. The command line is
// split into words and started as they are (no shell parses them), with the
// action's selected and target parameters and its list's entries in the
// program's environment. Beforehand the same is written as a shell record,
// "RunMe.bat" in the settings folder (its historic name), with every value
// quoted, so that what ran can be read and run again by hand.

#include "app/actioncontext.h"

#include <QProcessEnvironment>
#include <QString>

class CClientAppLauncher {
public:
    enum class Outcome { Started, RecordNotWritten, NotStarted };

    Outcome Launch(const QString& commandLine, const CActionContext& context);
    QString RecordPath() const { return m_recordPath; }

    // The text quoted for a POSIX shell: in single quotes, a quote as '\''.
    static QString ShellQuoted(const QString& text);
    // Names a shell can export: a letter or "_", then letters, digits or "_".
    static bool IsShellName(const QString& name);

private:
    QString m_recordPath;
};
