// A language-pack file: it loads or is refused without fault, and lookups
// and translations work on whatever it held.

#include "fuzzsupport.h"
#include "settings/langpack.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const FuzzScratchFolder folder;
    CLangPack pack;
    pack.SetErrorBox([](const QString&) {});
    if (pack.Load(folder.Write(QStringLiteral("pack.lang"), data, size)) == 0) {
        return 0;
    }
    pack.Lookup(QStringLiteral("World View"));
    QString text = QStringLiteral("World View (2)");
    pack.TranslateText(text, 0);
    return 0;
}
