#include "net/netdispatcher.h"
#include "platform/http.h"
#include "platform/pkcs11module.h"
#include "server/mysystem.h"
#include "server/mysystemsite.h"
#include "settings/preferences.h"
#include "support/fakeloginreplies.h"
#include "support/recordingwireservices.h"
#include "support/softhsmtoken.h"
#include "support/temphome.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

class SmartCardTlsTest : public TempHomeTest {
protected:
    void SetUp() override {
        TempHomeTest::SetUp();
        token = &SoftHsmToken::Shared();
        ASSERT_TRUE(token->error.isEmpty()) << token->error.toStdString();
        ASSERT_TRUE(RegisterPkcs11Engine(token->modulePath));
        CPkcs11Module& module = CPkcs11Module::ForPath(token->modulePath);
        CK_SLOT_ID slot = 0;
        ASSERT_EQ(module.FindToken(slot, info), Pkcs11Status::Ok);
        std::vector<Pkcs11Certificate> certificates;
        ASSERT_EQ(
            module.ReadCertificates(slot, info, SoftHsmToken::kPin, QByteArray(), certificates),
            Pkcs11Status::Ok);
        for (const Pkcs11Certificate& certificate : certificates) {
            if (certificate.label == u"Operator certificate") {
                operatorId = certificate.id;
            }
        }
        ASSERT_FALSE(operatorId.isEmpty());
    }

    std::unique_ptr<FakeVelnixServer> startServer() {
        auto server = std::make_unique<FakeVelnixServer>(token->caPem);
        fakelogin::ScriptLogin(*server, FakeLoginReply());
        server->Script("/doc", FakeVelnixServer::Reply::Xml("<cmi/>"));
        return server;
    }
    static void pointAt(CMySystem& system, const FakeVelnixServer& server) {
        system.Host = QStringLiteral("127.0.0.1");
        system.Protocol = QStringLiteral("https");
        system.WebPort = server.Port();
        system.User = QStringLiteral("noneed");
        system.Password = QStringLiteral("noneed");
    }
    static QList<QByteArray> subjects(const FakeVelnixServer& server) {
        QList<QByteArray> seen;
        for (const FakeVelnixServer::Request& request : server.Requests()) {
            seen << request.clientSubject;
        }
        return seen;
    }

    const SoftHsmToken* token = nullptr;
    Pkcs11Token info;
    QByteArray operatorId;
    RecordingWireServices services;
};

TEST_F(SmartCardTlsTest, CertificateGoesOnlyToItsServerUntilLogout) {
    auto cardServer = startServer();
    auto otherServer = startServer();
    ASSERT_TRUE(cardServer->IsListening() && otherServer->IsListening());
    CMySystem card;
    CMySystem other;
    pointAt(card, *cardServer);
    pointAt(other, *otherServer);
    card.SetClientCertificate(
        Pkcs11ClientCertificate(info, operatorId, QString::fromLatin1(SoftHsmToken::kPin)));

    QString error;
    ASSERT_EQ(card.Login(error, nullptr, nullptr, false), 1) << error.toStdString();
    QString reply;
    QString fetchError;
    EXPECT_TRUE(card.FetchDocument(QStringLiteral("/doc"), reply, fetchError))
        << fetchError.toStdString();
    // A worker's request to the same server carries the certificate too.
    std::thread worker([&cardServer] {
        CHttpRequest request;
        request.SetUrl(HttpUrl(cardServer->BaseUrl() + QStringLiteral("/doc")));
        EXPECT_TRUE(request.Send()) << request.ErrorText().toStdString();
    });
    worker.join();
    const QList<QByteArray> seen = subjects(*cardServer);
    ASSERT_GE(seen.size(), 3);
    for (const QByteArray& subject : seen) {
        EXPECT_EQ(subject, token->clientSubject);
    }

    // The other server demands a certificate too, and gets none.
    EXPECT_EQ(other.Login(error, nullptr, nullptr, false), 0);
    EXPECT_TRUE(otherServer->Requests().empty());

    card.Logout(nullptr, nullptr);
    cardServer->ClearRequests();
    EXPECT_EQ(card.Login(error, nullptr, nullptr, false), 0);
    EXPECT_TRUE(cardServer->Requests().empty());
    EXPECT_TRUE(HttpServerCertificate(HttpUrl(card.GetBaseURL(false)).Parts()).isEmpty());
}

}  // namespace
