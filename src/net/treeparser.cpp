#include "net/treeparser.h"

#include "framework/kformat.h"

int CTreeParser::XMLHandleStartTag(const QString& name, const KPROPS&, const QString&,
                                   const XmlElementStack&) {
    WireServices().PopupMessage(kFormat(u"CTreeParser::XMLHandleStartTag tag=%s", name),
                                kPopupInformation);
    return 1;
}

int CTreeParser::XMLHandleEndTag(const QString& name, const QString& text, const KPROPS&,
                                 const QString&, const XmlElementStack&) {
    WireServices().PopupMessage(
        kFormat(u"CTreeParser::XMLHandleEndTag tag=%s value=%s", name, text), kPopupInformation);
    return 1;
}
