#include "net/serverprocesses.h"
#include "net/netdispatcher.h"
#include "support/fakevelnixserver.h"
#include "support/recordingwireservices.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::UnorderedElementsAre;

class FakeServerConnection : public IServerProcessesOwner {
public:
    explicit FakeServerConnection(const FakeVelnixServer& server) : m_server(server) {}

    QString ServerHost() const override { return u"127.0.0.1"_qs; }
    QString ServerBaseUrl() const override { return m_server.BaseUrl(); }
    QString ServerUserName() const override { return u"alice"_qs; }
    QString ServerPassword() const override { return u"secret"_qs; }
    QString ServerInfo() const override { return info; }
    void NoteRequestTime() override { ++requestTimes; }

    QString info = u"Velnix 9.1 (win32)"_qs;
    int requestTimes = 0;

private:
    const FakeVelnixServer& m_server;
};

class ServerProcessesTest : public ::testing::Test {
protected:
    // The bodies of the cancel requests the server heard, in order.
    std::vector<QByteArray> cancels() const {
        std::vector<QByteArray> bodies;
        for (const auto& request : server.Requests()) {
            EXPECT_EQ(request.method, "POST");
            EXPECT_EQ(request.path, FakeVelnixServer::kServicesPath);
            EXPECT_EQ(request.query, "");
            bodies.push_back(request.body);
        }
        return bodies;
    }

    RecordingWireServices services;
    FakeVelnixServer server;
    FakeServerConnection connection{server};
    CNetDispatcher dispatcher;
    int grid = 0;
    int tree = 0;
};

TEST_F(ServerProcessesTest, RemovingAnIdCancelsItOnlyForItsOwnRegistrant) {
    ServerProcesses processes(connection, dispatcher);
    ASSERT_EQ(processes.AddPid(&grid, 7), 1);
    EXPECT_EQ(processes.RemovePid(&tree, 7), 1);
    EXPECT_THAT(cancels(), IsEmpty());
    EXPECT_EQ(processes.Registrant(7), &grid);

    processes.RemovePid(&grid, 7);
    EXPECT_THAT(cancels(), ElementsAre("Action=CancelRequest&RequestID=7"));
    EXPECT_EQ(processes.Registrant(7), nullptr);
    EXPECT_EQ(connection.requestTimes, 1);
    EXPECT_THAT(services.trail(), IsEmpty()) << "cancels stay out of the URL trail";
}

TEST_F(ServerProcessesTest, RemovingEveryIdOfARegistrantLeavesTheOthers) {
    ServerProcesses processes(connection, dispatcher);
    for (const quint32 id : {11u, 12u, 13u}) {
        processes.AddPid(&grid, id);
    }
    processes.AddPid(&tree, 20);
    processes.AddPid(&tree, 13);  // a later registrant takes the id over
    processes.AddPid(&grid, 4000000000u);

    processes.RemovePid(&grid, ServerProcesses::kAllRequests);
    EXPECT_THAT(cancels(), UnorderedElementsAre("Action=CancelRequest&RequestID=11",
                                                "Action=CancelRequest&RequestID=12",
                                                "Action=CancelRequest&RequestID=4000000000"));
    EXPECT_EQ(processes.Registrant(20), &tree);
    EXPECT_EQ(processes.Registrant(13), &tree);
}

TEST_F(ServerProcessesTest, OnlyAWin32ServerRegistersIds) {
    struct Case {
        const char16_t* info;
        int registered;
    };
    for (const Case& item : {Case{u"Velnix 9.1 linux", 0}, Case{u"WIN32", 0}, Case{u"", 0},
                             Case{u"build-win32-x86", 1}}) {
        connection.info = QString::fromUtf16(item.info);
        ServerProcesses processes(connection, dispatcher);
        EXPECT_EQ(processes.AddPid(&grid, 5), item.registered) << connection.info.toStdString();
    }
}

TEST_F(ServerProcessesTest, CancelAllCancelsEveryIdOnceAndNothingWhenEmpty) {
    {
        ServerProcesses processes(connection, dispatcher);
        processes.CancelAll();
        EXPECT_THAT(cancels(), IsEmpty());
        processes.AddPid(&grid, 2);
        processes.AddPid(&tree, 1);
        processes.CancelAll();
        EXPECT_THAT(cancels(), ElementsAre("Action=CancelRequest&RequestID=1",
                                           "Action=CancelRequest&RequestID=2"));
        processes.AddPid(&grid, 3);
    }
    EXPECT_EQ(cancels().size(), 3u) << "the list cancels what it still holds when it goes";
}

}  // namespace
