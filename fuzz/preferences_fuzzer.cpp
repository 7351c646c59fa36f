// The preferences ini as the program reads it at start-up, stored
// credentials included, then written back as at exit.

#include "settings/preferences.h"
#include "support/fuzzsupport.h"

#include <QDir>
#include <QFileInfo>
#include <QRect>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QFileInfo ini(CPreferences::GetIniPath());
    QDir().mkpath(ini.path());
    WriteFuzzFile(QDir(FuzzFolder()).relativeFilePath(ini.filePath()), data, size);
    CPreferences prefs;
    prefs.RestorePrefs();
    QRect rect;
    prefs.RestoreMainFramePosition(rect);
    prefs.GetSavedWindowState(QStringLiteral("Main"));
    prefs.GetListViewMode();
    prefs.InitFormatLists();
    QString user;
    QString password;
    prefs.GetCredentials(CPreferences::GetDefaultWorldViewPath(), user, password);
    prefs.SavePrefs(1);
    return 0;
}
