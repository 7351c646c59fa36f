#pragma once

// A wire that parses a grid reply on the thread that reads it (an action
// worker's synchronous load) into the grid pipe's event stream, for the UI
// thread to replay into the data grid: every element, the common ones
// included, travels through the pipe, and none is acted on here.

#include "net/grideventwriter.h"
#include "net/mywire.h"

class CGridStreamWire : public CMyWire {
public:
    // Opens the pipe of this reply; false when it cannot be made.
    bool Open();
    CNamedPipe TakeClientEnd() { return m_writer.TakeClientEnd(); }
    // Sends what is left and ends the stream, with the parse's failure
    // when it rejected the reply.
    void CloseStream();

    int XMLHandleStartTag(const QString& name, const KPROPS& attributes, const QString& parent,
                          const XmlElementStack& stack) override;
    int XMLHandleEndTag(const QString& name, const QString& text, const KPROPS& attributes,
                        const QString& parent, const XmlElementStack& stack) override;

private:
    void takeAttributes(const KPROPS& attributes);

    CGridEventWriter m_writer;
    CGridAttributeBlock m_attributes;
};
