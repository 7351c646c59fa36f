// The preferences ini file: what loads must store and load back whole.

#include "fuzzsupport.h"
#include "settings/preferences.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const FuzzScratchFolder folder;
    CPreferences loaded;
    loaded.FileLoad(folder.Write(QStringLiteral("Quillex.ini"), data, size));
    const QString stored = folder.Path(QStringLiteral("stored.ini"));
    FuzzCheck(loaded.FileStore(stored) == 1, "the preferences are stored");
    CPreferences reloaded;
    FuzzCheck(reloaded.FileLoad(stored) == 1, "stored preferences read back without fault");
    FuzzCheck(reloaded.Settings().Count() == loaded.Settings().Count(),
              "every stored entry reads back");
    return 0;
}
