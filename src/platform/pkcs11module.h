#pragma once

// A PKCS#11 module (a smart card's middleware, p11-kit's proxy, SoftHSM)
// loaded with dlopen and initialised once for the whole run: the TLS engine
// that later presents the card's certificate opens sessions on the same
// library, so nothing here finalises it or closes sessions other than its
// own until the program ends.

#include "platform/httpclientcertificate.h"

#include <p11-kit/pkcs11.h>

#include <QByteArray>
#include <QString>

#include <vector>

enum class Pkcs11Status {
    Ok,
    Failed,    // logged; the caller goes on without a certificate
    NoReader,  // no slot at all
    NoToken,   // no card in any reader
    PinIncorrect,
    PinLocked,
    PinLength,  // outside the token's limits: refused before it costs a try
};

struct Pkcs11Token {
    QString label;
    QString manufacturer;
    QString model;
    QString serial;
    CK_ULONG minPinLength = 0;
    CK_ULONG maxPinLength = 0;
    CK_FLAGS flags = 0;
};

struct Pkcs11Certificate {
    QString label;
    QByteArray id;
    QByteArray value;  // DER
};

class CPkcs11Module {
public:
    // The default module: p11-kit's proxy, which reaches every module the
    // system registered.
    static const QString kDefaultModule;

    // The module at this path (a bare file name goes through the library
    // search path), loaded and initialised on first use and kept for the run.
    static CPkcs11Module& ForPath(const QString& path);
    // Finalises every module loaded; once, when the program ends. Left to
    // the static destructors, a module such as SoftHSM crashes: its own
    // statics may already be gone.
    static void FinalizeAll();

    CPkcs11Module(const CPkcs11Module&) = delete;
    CPkcs11Module& operator=(const CPkcs11Module&) = delete;
    ~CPkcs11Module();

    bool IsLoaded() const { return m_functions != nullptr; }
    const QString& Path() const { return m_path; }
    // Why the module is not loaded: the loader's or the module's reason.
    const QString& LoadError() const { return m_loadError; }

    // The first slot that holds a token, and the token's description.
    Pkcs11Status FindToken(CK_SLOT_ID& slot, Pkcs11Token& token);
    // Reads the token's flags again (tries left after a wrong PIN).
    bool ReadToken(CK_SLOT_ID slot, Pkcs11Token& token);
    // Logs in to the token with the PIN and lists its X.509 certificates.
    // `acceptedPin` is the PIN the card accepted earlier in the run (empty
    // when none): while another session, such as the TLS engine's, keeps the
    // token logged in, the card does not check a PIN again, so the PIN must
    // equal that one; without one the token is logged out and the PIN tried
    // afresh. The session is closed before it returns.
    Pkcs11Status ReadCertificates(CK_SLOT_ID slot, const Pkcs11Token& token, const QByteArray& pin,
                                  const QByteArray& acceptedPin,
                                  std::vector<Pkcs11Certificate>& certificates);

    CK_FUNCTION_LIST* Functions() const { return m_functions; }

private:
    explicit CPkcs11Module(const QString& path);
    void load();
    Pkcs11Status logIn(CK_SESSION_HANDLE session, const QByteArray& pin,
                       const QByteArray& acceptedPin);
    Pkcs11Status listCertificates(CK_SESSION_HANDLE session,
                                  std::vector<Pkcs11Certificate>& certificates);
    bool readAttribute(CK_SESSION_HANDLE session, CK_OBJECT_HANDLE object, CK_ATTRIBUTE_TYPE type,
                       QByteArray& value, CK_RV& result);

    QString m_path;
    void* m_library = nullptr;
    CK_FUNCTION_LIST* m_functions = nullptr;
    QString m_loadError;
};

// The token's PKCS#11 URI (RFC 7512) of the object with this id and type
// ("cert" or "private"); never holds a PIN.
QString Pkcs11ObjectUri(const Pkcs11Token& token, const QByteArray& id, const char* type);

// The certificate with this id on the token and its key, as libcurl takes
// them through the engine "pkcs11", the PIN unlocking the key.
HttpClientCertificate Pkcs11ClientCertificate(const Pkcs11Token& token, const QByteArray& id,
                                              const QString& pin);

// Makes the OpenSSL engine "pkcs11" use this module. Must run before
// libcurl first asks for the engine; later calls with the same path do
// nothing. False (logged) when the engine is missing or refuses the module.
bool RegisterPkcs11Engine(const QString& modulePath);
