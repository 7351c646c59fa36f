#pragma once

// The URL trail as a POSIX shell script that plays the same requests again
// with the text-mode browser lynx ($LYNX, or lynx from the search path):
// "-run" plays, "-quiet" prints less, "-nosleep" and "-sleep N" override
// the recorded pauses. Every URL, user name and password is quoted for the
// shell, so any character arrives whole.

#include "framework/kprops.h"

#include <QString>

struct CPlaybackFacts {
    QString buildInfo;
    QString hostName;
    QString recorded;
};

class CPlaybackScript {
public:
    static QString Build(const KPROPS& trail, const CPlaybackFacts& facts);
    // The text as the shell must see it to pass it whole: as it is when it
    // holds only characters the shell leaves alone, else single-quoted.
    static QString ShellWord(const QString& text);
};
