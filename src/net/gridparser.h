#pragma once

// Turns a grid reply into the event stream of the grid pipe on the download
// thread. It acts on no common reply element itself: messages, actions,
// progress commands and the root's process id travel through the pipe with
// every other element, and the data grid deals with them.
//
// A reply fed with ParseChunk goes through streaming handlers of its own that
// write each element straight from expat's buffers into the pipe: a grid
// reply has millions of attributes, and making texts and attribute lists of
// each would cost several times the parse. They deliver what the element
// handlers below deliver for the same document (names and attribute names in
// lower case, parents as written, text trimmed, an end tag carrying the
// attributes of the latest start tag); ParseXML goes through those handlers.

#include "net/expatmywire.h"
#include "net/grideventwriter.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

class CGridParser : public CExpatMyWire {
public:
    CGridParser();

    static std::unique_ptr<CExpatMyWire> Make() { return std::make_unique<CGridParser>(); }

    int XMLHandleStartTag(const QString& name, const KPROPS& attributes, const QString& parent,
                          const XmlElementStack& stack) override;
    int XMLHandleEndTag(const QString& name, const QString& text, const KPROPS& attributes,
                        const QString& parent, const XmlElementStack& stack) override;

    CGridEventWriter& GridWriter() { return m_gridWriter; }

    // A download reads the reply straight into expat's own buffer, which
    // spares copying every chunk once more. Room for up to `capacity` bytes
    // of the reply; null when the parser takes no more.
    char* ChunkBuffer(int capacity);
    // Parses the first `length` bytes put into the ChunkBuffer, as
    // ParseChunk parses a chunk.
    bool ParseBufferedChunk(int length, bool final);

private:
    static void XMLCALL streamStart(void* parser, const XML_Char* name,
                                    const XML_Char** attributes);
    static void XMLCALL streamEnd(void* parser, const XML_Char* name);
    static void XMLCALL streamText(void* parser, const XML_Char* text, int length);
    // Stops the parse once the cancel flag is up, and notes whether events
    // are logged.
    void lookAtFlags();
    void writeStart(QStringView name, QStringView parent, const XML_Char** attributes);
    QStringView parentName() const;

    CGridEventWriter m_gridWriter;
    CGridAttributeBlock m_attributes;  // of the latest start tag
    // The open elements' names as written, one after the other, with the
    // position and length of each. Plain strings keep their room when they
    // shrink, so a reply allocates nothing per element.
    std::u16string m_openNames;
    std::vector<std::pair<size_t, size_t>> m_openElements;
    std::u16string m_text;  // of the innermost element, leading white space skipped
    int m_textState = 0;    // 'S' after a start tag, 'M' after text, 'E' after an end tag
    QString m_loweredName;
    unsigned m_eventsUntilLook = 0;
    bool m_logsEvents = false;
    bool m_cancelled = false;
};
