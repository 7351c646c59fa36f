#include "app/actionfixture.h"
#include "net/expatmywire.h"
#include "net/wireservices.h"
#include "server/mysystem.h"
#include "support/fakeloginreplies.h"
#include "support/onworker.h"

#include <gtest/gtest.h>

namespace {

// A logged-in "win32" server selected in the World View: the server whose
// list takes the process ids that replies announce.
class ServerPidTest : public ActionFixture {
protected:
    void SetUp() override {
        ActionFixture::SetUp();
        system = addLoggedInCancellingServer(server);
        ASSERT_NE(system, nullptr);
    }

    // The request ids the server was told to cancel.
    QStringList cancelledIds() const {
        QStringList ids;
        for (const auto& request : fakelogin::RequestsOf(server, fakelogin::kCancelQuery)) {
            const QByteArray text = request.query + '&' + request.body;
            const qsizetype at = text.indexOf("RequestID=");
            ids << (at >= 0 ? QString::fromUtf8(text.mid(at + 10).split('&').first()) : QString());
        }
        return ids;
    }

    FakeVelnixServer server;
    CMySystem* system = nullptr;
};

TEST_F(ServerPidTest, IdsFromAWorkerAreHeldForTheirOwnerAndCancelledWhenItRemovesThem) {
    const int owner = 0;
    const int stranger = 0;
    onWorker([&] {
        WireServices().AddServerPid(&owner, 42);
        return 0;
    });
    EXPECT_EQ(system->GetServerProcesses().Registrant(42), &owner);

    onWorker([&] {
        WireServices().RemoveServerPid(&stranger, 42);
        return 0;
    });
    EXPECT_EQ(system->GetServerProcesses().Registrant(42), &owner);
    EXPECT_TRUE(cancelledIds().isEmpty());

    onWorker([&] {
        WireServices().RemoveServerPid(&owner, 42);
        return 0;
    });
    EXPECT_EQ(system->GetServerProcesses().Registrant(42), nullptr);
    EXPECT_EQ(cancelledIds(), QStringList{QStringLiteral("42")});
}

TEST_F(ServerPidTest, AReplyReadOnAWorkerCancelsItsServerJobWhenItsRootEnds) {
    ASSERT_TRUE(onWorker([] {
        CExpatMyWire reply;
        return reply.ParseXML(QStringLiteral("<tree pid=\"4711\"><item/></tree>"));
    }));
    EXPECT_EQ(system->GetServerProcesses().Registrant(4711), nullptr);
    EXPECT_EQ(cancelledIds(), QStringList{QStringLiteral("4711")});
}

}  // namespace
