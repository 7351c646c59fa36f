#include "net/grideventreader.h"
#include "net/grideventwriter.h"
#include "support/recordingnetreceiver.h"

#include <QTest>

#include <poll.h>

#include <numeric>
#include <thread>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using ::testing::ElementsAre;
using Pairs = std::vector<std::pair<QString, QString>>;

CGridAttributeBlock attributesOf(const Pairs& pairs) {
    CGridAttributeBlock attributes;
    for (const auto& [name, value] : pairs) {
        attributes.Add(name, value);
    }
    return attributes;
}

QByteArray int32Bytes(qint32 value) {
    return QByteArray(reinterpret_cast<const char*>(&value), sizeof value);
}

QByteArray stringBytes(const QString& text) {
    return int32Bytes(static_cast<qint32>(text.size())) +
           QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
}

class GridEventStreamTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(writer.Open()); }

    // Reads the whole stream as the bytes the reader would join.
    QByteArray drainRaw() {
        writer.Close();
        std::vector<QByteArray> blocks;
        EXPECT_FALSE(client.ReadBlocks(blocks)) << "the writer closed its end";
        return std::accumulate(blocks.begin(), blocks.end(), QByteArray());
    }

    CGridEventWriter writer;
    CNamedPipe client;
};

TEST_F(GridEventStreamTest, EventsAreWrittenInTheStreamLayout) {
    client = writer.TakeClientEnd();
    writer.WriteStart(u"row", u"grid", attributesOf({}));
    writer.WriteEnd(u"cell", u"", u"row", attributesOf({{u"id"_qs, u"7"_qs}}));

    const QByteArray expected =
        int32Bytes(0) + stringBytes(u"row"_qs) + stringBytes(u"grid"_qs) +
        int32Bytes(0) +                                            // no attributes
        int32Bytes(1) + stringBytes(u"cell"_qs) + int32Bytes(0) +  // empty text: its length alone
        stringBytes(u"row"_qs) + int32Bytes(1) + stringBytes(u"id"_qs) + stringBytes(u"7"_qs);
    EXPECT_EQ(drainRaw(), expected);
}

TEST_F(GridEventStreamTest, ManyFieldsTravelInFewBlocks) {
    std::vector<int> messageSizes;
    std::thread reader([&messageSizes, end = writer.TakeClientEnd()]() mutable {
        std::vector<QByteArray> blocks;
        for (bool more = true; more;) {
            pollfd readable{end.GetHandle(), POLLIN, 0};
            ::poll(&readable, 1, 10000);
            more = end.ReadBlocks(blocks);
            for (const QByteArray& block : blocks) {
                messageSizes.push_back(static_cast<int>(block.size()));
            }
            blocks.clear();
        }
    });
    const CGridAttributeBlock attributes = attributesOf({{u"a"_qs, u"1"_qs}, {u"b"_qs, u"2"_qs}});
    for (int row = 0; row < 2000; ++row) {
        writer.WriteStart(u"row", u"grid", attributes);
        writer.WriteEnd(u"row", u"", u"grid", attributes);
    }
    writer.Close();
    reader.join();
    EXPECT_EQ(std::accumulate(messageSizes.begin(), messageSizes.end(), 0), 2000 * 112)
        << "29 fields, 112 bytes per row";
    EXPECT_LT(messageSizes.size(), 5u) << "58000 fields";
}

TEST_F(GridEventStreamTest, TheFirstFullBlockWakesTheReaderAtOnceTheLaterOnesOnceAFewWait) {
    client = writer.TakeClientEnd();
    pollfd wake{client.GetHandle(), POLLIN, 0};
    const CGridAttributeBlock attributes = attributesOf({{u"a"_qs, u"1"_qs}, {u"b"_qs, u"2"_qs}});
    // 112 bytes per row: a block's worth and a little more.
    const auto writeBlockOfRows = [&] {
        for (int row = 0; row <= CGridEventWriter::kBlockBytes / 112; ++row) {
            writer.WriteStart(u"row", u"grid", attributes);
            writer.WriteEnd(u"row", u"", u"grid", attributes);
        }
    };
    writeBlockOfRows();
    EXPECT_EQ(::poll(&wake, 1, 0), 1) << "the first rows do not wait for more";
    std::vector<QByteArray> blocks;
    ASSERT_TRUE(client.ReadBlocks(blocks));
    EXPECT_EQ(blocks.size(), 1u);
    writeBlockOfRows();
    EXPECT_EQ(::poll(&wake, 1, 0), 0) << "a later full block waits for a few";
}

class GridEventReaderTest : public GridEventStreamTest {
protected:
    RecordingGridSink sink;
    CGridEventReader reader{sink};
};

TEST_F(GridEventReaderTest, EventsArriveAsWrittenAndTheEndOnce) {
    reader.Attach(writer.TakeClientEnd());
    const QString big(50000, u'\x4E2D');  // one event larger than a block
    writer.WriteStart(u"grid", u"", attributesOf({{u"pid"_qs, u"12"_qs}}));
    writer.WriteEnd(u"cell", big, u"row", attributesOf({{u"n"_qs, u"\u00e9"_qs}}));
    writer.WriteStart(u"row", u"grid", attributesOf({}));
    writer.Close();

    ASSERT_TRUE(sink.WaitForEnd());
    EXPECT_THAT(sink.events,
                ElementsAre(RecordedGridEvent{0, u"grid"_qs, {}, {}, Pairs{{u"pid"_qs, u"12"_qs}}},
                            RecordedGridEvent{1, u"cell"_qs, big, u"row"_qs,
                                              Pairs{{u"n"_qs, u"\u00e9"_qs}}},
                            RecordedGridEvent{0, u"row"_qs, {}, u"grid"_qs, {}}));
    EXPECT_TRUE(sink.intact);
    EXPECT_FALSE(reader.IsReading());
    QTest::qWait(0);
    EXPECT_EQ(sink.ends, 1);
}

struct BrokenStreamCase {
    const char* name;
    QByteArray bytes;
};

class GridEventReaderBrokenTest : public ::testing::TestWithParam<BrokenStreamCase> {};

TEST_P(GridEventReaderBrokenTest, EndsNotIntactAfterTheCompleteEvents) {
    CNamedPipe server;
    ASSERT_TRUE(server.Open(u"gridpipe"_qs));
    RecordingGridSink sink;
    CGridEventReader reader(sink);
    reader.Attach(server.TakeClientEnd());
    const QByteArray complete =
        int32Bytes(0) + stringBytes(u"a"_qs) + stringBytes({}) + int32Bytes(0);
    const QByteArray stream = complete + GetParam().bytes;
    ASSERT_TRUE(server.WriteBlock(stream));
    server.Close();

    ASSERT_TRUE(sink.WaitForEnd());
    EXPECT_EQ(sink.events.size(), 1u);
    EXPECT_FALSE(sink.intact);
}

INSTANTIATE_TEST_SUITE_P(
    Streams, GridEventReaderBrokenTest,
    ::testing::Values(BrokenStreamCase{"CutInsideAnEvent", int32Bytes(1) + stringBytes(u"b"_qs)},
                      BrokenStreamCase{"CutInsideAString", int32Bytes(0) + int32Bytes(40) + "ab"},
                      BrokenStreamCase{"UnknownKind", int32Bytes(7) + stringBytes(u"b"_qs)},
                      BrokenStreamCase{"NegativeLength", int32Bytes(0) + int32Bytes(-3)},
                      BrokenStreamCase{"HugeAttributeCount",
                                       int32Bytes(0) + stringBytes(u"b"_qs) + stringBytes({}) +
                                           int32Bytes(CGridEventDecoder::kMaxAttributes + 1)}),
    [](const auto& info) { return std::string(info.param.name); });

// Our writer ends its blocks between events, but a stream cut anywhere
// must decode to the same events.
TEST(GridEventDecoder, AnEventCutAtAnyByteDecodesOnceItsLastByteArrives) {
    const QByteArray stream = int32Bytes(0) + stringBytes(u"row"_qs) + stringBytes(u"data"_qs) +
                              int32Bytes(1) + stringBytes(u"id"_qs) + stringBytes(u"\u00e97"_qs) +
                              int32Bytes(1) + stringBytes(u"row"_qs) + stringBytes(u"text"_qs) +
                              stringBytes(u"data"_qs) + int32Bytes(0);
    const std::vector<RecordedGridEvent> expected = {
        {0, u"row"_qs, {}, u"data"_qs, Pairs{{u"id"_qs, u"\u00e97"_qs}}},
        {1, u"row"_qs, u"text"_qs, u"data"_qs, {}}};
    for (qsizetype cut = 1; cut < stream.size(); ++cut) {
        for (qsizetype second = cut; second <= stream.size(); second += 7) {
            RecordingGridSink sink;
            CGridEventDecoder decoder;
            EXPECT_TRUE(decoder.Feed(stream.first(cut), sink));
            EXPECT_TRUE(decoder.Feed(stream.sliced(cut, second - cut), sink));
            EXPECT_TRUE(decoder.Feed(stream.sliced(second), sink));
            EXPECT_EQ(sink.events, expected) << "cut at " << cut << " and " << second;
            EXPECT_FALSE(decoder.HasPartialEvent());
        }
    }
}

// A sink that drops the stream while it handles an event gets no more
// events of that stream, not even those of the same block.
TEST_F(GridEventReaderTest, ASinkThatClosesTheReaderGetsNoMoreEvents) {
    class ClosingSink : public IGridEventSink {
    public:
        void OnGridEvent(const CGridEvent&) override {
            ++events;
            reader->Close();
        }
        void OnGridStreamEnd(bool) override { ++ends; }
        CGridEventReader* reader = nullptr;
        int events = 0;
        int ends = 0;
    } closing;
    CGridEventReader closingReader(closing);
    closing.reader = &closingReader;
    closingReader.Attach(writer.TakeClientEnd());
    for (int row = 0; row < 3; ++row) {
        writer.WriteStart(u"row", u"grid", attributesOf({}));
    }
    writer.Flush();
    EXPECT_TRUE(QTest::qWaitFor([&closing] { return closing.events > 0; }, 10000));
    writer.Close();
    QTest::qWait(0);
    EXPECT_EQ(closing.events, 1);
    EXPECT_EQ(closing.ends, 0);
}

TEST_F(GridEventReaderTest, ClosingTheReaderEndsTheWritersStream) {
    reader.Attach(writer.TakeClientEnd());
    reader.Close();
    writer.WriteStart(u"row", u"grid", attributesOf({}));
    writer.Flush();
    EXPECT_FALSE(writer.Flush());
    EXPECT_FALSE(writer.IsConnected());
    QTest::qWait(0);
    EXPECT_EQ(sink.ends, 0) << "a dropped stream reports no end";
}

// A sink may run the event loop while it handles an event (the grid's
// progress step does, now and then): the writer's wake-up that comes in
// then must not replay the next blocks in the middle of the current one.
TEST_F(GridEventReaderTest, ASinkThatRunsTheEventLoopGetsEveryEventInOrder) {
    constexpr int kLaterRows = 10000;
    class PumpingSink : public RecordingGridSink {
    public:
        void OnGridEvent(const CGridEvent& event) override {
            RecordingGridSink::OnGridEvent(event);
            if (events.size() == 1) {
                // The rest of the reply arrives while this event is handled.
                for (int row = 1; row <= kLaterRows; ++row) {
                    writer->WriteStart(u"row", u"grid",
                                       attributesOf({{u"n"_qs, QString::number(row)}}));
                }
                writer->Close();
            }
            QCoreApplication::processEvents();
        }
        CGridEventWriter* writer = nullptr;
    } pumping;
    pumping.writer = &writer;
    CGridEventReader pumpingReader(pumping);
    pumpingReader.Attach(writer.TakeClientEnd());
    writer.WriteStart(u"grid", u"", attributesOf({}));
    writer.WriteStart(u"row", u"grid", attributesOf({{u"n"_qs, u"0"_qs}}));
    writer.Flush();

    ASSERT_TRUE(pumping.WaitForEnd());
    ASSERT_EQ(pumping.events.size(), size_t{kLaterRows + 2});
    for (int row = 0; row <= kLaterRows; ++row) {
        ASSERT_EQ(pumping.events[static_cast<size_t>(row) + 1].attributes,
                  (Pairs{{u"n"_qs, QString::number(row)}}))
            << row;
    }
    EXPECT_TRUE(pumping.intact);
    QTest::qWait(0);
    EXPECT_EQ(pumping.ends, 1);
}

}  // namespace
