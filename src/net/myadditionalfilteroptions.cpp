#include "net/myadditionalfilteroptions.h"

#include "framework/kprops.h"

CMyAdditionalFilterOptions::~CMyAdditionalFilterOptions() {
    Clear();
}

void CMyAdditionalFilterOptions::Clear() {
    m_elementTypes.clear();
    m_states.clear();
    m_protocols.clear();
    m_loaded = false;
}

std::vector<CFilterOptionItem>* CMyAdditionalFilterOptions::listOf(const QString& name) {
    if (name == u"element_type") {
        return &m_elementTypes;
    }
    if (name == u"nms_state") {
        return &m_states;
    }
    if (name == u"protocol") {
        return &m_protocols;
    }
    return nullptr;
}

int CMyAdditionalFilterOptions::XMLHandleStartTag(const QString& name, const KPROPS& attributes,
                                                  const QString&, const XmlElementStack&) {
    std::vector<CFilterOptionItem>* list = listOf(name);
    if (list == nullptr) {
        return 0;
    }
    list->push_back(
        {attributes.GetValue(QStringLiteral("id")), attributes.GetValue(QStringLiteral("value"))});
    return 1;
}

int CMyAdditionalFilterOptions::XMLHandleEndTag(const QString&, const QString&, const KPROPS&,
                                                const QString&, const XmlElementStack&) {
    return 0;
}
