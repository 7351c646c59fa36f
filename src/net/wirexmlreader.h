#pragma once

// The reader behind every XML reply: it keeps the element stack, the
// attributes of the latest start tag and the text of the innermost element,
// hands each element to three overridable handlers, and handles the common
// reply elements that any reply may carry (message boxes, actions, progress
// commands, server process ids). The expat binding (CExpatImpl) feeds it.

#include "framework/kprops.h"
#include "net/wireservices.h"

#include <expat.h>

#include <QString>

#include <cstddef>

class CWireXmlReader {
public:
    // Deeper documents are refused: what is built from them (the World View
    // above all) is walked, written and destroyed recursively, and no reply
    // or file of ours comes near this depth.
    static constexpr std::size_t kMaxElementDepth = 256;

    // `className` names the reader in its log lines.
    explicit CWireXmlReader(QStringView className);
    virtual ~CWireXmlReader();
    CWireXmlReader(const CWireXmlReader&) = delete;
    CWireXmlReader& operator=(const CWireXmlReader&) = delete;

    // Start tag: `name` lower-cased; `stack` already holds the element;
    // `parent` is the enclosing element as written, "" at the root.
    virtual int XMLHandleStartTag(const QString& name, const KPROPS& attributes,
                                  const QString& parent, const XmlElementStack& stack);
    // End tag: `text` is the element's own text, trimmed; `attributes` are
    // those of the latest start tag; `stack` no longer holds the element.
    virtual int XMLHandleEndTag(const QString& name, const QString& text, const KPROPS& attributes,
                                const QString& parent, const XmlElementStack& stack);
    // A piece of text of the innermost element (`name` as written).
    virtual int XMLHandleCharacterData(const QString& name, const QString& piece,
                                       const KPROPS& attributes, const XmlElementStack& stack);

    // The owner's error text; a non-empty one after a ParseXML makes it fail
    // with the box "XML Error: ...".
    const QString& GetErrorText() const { return m_errorText; }
    void SetErrorText(const QString& text) { m_errorText = text; }
    // Expat's message of the last rejected document, empty when none.
    const QString& GetParseError() const { return m_parseError; }
    // The server process id of the tree or grid reply being read, 0 for none.
    quint32 GetPid() const { return m_pid; }

    // The binding's callbacks. Each answers false when the parse must stop.
    bool XMLOnStartElement(const XML_Char* name, const XML_Char** attributes);
    bool XMLOnEndElement(const XML_Char* name);
    bool XMLOnCharacterData(const XML_Char* text, int length);
    void XMLOnParserCreated();
    void XMLOnParseError(const QString& message);
    // Around ParseXML: whether to start at all, and its result.
    bool XMLBeginParse();
    bool XMLEndParse(bool parsed);
    QString XMLPrepareDocument(const QString& text) const;

protected:
    bool cancelled() const;

    QString m_className;
    QString m_errorText;
    QString m_parseError;
    quint32 m_pid = 0;
    XmlElementStack m_stack;
    KPROPS m_attributes{100, 10};
    QString m_characterData;
    int m_state = 0;  // 0, then 'S' after a start tag, 'M' after text, 'E' after an end tag
};
