#include "platform/http.h"
#include "platform/pkcs11module.h"
#include "server/loginall.h"
#include "server/mysystem.h"
#include "settings/preferencesfixture.h"
#include "support/fakeloginreplies.h"
#include "support/recordingmysystemsite.h"
#include "support/recordingwireservices.h"
#include "support/recordingworldviewsite.h"
#include "support/softhsmtoken.h"
#include "tree/mytree.h"
#include "tree/worldviewfile.h"

#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

class SilentLoginProgress : public CLoginProgress {
public:
    void Start(const QString&, int) override {}
    void Step() override {}
    void SetActionText(const QString&) override {}
    bool IsCancelled() override { return false; }
    void End() override {}
};

// A session with every trace on: what the log shows of it must never hold
// a password, however often the same credentials are stored again.
class SecretsInLogTest : public PreferencesFixture {
protected:
    void SetUp() override {
        PreferencesFixture::SetUp();
        writeFile(QStringLiteral("Quillex.dbg"), "9");
        kDebugLevel(1);
        systemSite.prefs = &prefs;
        systemSite.tree = &tree;
        ASSERT_TRUE(server.IsListening());
        fakelogin::ScriptCmiLogAndCancel(server);
        fakelogin::ScriptLogin(server, FakeLoginReply());
        // Login to all takes only servers on the standard ports.
        HttpSetConnectTo({QStringLiteral("alpha:80:127.0.0.1:%1").arg(server.Port())});
        tree.AttachTreeCtrl(&control);
        CMySystem settings;
        settings.Host = QStringLiteral("alpha");
        settings.WebPort = 80;
        settings.User = QStringLiteral("ops");
        settings.Password = kPassword;
        item = tree.AddSystemItem(tree.AddRootItem(QStringLiteral("World View")),
                                  QStringLiteral("Alpha"), settings);
        file.SetSite(&viewSite);
    }
    void TearDown() override {
        HttpSetConnectTo({});
        PreferencesFixture::TearDown();
    }

    CMySystem& system() { return dynamic_cast<CMySystem&>(*tree.GetSystem(item)); }
    // Logs in and stores the credentials the way the login panel does.
    void logIn() {
        QString error;
        ASSERT_EQ(system().Login(error, &tree, item, false), 1) << error.toStdString();
        prefs.SetCredentials(kFormat(u"%s:%d", system().Host, system().WebPort), system().User,
                             system().Password);
    }

    static inline const QString kPassword = QStringLiteral("Tr0ub4dor3x");
    RecordingWireServices services;
    RecordingMySystemSite systemSite;
    RecordingWorldViewSite viewSite;
    FakeVelnixServer server;
    QTreeWidget control;
    CMyTree tree;
    QTreeWidgetItem* item = nullptr;
    CWorldViewFile file{prefs, tree};
};

TEST_F(SecretsInLogTest, LoginLogoutReloginLoginToAllAndSaveLogNoPassword) {
    ASSERT_EQ(kDebugLevel(0), 9);
    prefs.RestorePrefs();
    prefs.SetInt(QStringLiteral("StorePasswords"), 1);

    logIn();
    ASSERT_EQ(system().Logout(&tree, item), 1);
    logIn();
    logIn();
    ASSERT_EQ(system().Logout(&tree, item), 1);
    SilentLoginProgress progress;
    CLoginAll run(tree, progress);
    run.LoginAllMatching(QString(), system().User, kPassword);
    EXPECT_TRUE(system().LoggedIn);
    prefs.SetCredentials(kFormat(u"%s:%d", system().Host, system().WebPort), system().User,
                         kPassword);
    tree.SetModified();
    ASSERT_EQ(file.SaveWorldView(false), 1);
    ASSERT_EQ(prefs.SavePrefs(1), 1);

    const QString log = logText();
    ASSERT_TRUE(log.contains(QStringLiteral("identical item exists")))
        << "the repeated credentials were traced";
    EXPECT_FALSE(log.contains(kPassword)) << log.toStdString();
}

TEST_F(SecretsInLogTest, SmartCardLoginLogoutAndReloginLogNoPin) {
    ASSERT_EQ(kDebugLevel(0), 9);
    const SoftHsmToken& token = SoftHsmToken::Shared();
    ASSERT_TRUE(token.error.isEmpty()) << token.error.toStdString();
    const QString pin = QString::fromLatin1(SoftHsmToken::kPin);
    ASSERT_TRUE(RegisterPkcs11Engine(token.modulePath));
    CPkcs11Module& module = CPkcs11Module::ForPath(token.modulePath);
    CK_SLOT_ID slot = 0;
    Pkcs11Token info;
    ASSERT_EQ(module.FindToken(slot, info), Pkcs11Status::Ok);
    std::vector<Pkcs11Certificate> certificates;
    ASSERT_EQ(module.ReadCertificates(slot, info, SoftHsmToken::kPin, {}, certificates),
              Pkcs11Status::Ok);
    QByteArray operatorId;
    for (const Pkcs11Certificate& certificate : certificates) {
        if (certificate.label == u"Operator certificate") {
            operatorId = certificate.id;
        }
    }
    ASSERT_FALSE(operatorId.isEmpty());
    g_SmartCardLogin.first = pin;

    FakeVelnixServer cardServer(token.caPem);
    fakelogin::ScriptCmiLogAndCancel(cardServer);
    fakelogin::ScriptLogin(cardServer, FakeLoginReply());
    CMySystem card;
    card.Host = QStringLiteral("127.0.0.1");
    card.Protocol = QStringLiteral("https");
    card.WebPort = cardServer.Port();
    card.User = QStringLiteral("noneed");
    card.Password = QStringLiteral("noneed");
    // Login, logout, and the same again: a logout forgets the certificate.
    for (int round = 0; round < 2; ++round) {
        card.SetClientCertificate(Pkcs11ClientCertificate(info, operatorId, pin));
        QString error;
        ASSERT_EQ(card.Login(error, nullptr, nullptr, false), 1) << error.toStdString();
        card.Logout(nullptr, nullptr);
    }
    ForgetSmartCardLogin();

    const QString log = logText();
    ASSERT_TRUE(log.contains(QStringLiteral("LOGIN to"))) << "the logins were traced";
    EXPECT_FALSE(log.contains(pin)) << log.toStdString();
}

}  // namespace
