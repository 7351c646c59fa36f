#include "net/treechunkreader.h"
#include "net/treechunkwriter.h"

#include <QTest>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using ::testing::ElementsAre;

class RecordingSink : public ITreeChunkSink {
public:
    void OnTreeChunk(QByteArrayView bytes) override { chunkSizes.push_back(bytes.size()); }
    void OnTreeStreamEnd(const QString& whole, bool wasIntact) override {
        ++ends;
        text = whole;
        intact = wasIntact;
    }
    bool waitForEnd() {
        return QTest::qWaitFor([this] { return ends > 0; }, 10000);
    }

    std::vector<qsizetype> chunkSizes;
    QString text;
    bool intact = false;
    int ends = 0;
};

class TreeChunkReaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(writer.Open());
        reader.Attach(writer.TakeClientEnd());
    }

    CTreeChunkWriter writer;
    RecordingSink sink;
    CTreeChunkReader reader{sink};
};

TEST_F(TreeChunkReaderTest, AReplyOf25000BytesArrivesAsThreeChunks) {
    const QByteArray body(25000, 'x');
    ASSERT_TRUE(writer.WriteChunk(body.data(), body.size()));
    writer.Close();
    ASSERT_TRUE(sink.waitForEnd());
    EXPECT_THAT(sink.chunkSizes, ElementsAre(10240, 10240, 4520));
    EXPECT_EQ(sink.text, QString::fromLatin1(body));
    EXPECT_TRUE(sink.intact);
}

TEST_F(TreeChunkReaderTest, ACharacterSplitAcrossChunksDecodesIntact) {
    // "<t>" then the euro sign, its three UTF-8 bytes cut after the first.
    const QByteArray body = QString(u"<t>\u20ac</t>"_qs).toUtf8();
    ASSERT_TRUE(writer.WriteChunk(body.data(), 4));
    ASSERT_TRUE(writer.WriteChunk(body.data() + 4, body.size() - 4));
    writer.Close();
    ASSERT_TRUE(sink.waitForEnd());
    EXPECT_EQ(sink.chunkSizes.size(), 2u);
    EXPECT_EQ(sink.text, u"<t>\u20ac</t>"_qs);
    EXPECT_TRUE(sink.intact);
}

TEST(TreeChunkReader, AChunkLongerThanItsCountEndsTheStreamNotIntact) {
    CNamedPipe server;
    ASSERT_TRUE(server.Open(u"treepipe"_qs));
    RecordingSink sink;
    CTreeChunkReader reader(sink);
    reader.Attach(server.TakeClientEnd());
    const qint32 count = 3;
    ASSERT_EQ(server.Write(&count, sizeof count), 4);
    ASSERT_EQ(server.Write("abc", 3), 3);
    ASSERT_EQ(server.Write(&count, sizeof count), 4);
    ASSERT_EQ(server.Write("defg", 4), 4);
    ASSERT_TRUE(sink.waitForEnd());
    EXPECT_EQ(sink.text, u"abc"_qs);
    EXPECT_FALSE(sink.intact);
    EXPECT_FALSE(reader.IsReading());
}

TEST_F(TreeChunkReaderTest, InvalidUtf8IsReportedNotIntact) {
    // A stray byte, and a reply that ends inside a character: the first byte
    // of a euro sign's three, or of a two-byte letter.
    for (const QByteArray& body :
         {QByteArray("a\xff"), QByteArray("<t>\xe2"), QByteArray("\xc6")}) {
        CTreeChunkWriter cutWriter;
        RecordingSink cutSink;
        CTreeChunkReader cutReader{cutSink};
        ASSERT_TRUE(cutWriter.Open());
        cutReader.Attach(cutWriter.TakeClientEnd());
        ASSERT_TRUE(cutWriter.WriteChunk(body.data(), body.size()));
        cutWriter.Close();
        ASSERT_TRUE(cutSink.waitForEnd()) << body.toHex().toStdString();
        EXPECT_FALSE(cutSink.intact) << body.toHex().toStdString();
    }
}

}  // namespace
