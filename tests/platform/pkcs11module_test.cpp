#include "platform/pkcs11module.h"
#include "support/scriptedpkcs11.h"
#include "support/softhsmtoken.h"

#include <gtest/gtest.h>

namespace {

class Pkcs11ModuleTest : public ::testing::Test {
protected:
    void SetUp() override {
        token = &SoftHsmToken::Shared();
        ASSERT_TRUE(token->error.isEmpty()) << token->error.toStdString();
        module = &CPkcs11Module::ForPath(token->modulePath);
        ASSERT_TRUE(module->IsLoaded()) << module->LoadError().toStdString();
        ASSERT_EQ(module->FindToken(slot, info), Pkcs11Status::Ok);
    }

    Pkcs11Status list(const QByteArray& pin) {
        return module->ReadCertificates(slot, info, pin, QByteArray(), certificates);
    }

    const SoftHsmToken* token = nullptr;
    CPkcs11Module* module = nullptr;
    CK_SLOT_ID slot = 0;
    Pkcs11Token info;
    std::vector<Pkcs11Certificate> certificates;
};

TEST_F(Pkcs11ModuleTest, RightPinListsOnlyTheCertificatesWhateverTheirLabelLength) {
    EXPECT_EQ(info.label, QString::fromLatin1(SoftHsmToken::kTokenLabel));
    ASSERT_EQ(list(SoftHsmToken::kPin), Pkcs11Status::Ok);
    ASSERT_EQ(certificates.size(), 2U);  // not the data object, nor either key
    QStringList labels;
    for (const Pkcs11Certificate& certificate : certificates) {
        labels << certificate.label;
        EXPECT_GT(certificate.value.size(), 500);
        EXPECT_EQ(certificate.id.size(), 1);
    }
    EXPECT_TRUE(labels.contains(QStringLiteral("Operator certificate")));
    EXPECT_TRUE(labels.contains(QString(80, u'L')));
}

TEST_F(Pkcs11ModuleTest, WrongPinsFailWithoutSpoilingTheNextListing) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        EXPECT_EQ(list("9999"), Pkcs11Status::PinIncorrect);
        EXPECT_TRUE(certificates.empty());
    }
    EXPECT_EQ(list(SoftHsmToken::kPin), Pkcs11Status::Ok);
    EXPECT_EQ(certificates.size(), 2U);
}

TEST_F(Pkcs11ModuleTest, PinOutsideTheTokensLimitsIsRefusedBeforeLogin) {
    EXPECT_EQ(list(""), Pkcs11Status::PinLength);
    EXPECT_EQ(list("12"), Pkcs11Status::PinLength);
    EXPECT_EQ(list(QByteArray(600, '1')), Pkcs11Status::PinLength);
    EXPECT_EQ(list(SoftHsmToken::kPin), Pkcs11Status::Ok);
}

// The TLS engine keeps a session of its own logged in, and the card does
// not check a PIN while the token is logged in.
TEST_F(Pkcs11ModuleTest, PinsAreCheckedWhileAnotherSessionKeepsTheTokenLoggedIn) {
    CK_FUNCTION_LIST* functions = module->Functions();
    CK_SESSION_HANDLE held = 0;
    ASSERT_EQ(functions->C_OpenSession(slot, CKF_SERIAL_SESSION, nullptr, nullptr, &held), CKR_OK);
    QByteArray heldPin(SoftHsmToken::kPin);
    const QByteArray right(SoftHsmToken::kPin);
    struct Case {
        const char* name;
        QByteArray pin;
        QByteArray accepted;  // earlier in the run; empty: none
        Pkcs11Status expected;
    };
    const Case cases[] = {
        {"the accepted PIN", right, right, Pkcs11Status::Ok},
        {"another PIN", "9999", right, Pkcs11Status::PinIncorrect},
        {"the accepted PIN and more", right + "0", right, Pkcs11Status::PinIncorrect},
        {"the accepted PIN cut short", right.left(4), right, Pkcs11Status::PinIncorrect},
        {"a wrong PIN with none accepted", "9999", QByteArray(), Pkcs11Status::PinIncorrect},
        {"the right PIN with none accepted", right, QByteArray(), Pkcs11Status::Ok},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CK_RV loggedIn =
            functions->C_Login(held, CKU_USER, reinterpret_cast<CK_UTF8CHAR*>(heldPin.data()),
                               static_cast<CK_ULONG>(heldPin.size()));
        ASSERT_TRUE(loggedIn == CKR_OK || loggedIn == CKR_USER_ALREADY_LOGGED_IN) << loggedIn;
        EXPECT_EQ(module->ReadCertificates(slot, info, c.pin, c.accepted, certificates),
                  c.expected);
        EXPECT_EQ(certificates.size(), c.expected == Pkcs11Status::Ok ? 2U : 0U);
    }
    EXPECT_EQ(functions->C_CloseSession(held), CKR_OK);
}

TEST(Pkcs11ModuleLoadTest, MissingModuleGivesTheLoadersReason) {
    const CPkcs11Module& module = CPkcs11Module::ForPath(QStringLiteral("/nonexistent/module.so"));
    EXPECT_FALSE(module.IsLoaded());
    EXPECT_TRUE(module.LoadError().contains(u"/nonexistent/module.so"))
        << module.LoadError().toStdString();
}

TEST(Pkcs11ScriptedModuleTest, EachFailureHasItsStatus) {
    struct Case {
        const char* script;
        const char* pin;
        Pkcs11Status token;    // of FindToken
        Pkcs11Status listing;  // of ReadCertificates, when a token was found
    };
    const Case cases[] = {
        {"noreader", "1234", Pkcs11Status::NoReader, Pkcs11Status::Ok},
        {"nocard", "1234", Pkcs11Status::NoToken, Pkcs11Status::Ok},
        {"failslots", "1234", Pkcs11Status::Failed, Pkcs11Status::Ok},
        {"failopen", "1234", Pkcs11Status::Ok, Pkcs11Status::Failed},
        {"failfind", "1234", Pkcs11Status::Ok, Pkcs11Status::Failed},
        {"locked", "1234", Pkcs11Status::Ok, Pkcs11Status::PinLocked},
        {"", "9999", Pkcs11Status::Ok, Pkcs11Status::PinIncorrect},
        {"", "123456789", Pkcs11Status::Ok, Pkcs11Status::PinLength},
        {"", "1234", Pkcs11Status::Ok, Pkcs11Status::Ok},
    };
    ASSERT_FALSE(scriptedpkcs11::ModulePath().isEmpty());
    CPkcs11Module& module = CPkcs11Module::ForPath(scriptedpkcs11::ModulePath());
    ASSERT_TRUE(module.IsLoaded()) << module.LoadError().toStdString();
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.script) + " " + c.pin);
        ASSERT_TRUE(scriptedpkcs11::SetScript(c.script));
        CK_SLOT_ID slot = 0;
        Pkcs11Token token;
        ASSERT_EQ(module.FindToken(slot, token), c.token);
        if (c.token != Pkcs11Status::Ok) {
            continue;
        }
        EXPECT_EQ(token.label, u"Scripted card"_qs);
        std::vector<Pkcs11Certificate> certificates;
        EXPECT_EQ(module.ReadCertificates(slot, token, c.pin, QByteArray(), certificates),
                  c.listing);
        EXPECT_EQ(certificates.size(), c.listing == Pkcs11Status::Ok ? 1U : 0U);
    }
    scriptedpkcs11::SetScript("");
}

TEST(Pkcs11ObjectUriTest, EscapesTheTokenAndWritesEveryIdByte) {
    Pkcs11Token token;
    token.label = QStringLiteral("My Card;1");
    token.serial = QStringLiteral("ab12");
    EXPECT_EQ(Pkcs11ObjectUri(token, QByteArray("\x01\xfe", 2), "cert"),
              QStringLiteral("pkcs11:token=My%20Card%3B1;serial=ab12;id=%01%FE;type=cert"));
    token.serial.clear();
    EXPECT_EQ(Pkcs11ObjectUri(token, QByteArray("A"), "private"),
              QStringLiteral("pkcs11:token=My%20Card%3B1;id=%41;type=private"));
}

}  // namespace
