#pragma once

// The extra grid filters a server offers in the "additional_filter" section
// of its login reply: element types, states and protocols, each a list of
// (id, value) items in document order. The server connection loads it at
// login and clears it at logout; the grids read the lists.

#include "net/expatmywire.h"

#include <QString>

#include <vector>

struct CFilterOptionItem {
    QString id;
    QString value;
    bool operator==(const CFilterOptionItem&) const = default;
};

class CMyAdditionalFilterOptions : public CExpatMyWire {
public:
    // Every server entry has one; most never load theirs.
    CMyAdditionalFilterOptions() : CExpatMyWire(ParserTiming::OnFirstChunk) {}
    ~CMyAdditionalFilterOptions() override;

    // Parses a section wrapped in an "additional_filter" element; the items
    // are appended to what an earlier load left.
    bool Load(const QString& text) { return ParseXML(text); }
    // Empties the three lists and resets the loaded flag.
    void Clear();

    const std::vector<CFilterOptionItem>& ElementTypes() const { return m_elementTypes; }
    const std::vector<CFilterOptionItem>& States() const { return m_states; }
    const std::vector<CFilterOptionItem>& Protocols() const { return m_protocols; }

    bool IsLoaded() const { return m_loaded; }
    void SetLoaded(bool loaded) { m_loaded = loaded; }

    // An "element_type", "nms_state" or "protocol" element anywhere adds an
    // item to its list; every other element, the common ones too, is ignored.
    int XMLHandleStartTag(const QString& name, const KPROPS& attributes, const QString& parent,
                          const XmlElementStack& stack) override;
    int XMLHandleEndTag(const QString& name, const QString& text, const KPROPS& attributes,
                        const QString& parent, const XmlElementStack& stack) override;

private:
    std::vector<CFilterOptionItem>* listOf(const QString& name);

    std::vector<CFilterOptionItem> m_elementTypes;
    std::vector<CFilterOptionItem> m_states;
    std::vector<CFilterOptionItem> m_protocols;
    bool m_loaded = false;
};
