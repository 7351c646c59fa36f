#include "net/gridparser.h"

#include "framework/klog.h"
#include "framework/kprops.h"

#include <algorithm>

namespace {

QStringView viewOf(const XML_Char* text) {
    return TerminatedView(reinterpret_cast<const char16_t*>(text));
}

bool isUpperOrWide(char16_t c) {
    return c >= 0x80 || (c >= u'A' && c <= u'Z');
}

inline bool hasUpperOrWide(QStringView name) {
    for (const QChar c : name) {
        if (isUpperOrWide(c.unicode())) {
            return true;
        }
    }
    return false;
}

bool hasUpperOrWide(const XML_Char* name) {
    for (; *name != 0; ++name) {
        if (isUpperOrWide(*name)) {
            return true;
        }
    }
    return false;
}

QStringView lowerCopy(QStringView name, QString& scratch) {
    scratch = name.toString().toLower();
    return scratch;
}

// The name in lower case; a name that is lower case already, as a grid
// reply's are, is not copied.
inline QStringView lowered(QStringView name, QString& scratch) {
    return hasUpperOrWide(name) ? lowerCopy(name, scratch) : name;
}

}  // namespace

CGridParser::CGridParser() {
    if (m_parser != nullptr) {
        XML_SetUserData(m_parser, this);
        XML_SetElementHandler(m_parser, &CGridParser::streamStart, &CGridParser::streamEnd);
        XML_SetCharacterDataHandler(m_parser, &CGridParser::streamText);
    }
}

int CGridParser::XMLHandleStartTag(const QString& name, const KPROPS& attributes,
                                   const QString& parent, const XmlElementStack&) {
    m_attributes.Clear();
    for (int i = 0; i < attributes.Count(); ++i) {
        m_attributes.Add(attributes.At(i)->name, attributes.At(i)->value);
    }
    m_gridWriter.WriteStart(name, parent, m_attributes);
    return 1;
}

int CGridParser::XMLHandleEndTag(const QString& name, const QString& text, const KPROPS&,
                                 const QString& parent, const XmlElementStack&) {
    m_gridWriter.WriteEnd(name, text, parent, m_attributes);
    return 1;
}

char* CGridParser::ChunkBuffer(int capacity) {
    return m_parser != nullptr ? static_cast<char*>(XML_GetBuffer(m_parser, capacity)) : nullptr;
}

bool CGridParser::ParseBufferedChunk(int length, bool final) {
    if (m_parser != nullptr && XML_ParseBuffer(m_parser, length, final ? 1 : 0) == XML_STATUS_OK) {
        return true;
    }
    if (m_parser == nullptr || XML_GetErrorCode(m_parser) != XML_ERROR_ABORTED) {
        XMLOnParseError(m_parser != nullptr ? expatdetail::ErrorText(m_parser)
                                            : QStringLiteral("no parser"));
    }
    return false;
}

// The cancel flag and the debug level are looked at every few hundred
// events rather than at each of a reply's millions: a cancel still stops
// the parse within a fraction of a millisecond.
void CGridParser::lookAtFlags() {
    constexpr unsigned kEventsPerLook = 256;
    if (m_eventsUntilLook-- > 0) {
        return;
    }
    m_eventsUntilLook = kEventsPerLook;
    m_logsEvents = kDebugLevel(0) > 1;
    m_cancelled = cancelled();
    if (m_cancelled) {
        XML_StopParser(m_parser, XML_FALSE);
    }
}

QStringView CGridParser::parentName() const {
    if (m_openElements.empty()) {
        return {};
    }
    const auto [at, length] = m_openElements.back();
    return QStringView(m_openNames).mid(qsizetype(at), qsizetype(length));
}
// Attribute names in lower case; a name that two attributes share once
// lowered keeps its first place and takes the later value. Names in lower
// case already, as a grid reply's are, go to the writer as expat gives them.
void CGridParser::writeStart(QStringView name, QStringView parent, const XML_Char** attributes) {
    bool needsLowering = false;
    for (const XML_Char** pair = attributes; !needsLowering && pair[0] != nullptr; pair += 2) {
        needsLowering = hasUpperOrWide(pair[0]);
    }
    if (!needsLowering) {
        m_gridWriter.WriteStart(name, parent, reinterpret_cast<const char16_t* const*>(attributes));
        return;
    }
    std::vector<std::pair<QString, QStringView>> lowered;
    for (const XML_Char** pair = attributes; pair[0] != nullptr; pair += 2) {
        QString lowerName = viewOf(pair[0]).toString().toLower();
        const QStringView value = viewOf(pair[1]);
        const auto same =
            std::find_if(lowered.begin(), lowered.end(),
                         [&lowerName](const auto& entry) { return entry.first == lowerName; });
        if (same != lowered.end()) {
            same->second = value;
        } else {
            lowered.emplace_back(std::move(lowerName), value);
        }
    }
    m_attributes.Clear();
    for (const auto& [attributeName, value] : lowered) {
        m_attributes.Add(attributeName, value);
    }
    m_gridWriter.WriteStart(name, parent, m_attributes);
}

void XMLCALL CGridParser::streamStart(void* parser, const XML_Char* name,
                                      const XML_Char** attributes) {
    auto& self = *static_cast<CGridParser*>(parser);
    const QStringView written = viewOf(name);
    self.lookAtFlags();
    if (self.m_logsEvents) {
        kDebugLog(u"CExpatMyWire::XMLOnStartElement: <%s>...", written);
    }
    if (self.m_cancelled || written.isEmpty()) {
        return;
    }
    const auto [parentAt, parentLength] =
        self.m_openElements.empty() ? std::pair<size_t, size_t>{0, 0} : self.m_openElements.back();
    self.m_openElements.emplace_back(self.m_openNames.size(), size_t(written.size()));
    self.m_openNames.append(written.utf16(), size_t(written.size()));
    self.m_text.clear();
    self.writeStart(lowered(written, self.m_loweredName),
                    QStringView(self.m_openNames).mid(qsizetype(parentAt), qsizetype(parentLength)),
                    attributes);
    self.m_textState = 'S';
}

void XMLCALL CGridParser::streamText(void* parser, const XML_Char* text, int length) {
    auto& self = *static_cast<CGridParser*>(parser);
    if (self.m_cancelled) {
        return;
    }
    if (self.m_openElements.empty()) {
        kDebugLog(u"XMLOnCharacterData: ignoring floating XML data (stack is empty)...\n");
        return;
    }
    if (self.m_textState != 'S' && self.m_textState != 'M') {
        return;  // text after a child element is dropped
    }
    QStringView piece(reinterpret_cast<const char16_t*>(text), length);
    if (self.m_text.empty()) {
        while (!piece.isEmpty() && piece.front().isSpace()) {
            piece = piece.sliced(1);
        }
    }
    self.m_text.append(piece.utf16(), size_t(piece.size()));
    self.m_textState = 'M';
}

// Expat itself rejects an end tag that does not match the open element.
void XMLCALL CGridParser::streamEnd(void* parser, const XML_Char* name) {
    auto& self = *static_cast<CGridParser*>(parser);
    const QStringView written = viewOf(name);
    self.lookAtFlags();
    if (self.m_logsEvents) {
        kDebugLog(u"CExpatMyWire::XMLOnEndElement: <%s>...", written);
    }
    if (self.m_cancelled) {
        return;
    }
    if (self.m_openElements.empty()) {
        kDebugLog(u"XMLOnEndElement: ignoring floating XML end tag (stack is empty)...\n");
        return;
    }
    const size_t closedAt = self.m_openElements.back().first;
    self.m_openElements.pop_back();
    // Leading white space never reached the text.
    QStringView text(self.m_text);
    while (!text.isEmpty() && text.back().isSpace()) {
        text.chop(1);
    }
    self.m_gridWriter.WriteEnd(lowered(written, self.m_loweredName), text, self.parentName());
    self.m_openNames.resize(closedAt);
    self.m_text.clear();
    self.m_textState = 'E';
}
