#include "net/gridparser.h"
#include "net/parserfactoryregistry.h"
#include "net/treeparser.h"
#include "support/recordingnetreceiver.h"
#include "support/recordingwireservices.h"

#include <QTest>

#include <thread>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Pairs = std::vector<std::pair<QString, QString>>;

TEST(ParserFactoryRegistry, CreatesIndependentParsersByNameAndNullForAnUnknownName) {
    const std::unique_ptr<CExpatMyWire> first = ParserFactoryRegistry::Create(u"Grid"_qs);
    const std::unique_ptr<CExpatMyWire> second = ParserFactoryRegistry::Create(u"Grid"_qs);
    ASSERT_NE(dynamic_cast<CGridParser*>(first.get()), nullptr);
    ASSERT_NE(dynamic_cast<CGridParser*>(second.get()), nullptr);
    EXPECT_NE(first.get(), second.get());
    EXPECT_NE(dynamic_cast<CTreeParser*>(ParserFactoryRegistry::Create(u"Tree"_qs).get()), nullptr);
    EXPECT_EQ(ParserFactoryRegistry::Create(u"grid"_qs), nullptr) << "names keep their case";
    EXPECT_EQ(ParserFactoryRegistry::Create(u"Chart"_qs), nullptr);
}

TEST(ParserFactoryRegistry, ANameAlreadyRegisteredKeepsItsFirstFactory) {
    EXPECT_EQ(ParserFactoryRegistry::Register(u"Grid"_qs, &CTreeParser::Make), 1);
    EXPECT_NE(dynamic_cast<CGridParser*>(ParserFactoryRegistry::Create(u"Grid"_qs).get()), nullptr);
}

// The events of a reply streamed in chunks of `chunkSize` bytes and
// finished, as the download thread feeds it, or of the whole text through
// ParseXML (chunk size 0). The parse runs on a thread of its own, as a
// download does, while this thread reads.
std::vector<RecordedGridEvent> gridEventsOf(const QByteArray& reply, int chunkSize) {
    CGridParser parser;
    RecordingGridSink sink;
    CGridEventReader reader(sink);
    EXPECT_TRUE(parser.GridWriter().Open());
    reader.Attach(parser.GridWriter().TakeClientEnd());
    std::thread download([&parser, &reply, chunkSize] {
        if (chunkSize == 0) {
            EXPECT_TRUE(parser.ParseXML(QString::fromUtf8(reply)));
        }
        for (qsizetype at = 0; chunkSize > 0 && at < reply.size(); at += chunkSize) {
            const QByteArray chunk = reply.mid(at, chunkSize);
            EXPECT_TRUE(parser.ParseChunk(chunk.data(), static_cast<int>(chunk.size()), false));
            EXPECT_TRUE(parser.GridWriter().Flush());
        }
        if (chunkSize > 0) {
            EXPECT_TRUE(parser.ParseChunk(nullptr, 0, true));
        }
        parser.GridWriter().Close();
    });
    EXPECT_TRUE(sink.WaitForEnd());
    reader.Close();  // a writer still waiting for room gives up
    download.join();
    return sink.events;
}

class GridParserTest : public ::testing::Test {
protected:
    RecordingWireServices services;
};

TEST_F(GridParserTest, ElementsBecomeEventsWithLowerCasedNamesAndTrimmedText) {
    const auto events = gridEventsOf(
        R"(<Grid PID="77"><Row ID="1" Kind="x"> Cell text  </Row><message>hi</message></Grid>)", 7);
    EXPECT_THAT(
        events,
        ElementsAre(
            RecordedGridEvent{0, u"grid"_qs, {}, {}, Pairs{{u"pid"_qs, u"77"_qs}}},
            RecordedGridEvent{
                0, u"row"_qs, {}, u"Grid"_qs, Pairs{{u"id"_qs, u"1"_qs}, {u"kind"_qs, u"x"_qs}}},
            RecordedGridEvent{1, u"row"_qs, u"Cell text"_qs, u"Grid"_qs,
                              Pairs{{u"id"_qs, u"1"_qs}, {u"kind"_qs, u"x"_qs}}},
            RecordedGridEvent{0, u"message"_qs, {}, u"Grid"_qs, {}},
            RecordedGridEvent{1, u"message"_qs, u"hi"_qs, u"Grid"_qs, {}},
            RecordedGridEvent{1, u"grid"_qs, {}, {}, {}}));
    EXPECT_THAT(services.pids(), IsEmpty()) << "the data grid registers the process id";
    EXPECT_THAT(services.popups(), IsEmpty()) << "messages travel to the data grid";
}

// The streaming handlers must deliver what the element handlers deliver.
class GridParserStreamingTest : public GridParserTest,
                                public ::testing::WithParamInterface<const char*> {};

TEST_P(GridParserStreamingTest, StreamsTheEventsOfTheElementHandlers) {
    const QByteArray reply = GetParam();
    const auto expected = gridEventsOf(reply, 0);
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(gridEventsOf(reply, 10240), expected);
    EXPECT_EQ(gridEventsOf(reply, 1), expected) << "chunks may end anywhere";
}

INSTANTIATE_TEST_SUITE_P(
    Replies, GridParserStreamingTest,
    ::testing::Values(
        R"(<grid><row a="1" b="two"/><row a="3"/></grid>)",
        "<grid>\n  <row>  spaced text \n</row>\t</grid>",
        "<a>lead<b>inner</b>lost after a child</a>",
        R"(<Grid><ROW Name="x" NAME="y" name="z" Other="o">T</ROW></Grid>)",
        "<grid><z\xc3\xa9ro "
        "\xc3\x89t\xc3\xa9=\"\xe2\x82\xac\">\xf0\x9f\x98\x80</z\xc3\xa9ro></grid>",
        "<grid><row v=\"a &amp; b &#x4e2d;\"><![CDATA[ <raw> ]]></row><empty></empty></grid>",
        "<grid><deep><deeper><deepest k=\"1\">x</deepest></deeper></deep><after/></grid>"));

// Thousands of rows fill many blocks; the blocks flushed after every chunk
// often go out between a row's start and its end, and the end must still
// carry that row's attributes.
TEST_F(GridParserTest, EndEventsKeepTheirAttributesAcrossBlocks) {
    QByteArray reply = "<grid>";
    for (int row = 0; row < 5000; ++row) {
        reply += "<row id=\"" + QByteArray::number(row) + "\" v=\"value " +
                 QByteArray::number(row * 7) + "\">text " + QByteArray::number(row) + "</row>";
    }
    reply += "</grid>";
    const auto events = gridEventsOf(reply, 10240);
    ASSERT_EQ(events.size(), 2u * 5001);
    EXPECT_EQ(events, gridEventsOf(reply, 0));
    EXPECT_EQ(events[2 * 4321 + 2],
              (RecordedGridEvent{1, u"row"_qs, u"text 4321"_qs, u"grid"_qs,
                                 Pairs{{u"id"_qs, u"4321"_qs}, {u"v"_qs, u"value 30247"_qs}}}));
}

// The cancel flag is looked at every few hundred events, not at each: it
// must still stop a parse at once when it is up from the start, and soon
// when it goes up during the parse.
TEST_F(GridParserTest, TheCancelFlagStopsTheParse) {
    QByteArray reply = "<grid>";
    for (int row = 0; row < 20000; ++row) {
        reply += "<r><c>" + QByteArray::number(row) + "</c></r>";
    }
    reply += "</grid>";
    for (const bool fromTheStart : {true, false}) {
        services.cancelFlag = fromTheStart ? 1 : 0;
        CGridParser parser;
        ASSERT_TRUE(parser.GridWriter().Open());
        CNamedPipe reader = parser.GridWriter().TakeClientEnd();
        const qsizetype half = reply.size() / 2;
        const bool first = parser.ParseChunk(reply.constData(), static_cast<int>(half), false);
        EXPECT_EQ(first, !fromTheStart);
        services.cancelFlag = 1;
        EXPECT_FALSE(parser.ParseChunk(reply.constData() + half,
                                       static_cast<int>(reply.size() - half), true));
        parser.GridWriter().Close();
        std::vector<QByteArray> blocks;
        while (reader.ReadBlocks(blocks)) {
        }
        CGridEventDecoder decoder;
        RecordingGridSink sink;
        for (const QByteArray& block : blocks) {
            EXPECT_TRUE(decoder.Feed(block, sink));
        }
        if (fromTheStart) {
            EXPECT_TRUE(sink.events.empty());
        } else {
            // Four events a row: the first half's, and at most a few hundred more.
            EXPECT_GT(sink.events.size(), 4u * 20000 * 45 / 100);
            EXPECT_LT(sink.events.size(), 4u * 20000 * 55 / 100);
        }
    }
    services.cancelFlag = 0;
}

TEST(TreeParser, ShowsEveryTagInABox) {
    RecordingWireServices services;
    CTreeParser parser;
    ASSERT_TRUE(parser.ParseXML(u"<Tree><Item>x</Item></Tree>"_qs));
    std::vector<QString> texts;
    for (const auto& popup : services.popups()) {
        texts.push_back(popup.text);
    }
    EXPECT_THAT(texts, ElementsAre(u"CTreeParser::XMLHandleStartTag tag=tree"_qs,
                                   u"CTreeParser::XMLHandleStartTag tag=item"_qs,
                                   u"CTreeParser::XMLHandleEndTag tag=item value=x"_qs,
                                   u"CTreeParser::XMLHandleEndTag tag=tree value="_qs));
}

}  // namespace
