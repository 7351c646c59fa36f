// The context-menu XML of a login reply, read into a server's menu set.

#include "support/fuzzsupport.h"
#include "tree/contextmenu.h"
#include "ui/menucommandids.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CMenuCommandIds commandIds;
    CContextMenuSet set;
    set.SetCommandIds({&commandIds, 1});
    set.Load(FuzzText(data, size), QStringLiteral("fuzz"));
    return 0;
}
