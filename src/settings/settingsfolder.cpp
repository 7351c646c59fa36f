#include "settings/settingsfolder.h"

#include "framework/klog.h"
#include "framework/kmachine.h"
#include "platform/paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

const QString kPreferencesFile = QStringLiteral("Quillex.ini");
const QString kFormerCompanyFolder = QStringLiteral("Pelwick Communications");

// The settings hold the stored credentials: only the user may look inside.
constexpr QFile::Permissions kPrivateFolder =
    QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;

QString withoutTrailingSlash(QString path) {
    while (path.size() > 1 && path.endsWith(u'/')) {
        path.chop(1);
    }
    return path;
}

bool createFolder(const QString& path) {
    if (QDir().mkdir(path, kPrivateFolder)) {
        return true;
    }
    kDebugLog(u"Could not create directory - Getlocalsettingsdir.");
    return false;
}

void copyReplacing(const QString& source, const QString& target) {
    QFile::remove(target);
    QFile::copy(source, target);
}

void fillOnFirstRun(const QString& makerFolder, const QString& settingsFolder,
                    const QString& appDataFolder) {
    const QString makerPreferences = PathJoin(makerFolder, kPreferencesFile);
    if (kFileExists(makerPreferences)) {
        // QFile::copy never overwrites: an existing copy stays untouched.
        QFile::copy(makerPreferences, PathJoin(settingsFolder, kPreferencesFile));
    }
    const QDir former(PathJoin(appDataFolder, kFormerCompanyFolder));
    if (!former.exists()) {
        return;
    }
    const QFileInfoList files = former.entryInfoList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo& file : files) {
        copyReplacing(file.filePath(), PathJoin(settingsFolder, file.fileName()));
    }
}

}  // namespace

QString Getlocalsettingsdir() {
    const QString settingsFolder = withoutTrailingSlash(AppDataFolder());
    const QString makerFolder = QFileInfo(settingsFolder).path();
    const QString appDataFolder = QFileInfo(makerFolder).path();

    if (!kIsDirectory(appDataFolder)) {
        QDir().mkpath(appDataFolder);
    }
    if (!kIsDirectory(makerFolder)) {
        createFolder(makerFolder);
    }
    if (!kIsDirectory(settingsFolder) && createFolder(settingsFolder)) {
        fillOnFirstRun(makerFolder, settingsFolder, appDataFolder);
    }
    return settingsFolder;
}

QString GetDesktopDir() {
    return withoutTrailingSlash(QStandardPaths::writableLocation(QStandardPaths::DesktopLocation));
}
