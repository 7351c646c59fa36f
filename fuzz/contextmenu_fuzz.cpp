// The context-menu and drag-and-drop sections of a login reply.

#include "fuzzsupport.h"
#include "tree/contextmenu.h"
#include "tree/contextmenuparser.h"
#include "tree/mydropinfo.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString xml = QString::fromUtf8(FuzzBytes(data, size));
    CContextMenuSet menus;
    CContextMenuParser parser;
    parser.LoadFromXML(menus, xml, QStringLiteral("fuzz"));
    CMyDropInfoList rules;
    rules.LoadFromXML(xml);
    return 0;
}
