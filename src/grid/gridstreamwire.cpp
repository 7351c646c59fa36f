#include "grid/gridstreamwire.h"

bool CGridStreamWire::Open() {
    return m_writer.Open() && m_writer.Connect();
}

void CGridStreamWire::CloseStream() {
    if (!GetParseError().isEmpty()) {
        m_writer.WriteFailure(GetParseError());
    }
    m_writer.Close();
}

void CGridStreamWire::takeAttributes(const KPROPS& attributes) {
    m_attributes.Clear();
    for (int i = 0; i < attributes.Count(); ++i) {
        const KPROP* entry = attributes.At(i);
        m_attributes.Add(entry->name, entry->value);
    }
}

int CGridStreamWire::XMLHandleStartTag(const QString& name, const KPROPS& attributes,
                                       const QString& parent, const XmlElementStack&) {
    takeAttributes(attributes);
    m_writer.WriteStart(name, parent, m_attributes);
    return 1;
}

int CGridStreamWire::XMLHandleEndTag(const QString& name, const QString& text,
                                     const KPROPS& attributes, const QString& parent,
                                     const XmlElementStack&) {
    takeAttributes(attributes);
    m_writer.WriteEnd(name, text, parent, m_attributes);
    return 1;
}
