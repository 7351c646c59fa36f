// A language-pack file, loaded and then used to translate texts of every
// shape the program hands it.

#include "settings/langpack.h"
#include "support/fuzzsupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path = WriteFuzzFile(QStringLiteral("input.lng"), data, size);
    CLangPack pack;
    pack.SetErrorBox([](const QString&) {});
    pack.Load(path);
    for (int i = 0; i < pack.Count() && i < 16; ++i) {
        QString text = pack.GetNameAt(i);
        pack.TranslateText(text, CLangPack::TranslateNormalise);
        text = pack.GetNameAt(i) + QStringLiteral(" (x)");
        pack.TranslateText(text, CLangPack::TranslateKeepParenSuffix);
        pack.Lookup(pack.GetValueAt(i));
    }
    QString text;
    pack.LoadResString(text, 1);
    return 0;
}
