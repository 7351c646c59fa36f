// A World View file: loaded as the program loads one named on its command
// line, then saved back. What a save writes must load again and write the
// same text: anything else loses the user's World View at the next start.

#include "settings/preferences.h"
#include "support/fuzzsupport.h"
#include "support/recordingworldviewsite.h"
#include "tree/mytree.h"
#include "tree/worldviewfile.h"

#include <QDir>
#include <QFileInfo>
#include <QTreeWidget>

#include <cstdio>
#include <cstdlib>

namespace {
void RequireSameWorldViewAfterReload(const QString& written) {
    QTreeWidget control;
    CMyTree tree;
    tree.AttachTreeCtrl(&control);
    if (tree.ReplaceFromXML(written) == 0) {
        std::fprintf(stderr, "a saved World View does not load again:\n%s\n", qPrintable(written));
        std::abort();
    }
    QString again;
    tree.WriteXML(again, 0, nullptr);
    if (again != written) {
        std::fprintf(stderr, "a saved World View changes on reload:\n%s\n---\n%s\n",
                     qPrintable(written), qPrintable(again));
        std::abort();
    }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path = WriteFuzzFile(QStringLiteral("input.zwv"), data, size);
    QDir().mkpath(QFileInfo(CPreferences::GetDefaultWorldViewPath()).path());
    CPreferences prefs;
    QTreeWidget control;
    CMyTree tree;
    tree.AttachTreeCtrl(&control);
    RecordingWorldViewSite site;
    CWorldViewFile file(prefs, tree);
    file.SetSite(&site);
    if (file.LoadWorldView(path) == 0) {
        return 0;
    }
    file.SaveWorldView(false);
    if (tree.GetRootItem() != nullptr) {
        QString written;
        tree.WriteXML(written, 0, nullptr);
        RequireSameWorldViewAfterReload(written);
    }
    return 0;
}
