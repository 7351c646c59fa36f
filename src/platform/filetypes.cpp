#include "platform/filetypes.h"

#include "framework/kfile.h"
#include "framework/kformat.h"
#include "framework/klog.h"
#include "platform/detachedprogram.h"
#include "platform/paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <utility>

namespace {

constexpr QStringView kEntryName = u"zorvic-quillex";

// Starts a cache refresh without waiting for it: the caches only matter for
// the next file manager that looks, and start-up must not wait on them.
void refreshWith(const QString& tool, const QString& folder) {
    const QString program = QStandardPaths::findExecutable(tool);
    if (program.isEmpty()) {
        kDebugLog(u"CDesktopFileTypes: %s not installed, cache not refreshed\n", tool);
        return;
    }
    if (!StartDetachedProgram(program, {folder})) {
        kWarningLog(u"CDesktopFileTypes: could not start %s", program);
    }
}

}  // namespace

QString XdgDataHome() {
    const QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (!dataHome.isEmpty()) {
        return dataHome;
    }
    return PathJoin(QDir::homePath(), u".local/share");
}

QString DesktopExecArgument(const QString& argument) {
    QString quoted;
    quoted.reserve(argument.size() + 8);
    for (const QChar character : argument) {
        switch (character.unicode()) {
            case u'"':
            case u'`':
            case u'$':
                quoted += u'\\';
                quoted += character;
                break;
            case u'\\':
                // Escaped once for the quoting and once more for the entry's string.
                quoted += QStringLiteral("\\\\\\\\");
                break;
            case u'%':
                quoted += QStringLiteral("%%");
                break;
            default:
                quoted += character;
                break;
        }
    }
    return u'"' + quoted + u'"';
}

CDesktopFileTypes::CDesktopFileTypes(QString programPath) : m_programPath(std::move(programPath)) {}

QString CDesktopFileTypes::DesktopEntryPath() const {
    return PathJoin(XdgDataHome(), kFormat(u"applications/%s.desktop", kEntryName));
}

QString CDesktopFileTypes::MimePackagePath() const {
    return PathJoin(XdgDataHome(), kFormat(u"mime/packages/%s.xml", kEntryName));
}

QString CDesktopFileTypes::DesktopEntryText() const {
    return kFormat(
        u"[Desktop Entry]\n"
        u"Type=Application\n"
        u"Name=Quillet for Velnix\n"
        u"Comment=Console for Velnix performance-management servers\n"
        u"Exec=%s %%f\n"
        u"Icon=network-server\n"
        u"Terminal=false\n"
        u"Categories=Network;Monitor;\n"
        u"MimeType=application/x-zorvic-curl;application/x-zorvic-zwv;\n",
        DesktopExecArgument(m_programPath));
}

QString CDesktopFileTypes::MimePackageText() {
    // The weight puts our scripts ahead of the Curl language's *.curl type.
    return QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
        "  <mime-type type=\"application/x-zorvic-curl\">\n"
        "    <comment>Quillex action script</comment>\n"
        "    <glob pattern=\"*.curl\" weight=\"60\"/>\n"
        "  </mime-type>\n"
        "  <mime-type type=\"application/x-zorvic-zwv\">\n"
        "    <comment>Zorvic World View</comment>\n"
        "    <glob pattern=\"*.zwv\"/>\n"
        "  </mime-type>\n"
        "</mime-info>\n");
}

int CDesktopFileTypes::writeIfChanged(const QString& path, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    QFile current(path);
    if (current.open(QIODevice::ReadOnly) && current.readAll() == bytes) {
        return 0;
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    QString error;
    if (!kSaveFileAtomically(path, bytes, &error)) {
        m_error = kFormat(u"cannot write '%s': %s", path, error);
        return -1;
    }
    return 1;
}

bool CDesktopFileTypes::Register() {
    m_error.clear();
    if (m_programPath.contains(u'\n') || m_programPath.contains(u'\r')) {
        m_error =
            kFormat(u"the program path '%s' cannot be named in a desktop entry", m_programPath);
        return false;
    }
    const int entry = writeIfChanged(DesktopEntryPath(), DesktopEntryText());
    const int package = writeIfChanged(MimePackagePath(), MimePackageText());
    if (package == 1) {
        refreshWith(QStringLiteral("update-mime-database"), PathJoin(XdgDataHome(), u"mime"));
    }
    if (entry == 1) {
        refreshWith(QStringLiteral("update-desktop-database"),
                    PathJoin(XdgDataHome(), u"applications"));
    }
    return entry >= 0 && package >= 0;
}
