#include "platform/pkcs11module.h"
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
        return module->ReadCertificates(slot, info, pin, certificates);
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

TEST(Pkcs11ModuleLoadTest, MissingModuleGivesTheLoadersReason) {
    const CPkcs11Module& module = CPkcs11Module::ForPath(QStringLiteral("/nonexistent/module.so"));
    EXPECT_FALSE(module.IsLoaded());
    EXPECT_TRUE(module.LoadError().contains(u"/nonexistent/module.so"))
        << module.LoadError().toStdString();
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
