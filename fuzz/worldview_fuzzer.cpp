// A World View file: loaded as the program loads one named on its command
// line, then saved back.

#include "settings/preferences.h"
#include "support/fuzzsupport.h"
#include "tree/mytree.h"
#include "tree/worldviewfile.h"

#include <QDir>
#include <QFileInfo>
#include <QTreeWidget>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path = WriteFuzzFile(QStringLiteral("input.zwv"), data, size);
    QDir().mkpath(QFileInfo(CPreferences::GetDefaultWorldViewPath()).path());
    CPreferences prefs;
    QTreeWidget control;
    CMyTree tree;
    tree.AttachTreeCtrl(&control);
    CWorldViewFile file(prefs, tree);
    if (file.LoadWorldView(path) == 0) {
        return 0;
    }
    file.SaveWorldView(false);
    return 0;
}
