#pragma once

// A diagnostic parser that shows every tag of a reply in a box.

#include "net/expatmywire.h"

#include <memory>

class CTreeParser : public CExpatMyWire {
public:
    static std::unique_ptr<CExpatMyWire> Make() { return std::make_unique<CTreeParser>(); }

    int XMLHandleStartTag(const QString& name, const KPROPS& attributes, const QString& parent,
                          const XmlElementStack& stack) override;
    int XMLHandleEndTag(const QString& name, const QString& text, const KPROPS& attributes,
                        const QString& parent, const XmlElementStack& stack) override;
};
