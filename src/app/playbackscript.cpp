#include "app/playbackscript.h"

#include "app/clientapplauncher.h"
#include "app/history.h"
#include "framework/klog.h"
#include "framework/ktime.h"

#include <QRegularExpression>

namespace {

constexpr const char16_t* kTemplate[] = {
    u"#! /bin/sh",
    u"# Playback script for ZRM wire protocol.",
    u"ME=`basename \"$0\"`",
    u"iQuiet=0",
    u"iRun=0",
    u"iSleepOverride=-1",
    u"",
    u"while [ $# -gt 0 ]; do",
    u"    case \"$1\" in",
    u"    -quiet|-q*) iQuiet=1 ;;",
    u"    -nosleep) iSleepOverride=0 ;;",
    u"    -sleep)",
    u"        shift",
    u"        case \"$1\" in",
    u"        \"\"|-*) echo \"${ME}: missing argument after -sleep\" >&2; exit 1 ;;",
    u"        esac",
    u"        iSleepOverride=$1 ;;",
    u"    -run) iRun=1 ;;",
    u"    esac",
    u"    shift",
    u"done",
    u"",
    u"if [ $iRun -eq 0 ]; then",
    u"    echo \"usage: ${ME} -run [-quiet] [-nosleep] [-sleep <seconds>]\"",
    u"    sed -e 's/^ *|//' <<'EOF'",
    u"    |",
    u"    |  playback script for ZRM wire protocol",
    u"    |",
    u"    |  -run           play the recorded requests (nothing runs without it)",
    u"    |  -quiet         print nothing but errors",
    u"    |  -nosleep       do not pause between requests",
    u"    |  -sleep <secs>  pause this many seconds before every request",
    u"    |",
    u"    |  The browser is $LYNX, or lynx from the search path.",
    u"    |",
    u"    |  recorded by ZRM version: {{V=BUILDINFO}}",
    u"    |  recorded on: {{V=HOSTNAME}} at {{V=RECORDED}}",
    u"    |  total seconds: {{V=DURATION}}",
    u"EOF",
    u"    exit 1",
    u"fi",
    u"",
    u"RunOne()",
    u"{",
    u"    iSleep=$1",
    u"    shift",
    u"    if [ \"$iSleepOverride\" -ge 0 ]; then",
    u"        iSleep=$iSleepOverride",
    u"    fi",
    u"    if [ \"$iSleep\" -gt 0 ]; then",
    u"        [ $iQuiet -eq 0 ] && echo \"Sleeping $iSleep seconds ...\"",
    u"        sleep \"$iSleep\"",
    u"    fi",
    u"    for sUrl in \"$@\"; do :; done",
    u"    [ $iQuiet -eq 0 ] && echo \"$sUrl\"",
    u"    iLines=`\"$LYNX\" -mime_header \"$@\" | wc -l`",
    u"    [ $iQuiet -eq 0 ] && printf ':: %d lines were returned\\n\\n' \"$iLines\"",
    u"    return 0",
    u"}",
    u"",
    u"Verbosity()",
    u"{",
    u"    [ $iQuiet -eq 0 ] && echo \"-- $*\"",
    u"    return 0",
    u"}",
    u"",
    u"FindLynx()",
    u"{",
    u"    if [ -n \"$LYNX\" ] && [ -f \"$LYNX\" ]; then",
    u"        return 0",
    u"    fi",
    u"    LYNX=`command -v lynx`",
    u"    if [ -z \"$LYNX\" ]; then",
    u"        echo \"${ME}: lynx was not found; set LYNX to its path\" >&2",
    u"        exit 1",
    u"    fi",
    u"}",
    u"",
    u"FindLynx",
    u"Verbosity \"browser: $LYNX\"",
    u"",
};

// A placeholder's value stays on its line of the usage text.
QString oneLine(QString text) {
    text.replace(u'\n', u' ');
    text.replace(u'\r', u' ');
    return text;
}

}  // namespace

QString CPlaybackScript::ShellWord(const QString& text) {
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_@%+=:,./-]+$"));
    return plain.match(text).hasMatch() ? text : CClientAppLauncher::ShellQuoted(text);
}

QString CPlaybackScript::Build(const KPROPS& trail, const CPlaybackFacts& facts) {
    const int count = trail.Count();
    const int duration = count > 0 ? CHistory::TrailSeconds(trail.GetNameAt(count - 1)) : 0;
    QString script;
    for (const char16_t* line : kTemplate) {
        QString text = QString::fromUtf16(line);
        text.replace(QStringLiteral("{{V=BUILDINFO}}"), oneLine(facts.buildInfo));
        text.replace(QStringLiteral("{{V=HOSTNAME}}"), oneLine(facts.hostName));
        text.replace(QStringLiteral("{{V=RECORDED}}"), oneLine(facts.recorded));
        text.replace(QStringLiteral("{{V=DURATION}}"), kFormatDuration(duration));
        script += text + u'\n';
    }
    for (int i = 0; i < count; ++i) {
        script += kFormat(u"RunOne %3d ", CHistory::TrailSeconds(trail.GetNameAt(i)));
        const QString user = trail.GetExtra1At(i);
        if (!user.isEmpty()) {
            script += ShellWord(kFormat(u"-auth=%s:%s", user, trail.GetExtra2At(i))) + u' ';
        }
        script += CClientAppLauncher::ShellQuoted(trail.GetValueAt(i)) + u'\n';
    }
    return script;
}
