#include "support/softhsmtoken.h"

#include "platform/pkcs11module.h"
#include "support/childprocess.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rsa.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <cstdlib>
#include <memory>

namespace {

const char* const kSoftHsmModule = "/usr/lib/softhsm/libsofthsm2.so";

struct TokenPkeyFree {
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
struct TokenX509Free {
    void operator()(X509* certificate) const { X509_free(certificate); }
};
using TokenKey = std::unique_ptr<EVP_PKEY, TokenPkeyFree>;
using TokenCertificate = std::unique_ptr<X509, TokenX509Free>;

void addNameEntry(X509_NAME* name, const char* field, const char* value) {
    X509_NAME_add_entry_by_txt(name, field, MBSTRING_UTF8,
                               reinterpret_cast<const unsigned char*>(value), -1, -1, 0);
}

TokenCertificate makeTokenCertificate(EVP_PKEY* key, const char* commonName, X509* issuer,
                                      EVP_PKEY* issuerKey, long serial) {
    TokenCertificate certificate(X509_new());
    X509_set_version(certificate.get(), 2);
    ASN1_INTEGER_set(X509_get_serialNumber(certificate.get()), serial);
    X509_gmtime_adj(X509_getm_notBefore(certificate.get()), -60);
    X509_gmtime_adj(X509_getm_notAfter(certificate.get()), 24 * 60 * 60);
    X509_set_pubkey(certificate.get(), key);
    X509_NAME* name = X509_get_subject_name(certificate.get());
    addNameEntry(name, "C", "XX");
    addNameEntry(name, "O", "Quillex Tests");
    addNameEntry(name, "CN", commonName);
    X509_set_issuer_name(certificate.get(),
                         issuer != nullptr ? X509_get_subject_name(issuer) : name);
    // A CA must say so, or OpenSSL refuses what it signed.
    X509V3_CTX context;
    X509V3_set_ctx_nodb(&context);
    X509V3_set_ctx(&context, issuer != nullptr ? issuer : certificate.get(), certificate.get(),
                   nullptr, nullptr, 0);
    X509_EXTENSION* constraints =
        X509V3_EXT_conf_nid(nullptr, &context, NID_basic_constraints,
                            issuer != nullptr ? "CA:FALSE" : "critical,CA:TRUE");
    X509_add_ext(certificate.get(), constraints, -1);
    X509_EXTENSION_free(constraints);
    X509_sign(certificate.get(), issuerKey != nullptr ? issuerKey : key, EVP_sha256());
    return certificate;
}

QByteArray derOf(X509* certificate) {
    unsigned char* bytes = nullptr;
    const int length = i2d_X509(certificate, &bytes);
    QByteArray der(reinterpret_cast<const char*>(bytes), length);
    OPENSSL_free(bytes);
    return der;
}

QByteArray subjectDerOf(X509* certificate) {
    unsigned char* bytes = nullptr;
    const int length = i2d_X509_NAME(X509_get_subject_name(certificate), &bytes);
    QByteArray der(reinterpret_cast<const char*>(bytes), length);
    OPENSSL_free(bytes);
    return der;
}

QByteArray pemOf(X509* certificate) {
    BIO* bio = BIO_new(BIO_s_mem());
    PEM_write_bio_X509(bio, certificate);
    char* data = nullptr;
    const long length = BIO_get_mem_data(bio, &data);
    QByteArray pem(data, static_cast<qsizetype>(length));
    BIO_free(bio);
    return pem;
}

bool runSoftHsmUtil(const QStringList& arguments, QString& error) {
    QByteArray output;
    const int exitCode = RunChildProcess(QStringLiteral("softhsm2-util"), arguments, output, 60000);
    if (exitCode != 0) {
        error = QStringLiteral("softhsm2-util %1 failed with exit code %2")
                    .arg(arguments.first())
                    .arg(exitCode);
        return false;
    }
    return true;
}

// Adds an object to the token through the module, logged in as the user.
bool createObjects(CK_FUNCTION_LIST* p11, CK_SLOT_ID slot,
                   const std::vector<std::vector<CK_ATTRIBUTE>>& objects, QString& error) {
    CK_SESSION_HANDLE session = 0;
    if (p11->C_OpenSession(slot, CKF_SERIAL_SESSION | CKF_RW_SESSION, nullptr, nullptr, &session) !=
        CKR_OK) {
        error = QStringLiteral("C_OpenSession failed");
        return false;
    }
    QByteArray pin(SoftHsmToken::kPin);
    bool ok = p11->C_Login(session, CKU_USER, reinterpret_cast<CK_UTF8CHAR*>(pin.data()),
                           static_cast<CK_ULONG>(pin.size())) == CKR_OK;
    CK_RV failure = CKR_OK;
    for (const auto& attributes : objects) {
        CK_OBJECT_HANDLE handle = 0;
        const CK_RV created =
            p11->C_CreateObject(session, const_cast<CK_ATTRIBUTE*>(attributes.data()),
                                static_cast<CK_ULONG>(attributes.size()), &handle);
        if (created != CKR_OK && failure == CKR_OK) {
            failure = created;
        }
    }
    ok = ok && failure == CKR_OK;
    // Logged out, so that every listing of the tests asks for the PIN.
    p11->C_Logout(session);
    p11->C_CloseSession(session);
    if (!ok) {
        error = QStringLiteral("C_CreateObject failed: 0x%1").arg(failure, 0, 16);
    }
    return ok;
}

SoftHsmToken makeToken(QTemporaryDir& folder) {
    SoftHsmToken token;
    token.modulePath = QString::fromLatin1(kSoftHsmModule);
    const QString root = folder.path();
    QDir(root).mkpath(QStringLiteral("tokens"));
    QFile conf(root + QStringLiteral("/softhsm2.conf"));
    if (!conf.open(QIODevice::WriteOnly)) {
        token.error = QStringLiteral("cannot write softhsm2.conf");
        return token;
    }
    conf.write("directories.tokendir = " + root.toUtf8() +
               "/tokens\nobjectstore.backend = file\nlog.level = ERROR\n");
    conf.close();
    qputenv("SOFTHSM2_CONF", conf.fileName().toLocal8Bit());

    TokenKey caKey(EVP_RSA_gen(2048));
    TokenKey userKey(EVP_RSA_gen(2048));
    TokenKey otherKey(EVP_RSA_gen(2048));
    TokenCertificate ca = makeTokenCertificate(caKey.get(), "Quillex Test CA", nullptr, nullptr, 1);
    TokenCertificate user =
        makeTokenCertificate(userKey.get(), "Test Operator", ca.get(), caKey.get(), 2);
    TokenCertificate other =
        makeTokenCertificate(otherKey.get(), "Second Operator", ca.get(), caKey.get(), 3);
    token.caPem = pemOf(ca.get());
    char* subject = X509_NAME_oneline(X509_get_subject_name(user.get()), nullptr, 0);
    token.clientSubject = subject;
    OPENSSL_free(subject);

    const QString keyPath = root + QStringLiteral("/key.pem");
    BIO* keyFile = BIO_new_file(keyPath.toLocal8Bit().constData(), "w");
    PEM_write_bio_PrivateKey(keyFile, userKey.get(), nullptr, nullptr, 0, nullptr, nullptr);
    BIO_free(keyFile);

    const QString label = QString::fromLatin1(SoftHsmToken::kTokenLabel);
    if (!runSoftHsmUtil(
            {QStringLiteral("--init-token"), QStringLiteral("--free"), QStringLiteral("--label"),
             label, QStringLiteral("--so-pin"), QStringLiteral("5678"), QStringLiteral("--pin"),
             QString::fromLatin1(SoftHsmToken::kPin)},
            token.error) ||
        !runSoftHsmUtil({QStringLiteral("--import"), keyPath, QStringLiteral("--token"), label,
                         QStringLiteral("--label"), QStringLiteral("Operator key"),
                         QStringLiteral("--id"), QStringLiteral("01"), QStringLiteral("--pin"),
                         QString::fromLatin1(SoftHsmToken::kPin)},
                        token.error)) {
        return token;
    }

    CPkcs11Module& module = CPkcs11Module::ForPath(token.modulePath);
    CK_SLOT_ID slot = 0;
    Pkcs11Token info;
    if (!module.IsLoaded() || module.FindToken(slot, info) != Pkcs11Status::Ok) {
        token.error = QStringLiteral("SoftHSM2 token not found: ") + module.LoadError();
        return token;
    }
    QByteArray userDer = derOf(user.get());
    QByteArray otherDer = derOf(other.get());
    QByteArray userLabel("Operator certificate");
    QByteArray otherLabel(80, 'L');
    QByteArray dataValue("not a certificate");
    QByteArray dataLabel("Some data");
    CK_OBJECT_CLASS certificateClass = CKO_CERTIFICATE;
    CK_OBJECT_CLASS dataClass = CKO_DATA;
    CK_CERTIFICATE_TYPE x509 = CKC_X_509;
    CK_BBOOL yes = CK_TRUE;
    unsigned char userId = 0x01;
    unsigned char otherId = 0x02;
    QByteArray userSubject = subjectDerOf(user.get());
    QByteArray otherSubject = subjectDerOf(other.get());
    const auto certificate = [&](QByteArray& der, QByteArray& subjectDer,
                                 QByteArray& certificateLabel, unsigned char& id) {
        return std::vector<CK_ATTRIBUTE>{
            {CKA_SUBJECT, subjectDer.data(), static_cast<CK_ULONG>(subjectDer.size())},
            {CKA_CLASS, &certificateClass, sizeof certificateClass},
            {CKA_CERTIFICATE_TYPE, &x509, sizeof x509},
            {CKA_TOKEN, &yes, sizeof yes},
            {CKA_ID, &id, 1},
            {CKA_LABEL, certificateLabel.data(), static_cast<CK_ULONG>(certificateLabel.size())},
            {CKA_VALUE, der.data(), static_cast<CK_ULONG>(der.size())},
        };
    };
    const std::vector<CK_ATTRIBUTE> data = {
        {CKA_CLASS, &dataClass, sizeof dataClass},
        {CKA_TOKEN, &yes, sizeof yes},
        {CKA_LABEL, dataLabel.data(), static_cast<CK_ULONG>(dataLabel.size())},
        {CKA_VALUE, dataValue.data(), static_cast<CK_ULONG>(dataValue.size())},
    };
    createObjects(module.Functions(), slot,
                  {data, certificate(userDer, userSubject, userLabel, userId),
                   certificate(otherDer, otherSubject, otherLabel, otherId)},
                  token.error);
    return token;
}

}  // namespace

const SoftHsmToken& SoftHsmToken::Shared() {
    // Not below a test's temporary home: that goes at the end of each test,
    // and the token lives for the whole process.
    static QTemporaryDir folder(QStringLiteral("/tmp/quillex-softhsm-XXXXXX"));
    static const SoftHsmToken token = makeToken(folder);
    return token;
}
