#pragma once

// A reader of XML that it is given: a whole text (ParseXML) or a reply
// streamed chunk by chunk (ParseChunk). The tree model, the context-menu and
// drop-rule parsers and the grid, tree and filter parsers derive from it and
// override the element handlers.

#include "net/expatimpl.h"
#include "net/wirexmlreader.h"

// The reader comes first among the bases: the binding's constructor already
// resets the reader's state.
class CExpatMyWire : public CWireXmlReader, public CExpatImpl<CExpatMyWire> {
public:
    explicit CExpatMyWire(ParserTiming timing = ParserTiming::AtOnce)
        : CWireXmlReader(u"CExpatMyWire"), CExpatImpl<CExpatMyWire>(timing) {}
};
