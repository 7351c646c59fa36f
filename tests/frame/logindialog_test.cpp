#include "frame/logindialog.h"
#include "frame/logoutdialog.h"
#include "frame/saveloginsettingsdialog.h"
#include "frame/smartcardlogin.h"
#include "framework/kformat.h"
#include "framework/klog.h"
#include "server/mysystem.h"
#include "settings/buildstamp.h"
#include "settings/preferences.h"
#include "support/fakeloginreplies.h"
#include "support/recordingmysystemsite.h"
#include "support/recordingwireservices.h"
#include "support/scriptedpkcs11.h"
#include "support/softhsmtoken.h"
#include "support/temphome.h"
#include "tree/mytree.h"
#include "tree/treetexts.h"

#include <QCheckBox>
#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

using Reply = FakeVelnixServer::Reply;

template <typename Widget>
Widget* control(QWidget& panel, int id) {
    for (Widget* widget : panel.findChildren<Widget*>()) {
        if (widget->property("controlId").toInt() == id) {
            return widget;
        }
    }
    return nullptr;
}

class LoginPanelTest : public TempHomeTest {
protected:
    void SetUp() override {
        TempHomeTest::SetUp();
        logPath = TempHomeTest::root() + QStringLiteral("/Quillex.log");
        kInit(QStringLiteral("ZRM"), logPath, TempHomeTest::root() + QStringLiteral("/Quillex.dbg"),
              0);
        ASSERT_TRUE(server.IsListening());
        fakelogin::ScriptCmiLogAndCancel(server);
        tree.AttachTreeCtrl(&treeControl);
        site.prefs = &preferences;
        site.tree = &tree;
        prefs().SetInt(QStringLiteral("SCAuthentication"), 0);
        rootItem = tree.AddRootItem(QStringLiteral("W"));
        CMySystem settings;
        settings.Host = QStringLiteral("127.0.0.1");
        settings.WebPort = server.Port();
        item = tree.AddSystemItem(rootItem, QStringLiteral("alpha"), settings);
    }
    void TearDown() override {
        panel.reset();
        SetBuildNumOverride(QString());
        TempHomeTest::TearDown();
    }
    CPreferences& prefs() { return preferences; }
    CMySystem& system(QTreeWidgetItem* at = nullptr) {
        return dynamic_cast<CMySystem&>(*tree.GetSystem(at != nullptr ? at : item));
    }
    CLoginDialog& makePanel(QTreeWidgetItem* at = nullptr) {
        panel = std::make_unique<CLoginDialog>(nullptr, at != nullptr ? at : item, tree, prefs());
        panel->AskToRememberLogin = [this] { ++rememberAsked; };
        return *panel;
    }
    QLineEdit* edit(int id) { return control<QLineEdit>(*panel, id); }
    void type(int id, const QString& text) {
        QLineEdit* field = edit(id);
        field->setText(text);
        Q_EMIT field->textEdited(text);
    }
    std::vector<FakeVelnixServer::Request> logins() const {
        return fakelogin::RequestsOf(server, "Action=Login");
    }
    QStringList popupTexts() const {
        QStringList texts;
        for (const auto& popup : services.popups()) {
            texts << popup.text;
        }
        return texts;
    }

    RecordingWireServices services;
    CPreferences preferences;
    RecordingMySystemSite site;
    FakeVelnixServer server;
    QTreeWidget treeControl;
    CMyTree tree;
    QTreeWidgetItem* rootItem = nullptr;
    QTreeWidgetItem* item = nullptr;
    std::unique_ptr<CLoginDialog> panel;
    int rememberAsked = 0;
    QString logPath;
};

TEST_F(LoginPanelTest, PasswordLoginCases) {
    struct Case {
        const char* name;
        const char16_t* user;
        const char16_t* password;
        const char16_t* port;  // empty: the server's
        int askStorePass;
        unsigned expectedString;  // 0: no box
        bool expectRequest;
        bool expectLoggedIn;
        int expectAsked;
    };
    const Case cases[] = {
        {"good login asks to remember", u"ops", u"pw", u"", 1, 0, true, true, 1},
        {"AskStorePass 0 asks nothing", u"ops", u"pw", u"", 0, 0, true, true, 0},
        {"empty password", u"ops", u"", u"", 1, 549, false, false, 0},
        {"port 0", u"ops", u"pw", u"0", 1, 100, false, false, 0},
        {"401", u"ops", u"bad", u"", 1, 553, true, false, 0},
    };
    fakelogin::ScriptLogin(server, FakeLoginReply());
    server.RequireBasicAuth("ops", "pw");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        server.ClearRequests();
        services.clearPopups();
        rememberAsked = 0;
        system().Logout(&tree, item);
        system().WebPort = server.Port();
        prefs().SetInt(QStringLiteral("AskStorePass"), c.askStorePass);
        makePanel();
        type(CLoginDialog::kUserId, QString::fromUtf16(c.user));
        type(CLoginDialog::kPasswordId, QString::fromUtf16(c.password));
        if (c.port[0] != 0) {
            type(CLoginDialog::kPortId, QString::fromUtf16(c.port));
        }
        panel->OnOK();
        EXPECT_EQ(!logins().empty(), c.expectRequest);
        EXPECT_EQ(system().LoggedIn, c.expectLoggedIn);
        EXPECT_EQ(rememberAsked, c.expectAsked);
        const QStringList texts = popupTexts();
        if (c.expectedString != 0) {
            ASSERT_EQ(texts.size(), 1) << texts.join(u'|').toStdString();
            EXPECT_EQ(texts.front(), TranslatedResourceString(c.expectedString));
        } else {
            EXPECT_TRUE(texts.isEmpty()) << texts.join(u'|').toStdString();
        }
    }
}

TEST_F(LoginPanelTest, ProtocolSwitchMovesOnlyTheDefaultPorts) {
    makePanel();
    const struct {
        const char16_t* port;
        bool https;
        const char16_t* expected;
    } cases[] = {{u"80", true, u"443"},
                 {u"443", false, u"80"},
                 {u"8080", true, u"8080"},
                 {u"8080", false, u"8080"}};
    for (const auto& c : cases) {
        type(CLoginDialog::kPortId, QString::fromUtf16(c.port));
        control<QRadioButton>(*panel, c.https ? CLoginDialog::kHttpsId : CLoginDialog::kHttpId)
            ->click();
        EXPECT_EQ(edit(CLoginDialog::kPortId)->text(), QString::fromUtf16(c.expected));
        EXPECT_EQ(system().Protocol, c.https ? u"https"_qs : u"http"_qs);
        EXPECT_EQ(system().WebPort, QString::fromUtf16(c.expected).toInt());
    }
}

TEST_F(LoginPanelTest, ForceMismatchSendsTheMismatchBuildAndResetsIt) {
    fakelogin::ScriptLogin(server, FakeLoginReply());
    makePanel();
    type(CLoginDialog::kUserId, u"ops"_qs);
    type(CLoginDialog::kPasswordId, u"pw"_qs);
    panel->LoginWithBuildNum(u"99033112"_qs);
    ASSERT_FALSE(logins().empty());
    EXPECT_TRUE(logins().front().query.contains("ProtocolVersion=9999"));
    EXPECT_TRUE(logins().front().query.contains("ClientBuildNum=99033112"));
    EXPECT_NE(GetBuildNum(), u"99033112"_qs);
}

TEST_F(LoginPanelTest, MismatchedClientTemplateNeverOffersToRemember) {
    FakeLoginReply reply;
    reply.tree =
        "<component label='Old' panel-type='browser' "
        "main-browser-url='/cmi/x?template=MismatchedClient'/>";
    fakelogin::ScriptLogin(server, reply);
    prefs().SetInt(QStringLiteral("AskStorePass"), 1);
    makePanel();
    type(CLoginDialog::kUserId, u"ops"_qs);
    type(CLoginDialog::kPasswordId, u"pw"_qs);
    panel->OnOK();
    ASSERT_TRUE(system().LoggedIn);
    const CMyItem* selected = tree.GetMyItem(tree.GetSelectedItem());
    ASSERT_NE(selected, nullptr);
    ASSERT_GT(selected->Parts.Count(), 0);
    EXPECT_TRUE(selected->Parts.GetNameAt(0).contains(u"template=MismatchedClient"))
        << selected->Parts.GetNameAt(0).toStdString();
    EXPECT_EQ(rememberAsked, 0);
}

TEST_F(LoginPanelTest, SmartCardModeControls) {
    prefs().SetInt(QStringLiteral("SCAuthentication"), 1);
    makePanel();
    EXPECT_TRUE(control<QRadioButton>(*panel, CLoginDialog::kHttpsId)->isChecked());
    EXPECT_FALSE(control<QRadioButton>(*panel, CLoginDialog::kHttpId)->isEnabled());
    EXPECT_FALSE(edit(CLoginDialog::kUserId)->isEnabled());
    EXPECT_FALSE(edit(CLoginDialog::kPasswordId)->isEnabled());
    EXPECT_TRUE(edit(CLoginDialog::kPinId)->isEnabled());
    EXPECT_FALSE(edit(CLoginDialog::kPinId)->isHidden());
    EXPECT_EQ(edit(CLoginDialog::kPinId)->echoMode(), QLineEdit::Password);
    EXPECT_EQ(edit(CLoginDialog::kPasswordId)->echoMode(), QLineEdit::Password);
}

TEST_F(LoginPanelTest, SmartCardModuleMissingSaysSoAndSendsNothing) {
    prefs().SetInt(QStringLiteral("SCAuthentication"), 1);
    prefs().SetString(QStringLiteral("SCModule"), QStringLiteral("/nonexistent/p11.so"));
    makePanel();
    type(CLoginDialog::kPinId, u"1234"_qs);
    panel->OnOK();
    const QStringList texts = popupTexts();
    ASSERT_EQ(texts.size(), 1);
    EXPECT_TRUE(texts.front().startsWith(u"ActiveClient is not installed."));
    EXPECT_TRUE(texts.front().contains(u"/nonexistent/p11.so"));
    EXPECT_TRUE(logins().empty());
}

TEST_F(LoginPanelTest, SmartCardPinsAndNoneedWithoutTouchingStoredCredentials) {
    const SoftHsmToken& token = SoftHsmToken::Shared();
    ASSERT_TRUE(token.error.isEmpty()) << token.error.toStdString();
    prefs().SetInt(QStringLiteral("SCAuthentication"), 1);
    prefs().SetString(QStringLiteral("SCModule"), token.modulePath);
    prefs().SetInt(QStringLiteral("StoreUsernames"), 1);
    prefs().SetInt(QStringLiteral("StorePasswords"), 1);
    const QString key = kFormat(u"127.0.0.1:%d", server.Port());
    prefs().SetCredentials(key, u"ops"_qs, u"stored"_qs);
    makePanel();
    // HTTPS would need the card's key; the listing is what is tested here.
    control<QRadioButton>(*panel, CLoginDialog::kHttpsId)->setChecked(false);

    QStringList offered;
    panel->SmartCard().SetChooser([&offered](const QStringList& lines) {
        offered = lines;
        return -1;
    });
    for (const char* wrong : {"9999", "8888", "7777"}) {
        type(CLoginDialog::kPinId, QString::fromLatin1(wrong));
        panel->OnOK();
    }
    type(CLoginDialog::kPinId, QString());
    panel->OnOK();
    EXPECT_EQ(popupTexts(),
              QStringList({u"Invalid PIN.\nAttempts allowed before locking smart card: 2"_qs,
                           u"Invalid PIN.\nAttempts allowed before locking smart card: 1"_qs,
                           u"Invalid PIN.\nAttempts allowed before locking smart card: 0"_qs,
                           u"PIN code is required."_qs}));
    services.clearPopups();
    type(CLoginDialog::kPinId, QString::fromLatin1(SoftHsmToken::kPin));
    panel->OnOK();  // Cancel in the certificate dialog
    EXPECT_EQ(popupTexts(), QStringList{u"A certificate must be selected."_qs});
    EXPECT_TRUE(offered.contains(u"Name: Test Operator; Issuer: Quillex Test CA"_qs))
        << offered.join(u'|').toStdString();
    EXPECT_EQ(offered.size(), 2);
    EXPECT_TRUE(logins().empty());

    QString user;
    QString password;
    ASSERT_EQ(prefs().GetCredentials(key, user, password), 1);
    EXPECT_EQ(user, u"ops"_qs);
    EXPECT_EQ(password, u"stored"_qs);
}

TEST_F(LoginPanelTest, ScriptedCardsBoxesAndResults) {
    ASSERT_FALSE(scriptedpkcs11::ModulePath().isEmpty());
    prefs().SetString(QStringLiteral("SCModule"), scriptedpkcs11::ModulePath());
    struct Case {
        const char* script;
        const char16_t* pin;
        int wrongPinsBefore;
        int expected;
        const char16_t* box;  // empty: none
    };
    const Case cases[] = {
        {"noreader", u"1234", 0, CSmartCardLogin::kNoReader,
         u"No smart card reader attached to this system."},
        {"nocard", u"1234", 0, CSmartCardLogin::kNoCard,
         u"Insert the smart card into the smart card reader."},
        {"locked", u"1234", 0, CSmartCardLogin::kLocked, u"Smart card is locked."},
        {"finaltry", u"9999", 0, CSmartCardLogin::kWrongPin,
         u"Invalid PIN.\nAttempts allowed before locking smart card: 1"},
        {"", u"9999", 2, CSmartCardLogin::kWrongPin,
         u"Invalid PIN.\nAttempts allowed before locking smart card: 0"},
        {"failfind", u"1234", 0, CSmartCardLogin::kFailed, u""},
        // The one object does not decode: nothing to choose.
        {"", u"1234", 0, CSmartCardLogin::kNoneChosen, u""},
    };
    CSmartCardLogin smartCard(prefs(), nullptr);
    QStringList offered{u"not asked"_qs};
    smartCard.SetChooser([&offered](const QStringList& lines) {
        offered = lines;
        return -1;
    });
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        ASSERT_TRUE(scriptedpkcs11::SetScript(c.script));
        services.clearPopups();
        int wrongPins = c.wrongPinsBefore;
        CMySystem target;
        EXPECT_EQ(
            smartCard.GetCertificatesFromSmartCard(QString::fromUtf16(c.pin), target, wrongPins),
            c.expected);
        const QStringList texts = popupTexts();
        if (c.box[0] == 0) {
            EXPECT_TRUE(texts.isEmpty()) << texts.join(u'|').toStdString();
        } else {
            EXPECT_EQ(texts, QStringList{QString::fromUtf16(c.box)});
        }
        EXPECT_FALSE(target.HasClientCertificate());
    }
    EXPECT_TRUE(offered.isEmpty());
    scriptedpkcs11::SetScript("");
}

// The card stays logged in for the TLS engine after the first login, so a
// later panel's PIN must still be checked rather than taken as proof.
TEST_F(LoginPanelTest, AfterACardLoginAWrongPinIsStillRefused) {
    const SoftHsmToken& token = SoftHsmToken::Shared();
    ASSERT_TRUE(token.error.isEmpty()) << token.error.toStdString();
    prefs().SetInt(QStringLiteral("SCAuthentication"), 1);
    prefs().SetString(QStringLiteral("SCModule"), token.modulePath);
    prefs().SetInt(QStringLiteral("AskStorePass"), 0);
    FakeVelnixServer firstServer(token.caPem);
    FakeVelnixServer secondServer(token.caPem);
    ASSERT_TRUE(firstServer.IsListening() && secondServer.IsListening());
    const auto itemFor = [this](const QString& name, FakeVelnixServer& server) {
        fakelogin::ScriptLogin(server, FakeLoginReply());
        CMySystem settings;
        settings.Host = QStringLiteral("127.0.0.1");
        settings.Protocol = QStringLiteral("https");
        settings.WebPort = server.Port();
        return tree.AddSystemItem(rootItem, name, settings);
    };
    QTreeWidgetItem* first = itemFor(u"first"_qs, firstServer);
    QTreeWidgetItem* second = itemFor(u"second"_qs, secondServer);
    int chosen = 0;
    const auto loginWith = [&](QTreeWidgetItem* at, const QStringList& pins) {
        makePanel(at);
        panel->SmartCard().SetChooser([&chosen](const QStringList& lines) {
            ++chosen;
            return static_cast<int>(
                lines.indexOf(u"Name: Test Operator; Issuer: Quillex Test CA"_qs));
        });
        for (const QString& pin : pins) {
            type(CLoginDialog::kPinId, pin);
            panel->OnOK();
        }
        return system(at).LoggedIn;
    };

    ASSERT_TRUE(loginWith(first, {QString::fromLatin1(SoftHsmToken::kPin)}))
        << popupTexts().join(u'|').toStdString();
    ASSERT_EQ(chosen, 1);
    ASSERT_FALSE(fakelogin::RequestsOf(firstServer, "Action=Login").empty());
    EXPECT_EQ(fakelogin::RequestsOf(firstServer, "Action=Login").front().clientSubject,
              token.clientSubject);
    services.clearPopups();

    EXPECT_FALSE(
        loginWith(second, {u"9999"_qs, QString::fromLatin1(SoftHsmToken::kPin) + u"0"_qs}));
    EXPECT_EQ(popupTexts(),
              QStringList({u"Invalid PIN.\nAttempts allowed before locking smart card: 2"_qs,
                           u"Invalid PIN.\nAttempts allowed before locking smart card: 1"_qs}));
    EXPECT_EQ(chosen, 1) << "the certificate dialog opened for a wrong PIN";
    EXPECT_TRUE(fakelogin::RequestsOf(secondServer, "Action=Login").empty());
    services.clearPopups();

    type(CLoginDialog::kPinId, QString::fromLatin1(SoftHsmToken::kPin));
    panel->OnOK();
    EXPECT_TRUE(system(second).LoggedIn) << popupTexts().join(u'|').toStdString();
    EXPECT_EQ(chosen, 2);

    panel.reset();
    system(first).Logout(&tree, first);
    system(second).Logout(&tree, second);
    EXPECT_TRUE(g_SmartCardLogin.first.isEmpty());
}

TEST_F(LoginPanelTest, UnattendedSmartCardLoginAsksOnceAndTheLastLogoutForgetsThePin) {
    const SoftHsmToken& token = SoftHsmToken::Shared();
    ASSERT_TRUE(token.error.isEmpty()) << token.error.toStdString();
    writeFile(QStringLiteral("Quillex.dbg"), "9\n");
    kDebugLevel(1);
    prefs().SetString(QStringLiteral("SCModule"), token.modulePath);
    CSmartCardLogin smartCard(prefs(), nullptr);
    QStringList pins = {QStringLiteral("1111"), QString::fromLatin1(SoftHsmToken::kPin)};
    int asked = 0;
    smartCard.SetPinAsker([&](const QString& tokenLabel, bool, QString& pin) {
        EXPECT_EQ(tokenLabel, QString::fromLatin1(SoftHsmToken::kTokenLabel));
        if (asked >= pins.size()) {
            return false;
        }
        pin = pins.at(asked++);
        return true;
    });
    smartCard.SetChooser([](const QStringList& lines) {
        return static_cast<int>(lines.indexOf(u"Name: Test Operator; Issuer: Quillex Test CA"_qs));
    });
    CMySystem first;
    first.Host = u"one.example"_qs;
    first.Protocol = u"https"_qs;
    first.WebPort = 443;
    CMySystem second;
    second.Host = u"two.example"_qs;
    second.Protocol = u"https"_qs;
    second.WebPort = 443;

    ASSERT_TRUE(smartCard.PrepareLogin(first));
    EXPECT_EQ(asked, 2) << "a wrong PIN asks again";
    EXPECT_EQ(first.User, u"noneed"_qs);
    EXPECT_EQ(first.Password, u"noneed"_qs);
    EXPECT_TRUE(first.HasClientCertificate());
    ASSERT_TRUE(smartCard.PrepareLogin(second));
    EXPECT_EQ(asked, 2) << "the certificate chosen in this run serves later logins";
    EXPECT_TRUE(second.HasClientCertificate());

    first.LoggedIn = true;
    first.Logout(nullptr, nullptr);
    EXPECT_FALSE(g_SmartCardLogin.first.isEmpty()) << "another server still uses the card";
    second.LoggedIn = true;
    second.Logout(nullptr, nullptr);
    EXPECT_TRUE(g_SmartCardLogin.first.isEmpty());
    EXPECT_TRUE(g_SmartCardCertificate.isEmpty());

    prefs().SavePrefs(1);
    QDirIterator files(TempHomeTest::root(), QDir::Files, QDirIterator::Subdirectories);
    int read = 0;
    while (files.hasNext()) {
        const QString path = files.next();
        EXPECT_FALSE(readFile(path).contains(SoftHsmToken::kPin)) << path.toStdString();
        ++read;
    }
    EXPECT_GE(read, 2);  // the log and the settings at least
    writeFile(QStringLiteral("Quillex.dbg"), "0\n");
    kDebugLevel(1);
}

TEST_F(LoginPanelTest, LogoutPanelLineAndLogoutSendsNothing) {
    fakelogin::ScriptLogin(server, FakeLoginReply());
    makePanel();
    type(CLoginDialog::kUserId, u"ops"_qs);
    type(CLoginDialog::kPasswordId, u"pw"_qs);
    panel->OnOK();
    ASSERT_TRUE(system().LoggedIn);
    EXPECT_EQ(CLogoutDialog::StatusLine(system()),
              u"[ 127.0.0.1 | ops | Velnix PM 5.2 | linux ]"_qs);
    server.ClearRequests();
    CLogoutDialog logout(nullptr, item, tree);
    logout.OnOK();
    EXPECT_FALSE(system().LoggedIn);
    EXPECT_TRUE(server.Requests().empty());

    CMySystem versionless;
    versionless.Host = u"h"_qs;
    versionless.User = u"u"_qs;
    EXPECT_EQ(CLogoutDialog::StatusLine(versionless), u"[ h | u |   |  ]"_qs);
}

TEST_F(LoginPanelTest, SaveLoginSettingsEnablesAutoLoginOnlyWithBoth) {
    prefs().SetInt(QStringLiteral("StoreUsernames"), 1);
    prefs().SetInt(QStringLiteral("StorePasswords"), 1);
    prefs().SetInt(QStringLiteral("AutoLogin"), 1);
    CSaveLoginSettingsDialog dialog(prefs());
    auto* passwords = control<QCheckBox>(dialog, CSaveLoginSettingsDialog::kStorePasswordsId);
    auto* autoLogin = control<QCheckBox>(dialog, CSaveLoginSettingsDialog::kAutoLoginId);
    auto* ask = control<QCheckBox>(dialog, CSaveLoginSettingsDialog::kAskStorePassId);
    EXPECT_TRUE(autoLogin->isChecked() && autoLogin->isEnabled());
    passwords->click();
    EXPECT_FALSE(autoLogin->isChecked());
    EXPECT_FALSE(autoLogin->isEnabled());
    passwords->click();
    EXPECT_TRUE(autoLogin->isEnabled());
    EXPECT_FALSE(autoLogin->isChecked());
    ask->click();
    dialog.accept();
    EXPECT_EQ(prefs().GetInt(QStringLiteral("AskStorePass"), 1), 0);
    EXPECT_EQ(prefs().GetInt(QStringLiteral("AutoLogin"), 1), 0);
    EXPECT_EQ(prefs().GetInt(QStringLiteral("StorePasswords"), 0), 1);
}

}  // namespace
