#include "net/wirexmlreader.h"

#include "framework/kformat.h"
#include "framework/klog.h"
#include "net/xmltext.h"

#include <algorithm>

namespace {

QString fromXml(const XML_Char* text) {
    return text != nullptr ? QString::fromUtf16(reinterpret_cast<const char16_t*>(text))
                           : QString();
}

QString parentOf(const XmlElementStack& stack) {
    return stack.empty() ? QString() : stack.back();
}

bool isProgressCommand(const QString& name) {
    return name.startsWith(u"pbar-");
}

bool isServerJob(const QString& name) {
    return name == u"tree" || name == u"grid";
}

int popupTypeOfMessage(const QString& type) {
    if (type == u"warning") {
        return kPopupWarning;
    }
    if (type == u"error") {
        return kPopupError;
    }
    if (type == u"yesno") {
        return kPopupYesNo;
    }
    if (type == u"okcancel") {
        return kPopupOkCancel;
    }
    return kPopupInformation;
}

}  // namespace

CWireXmlReader::CWireXmlReader(QStringView className) : m_className(className.toString()) {}

CWireXmlReader::~CWireXmlReader() = default;

bool CWireXmlReader::cancelled() const {
    if (WireServices().CancelFlag() == 0) {
        return false;
    }
    kDebugLog(u"%s: ignoring XML data...\n", m_className);
    return true;
}

void CWireXmlReader::XMLOnParserCreated() {
    m_state = 0;
    m_stack.clear();
    m_characterData.clear();
    m_parseError.clear();
}

void CWireXmlReader::XMLOnParseError(const QString& message) {
    m_parseError = message;
    kWarningLog(u"%s: XML rejected: %s", m_className, message);
}

bool CWireXmlReader::XMLOnStartElement(const XML_Char* rawName, const XML_Char** attributes) {
    const QString name = fromXml(rawName);
    if (kDebugLevel(0) > 1) {
        kDebugLog(u"%s::XMLOnStartElement: <%s>...", m_className, name);
    }
    if (cancelled()) {
        return false;
    }
    if (name.isEmpty()) {
        return true;
    }
    if (m_stack.size() >= kMaxElementDepth) {
        XMLOnParseError(kFormat(u"elements nested more than %u deep at <%s>",
                                static_cast<unsigned>(kMaxElementDepth), name));
        return false;
    }
    const QString parent = parentOf(m_stack);
    m_stack.push_back(name);
    m_characterData.clear();
    m_attributes.Clear();
    for (const XML_Char** pair = attributes; pair != nullptr && pair[0] != nullptr; pair += 2) {
        m_attributes.Add(fromXml(pair[0]).toLower(), fromXml(pair[1]), {}, {});
    }
    XMLHandleStartTag(name.toLower(), m_attributes, parent, m_stack);
    m_state = 'S';
    return true;
}

bool CWireXmlReader::XMLOnCharacterData(const XML_Char* text, int length) {
    if (cancelled()) {
        return false;
    }
    if (m_stack.empty()) {
        kDebugLog(u"XMLOnCharacterData: ignoring floating XML data (stack is empty)...\n");
        return true;
    }
    if (m_state != 'S' && m_state != 'M') {
        return true;
    }
    QString piece = QString::fromUtf16(reinterpret_cast<const char16_t*>(text), length);
    if (m_characterData.isEmpty()) {
        const qsizetype firstVisible =
            std::find_if(piece.cbegin(), piece.cend(), [](QChar c) { return !c.isSpace(); }) -
            piece.cbegin();
        piece.remove(0, firstVisible);
    }
    m_characterData += piece;
    XMLHandleCharacterData(m_stack.back(), piece, m_attributes, m_stack);
    m_state = 'M';
    return true;
}

bool CWireXmlReader::XMLOnEndElement(const XML_Char* rawName) {
    const QString name = fromXml(rawName);
    if (kDebugLevel(0) > 1) {
        kDebugLog(u"%s::XMLOnEndElement: <%s>...", m_className, name);
    }
    if (cancelled()) {
        return false;
    }
    if (m_stack.empty()) {
        kDebugLog(u"XMLOnEndElement: ignoring floating XML end tag (stack is empty)...\n");
        return true;
    }
    const QString opened = m_stack.back();
    m_stack.pop_back();
    if (opened != name) {
        WireServices().PopupMessage(
            kFormat(u"Malformed XML: <%s> was closed with </%s>.", opened, name), kPopupError);
        return true;
    }
    XMLHandleEndTag(name.toLower(), m_characterData.trimmed(), m_attributes, parentOf(m_stack),
                    m_stack);
    m_characterData.clear();
    m_state = 'E';
    return true;
}

bool CWireXmlReader::XMLBeginParse() {
    return WireServices().CancelFlag() == 0;
}

QString CWireXmlReader::XMLPrepareDocument(const QString& text) const {
    return XmlPrepareDocument(text);
}

bool CWireXmlReader::XMLEndParse(bool parsed) {
    if (WireServices().CancelFlag() != 0) {
        return false;
    }
    if (!m_errorText.isEmpty()) {
        WireServices().PopupMessage(QStringLiteral("XML Error: ") + m_errorText, kPopupError);
        return false;
    }
    return parsed;
}

int CWireXmlReader::XMLHandleStartTag(const QString& name, const KPROPS& attributes,
                                      const QString& parent, const XmlElementStack& stack) {
    if (name == u"message" || name == u"curl") {
        return 1;  // acted on at the end tag, when the text is complete
    }
    if (isProgressCommand(name)) {
        return WireServices().HandlePbarTag(name, attributes, parent, stack);
    }
    if (isServerJob(name)) {
        bool valid = false;
        const quint32 pid = attributes.GetValue(QStringLiteral("pid")).toUInt(&valid);
        if (valid && pid != 0) {
            m_pid = pid;
            WireServices().AddServerPid(this, pid);
        }
    }
    return 0;
}

int CWireXmlReader::XMLHandleEndTag(const QString& name, const QString& text,
                                    const KPROPS& attributes, const QString& parent,
                                    const XmlElementStack& stack) {
    if (name == u"message") {
        const QString type = attributes.GetValue(QStringLiteral("type")).toLower();
        WireServices().PopupMessage(text, popupTypeOfMessage(type));
        return 1;
    }
    if (name == u"curl") {
        WireServices().DispatchCurl(text);
        return 1;
    }
    if (isProgressCommand(name)) {
        return WireServices().HandlePbarEndTag(name, text, attributes, parent, stack);
    }
    if (isServerJob(name)) {
        if (m_pid != 0) {
            WireServices().RemoveServerPid(this, m_pid);
            m_pid = 0;
        }
        return 1;
    }
    return 0;
}

int CWireXmlReader::XMLHandleCharacterData(const QString&, const QString&, const KPROPS&,
                                           const XmlElementStack&) {
    return 0;
}
