#include "platform/http.h"
#include "platform/httpservertrust.h"
#include "platform/httpshare.h"
#include "support/fakeftpserver.h"
#include "support/fakevelnixserver.h"
#include "support/temphome.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

using ::testing::HasSubstr;
using Reply = FakeVelnixServer::Reply;

constexpr qint64 kChunk = 10240;

// Reads the rest of the body; -1 in `status` when the transfer failed.
QByteArray ReadAll(CHttpRequest& request, qint64* status = nullptr) {
    QByteArray body;
    char buffer[kChunk];
    qint64 count = 0;
    while ((count = request.Read(buffer, kChunk)) > 0) {
        body.append(buffer, count);
    }
    if (status != nullptr) {
        *status = count;
    }
    return body;
}

class HttpRequestTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(server.IsListening()); }

    HttpUrl Url(const QString& pathAndQuery) const {
        return HttpUrl(server.BaseUrl() + pathAndQuery);
    }

    FakeVelnixServer server;
    CHttpRequest request;
};

TEST_F(HttpRequestTest, GetCarriesTheUserAgentAndNoContentType) {
    server.Script("/cmi/Services", Reply::Xml("<ok/>").header("X-Trace", "7"));
    request.SetUrl(Url(u"/cmi/Services?Action=Ping"_qs));
    request.SetUserAgent(u"Quillet for Velnix"_qs);
    ASSERT_TRUE(request.Send()) << request.ErrorText().toStdString();
    EXPECT_EQ(request.StatusCode(), 200);
    EXPECT_TRUE(request.RawHeaders().startsWith(u"HTTP/1.1 200"));
    EXPECT_THAT(request.RawHeaders().toStdString(), HasSubstr("X-Trace: 7\r\n"));
    EXPECT_TRUE(request.RawHeaders().endsWith(u"\r\n\r\n"));
    EXPECT_EQ(ReadAll(request), QByteArray("<ok/>"));

    const auto logged = server.Requests().at(0);
    EXPECT_EQ(logged.method, "GET");
    EXPECT_EQ(logged.query, "Action=Ping");
    EXPECT_EQ(logged.header("User-Agent"), "Quillet for Velnix");
    EXPECT_FALSE(logged.hasHeader("Content-Type"));
}

TEST_F(HttpRequestTest, PostSendsTheBodyAsGivenWithoutContentTypeOrExpect) {
    server.Script("/cmi/Services", Reply::Xml("<done/>"));
    const QByteArray body = "Action=Save&text=" + QByteArray(5000, 'x') + "\xc3\xa9";
    request.SetUrl(Url(u"/cmi/Services"_qs));
    request.SetMethod(HttpMethod::Post);
    request.SetBody(body);
    ASSERT_TRUE(request.Send()) << request.ErrorText().toStdString();
    EXPECT_EQ(ReadAll(request), QByteArray("<done/>"));
    const auto logged = server.Requests().at(0);
    EXPECT_EQ(logged.method, "POST");
    EXPECT_EQ(logged.body, body);
    EXPECT_FALSE(logged.hasHeader("Content-Type"));
    EXPECT_FALSE(logged.hasHeader("Expect"));
}

TEST_F(HttpRequestTest, AHeaderTheCallerGivesIsKept) {
    server.Script("/form", Reply::Xml("<ok/>"));
    request.SetUrl(Url(u"/form"_qs));
    request.SetMethod(HttpMethod::Post);
    request.SetBody("a=1");
    request.AddHeader(u"Content-Type: application/x-www-form-urlencoded"_qs);
    request.AddHeader(u"User-Agent: Mozilla/4.0"_qs);
    request.SetUserAgent(u"Quillet for Velnix"_qs);
    ASSERT_TRUE(request.Send());
    const auto logged = server.Requests().at(0);
    EXPECT_EQ(logged.header("Content-Type"), "application/x-www-form-urlencoded");
    EXPECT_EQ(logged.header("User-Agent"), "Mozilla/4.0");
}

TEST_F(HttpRequestTest, AnErrorStatusIsAReplyNotATransportFailure) {
    server.Script("/missing", Reply::Xml("<gone/>", 500));
    request.SetUrl(Url(u"/missing"_qs));
    ASSERT_TRUE(request.Send());
    EXPECT_EQ(request.StatusCode(), 500);
    EXPECT_EQ(request.Error(), HttpError::None);
}

TEST_F(HttpRequestTest, AnEmptyBodyEndsAtOnce) {
    server.Script("/empty", Reply{});
    request.SetUrl(Url(u"/empty"_qs));
    ASSERT_TRUE(request.Send());
    EXPECT_EQ(request.StatusCode(), 200);
    qint64 last = 1;
    EXPECT_TRUE(ReadAll(request, &last).isEmpty());
    EXPECT_EQ(last, 0);
}

TEST_F(HttpRequestTest, CredentialsAnswerTheChallenge) {
    server.RequireBasicAuth("operator", "s3cret");
    server.Script("/cmi/Services", Reply::Xml("<in/>"));
    request.SetUrl(Url(u"/cmi/Services?Action=CmiLog"_qs));

    ASSERT_TRUE(request.Send());
    EXPECT_EQ(request.StatusCode(), 401);

    request.SetCredentials(u"operator"_qs, u"s3cret"_qs);
    ASSERT_TRUE(request.Send());
    EXPECT_EQ(request.StatusCode(), 200);
    EXPECT_EQ(ReadAll(request), QByteArray("<in/>"));
    const auto requests = server.Requests();
    EXPECT_TRUE(std::any_of(requests.begin(), requests.end(), [](const auto& logged) {
        return logged.header("Authorization") ==
               "Basic " + QByteArray("operator:s3cret").toBase64();
    }));
}

TEST_F(HttpRequestTest, CredentialsGoWithTheFirstRequestOnceTheServerTookBasic) {
    server.RequireBasicAuth("operator", "s3cret");
    server.Script("/cmi/Services", Reply::Xml("<in/>"));
    const auto sendAs = [this](const QString& password) {
        const size_t before = server.Requests().size();
        CHttpRequest request;
        request.SetUrl(Url(u"/cmi/Services?Action=Ping"_qs));
        request.SetCredentials(u"operator"_qs, password);
        EXPECT_TRUE(request.Send()) << request.ErrorText().toStdString();
        return std::pair(request.StatusCode(), server.Requests().size() - before);
    };
    // The round trips each request takes: the first learns the scheme from
    // the challenge, a refused password forgets it.
    const struct {
        const char* password;
        int status;
        size_t trips;
    } kCases[] = {
        {"s3cret", 200, 2}, {"s3cret", 200, 1}, {"s3cret", 200, 1},
        {"wrong", 401, 1},  {"s3cret", 200, 2}, {"s3cret", 200, 1},
    };
    int step = 0;
    for (const auto& expected : kCases) {
        SCOPED_TRACE(step++);
        EXPECT_EQ(sendAs(QString::fromLatin1(expected.password)),
                  std::pair(expected.status, expected.trips));
    }
}

TEST_F(HttpRequestTest, CookiesComeBackAndCanBeDeletedByName) {
    server.Script("/login", Reply::Xml("<ok/>")
                                .header("Set-Cookie", "KID=abc; Path=/")
                                .header("Set-Cookie", "Theme=dark; Path=/"));
    server.Script("/next", Reply::Xml("<ok/>"));
    request.SetUrl(Url(u"/login"_qs));
    ASSERT_TRUE(request.Send());
    request.Close();

    const auto cookies = HttpCookies();
    EXPECT_TRUE(std::any_of(cookies.begin(), cookies.end(), [](const HttpCookie& cookie) {
        return cookie.name == u"KID" && cookie.value == u"abc" && cookie.domain == u"127.0.0.1";
    }));
    request.SetUrl(Url(u"/next"_qs));
    ASSERT_TRUE(request.Send());
    EXPECT_THAT(server.Requests().back().header("Cookie").toStdString(), HasSubstr("KID=abc"));

    EXPECT_EQ(HttpDeleteCookies(u"other.example"_qs, {u"KID"_qs}), 0);
    EXPECT_EQ(HttpDeleteCookies(u"127.0.0.1"_qs, {u"KID"_qs, u"RADIUS"_qs}), 1);
    ASSERT_TRUE(request.Send());
    const QByteArray sent = server.Requests().back().header("Cookie");
    EXPECT_FALSE(sent.contains("KID"));
    EXPECT_TRUE(sent.contains("Theme=dark"));
    HttpDeleteCookies({}, {});
    EXPECT_TRUE(HttpCookies().empty());
}

TEST_F(HttpRequestTest, HeldChunksArriveAsTheyAreSent) {
    Reply reply;
    reply.chunks = {"<grid>", "<row>1</row>", "</grid>"};
    reply.holdChunks = true;
    server.Script("/cmi/Services", reply);
    request.SetUrl(Url(u"/cmi/Services?Action=Grid"_qs));
    ASSERT_TRUE(request.Send());

    char buffer[kChunk];
    const qint64 first = request.Read(buffer, kChunk);
    ASSERT_EQ(QByteArray(buffer, first), QByteArray("<grid>"));  // the rest is still held
    server.ReleaseChunks(2);
    EXPECT_EQ(ReadAll(request), QByteArray("<row>1</row></grid>"));
}

TEST_F(HttpRequestTest, ALargeBodyIsReadWhole) {
    QByteArray body(1024 * 1024 + 17, '\0');
    for (qsizetype i = 0; i < body.size(); ++i) {
        body[i] = static_cast<char>('a' + i % 23);
    }
    server.Script("/big", Reply::Xml(body));
    request.SetUrl(Url(u"/big"_qs));
    ASSERT_TRUE(request.Send());
    EXPECT_EQ(ReadAll(request), body);
}

// Reads of any size: smaller than what arrives at a time (the rest waits),
// and larger (the body goes straight into the reader's buffer).
TEST_F(HttpRequestTest, ALargeBodyIsReadWholeInReadsOfAnySize) {
    QByteArray body(1024 * 1024 + 17, '\0');
    for (qsizetype i = 0; i < body.size(); ++i) {
        body[i] = static_cast<char>('a' + i % 29);
    }
    server.Script("/big", Reply::Xml(body));
    for (const qint64 readSize : {qint64(7), qint64(65536), qint64(700000)}) {
        request.SetUrl(Url(u"/big"_qs));
        ASSERT_TRUE(request.Send());
        QByteArray read;
        std::vector<char> buffer(static_cast<size_t>(readSize));
        qint64 count = 0;
        while ((count = request.Read(buffer.data(), readSize)) > 0) {
            read.append(buffer.data(), count);
        }
        EXPECT_EQ(count, 0) << readSize;
        EXPECT_TRUE(read == body) << "read in pieces of " << readSize;
    }
}

TEST_F(HttpRequestTest, AConnectionDroppedMidBodyFailsTheRead) {
    Reply reply = Reply::Xml("<grid><row>1</row><row>2</row></grid>");
    reply.dropAfterBytes = 10;
    server.Script("/broken", reply);
    request.SetUrl(Url(u"/broken"_qs));
    ASSERT_TRUE(request.Send());
    qint64 last = 0;
    EXPECT_EQ(ReadAll(request, &last), QByteArray("<grid><row"));
    EXPECT_EQ(last, -1);
    EXPECT_EQ(request.Error(), HttpError::Transfer);
    EXPECT_FALSE(request.ErrorText().isEmpty());
}

TEST_F(HttpRequestTest, TheWaitHookCanAbandonAStalledReply) {
    Reply reply;
    reply.chunks = {"<a>", "</a>"};
    reply.holdChunks = true;
    server.Script("/stall", reply);
    // Counted only once the reply has begun: the hook is asked every 100 ms
    // while Send waits too, and a fake server slowed by a loaded machine or a
    // sanitizer must not make the count run out before the stall.
    bool reading = false;
    int calls = 0;
    request.SetWaitHook([&] { return !reading || ++calls < 3; });
    request.SetUrl(Url(u"/stall"_qs));
    ASSERT_TRUE(request.Send());
    reading = true;
    qint64 last = 0;
    ReadAll(request, &last);
    EXPECT_EQ(last, -1);
    EXPECT_EQ(request.Error(), HttpError::Cancelled);
    EXPECT_EQ(calls, 3);
}

TEST_F(HttpRequestTest, AtMostFourRequestsToOneServerAreOpen) {
    Reply reply;
    reply.chunks = {"<a>", "</a>"};
    reply.holdChunks = true;
    server.Script("/hold", reply);
    std::vector<std::unique_ptr<CHttpRequest>> open;
    for (int i = 0; i < CHttpServerSlot::kMaxPerServer; ++i) {
        open.push_back(std::make_unique<CHttpRequest>());
        open.back()->SetUrl(Url(u"/hold"_qs));
        ASSERT_TRUE(open.back()->Send());
    }
    EXPECT_EQ(CHttpServerSlot::OpenCount(u"127.0.0.1"_qs), 4);
    EXPECT_FALSE(CHttpServerSlot(u"127.0.0.1"_qs, std::chrono::milliseconds(0)).Acquired());

    // A fifth request that is cancelled while it waits for a slot gives up
    // at once instead of waiting out its patience.
    CHttpRequest waiting;
    waiting.SetUrl(Url(u"/hold"_qs));
    int asked = 0;
    waiting.SetWaitHook([&asked] { return ++asked < 2; });
    EXPECT_FALSE(waiting.Send());
    EXPECT_EQ(waiting.Error(), HttpError::Cancelled);
    EXPECT_EQ(asked, 2);

    open.pop_back();
    EXPECT_TRUE(CHttpServerSlot(u"127.0.0.1"_qs, std::chrono::milliseconds(0)).Acquired());
    server.ReleaseChunks(100);
}

TEST_F(HttpRequestTest, OnlyHttpHttpsAndFtpAreFetched) {
    server.Script("/jump", Reply{302, {{"Location", "file:///etc/passwd"}}, {}, {}, false, -1});
    request.SetUrl(Url(u"/jump"_qs));
    EXPECT_FALSE(request.Send());
    EXPECT_EQ(request.Error(), HttpError::Transfer);

    for (const QString& url : {u"file:///etc/passwd"_qs, u"telnet://127.0.0.1/"_qs}) {
        request.SetUrl(HttpUrl(url));
        EXPECT_FALSE(request.Send()) << url.toStdString();
        EXPECT_EQ(request.Error(), HttpError::InvalidUrl);
    }
}

TEST_F(HttpRequestTest, AnUnknownHostIsReportedAsNotResolved) {
    request.SetUrl(HttpUrl(u"http://no-such-host.invalid/cmi/Services"_qs));
    EXPECT_FALSE(request.Send());
    EXPECT_EQ(request.Error(), HttpError::NameNotResolved);
}

TEST(HttpsRequestTest, AnyCertificateIsAcceptedKeptForItsHostAndPortAndItsFailureLoggedOnce) {
    FakeVelnixServer server(FakeVelnixServer::Transport::Https);
    FakeVelnixServer other(FakeVelnixServer::Transport::Https);
    ASSERT_TRUE(server.IsListening() && other.IsListening());
    ASSERT_FALSE(server.CertificateDer().isEmpty());
    ASSERT_NE(server.CertificateDer(), other.CertificateDer());
    const auto fetch = [](const FakeVelnixServer& from) {
        CHttpRequest request;
        request.SetUrl(HttpUrl(from.BaseUrl() + u"/cmi/Services?Action=Ping"_qs));
        EXPECT_TRUE(request.Send()) << request.ErrorText().toStdString();
        return ReadAll(request);
    };
    server.Script("/cmi/Services", Reply::Xml("<secure/>"));
    other.Script("/cmi/Services", Reply::Xml("<other/>"));
    EXPECT_EQ(fetch(server), QByteArray("<secure/>"));
    EXPECT_EQ(fetch(other), QByteArray("<other/>"));
    // A later request resumes the TLS session: what was kept stays.
    EXPECT_EQ(fetch(server), QByteArray("<secure/>"));

    // The self-signed certificate failed verification, and that was noted.
    EXPECT_TRUE(HttpCertificateWarningGiven(u"127.0.0.1"_qs));
    const HttpPresentedCertificate kept =
        HttpAcceptedServerCertificate(u"127.0.0.1"_qs, server.Port());
    EXPECT_EQ(kept.der, server.CertificateDer());
    EXPECT_NE(kept.verification, 0);
    EXPECT_EQ(HttpAcceptedServerCertificate(u"127.0.0.1"_qs, other.Port()).der,
              other.CertificateDer());
    EXPECT_TRUE(HttpAcceptedServerCertificate(u"localhost"_qs, server.Port()).der.isEmpty())
        << "a certificate is kept for the host that presented it only";
}

TEST(HttpUrlTest, EncodesOnlyWhatIsNotValidInAUrl) {
    struct Case {
        QString url;
        QByteArray expected;
    };
    const Case cases[] = {
        {u"http://h/p?a=1&b=x y"_qs, "http://h/p?a=1&b=x%20y"},
        {u"http://h/p?name=caf\u00e9"_qs, "http://h/p?name=caf%C3%A9"},
        {u"http://h/p?t=a\tb\nc"_qs, "http://h/p?t=a%09b%0Ac"},
        {u"http://h/p?q=%20already&r=<x>|{y}"_qs, "http://h/p?q=%20already&r=%3Cx%3E%7C%7By%7D"},
        {u"http://u:p@h:8080/a;b/c?d=e/f:g@h!$'()*+,;=#frag"_qs,
         "http://u:p@h:8080/a;b/c?d=e/f:g@h!$'()*+,;=#frag"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HttpEncodeUrl(c.url), c.expected) << c.url.toStdString();
        EXPECT_EQ(HttpEncodeUrl(QString::fromUtf8(c.expected)), c.expected);  // once only
    }
}

TEST(HttpUrlTest, SplitsServicesServersPortsAndPaths) {
    struct Case {
        QString url;
        HttpService service;
        QString server;
        int port;
        QString objectPath;
    };
    const Case cases[] = {
        {u"http://velnix/cmi/Services?Action=A"_qs, kHttpServiceHttp, u"velnix"_qs, 80,
         u"/cmi/Services?Action=A"_qs},
        {u"https://10.0.0.1:8443/x"_qs, kHttpServiceHttps, u"10.0.0.1"_qs, 8443, u"/x"_qs},
        {u"ftp://files/pub/a.zwv"_qs, kHttpServiceFtp, u"files"_qs, 21, u"/pub/a.zwv"_qs},
        {u"http://[::1]:81/"_qs, kHttpServiceHttp, u"[::1]"_qs, 81, u"/"_qs},
    };
    for (const Case& c : cases) {
        const HttpUrl url(c.url);
        ASSERT_TRUE(url.IsValid()) << c.url.toStdString();
        EXPECT_EQ(url.Text(), c.url);
        const HttpUrlParts& parts = url.Parts();
        EXPECT_EQ(parts.service, c.service);
        EXPECT_EQ(parts.server, c.server);
        EXPECT_EQ(parts.port, c.port);
        EXPECT_EQ(parts.objectPath, c.objectPath);
    }
    for (const QString& text :
         {u"not a url"_qs, u"gopher://h/"_qs, u"http:/%%444"_qs, u"http://a%25b/"_qs}) {
        const HttpUrl url(text);
        EXPECT_FALSE(url.IsValid()) << text.toStdString();
        EXPECT_EQ(url.Text(), text);  // kept for the error that names it
    }
}

// A session sends its probes and downloads to URLs made from the parts of
// the URL its request entered with; they must reach the same server and path.
TEST(HttpUrlTest, AUrlMadeFromItsPartsSplitsToTheSameParts) {
    const QString urls[] = {
        u"http://Velnix:8080/a/../cmi/Services?Action=Grid&n=a b#top"_qs,
        u"https://user:pw@[::1]/x?name=caf\u00e9"_qs,
        u"ftp://files/pub/a%20b.zwv"_qs,
        u"http://h/p?"_qs,
        u"http://velnix%2elab/x"_qs,
    };
    for (const QString& text : urls) {
        const HttpUrl url(text);
        ASSERT_TRUE(url.IsValid()) << text.toStdString();
        const HttpUrl made(url.Parts());
        EXPECT_TRUE(made.IsValid()) << text.toStdString();
        EXPECT_TRUE(HttpUrl(made.Text()).Parts() == url.Parts())
            << text.toStdString() << " made " << made.Text().toStdString();
    }
    EXPECT_FALSE(HttpUrl(HttpUrlParts{kHttpServiceNone, u"h"_qs, 80, u"/"_qs}).IsValid());
}

class FtpRequestTest : public TempHomeTest {};

TEST_F(FtpRequestTest, FetchesAFileInBinary) {
    const QByteArray contents("line one\r\nline two\r\n\x00\xff", 22);
    writeFile(u"ftp/pub/world.zwv"_qs, contents);
    FakeFtpServer ftp(root() + u"/ftp"_qs);
    ASSERT_TRUE(ftp.IsListening()) << ftp.Output().toStdString();
    CHttpRequest request;
    request.SetUrl(HttpUrl(ftp.BaseUrl() + u"/pub/world.zwv"_qs));
    ASSERT_TRUE(request.Send()) << request.ErrorText().toStdString();
    EXPECT_EQ(ReadAll(request), contents);

    request.SetUrl(HttpUrl(ftp.BaseUrl() + u"/pub/missing.zwv"_qs));
    EXPECT_FALSE(request.Send());
    EXPECT_FALSE(request.ErrorText().isEmpty());
}

}  // namespace
