#include "net/mywire.h"
#include "support/fakeftpserver.h"
#include "support/fakevelnixserver.h"
#include "support/recordingwireservices.h"
#include "support/temphome.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using Reply = FakeVelnixServer::Reply;

// Records the start tags that reach the handler.
class RecordingWire : public CMyWire {
public:
    int XMLHandleStartTag(const QString& name, const KPROPS& attributes, const QString& parent,
                          const XmlElementStack& stack) override {
        starts.push_back(name);
        return CMyWire::XMLHandleStartTag(name, attributes, parent, stack);
    }
    std::vector<QString> starts;
};

class MyWireTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(server.IsListening()); }

    QString Services(const QString& query) const {
        return server.BaseUrl() + u"/cmi/Services?"_qs + query;
    }
    FakeVelnixServer::Request OnlyRequest() const {
        const auto requests = server.Requests();
        EXPECT_EQ(requests.size(), 1U);
        return requests.empty() ? FakeVelnixServer::Request{} : requests.front();
    }

    RecordingWireServices services;
    FakeVelnixServer server;
    RecordingWire wire;
};

TEST(WireRequestShapeTest, LongQueriesAndCancelRequestsArePosted) {
    const QString base = u"http://h/cmi/Services"_qs;
    struct Case {
        QString url;
        QString postData;
        WireRequestShape expected;
    };
    const QString query1999 = u"Action=X&q="_qs + QString(1999 - 11, u'a');
    const QString query2000 = query1999 + u'a';
    const HttpUrl bare(base);
    const Case cases[] = {
        {base + u'?' + query1999, {}, {HttpUrl(base + u'?' + query1999), {}, false}},
        {base + u'?' + query2000, {}, {bare, query2000, true}},
        {base + u"?Action=CancelRequest&RequestID=5"_qs,
         {},
         {bare, u"Action=CancelRequest&RequestID=5"_qs, true}},
        {base + u"?Action=A"_qs, u"x=1"_qs, {HttpUrl(base + u"?Action=A"_qs), u"x=1"_qs, true}},
        {base, {}, {bare, {}, false}},
    };
    for (const Case& c : cases) {
        const WireRequestShape shape = ShapeWireRequest(HttpUrl(c.url), c.postData);
        EXPECT_EQ(shape.url.Text(), c.expected.url.Text()) << c.url.left(60).toStdString();
        // A moved query leaves the object path too.
        EXPECT_EQ(shape.url.Parts(), c.expected.url.Parts()) << c.url.left(60).toStdString();
        EXPECT_EQ(shape.body, c.expected.body) << c.url.left(60).toStdString();
        EXPECT_EQ(shape.post, c.expected.post) << c.url.left(60).toStdString();
    }
}

TEST_F(MyWireTest, TheGetPostRuleReachesTheServer) {
    server.Script("/cmi/Services", Reply::Xml("<ok/>"));
    const QString query1999 = u"Action=X&q="_qs + QString(1999 - 11, u'a');
    const QString query2000 = query1999 + u'a';
    struct Case {
        QString query;
        QByteArray method;
        QByteArray sentQuery;
        QByteArray body;
        bool recorded;
    };
    const Case cases[] = {
        {query1999, "GET", query1999.toUtf8(), {}, true},
        {query2000, "POST", {}, query2000.toUtf8(), true},
        {u"Action=CancelRequest&RequestID=7"_qs,
         "POST",
         {},
         "Action=CancelRequest&RequestID=7",
         false},
    };
    for (const Case& c : cases) {
        server.ClearRequests();
        const size_t trailBefore = services.trail().size();
        ASSERT_TRUE(wire.OpenConnection(Services(c.query), {}, {}, {}, false))
            << wire.GetErrorText().toStdString();
        wire.CloseConnection();
        const auto logged = OnlyRequest();
        EXPECT_EQ(logged.method, c.method);
        EXPECT_EQ(logged.path, "/cmi/Services");
        EXPECT_EQ(logged.query, c.sentQuery);
        EXPECT_EQ(logged.body, c.body);
        EXPECT_EQ(logged.header("User-Agent"), "Quillet for Velnix");
        EXPECT_FALSE(logged.hasHeader("Content-Type"));
        EXPECT_EQ(services.trail().size(), trailBefore + (c.recorded ? 1 : 0));
    }
    EXPECT_EQ(services.trail().at(1), u"[PostData] "_qs + query2000);
}

TEST_F(MyWireTest, PostDataTravelsAsUtf8) {
    server.Script("/cmi/Services", Reply::Xml("<ok/>"));
    ASSERT_TRUE(wire.OpenConnection(Services(u"Action=Save"_qs), {}, {},
                                    u"name=Caf\u00e9 \u20ac \u4e2d"_qs, false));
    EXPECT_EQ(OnlyRequest().body, QByteArray("name=Caf\xc3\xa9 \xe2\x82\xac \xe4\xb8\xad"));
    EXPECT_FALSE(OnlyRequest().hasHeader("Content-Type"));
}

TEST_F(MyWireTest, FailuresLeaveTheirTextAndStatus) {
    server.Script("/cmi/Services", Reply::Xml("<err/>", 500));
    struct Case {
        QString url;
        QString error;
        int status;
    };
    const Case cases[] = {
        {Services(u"Action=Fail"_qs), u"HTTP-500"_qs, 500},
        {u"http://no-such-host.invalid/cmi/Services"_qs,
         u"The server name or address could not be resolved."_qs, 0},
        {u"velnix/cmi/Services"_qs, u"BUG(CMyWire): invalid FullURL: velnix/cmi/Services"_qs, 0},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(wire.OpenConnection(c.url, {}, {}, {}, false)) << c.url.toStdString();
        EXPECT_EQ(wire.GetErrorText(), c.error);
        EXPECT_EQ(wire.GetHttpStatus(), c.status);
        EXPECT_FALSE(wire.IsConnected());
    }
}

TEST_F(MyWireTest, CredentialsAnswerA401) {
    server.RequireBasicAuth("admin", "pw");
    server.Script("/cmi/Services", Reply::Xml("<ok/>"));
    EXPECT_FALSE(wire.GetData(CMyWire::kSynchronous, Services(u"Action=A"_qs), {}, {}, {}, false));
    EXPECT_EQ(wire.GetErrorText(), u"HTTP-401"_qs);
    EXPECT_EQ(wire.GetHttpStatus(), 401);

    EXPECT_TRUE(wire.GetData(CMyWire::kSynchronous, Services(u"Action=A"_qs), u"admin"_qs, u"pw"_qs,
                             {}, false));
    EXPECT_THAT(wire.starts, ElementsAre(u"ok"_qs));
    EXPECT_EQ(wire.GetHttpStatus(), 0);
}

TEST_F(MyWireTest, AProxyAsking407IsAnsweredFromTheDialog) {
    server.RequireProxyAuth("proxyuser", "proxypw");
    server.Script("/cmi/Services", Reply::Xml("<ok/>"));
    qputenv("http_proxy", server.BaseUrl().toUtf8());
    const QString url = u"http://velnix.test/cmi/Services?Action=A"_qs;

    EXPECT_FALSE(wire.OpenConnection(url, {}, {}, {}, false));  // the dialog is cancelled
    EXPECT_EQ(wire.GetErrorText(), u"HTTP-407"_qs);
    EXPECT_EQ(wire.GetHttpStatus(), 407);

    services.proxyUser = u"proxyuser"_qs;
    services.proxyPassword = u"proxypw"_qs;
    EXPECT_TRUE(wire.OpenConnection(url, {}, {}, {}, false)) << wire.GetErrorText().toStdString();
    EXPECT_TRUE(wire.GetErrorText().isEmpty());
    EXPECT_EQ(services.proxyQuestions.load(), 2);
    qunsetenv("http_proxy");
}

TEST_F(MyWireTest, AnEmptyReplyIsASuccessWithoutEvents) {
    server.Script("/cmi/Services", Reply{});
    EXPECT_TRUE(wire.GetData(CMyWire::kSynchronous, Services(u"Action=A"_qs), {}, {}, {}, false));
    EXPECT_THAT(wire.starts, IsEmpty());
    EXPECT_FALSE(wire.IsConnected());
}

TEST_F(MyWireTest, CommonElementsOfAReplyReachTheirServices) {
    server.Script("/cmi/Services",
                  Reply::Xml("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                             "<tree pid=\"42\"><message type=\"warning\">Caf\xc3\xa9</message>"
                             "<curl>refresh=1</curl>"
                             "<exception class=\"SQLException\" message=\"table gone\"/></tree>"));
    ASSERT_TRUE(
        wire.GetData(CMyWire::kSynchronous, Services(u"Action=Tree"_qs), {}, {}, {}, false));
    const auto popups = services.popups();
    ASSERT_EQ(popups.size(), 2U);
    EXPECT_EQ(popups[0].text, u"Caf\u00e9"_qs);
    EXPECT_EQ(popups[0].type, kPopupWarning);
    EXPECT_EQ(popups[1].text, u"SQLException: table gone"_qs);
    EXPECT_EQ(popups[1].type, kPopupError);
    EXPECT_THAT(services.curls(), ElementsAre(u"refresh=1"_qs));
    const auto pids = services.pids();
    ASSERT_EQ(pids.size(), 2U);
    EXPECT_EQ(pids[0].pid, 42U);
    EXPECT_FALSE(pids[1].added);
}

TEST_F(MyWireTest, BrokenRepliesFail) {
    Reply malformed = Reply::Xml("<grid><row></grid>");
    Reply dropped = Reply::Xml("<grid><row>1</row><row>2</row></grid>");
    dropped.dropAfterBytes = 12;
    server.Script("/cmi/Services", "Action=Malformed", malformed);
    server.Script("/cmi/Services", "Action=Dropped", dropped);

    EXPECT_FALSE(
        wire.GetData(CMyWire::kSynchronous, Services(u"Action=Malformed"_qs), {}, {}, {}, false));
    EXPECT_THAT(wire.GetParseError().toStdString(), HasSubstr("mismatched tag"));

    EXPECT_FALSE(
        wire.GetData(CMyWire::kSynchronous, Services(u"Action=Dropped"_qs), {}, {}, {}, false));
    ASSERT_EQ(services.popups().size(), 1U);  // the broken transfer's box
    EXPECT_EQ(services.popups()[0].type, kPopupError);
}

TEST_F(MyWireTest, AReplyIsParsedAsItArrives) {
    Reply reply;
    reply.chunks = {"<grid><row>1</row>", "<row>2</row>", "</grid>"};
    reply.holdChunks = true;
    server.Script("/cmi/Services", reply);
    server.ReleaseChunks(2);
    wire.SetBufferSize(4);  // many small reads
    ASSERT_TRUE(wire.OpenConnection(Services(u"Action=Grid"_qs), {}, {}, {}, false));
    ASSERT_TRUE(wire.GetStream());
    EXPECT_THAT(wire.starts, ElementsAre(u"grid"_qs, u"row"_qs, u"row"_qs));
    wire.CloseConnection();
    EXPECT_EQ(wire.GetBufferSize(), CMyWire::kBufferSize);
}

TEST_F(MyWireTest, HttpsRepliesAreRead) {
    FakeVelnixServer secure(FakeVelnixServer::Transport::Https);
    ASSERT_TRUE(secure.IsListening());
    secure.Script("/cmi/Services", Reply::Xml("<secure/>"));
    ASSERT_TRUE(wire.GetData(CMyWire::kSynchronous, secure.BaseUrl() + u"/cmi/Services?Action=A"_qs,
                             {}, {}, {}, false))
        << wire.GetErrorText().toStdString();
    EXPECT_THAT(wire.starts, ElementsAre(u"secure"_qs));
}

TEST_F(MyWireTest, TheCancelFlagStopsRequestsUnlessForced) {
    server.Script("/cmi/Services", Reply::Xml("<ok/>"));
    services.cancelFlag = 1;
    EXPECT_FALSE(wire.GetData(CMyWire::kSynchronous, Services(u"Action=A"_qs), {}, {}, {}, false));
    EXPECT_THAT(server.Requests(), IsEmpty());
    // A forced request (a cancel request) still goes out.
    wire.GetData(CMyWire::kSynchronous, Services(u"Action=CancelRequest&RequestID=3"_qs), {}, {},
                 {}, true);
    EXPECT_EQ(OnlyRequest().body, "Action=CancelRequest&RequestID=3");
}

TEST_F(MyWireTest, CaptureDocumentDecodesUtf8) {
    server.Script("/doc", "good", Reply::Xml("<a>Caf\xc3\xa9</a>"));
    server.Script("/doc", "bad", Reply::Xml("<a>Caf\xe9</a>"));
    QString text = u"stale"_qs;
    ASSERT_TRUE(wire.CaptureDocument(server.BaseUrl() + u"/doc?good"_qs, {}, {}, text, false));
    EXPECT_EQ(text, u"<a>Caf\u00e9</a>"_qs);
    EXPECT_FALSE(wire.IsConnected());

    EXPECT_FALSE(wire.CaptureDocument(server.BaseUrl() + u"/doc?bad"_qs, {}, {}, text, false));
    EXPECT_TRUE(text.isEmpty());
    EXPECT_THAT(wire.GetErrorText().toStdString(), HasSubstr("MultiByteToWideChar() failed: "));
}

TEST_F(MyWireTest, BrowserHeadersAreSentOnlyWhenAsked) {
    server.Script("/page", Reply::Xml("<p/>"));
    QString text;
    ASSERT_TRUE(wire.CaptureDocument(server.BaseUrl() + u"/page"_qs, {}, {}, text, true));
    const auto logged = OnlyRequest();
    EXPECT_THAT(logged.header("User-Agent").toStdString(), HasSubstr("Mozilla/4.0"));
    EXPECT_EQ(logged.header("Accept-Language"), "ru");
    EXPECT_THAT(logged.header("Accept-Encoding").toStdString(), HasSubstr("gzip"));
}

TEST_F(MyWireTest, GridAndTreeRequestsGoToTheDispatcher) {
    EXPECT_FALSE(wire.GetData(CMyWire::kGridReply, Services(u"Action=Grid"_qs), {}, {}, {}, false));
    EXPECT_THAT(server.Requests(), IsEmpty());
}

class MyWireFtpTest : public TempHomeTest {};

TEST_F(MyWireFtpTest, CaptureDocumentFetchesOverFtp) {
    RecordingWireServices services;
    const QByteArray world = "<worldview>\n<item name=\"Caf\xc3\xa9\"/>\n</worldview>\n";
    writeFile(u"ftp/pub/Quillex.zwv"_qs, world);
    FakeFtpServer ftp(root() + u"/ftp"_qs);
    ASSERT_TRUE(ftp.IsListening()) << ftp.Output().toStdString();

    CMyWire wire;
    QString text;
    ASSERT_TRUE(wire.CaptureDocument(ftp.BaseUrl() + u"/pub/Quillex.zwv"_qs, {}, {}, text, false))
        << wire.GetErrorText().toStdString();
    EXPECT_EQ(text, QString::fromUtf8(world));

    EXPECT_FALSE(wire.CaptureDocument(ftp.BaseUrl() + u"/pub/none.zwv"_qs, {}, {}, text, false));
    EXPECT_FALSE(wire.GetErrorText().isEmpty());
}

}  // namespace
