#include "framework/kpath.h"

QString TempFolder() {
    const QString folder = qEnvironmentVariable("TMPDIR");
    return folder.isEmpty() ? QStringLiteral("/tmp") : folder;
}

QString PathJoin(QStringView folder, QStringView name) {
    while (folder.size() > 1 && folder.endsWith(u'/')) {
        folder.chop(1);
    }
    while (name.startsWith(u'/')) {
        name = name.sliced(1);
    }
    if (folder.isEmpty()) {
        return name.toString();
    }
    if (name.isEmpty()) {
        return folder.toString();
    }
    return folder == u"/" ? u'/' + name.toString() : folder.toString() + u'/' + name.toString();
}
