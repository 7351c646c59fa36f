#include "net/expatmywire.h"
#include "net/xmltext.h"
#include "support/recordingwireservices.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

// Records what reaches the handlers and keeps the common-element defaults.
class RecordingReader : public CExpatMyWire {
public:
    struct End {
        QString name;
        QString text;
        QString parent;
        bool operator==(const End&) const = default;
    };

    int XMLHandleStartTag(const QString& name, const KPROPS& attributes, const QString& parent,
                          const XmlElementStack& stack) override {
        starts.push_back(name);
        lastAttributes.clear();
        for (int i = 0; i < attributes.Count(); ++i) {
            lastAttributes.push_back(attributes.GetNameAt(i) + u'=' + attributes.GetValueAt(i));
        }
        return CExpatMyWire::XMLHandleStartTag(name, attributes, parent, stack);
    }
    int XMLHandleEndTag(const QString& name, const QString& text, const KPROPS& attributes,
                        const QString& parent, const XmlElementStack& stack) override {
        ends.push_back({name, text, parent});
        return CExpatMyWire::XMLHandleEndTag(name, text, attributes, parent, stack);
    }

    std::vector<QString> starts;
    std::vector<End> ends;
    std::vector<QString> lastAttributes;
};

void PrintTo(const RecordingReader::End& end, std::ostream* out) {
    *out << end.name.toStdString() << "[" << end.text.toStdString() << "] in "
         << end.parent.toStdString();
}

class ExpatMyWireTest : public ::testing::Test {
protected:
    RecordingWireServices services;
    RecordingReader reader;
};

TEST_F(ExpatMyWireTest, TextAfterAChildElementIsLostAndLeadingBlanksNeverArrive) {
    ASSERT_TRUE(reader.ParseXML(u"<a>x<b>  y </b>z</a>"_qs));
    EXPECT_THAT(reader.ends, ElementsAre(RecordingReader::End{u"b"_qs, u"y"_qs, u"a"_qs},
                                         RecordingReader::End{u"a"_qs, {}, {}}));
}

TEST_F(ExpatMyWireTest, NamesAndAttributeNamesAreLoweredAndALaterCaseVariantWins) {
    ASSERT_TRUE(reader.ParseXML(u"<Root><Item Name=\"one\" NAME=\"two\" Kind=\"K\"/></Root>"_qs));
    EXPECT_THAT(reader.starts, ElementsAre(u"root"_qs, u"item"_qs));
    EXPECT_THAT(reader.lastAttributes, ElementsAre(u"name=two"_qs, u"kind=K"_qs));
    EXPECT_EQ(reader.ends.back().parent, QString());
    EXPECT_EQ(reader.ends.front().parent, u"Root"_qs);  // the parent as written
}

TEST_F(ExpatMyWireTest, MessageTypePicksTheBox) {
    struct Case {
        const char16_t* xml;
        QString text;
        int type;
    };
    const Case cases[] = {
        {u"<MESSAGE TYPE=\"Error\">  disk full  </MESSAGE>", u"disk full"_qs, kPopupError},
        {u"<message type=\"warning\">low</message>", u"low"_qs, kPopupWarning},
        {u"<message type=\"yesno\">go?</message>", u"go?"_qs, kPopupYesNo},
        {u"<message type=\"okcancel\">ok?</message>", u"ok?"_qs, kPopupOkCancel},
        {u"<message>plain</message>", u"plain"_qs, kPopupInformation},
        {u"<message type=\"shout\">odd</message>", u"odd"_qs, kPopupInformation},
    };
    for (const Case& c : cases) {
        RecordingWireServices local;
        CExpatMyWire wire;
        ASSERT_TRUE(wire.ParseXML(QString::fromUtf16(c.xml))) << c.text.toStdString();
        ASSERT_EQ(local.popups().size(), 1U) << c.text.toStdString();
        EXPECT_EQ(local.popups()[0].text, c.text);
        EXPECT_EQ(local.popups()[0].type, c.type) << c.text.toStdString();
    }
}

TEST_F(ExpatMyWireTest, CommonElementsReachTheirServices) {
    ASSERT_TRUE(reader.ParseXML(
        u"<reply><curl> refresh=1 </curl><pbar-start title=\"t\"/><pbar-done>end</pbar-done>"
        "<tree pid=\"42\"><item/></tree><grid pid=\"0\"/></reply>"_qs));
    EXPECT_THAT(services.curls(), ElementsAre(u"refresh=1"_qs));
    const auto pbars = services.pbars();
    ASSERT_EQ(pbars.size(), 4U);
    EXPECT_EQ(pbars[0].name, u"pbar-start"_qs);
    EXPECT_TRUE(pbars[1].endTag);
    EXPECT_EQ(pbars[3].text, u"end"_qs);
    const auto pids = services.pids();
    ASSERT_EQ(pids.size(), 2U);  // the grid's pid 0 registers nothing
    EXPECT_TRUE(pids[0].added);
    EXPECT_EQ(pids[0].pid, 42U);
    EXPECT_EQ(pids[0].owner, static_cast<CWireXmlReader*>(&reader));
    EXPECT_FALSE(pids[1].added);
    EXPECT_EQ(pids[1].pid, 42U);
    EXPECT_EQ(reader.GetPid(), 0U);
}

TEST_F(ExpatMyWireTest, OnlyTheSoapBodyIsParsed) {
    ASSERT_TRUE(reader.ParseXML(
        u"<?xml version=\"1.0\"?><SOAP:Envelope><SOAP:Header/><SOAP:Body><data>v</data>"
        "</SOAP:Body></SOAP:Envelope>"_qs));
    EXPECT_THAT(reader.starts, ElementsAre(u"data"_qs));
}

TEST_F(ExpatMyWireTest, TheDeclarationIsStrippedAndItsEncodingDoesNotGarbleText) {
    ASSERT_TRUE(reader.ParseXML(
        u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<a>\u00e9\u20ac\u4e2d</a>"_qs));
    EXPECT_EQ(reader.ends.at(0).text, u"\u00e9\u20ac\u4e2d"_qs);
}

TEST_F(ExpatMyWireTest, RejectedDocumentsFailWithExpatsMessageAndLine) {
    struct Case {
        QString xml;
        const char* message;
    };
    const Case cases[] = {
        {u"<a>\n<b></a>"_qs, "mismatched tag at line 2"},
        {u"<reply><item>"_qs, "no element found"},
        {u"<a/><b/>"_qs, "junk after document element"},
        {u"<a><?xml version=\"1.0\"?></a>"_qs, "XML or text declaration not at start of entity"},
    };
    for (const Case& c : cases) {
        RecordingReader wire;
        EXPECT_FALSE(wire.ParseXML(c.xml)) << c.xml.toStdString();
        EXPECT_THAT(wire.GetParseError().toStdString(), HasSubstr(c.message));
    }
}

// Readers build trees from what they read; a document nested deeper than
// any of ours is refused at once instead of being built.
TEST_F(ExpatMyWireTest, ElementsNestedTooDeepAreRefusedAtOnce) {
    const auto nested = [](std::size_t depth) {
        return u"<a>"_qs.repeated(static_cast<qsizetype>(depth)) +
               u"</a>"_qs.repeated(static_cast<qsizetype>(depth));
    };
    RecordingReader deepest;
    EXPECT_TRUE(deepest.ParseXML(nested(CWireXmlReader::kMaxElementDepth)));
    for (const std::size_t depth : {CWireXmlReader::kMaxElementDepth + 1, std::size_t{100000}}) {
        RecordingReader wire;
        EXPECT_FALSE(wire.ParseXML(nested(depth))) << depth;
        EXPECT_EQ(wire.starts.size(), CWireXmlReader::kMaxElementDepth) << depth;
        EXPECT_THAT(wire.GetParseError().toStdString(), HasSubstr("nested more than 256 deep"));
    }
}

TEST_F(ExpatMyWireTest, AnEndHandlerOfAMismatchedTagNeverRuns) {
    EXPECT_FALSE(reader.ParseXML(u"<a><message>hi</messages></a>"_qs));
    EXPECT_THAT(reader.ends, IsEmpty());
    EXPECT_THAT(services.popups(), IsEmpty());
}

TEST_F(ExpatMyWireTest, TheOwnersErrorTextFailsTheParseWithABox) {
    reader.SetErrorText(u"bad column"_qs);
    EXPECT_FALSE(reader.ParseXML(u"<a/>"_qs));
    ASSERT_EQ(services.popups().size(), 1U);
    EXPECT_EQ(services.popups()[0].text, u"XML Error: bad column"_qs);
    EXPECT_EQ(services.popups()[0].type, kPopupError);
}

TEST_F(ExpatMyWireTest, ACancelFlagSetBeforehandParsesNothing) {
    services.cancelFlag = 1;
    EXPECT_FALSE(reader.ParseXML(u"<message>never</message>"_qs));
    EXPECT_THAT(reader.starts, IsEmpty());
    EXPECT_THAT(services.popups(), IsEmpty());
}

TEST_F(ExpatMyWireTest, AnErrorBoxThatRaisesTheCancelFlagStopsTheRest) {
    services.onPopup = [this](const RecordingWireServices::Popup&) { ++services.cancelFlag; };
    EXPECT_FALSE(reader.ParseXML(
        u"<r><message type=\"error\">first</message><message>second</message></r>"_qs));
    ASSERT_EQ(services.popups().size(), 1U);
    EXPECT_EQ(services.popups()[0].text, u"first"_qs);
    EXPECT_THAT(reader.starts, ElementsAre(u"r"_qs, u"message"_qs));
    EXPECT_TRUE(reader.GetParseError().isEmpty());  // a stop on purpose is no rejection
}

TEST_F(ExpatMyWireTest, ChunksSplitInsideACharacterStillParse) {
    const QByteArray reply = QStringLiteral("<a>caf\u00e9 \u20ac</a>").toUtf8();
    for (qsizetype cut = 1; cut < reply.size(); ++cut) {
        RecordingReader wire;
        ASSERT_TRUE(wire.ParseChunk(reply.constData(), static_cast<int>(cut), false));
        ASSERT_TRUE(
            wire.ParseChunk(reply.constData() + cut, static_cast<int>(reply.size() - cut), false));
        ASSERT_TRUE(wire.ParseChunk("", 0, true)) << cut;
        EXPECT_EQ(wire.ends.at(0).text, QStringLiteral("caf\u00e9 \u20ac")) << cut;
    }
}

TEST_F(ExpatMyWireTest, ATruncatedStreamFailsAtTheFinalChunk) {
    ASSERT_TRUE(reader.ParseChunk("<grid><row>1</row>", -1, false));
    EXPECT_FALSE(reader.ParseChunk("", 0, true));
    EXPECT_THAT(reader.GetParseError().toStdString(), HasSubstr("no element found"));
}

TEST_F(ExpatMyWireTest, ParseXmlHoldsTheBusyIndicatorOnlyWhileParsing) {
    services.onPopup = [this](const RecordingWireServices::Popup&) {
        EXPECT_EQ(services.busyDepth.load(), 1);
    };
    ASSERT_TRUE(reader.ParseXML(u"<message>x</message>"_qs));
    EXPECT_EQ(services.busyDepth.load(), 0);
}

TEST(XmlSimpleValueTest, FindsWholeElementsOnly) {
    struct Case {
        QString text;
        QString tag;
        bool whole;
        QString expected;
    };
    const Case cases[] = {
        {u"<r><x a=\"1\">v</x></r>"_qs, u"x"_qs, false, u"v"_qs},
        {u"<r><x a=\"1\">v</x></r>"_qs, u"x"_qs, true, u"<x a=\"1\">v</x>"_qs},
        {u"<messages>m</messages><message>n</message>"_qs, u"message"_qs, false, u"n"_qs},
        {u"<messages>m</messages>"_qs, u"message"_qs, false, {}},
        {u"</x><x>v"_qs, u"x"_qs, false, {}},
        {u"<x>v"_qs, u"x"_qs, true, {}},
        {u"<x\n>line</x>"_qs, u"x"_qs, false, u"line"_qs},
        {u"<SOAP:Body><a/></SOAP:Body>"_qs, u"SOAP:Body"_qs, false, u"<a/>"_qs},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(XmlSimpleValue(c.text, c.tag, c.whole), c.expected) << c.text.toStdString();
    }
}

TEST(XmlEscapeTest, EscapesEachMarkupCharacterOnce) {
    EXPECT_EQ(XmlEscape(u"a&b<c>\"d'&amp;"_qs), u"a&amp;b&lt;c&gt;&quot;d&apos;&amp;amp;"_qs);
}

TEST(XmlPrepareDocumentTest, StripsTheDeclarationOnlyAtTheStart) {
    EXPECT_EQ(XmlPrepareDocument(u"  <?xml version=\"1.0\"?><a/>"_qs), u"<a/>"_qs);
    EXPECT_EQ(XmlPrepareDocument(u"<a>?></a><?xml version=\"1.0\"?>"_qs),
              u"<a>?></a><?xml version=\"1.0\"?>"_qs);
}

}  // namespace
