#include "net/netdispatcher.h"
#include "support/fakevelnixserver.h"
#include "support/gridreplies.h"

#include <gtest/gtest.h>

namespace {

struct GridStageCase {
    const char* name;
    QByteArray (*make)(int rows);
};

class GridStageTest : public ::testing::TestWithParam<GridStageCase> {};

// A reply served in pieces, downloaded, parsed into events, handed through
// the grid pipe and decoded must hold every field a direct parse of the same
// bytes sees, character for character.
TEST_P(GridStageTest, DecodedFieldsEqualADirectParseOfTheReply) {
    const QByteArray reply = GetParam().make(3000);
    GridFieldChecksum direct;
    ASSERT_TRUE(DirectParseChecksum(reply, reply.size(), direct));

    FakeVelnixServer server;
    FakeVelnixServer::Reply streamed;
    for (qsizetype at = 0; at < reply.size(); at += 50000) {
        streamed.chunks.push_back(reply.mid(at, 50000));
    }
    server.Script(FakeVelnixServer::kServicesPath, "Action=Grid", streamed);
    server.Script(FakeVelnixServer::kServicesPath, "Action=Grid&checkconnection=1",
                  FakeVelnixServer::Reply::Xml({}));
    CNetDispatcher dispatcher;
    GridChecksumReceiver receiver(dispatcher.UiBridge());
    quint16 requesterId = 0;
    ASSERT_TRUE(dispatcher.SendRequest(kNetRequestGrid, requesterId,
                                       server.BaseUrl() + u"/cmi/Services?Action=Grid"_qs,
                                       u"user"_qs, u"secret"_qs, {}));
    receiver.Wait();

    EXPECT_TRUE(receiver.errorBox.isEmpty()) << receiver.errorBox.toStdString();
    EXPECT_TRUE(receiver.intact);
    EXPECT_EQ(receiver.events, 2 * direct.elements);
    EXPECT_EQ(receiver.checksum.characters, direct.characters);
    EXPECT_EQ(receiver.checksum, direct);
}

INSTANTIATE_TEST_SUITE_P(Replies, GridStageTest,
                         ::testing::Values(GridStageCase{"TextCells", MakeTextCellGridReply},
                                           GridStageCase{"AttributesOnly", MakeAttributeGridReply},
                                           GridStageCase{"EntitiesAndNonAscii",
                                                         MakeEntityGridReply}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
