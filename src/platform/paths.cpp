#include "platform/paths.h"

#include <QDir>

QString AppDataFolder() {
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty()) {
        base = PathJoin(QDir::homePath(), u".config");
    }
    return PathJoin(base, u"Zorvic/QVX");
}

bool IsLocalPath(QStringView path) {
    if (path.startsWith(u'/')) {
        return true;
    }
    const qsizetype colon = path.indexOf(u':');
    if (colon < 2) {
        return true;
    }
    const auto isAsciiLetter = [](QChar c) {
        return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
    };
    if (!isAsciiLetter(path.front())) {
        return true;
    }
    for (const QChar c : path.first(colon)) {
        const bool schemeCharacter =
            isAsciiLetter(c) || (c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == u'.';
        if (!schemeCharacter) {
            return true;
        }
    }
    return false;
}
