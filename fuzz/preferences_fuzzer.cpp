// The preferences ini as the program reads it at start-up, stored
// credentials included, then written back as at exit. A save that reports
// success must give every setting back at the next start.

#include "settings/preferences.h"
#include "support/fuzzsupport.h"

#include <QDir>
#include <QFileInfo>
#include <QRect>

#include <cstdio>
#include <cstdlib>

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
    if (prefs.SavePrefs(1) == 0) {
        return 0;
    }
    CPreferences restored;
    restored.RestorePrefs();
    const KPROPS& settings = prefs.Settings();
    for (int i = 0; i < settings.Count(); ++i) {
        if (restored.GetString(settings.GetNameAt(i)) != prefs.GetString(settings.GetNameAt(i))) {
            std::fprintf(stderr, "setting '%s' changed from '%s' to '%s'\n",
                         qPrintable(settings.GetNameAt(i)),
                         qPrintable(prefs.GetString(settings.GetNameAt(i))),
                         qPrintable(restored.GetString(settings.GetNameAt(i))));
            std::abort();
        }
    }
    return 0;
}
