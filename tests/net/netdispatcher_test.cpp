#include "net/netdispatcher.h"
#include "framework/kformat.h"
#include "platform/httpshare.h"
#include "support/fakevelnixserver.h"
#include "support/recordingnetreceiver.h"
#include "support/recordingwireservices.h"

#include <QTest>

#include <algorithm>
#include <functional>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Reply = FakeVelnixServer::Reply;
using Request = FakeVelnixServer::Request;
using Pairs = std::vector<std::pair<QString, QString>>;

constexpr int kPatienceMs = 10000;

bool isProbe(const Request& request) {
    return request.method == "POST" && request.query.endsWith("checkconnection=1");
}

class NetDispatcherTest : public ::testing::Test {
protected:
    QString url(const FakeVelnixServer& on, const char* query) const {
        return on.BaseUrl() + u"/cmi/Services?"_qs + QString::fromLatin1(query);
    }
    QString url(const char* query) const { return url(server, query); }

    bool send(NetRequestKind kind, quint16& requesterId, const char* query,
              const QString& user = u"alice"_qs) {
        return dispatcher.SendRequest(kind, requesterId, url(query), user, u"secret"_qs, {});
    }

    std::shared_ptr<CNetConnection> worker(quint16 requesterId, const QString& user = u"alice"_qs) {
        const auto session = dispatcher.Session(*CNetServerKey::FromUrl(url(""), user));
        return session ? session->Worker(requesterId) : nullptr;
    }

    // Bounded wait until the requester's download has ended, then lets the
    // calls it queued reach the receiver.
    bool waitUntilIdle(quint16 requesterId) {
        const auto requester = worker(requesterId);
        const bool idle =
            requester && QTest::qWaitFor([&] { return !requester->IsBusy(); }, kPatienceMs);
        QCoreApplication::processEvents();
        return idle;
    }

    // A session of alice's outside the dispatcher.
    std::shared_ptr<CNetSession> standaloneSession() {
        return std::make_shared<CNetSession>(0, *CNetServerKey::FromUrl(url(""), u"alice"_qs),
                                             u"secret"_qs, dispatcher.UiBridge(),
                                             std::make_shared<std::atomic<int>>(0));
    }

    bool waitForRequest(const QByteArray& queryPrefix) {
        return QTest::qWaitFor(
            [&] {
                const auto requests = server.Requests();
                return std::any_of(requests.begin(), requests.end(), [&](const Request& r) {
                    return r.method == "GET" && r.query.startsWith(queryPrefix);
                });
            },
            kPatienceMs);
    }

    // Starts a tree reply whose second chunk the server holds back; returns
    // once the first chunk reached the reader.
    quint16 startSlowTreeReply() {
        Reply slow;
        slow.chunks = {QByteArray(12000, ' ') + "<tree>", "</tree>"};
        slow.holdChunks = true;
        server.Script(FakeVelnixServer::kServicesPath, "Action=Tree", slow);
        quint16 requesterId = 0;
        EXPECT_TRUE(send(kNetRequestTree, requesterId, "Action=Tree"));
        EXPECT_TRUE(QTest::qWaitFor([&] { return !receiver.replies.empty(); }, kPatienceMs))
            << "the first chunk was handed over";
        return requesterId;
    }

    RecordingWireServices services;
    FakeVelnixServer server;
    CNetDispatcher dispatcher;
    RecordingNetReceiver receiver{dispatcher.UiBridge()};
};

TEST_F(NetDispatcherTest, AGridReplyIsProbedThenStreamedAsEvents) {
    server.RequireBasicAuth("alice", "secret");
    server.Script(FakeVelnixServer::kServicesPath, "Action=Grid",
                  Reply::Xml(R"(<Grid><Row ID="1">  first  </Row></Grid>)"));
    quint16 requesterId = 0;
    ASSERT_TRUE(send(kNetRequestGrid, requesterId, "Action=Grid"));
    EXPECT_EQ(requesterId, 1);
    ASSERT_TRUE(receiver.WaitForReplies(1));

    EXPECT_THAT(
        receiver.replies[0]->gridEvents,
        ElementsAre(
            RecordedGridEvent{0, u"grid"_qs, {}, {}, {}},
            RecordedGridEvent{0, u"row"_qs, {}, u"Grid"_qs, Pairs{{u"id"_qs, u"1"_qs}}},
            RecordedGridEvent{1, u"row"_qs, u"first"_qs, u"Grid"_qs, Pairs{{u"id"_qs, u"1"_qs}}},
            // An end tag carries the attributes of the latest start tag.
            RecordedGridEvent{1, u"grid"_qs, {}, {}, Pairs{{u"id"_qs, u"1"_qs}}}));
    EXPECT_TRUE(receiver.replies[0]->intact);
    EXPECT_EQ(receiver.replies[0]->requesterId, 1);
    EXPECT_THAT(receiver.statusTexts, ElementsAre(u"Waiting for server response ..."_qs));

    // Every request carried the credentials; the GET came after its probe.
    std::vector<Request> answered;
    for (const Request& request : server.Requests()) {
        if (request.hasHeader("Authorization")) {
            answered.push_back(request);
        }
    }
    ASSERT_EQ(answered.size(), 2u);
    EXPECT_TRUE(isProbe(answered[0]));
    EXPECT_EQ(answered[0].query, "Action=Grid&checkconnection=1");
    EXPECT_EQ(answered.back().method, "GET");
    EXPECT_EQ(answered.back().header("User-Agent"), "Quillet for Velnix");
    EXPECT_EQ(answered.back().query, "Action=Grid");
}

// Once a server took Basic credentials, each later request carries them at
// once: the server sees every probe and GET once, none refused with 401.
TEST_F(NetDispatcherTest, LaterRequestsToALoggedInServerTakeOneRoundTripEach) {
    server.RequireBasicAuth("alice", "secret");
    server.Script(FakeVelnixServer::kServicesPath, "Action=Grid", Reply::Xml("<Grid/>"));
    quint16 requesterId = 0;
    ASSERT_TRUE(send(kNetRequestGrid, requesterId, "Action=Grid"));
    ASSERT_TRUE(receiver.WaitForReplies(1));
    ASSERT_TRUE(waitUntilIdle(requesterId));

    server.ClearRequests();
    ASSERT_TRUE(send(kNetRequestGrid, requesterId, "Action=Grid"));
    ASSERT_TRUE(receiver.WaitForReplies(2));
    ASSERT_TRUE(waitUntilIdle(requesterId));
    const std::vector<Request> requests = server.Requests();
    ASSERT_FALSE(requests.empty());
    for (const Request& request : requests) {
        EXPECT_TRUE(request.hasHeader("Authorization")) << request.query.toStdString();
    }
    EXPECT_TRUE(isProbe(requests.front()));
    EXPECT_EQ(requests.back().query, "Action=Grid");
    EXPECT_EQ(std::count_if(requests.begin(), requests.end(),
                            [](const Request& request) { return !isProbe(request); }),
              1);
}

// The caller's thread never waits for the server: the request is handed
// over before its probe is answered. A probe answered 401 then logs the
// server out and keeps the request from being sent.
TEST_F(NetDispatcherTest, AProbeAnswered401AfterTheHandOverStopsTheRequestAndLogsTheServerOut) {
    Reply refused = Reply::Xml("no", 401);
    refused.holdReply = true;
    server.Script(FakeVelnixServer::kServicesPath, "Action=Grid&checkconnection=1", refused);
    quint16 requesterId = 0;
    // A dispatcher that waited for the probe would wait here for the
    // server's hold to time out.
    ASSERT_TRUE(send(kNetRequestGrid, requesterId, "Action=Grid"));
    EXPECT_EQ(dispatcher.LastHttpStatus(), 0) << "the probe was answered before the hand-over";
    ASSERT_TRUE(worker(requesterId)->IsBusy());
    server.ReleaseChunks(1);

    ASSERT_TRUE(QTest::qWaitFor([&] { return !receiver.logouts.empty(); }, kPatienceMs));
    EXPECT_EQ(receiver.logouts[0].ToString(), kFormat(u"http://127.0.0.1:%d^alice", server.Port()));
    EXPECT_EQ(dispatcher.LastHttpStatus(), 401);
    ASSERT_TRUE(waitUntilIdle(requesterId));
    EXPECT_EQ(receiver.logouts.size(), 1u);
    EXPECT_THAT(receiver.replies, IsEmpty());
    EXPECT_THAT(receiver.errorBoxes, IsEmpty());
    for (const Request& request : server.Requests()) {
        EXPECT_TRUE(isProbe(request)) << request.method.toStdString();
    }
}

// A probe still unanswered when its request is cancelled or replaced is
// given up: the server sees no GET for that request, and the worker is free
// at once rather than when the server answers.
TEST_F(NetDispatcherTest, AProbeOvertakenByACancelOrANewerRequestSendsNothingMore) {
    Reply held = Reply::Xml({});
    held.holdReply = true;
    server.Script(FakeVelnixServer::kServicesPath, "Action=Grid&n=1&checkconnection=1", held);
    server.Script(FakeVelnixServer::kServicesPath, "Action=Grid&n=2",
                  Reply::Xml(R"(<grid><row n="second"/></grid>)"));
    const struct {
        const char* what;
        std::function<void(quint16)> overtake;
        size_t replies;
    } cases[] = {
        {"cancel", [&](quint16 id) { EXPECT_TRUE(dispatcher.CancelRequest(id)); }, 0},
        {"newer request",
         [&](quint16 id) { EXPECT_TRUE(send(kNetRequestGrid, id, "Action=Grid&n=2")); }, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        server.ClearRequests();
        quint16 requesterId = 0;
        ASSERT_TRUE(send(kNetRequestGrid, requesterId, "Action=Grid&n=1"));
        ASSERT_TRUE(QTest::qWaitFor([&] { return !server.Requests().empty(); }, kPatienceMs));
        c.overtake(requesterId);
        // The held probe is never released: only giving it up frees the worker.
        ASSERT_TRUE(waitUntilIdle(requesterId));
        ASSERT_TRUE(receiver.WaitForReplies(c.replies));
        EXPECT_EQ(receiver.replies.size(), c.replies) << "replies so far";
        for (const Request& request : server.Requests()) {
            EXPECT_FALSE(request.method == "GET" && request.query.startsWith("Action=Grid&n=1"));
        }
    }
}

TEST_F(NetDispatcherTest, AUrlThatDoesNotSplitIsRefusedBeforeAnythingIsSent) {
    const QString gopher =
        kFormat(u"gopher://127.0.0.1:%d/cmi/Services?Action=Grid", server.Port());
    for (const QString& text : {gopher, u"not a url"_qs}) {
        for (const QString& postData : {QString(), u"Action=Save&x=1"_qs}) {
            quint16 requesterId = 0;
            EXPECT_FALSE(dispatcher.SendRequest(kNetRequestGrid, requesterId, text, u"alice"_qs,
                                                u"secret"_qs, postData))
                << text.toStdString() << " " << postData.toStdString();
            EXPECT_EQ(requesterId, 0);
        }
    }
    EXPECT_TRUE(server.Requests().empty());
    EXPECT_THAT(services.trail(), IsEmpty());
    EXPECT_EQ(dispatcher.LastHttpStatus(), 0);
}

struct StatusCase {
    const char* name;
    int status;
    bool logout;
    const char* box;
};

class NetDispatcherStatusTest : public NetDispatcherTest,
                                public ::testing::WithParamInterface<StatusCase> {};

TEST_P(NetDispatcherStatusTest, AnErrorStatusIsNeverStreamed) {
    server.Script(FakeVelnixServer::kServicesPath, "Action=Grid",
                  Reply::Xml("<grid><row/></grid>", GetParam().status));
    server.Script(FakeVelnixServer::kServicesPath, "Action=Grid&checkconnection=1",
                  Reply::Xml({}, 200));
    quint16 requesterId = 0;
    ASSERT_TRUE(send(kNetRequestGrid, requesterId, "Action=Grid"));
    ASSERT_TRUE(waitUntilIdle(requesterId));
    EXPECT_THAT(receiver.replies, IsEmpty());
    EXPECT_EQ(receiver.logouts.size(), GetParam().logout ? 1u : 0u);
    if (GetParam().box == nullptr) {
        EXPECT_THAT(receiver.errorBoxes, IsEmpty());
    } else {
        ASSERT_EQ(receiver.errorBoxes.size(), 1u);
        EXPECT_EQ(receiver.errorBoxes[0].text, QString::fromLatin1(GetParam().box));
    }
}

INSTANTIATE_TEST_SUITE_P(Statuses, NetDispatcherStatusTest,
                         ::testing::Values(StatusCase{"Unauthorized", 401, true, nullptr},
                                           StatusCase{"NotFound", 404, false, "HTTP-404"},
                                           StatusCase{"ServerError", 500, false, "HTTP-500"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(NetDispatcherTest, ASecondRequestOfTheSameRequesterReplacesTheFirst) {
    Reply slow;
    slow.chunks = {"<grid><row n=\"first\"/>", "</grid>"};
    slow.holdChunks = true;
    server.Script(FakeVelnixServer::kServicesPath, "Action=Grid&n=1", slow);
    server.Script(FakeVelnixServer::kServicesPath, "Action=Grid&n=2",
                  Reply::Xml(R"(<grid><row n="second"/></grid>)"));
    quint16 requesterId = 0;
    ASSERT_TRUE(send(kNetRequestGrid, requesterId, "Action=Grid&n=1"));
    ASSERT_TRUE(waitForRequest("Action=Grid&n=1"));
    quint16 sameRequester = requesterId;
    ASSERT_TRUE(send(kNetRequestGrid, sameRequester, "Action=Grid&n=2"));
    EXPECT_EQ(sameRequester, requesterId);
    ASSERT_TRUE(receiver.WaitForReplies(1));
    ASSERT_TRUE(waitUntilIdle(requesterId));

    ASSERT_EQ(receiver.replies.size(), 1u);
    ASSERT_EQ(receiver.replies[0]->gridEvents.size(), 4u);
    EXPECT_EQ(receiver.replies[0]->gridEvents[1].attributes, (Pairs{{u"n"_qs, u"second"_qs}}));
    EXPECT_THAT(receiver.errorBoxes, IsEmpty());
    server.ReleaseChunks(1);
}

TEST_F(NetDispatcherTest, StopDuringASlowReplyEndsQuietly) {
    const quint16 requesterId = startSlowTreeReply();
    EXPECT_FALSE(dispatcher.CancelRequest(CNetDispatcher::kAllRequesters));
    ASSERT_TRUE(waitUntilIdle(requesterId));
    ASSERT_TRUE(receiver.WaitForReplies(1));
    EXPECT_EQ(receiver.replies[0]->treeChunks.size(), 1u);
    EXPECT_THAT(receiver.errorBoxes, IsEmpty());
    server.ReleaseChunks(1);
}

TEST_F(NetDispatcherTest, DroppingTheSessionDuringADownloadStopsItsThreads) {
    const std::weak_ptr<CNetConnection> requester = worker(startSlowTreeReply());

    dispatcher.DropSession(url(""), u"alice"_qs);  // returns once the threads have ended
    EXPECT_TRUE(requester.expired());
    ASSERT_TRUE(receiver.WaitForReplies(1));
    EXPECT_THAT(receiver.errorBoxes, IsEmpty());
    server.ReleaseChunks(1);
}

TEST_F(NetDispatcherTest, AWorkerWhoseLoopEndedIsReplaced) {
    server.Script(FakeVelnixServer::kServicesPath, "Action=Grid", Reply::Xml("<grid/>"));
    const auto session = standaloneSession();
    quint16 requesterId = 0;
    // A request of no known service ends the worker's loop.
    ASSERT_TRUE(session->StartRequest(kNetRequestGrid, requesterId, u"/cmi/Services?Action=Grid"_qs,
                                      kHttpServiceNone));
    const auto ended = session->Worker(requesterId);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ended->HasEnded(); }, kPatienceMs));

    quint16 sameRequester = requesterId;
    ASSERT_TRUE(session->StartRequest(kNetRequestGrid, sameRequester,
                                      u"/cmi/Services?Action=Grid"_qs, kHttpServiceHttp));
    EXPECT_EQ(sameRequester, requesterId);
    EXPECT_NE(session->Worker(requesterId), ended);
    ASSERT_TRUE(receiver.WaitForReplies(1));
    EXPECT_TRUE(receiver.replies[0]->intact);
}

TEST_F(NetDispatcherTest, AServerThatDropsTheConnectionIsReportedOnce) {
    Reply broken = Reply::Xml("<tree>" + QByteArray(30000, 'x') + "</tree>");
    broken.dropAfterBytes = 15000;
    server.Script(FakeVelnixServer::kServicesPath, "Action=Tree", broken);
    quint16 requesterId = 0;
    ASSERT_TRUE(send(kNetRequestTree, requesterId, "Action=Tree"));
    ASSERT_TRUE(waitUntilIdle(requesterId));
    ASSERT_TRUE(receiver.WaitForReplies(1));

    ASSERT_EQ(receiver.errorBoxes.size(), 1u);
    EXPECT_EQ(receiver.errorBoxes[0].text, u"Unable to connect to the Server"_qs);
    EXPECT_EQ(receiver.errorBoxes[0].caption, u"Quillet Error Connection"_qs);
    EXPECT_THAT(services.popups(), IsEmpty()) << "no box from the worker itself";
    EXPECT_EQ(receiver.replies[0]->treeText.size(), 15000) << "what arrived is handed over";
}

// An empty grid reply is no table: its reader learns that it could not be
// read, and no box comes up for it.
TEST_F(NetDispatcherTest, AnEmptyGridReplyEndsInAFailureAndNoBox) {
    server.Script(FakeVelnixServer::kServicesPath, "Action=Grid", Reply::Xml({}));
    quint16 requesterId = 0;
    ASSERT_TRUE(send(kNetRequestGrid, requesterId, "Action=Grid"));
    ASSERT_TRUE(receiver.WaitForReplies(1));
    const RecordedReply& reply = *receiver.replies[0];
    ASSERT_EQ(reply.gridEvents.size(), 1U);
    EXPECT_EQ(reply.gridEvents[0].kind, CGridEvent::kFailed);
    EXPECT_FALSE(reply.gridEvents[0].text.isEmpty());
    EXPECT_TRUE(reply.intact);
    EXPECT_THAT(receiver.errorBoxes, IsEmpty());
}

TEST_F(NetDispatcherTest, ATreeReplyArrivesInChunksAndDecodesIntact) {
    // 25000 bytes with a three-byte character across the first chunk boundary.
    QByteArray body = "<tree>" + QByteArray(10240 - 6 - 1, 'a');
    body += QString(u"\u20ac"_qs).toUtf8();
    body += QByteArray(25000 - body.size() - 7, 'b') + "</tree>";
    ASSERT_EQ(body.size(), 25000);
    server.Script(FakeVelnixServer::kServicesPath, "Action=Tree", Reply::Xml(body));
    quint16 requesterId = 0;
    ASSERT_TRUE(send(kNetRequestTree, requesterId, "Action=Tree"));
    ASSERT_TRUE(receiver.WaitForReplies(1));

    const RecordedReply& reply = *receiver.replies[0];
    ASSERT_EQ(reply.treeChunks.size(), 3u);
    EXPECT_EQ(reply.treeChunks[0].size(), 10240);
    EXPECT_EQ(reply.treeChunks[1].size(), 10240);
    EXPECT_EQ(reply.treeChunks[2].size(), 4520);
    EXPECT_EQ(reply.treeText, QString::fromUtf8(body));
    EXPECT_TRUE(reply.intact);
}

TEST_F(NetDispatcherTest, SessionsAreKeyedBySchemeHostPortAndUser) {
    FakeVelnixServer other;
    server.Script(FakeVelnixServer::kServicesPath, "Action=Grid", Reply::Xml("<grid/>"));
    other.Script(FakeVelnixServer::kServicesPath, "Action=Grid", Reply::Xml("<grid/>"));
    quint16 alice = 0;
    quint16 bob = 0;
    quint16 aliceElsewhere = 0;
    ASSERT_TRUE(send(kNetRequestGrid, alice, "Action=Grid"));
    ASSERT_TRUE(send(kNetRequestGrid, bob, "Action=Grid", u"bob"_qs));
    ASSERT_TRUE(dispatcher.SendRequest(kNetRequestGrid, aliceElsewhere, url(other, "Action=Grid"),
                                       u"alice"_qs, u"secret"_qs, {}));
    EXPECT_EQ(alice, 1);
    EXPECT_EQ(bob, 101) << "a second user on one host has a session of its own";
    EXPECT_EQ(aliceElsewhere, 201) << "another port is another server";
    ASSERT_TRUE(receiver.WaitForReplies(3));
    const auto gets = [](const FakeVelnixServer& on) {
        const auto requests = on.Requests();
        return std::count_if(requests.begin(), requests.end(),
                             [](const Request& request) { return request.method == "GET"; });
    };
    EXPECT_EQ(gets(server), 2);
    EXPECT_EQ(gets(other), 1);
}

TEST_F(NetDispatcherTest, RequesterIdsAreNeverShared) {
    server.Script(FakeVelnixServer::kServicesPath, "Action=", Reply::Xml("<grid/>"));
    quint16 first = 0;
    quint16 second = 0;
    ASSERT_TRUE(send(kNetRequestGrid, first, "Action=Grid"));
    ASSERT_TRUE(send(kNetRequestGrid, second, "Action=Grid"));
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 2) << "a requester without id never adopts another's worker";

    quint16 treeRequester = first;
    ASSERT_TRUE(send(kNetRequestTree, treeRequester, "Action=Tree"));
    EXPECT_EQ(treeRequester, 3) << "a grid worker never serves a tree request";

    quint16 foreign = 57;  // an id from another session
    ASSERT_TRUE(send(kNetRequestGrid, foreign, "Action=Grid"));
    EXPECT_EQ(foreign, 57);
    quint16 next = 0;
    ASSERT_TRUE(send(kNetRequestGrid, next, "Action=Grid"));
    EXPECT_EQ(next, 58);
    EXPECT_TRUE(receiver.WaitForReplies(5));
}

TEST_F(NetDispatcherTest, PostsAreSentAtOnceAndCancelsLeaveNoTrail) {
    server.Script(FakeVelnixServer::kServicesPath, "Action=", Reply::Xml("<ok/>"));
    quint16 requesterId = 0;
    EXPECT_TRUE(dispatcher.SendRequest(kNetRequestNone, requesterId, url(""), u"alice"_qs,
                                       u"secret"_qs, u"Action=CancelRequest&RequestID=5"_qs));
    EXPECT_TRUE(dispatcher.SendRequest(kNetRequestNone, requesterId, url(""), u"alice"_qs,
                                       u"secret"_qs, u"Action=Save&x=1"_qs));
    EXPECT_EQ(requesterId, 0);
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u) << "a POST is not probed";
    EXPECT_EQ(requests[0].method, "POST");
    EXPECT_EQ(requests[0].body, "Action=CancelRequest&RequestID=5");
    EXPECT_FALSE(requests[0].hasHeader("Content-Type"));
    EXPECT_THAT(services.trail(), ElementsAre(u"[PostData] Action=Save&x=1"_qs));
}

TEST_F(NetDispatcherTest, ALongQueryOrACancelInTheUrlBecomesThePostBody) {
    server.Script(FakeVelnixServer::kServicesPath, Reply::Xml("<ok/>"));
    const QString longQuery = u"Action=Save&v="_qs + QString(1990, u'v');
    ASSERT_EQ(longQuery.size(), 2004);
    const auto session = standaloneSession();
    EXPECT_TRUE(session->Post(HttpUrl(url("Action=CancelRequest&RequestID=9")), {}));
    EXPECT_TRUE(session->Post(HttpUrl(server.BaseUrl() + u"/cmi/Services?"_qs + longQuery), {}));
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].query, "");
    EXPECT_EQ(requests[0].body, "Action=CancelRequest&RequestID=9");
    EXPECT_EQ(requests[1].body, longQuery.toLatin1());
}

TEST_F(NetDispatcherTest, DroppingASessionStopsItsWorkersAndPurgesItsHostsSessionCookies) {
    Reply login = Reply::Xml("<grid/>");
    login.header("Set-Cookie", "VelnixSession=abc; Path=/")
        .header("Set-Cookie", "Theme=dark; Path=/");
    server.Script(FakeVelnixServer::kServicesPath, "Action=Grid", login);
    quint16 alice = 0;
    quint16 bob = 0;
    ASSERT_TRUE(send(kNetRequestGrid, alice, "Action=Grid"));
    ASSERT_TRUE(send(kNetRequestGrid, bob, "Action=Grid", u"bob"_qs));
    ASSERT_TRUE(receiver.WaitForReplies(2));
    const auto names = [] {
        std::vector<QString> found;
        for (const HttpCookie& cookie : HttpCookies()) {
            if (cookie.domain.endsWith(u"127.0.0.1")) {
                found.push_back(cookie.name);
            }
        }
        std::sort(found.begin(), found.end());
        return found;
    };
    ASSERT_THAT(names(), ElementsAre(u"Theme"_qs, u"VelnixSession"_qs));

    dispatcher.DropSession(url(""), u"alice"_qs);
    EXPECT_EQ(dispatcher.Session(*CNetServerKey::FromUrl(url(""), u"alice"_qs)), nullptr);
    EXPECT_NE(dispatcher.Session(*CNetServerKey::FromUrl(url(""), u"bob"_qs)), nullptr);
    EXPECT_THAT(names(), ElementsAre(u"Theme"_qs));
    HttpDeleteCookies({}, {});
}

TEST(NetDispatcherHttps, TheProbeUsesTheSessionsScheme) {
    RecordingWireServices services;
    FakeVelnixServer server(FakeVelnixServer::Transport::Https);
    ASSERT_TRUE(server.IsListening());
    server.Script(FakeVelnixServer::kServicesPath, "Action=Tree", Reply::Xml("<tree/>"));
    CNetDispatcher dispatcher;
    RecordingNetReceiver receiver(dispatcher.UiBridge());
    quint16 requesterId = 0;
    ASSERT_TRUE(dispatcher.SendRequest(kNetRequestTree, requesterId,
                                       server.BaseUrl() + u"/cmi/Services?Action=Tree"_qs,
                                       u"alice"_qs, u"secret"_qs, {}));
    ASSERT_TRUE(receiver.WaitForReplies(1));
    EXPECT_EQ(receiver.replies[0]->treeText, u"<tree/>"_qs);
    const auto requests = server.Requests();
    EXPECT_TRUE(std::any_of(requests.begin(), requests.end(), isProbe))
        << "the HTTPS server heard the probes";
}

}  // namespace
