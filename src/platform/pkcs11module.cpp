#include "platform/pkcs11module.h"

#include "framework/klog.h"

#include <openssl/crypto.h>
#include <openssl/engine.h>
#include <openssl/err.h>

#include <dlfcn.h>

#include <map>
#include <memory>
#include <mutex>

const QString CPkcs11Module::kDefaultModule = QStringLiteral("p11-kit-proxy.so");

namespace {

constexpr CK_ULONG kMostSlots = 10;
constexpr CK_ULONG kMostObjects = 50;

std::mutex& pkcs11ModulesMutex() {
    static std::mutex mutex;
    return mutex;
}

std::map<QString, std::unique_ptr<CPkcs11Module>>& pkcs11Modules() {
    static std::map<QString, std::unique_ptr<CPkcs11Module>> modules;
    return modules;
}

// A blank-padded PKCS#11 text field.
QString pkcs11Text(const unsigned char* field, size_t size) {
    return QString::fromUtf8(reinterpret_cast<const char*>(field), static_cast<qsizetype>(size))
        .trimmed();
}

// Closes the session it was given on every path out.
class Pkcs11SessionCloser {
public:
    Pkcs11SessionCloser(CK_FUNCTION_LIST* functions, CK_SESSION_HANDLE session)
        : m_functions(functions), m_session(session) {}
    ~Pkcs11SessionCloser() {
        if (m_functions->C_CloseSession(m_session) != CKR_OK) {
            kWarningLog(u"GetCertificatesFromSmartCard: C_CloseSession : failed");
        }
    }
    Pkcs11SessionCloser(const Pkcs11SessionCloser&) = delete;
    Pkcs11SessionCloser& operator=(const Pkcs11SessionCloser&) = delete;

private:
    CK_FUNCTION_LIST* m_functions;
    CK_SESSION_HANDLE m_session;
};

// In time that does not tell how much of the PIN was right.
bool samePin(const QByteArray& typed, const QByteArray& accepted) {
    return typed.size() == accepted.size() && CRYPTO_memcmp(typed.constData(), accepted.constData(),
                                                            static_cast<size_t>(typed.size())) == 0;
}

// The token is logged in without having checked this PIN.
Pkcs11Status alreadyLoggedIn(const QByteArray& pin, const QByteArray& acceptedPin) {
    kDebugLog(u"GetCertificatesFromSmartCard: Already logged on ...");
    if (acceptedPin.isEmpty()) {
        kErrorLog(u"GetCertificatesFromSmartCard: Logon failed");
        return Pkcs11Status::Failed;
    }
    if (!samePin(pin, acceptedPin)) {
        kWarningLog(u"GetCertificatesFromSmartCard: PIN incorrect");
        return Pkcs11Status::PinIncorrect;
    }
    return Pkcs11Status::Ok;
}

void appendUriValue(QString& uri, const QByteArray& bytes, bool escapeAll) {
    for (const char byte : bytes) {
        const auto c = static_cast<unsigned char>(byte);
        const bool plain =
            !escapeAll && (std::isalnum(c) != 0 || c == '-' || c == '.' || c == '_' || c == '~');
        if (plain) {
            uri += QChar(c);
        } else {
            uri += u'%' + QString::number(c, 16).rightJustified(2, u'0').toUpper();
        }
    }
}

}  // namespace

CPkcs11Module& CPkcs11Module::ForPath(const QString& path) {
    const std::lock_guard lock(pkcs11ModulesMutex());
    std::unique_ptr<CPkcs11Module>& module = pkcs11Modules()[path];
    if (!module) {
        module.reset(new CPkcs11Module(path));
    }
    return *module;
}

CPkcs11Module::CPkcs11Module(const QString& path) : m_path(path) {
    load();
}

// The library stays mapped and, unless FinalizeAll ran, initialised: the
// TLS engine may still hold it.
CPkcs11Module::~CPkcs11Module() = default;

void CPkcs11Module::FinalizeAll() {
    const std::lock_guard lock(pkcs11ModulesMutex());
    for (auto& [path, module] : pkcs11Modules()) {
        if (module->m_functions != nullptr) {
            module->m_functions->C_Finalize(nullptr);
            module->m_functions = nullptr;
        }
    }
}

void CPkcs11Module::load() {
    m_library = dlopen(m_path.toLocal8Bit().constData(), RTLD_NOW | RTLD_LOCAL);
    if (m_library == nullptr) {
        const char* reason = dlerror();
        m_loadError = reason != nullptr ? QString::fromLocal8Bit(reason) : QString();
        kErrorLog(u"GetCertificatesFromSmartCard Load %s failed: %s", m_path, m_loadError);
        return;
    }
    auto getFunctionList =
        reinterpret_cast<CK_C_GetFunctionList>(dlsym(m_library, "C_GetFunctionList"));
    CK_FUNCTION_LIST* functions = nullptr;
    if (getFunctionList == nullptr || getFunctionList(&functions) != CKR_OK ||
        functions == nullptr) {
        m_loadError = QStringLiteral("C_GetFunctionList failed");
        kErrorLog(u"GetCertificatesFromSmartCard C_GetFunctionList: failed");
        return;
    }
    // Another user of the library in this process may have initialised it.
    const CK_RV initialised = functions->C_Initialize(nullptr);
    if (initialised != CKR_OK && initialised != CKR_CRYPTOKI_ALREADY_INITIALIZED) {
        m_loadError = QStringLiteral("C_Initialize failed (0x%1)").arg(initialised, 0, 16);
        kErrorLog(u"GetCertificatesFromSmartCard C_Initialize: failed");
        return;
    }
    m_functions = functions;
}

Pkcs11Status CPkcs11Module::FindToken(CK_SLOT_ID& slot, Pkcs11Token& token) {
    if (m_functions == nullptr) {
        return Pkcs11Status::Failed;
    }
    CK_ULONG count = 0;
    if (m_functions->C_GetSlotList(CK_FALSE, nullptr, &count) != CKR_OK) {
        kErrorLog(u"GetCertificatesFromSmartCard: C_GetSlotList : failed");
        return Pkcs11Status::Failed;
    }
    if (count == 0) {
        kWarningLog(u"GetCertificatesFromSmartCard: Not available readers in system");
        return Pkcs11Status::NoReader;
    }
    CK_SLOT_ID slots[kMostSlots] = {};
    count = kMostSlots;
    const CK_RV listed = m_functions->C_GetSlotList(CK_TRUE, slots, &count);
    if (listed == CKR_OK && count == 0) {
        kWarningLog(u"GetCertificatesFromSmartCard: Smart Card is not in reader");
        return Pkcs11Status::NoToken;
    }
    if (listed != CKR_OK || count > kMostSlots) {
        kErrorLog(u"GetCertificatesFromSmartCard: too many or not available slots");
        return Pkcs11Status::Failed;
    }
    slot = slots[0];
    if (!ReadToken(slot, token)) {
        kWarningLog(u"GetCertificatesFromSmartCard: Smart Card is not in reader");
        return Pkcs11Status::NoToken;
    }
    return Pkcs11Status::Ok;
}

bool CPkcs11Module::ReadToken(CK_SLOT_ID slot, Pkcs11Token& token) {
    CK_TOKEN_INFO info = {};
    if (m_functions == nullptr || m_functions->C_GetTokenInfo(slot, &info) != CKR_OK) {
        return false;
    }
    token.label = pkcs11Text(info.label, sizeof info.label);
    token.manufacturer = pkcs11Text(info.manufacturerID, sizeof info.manufacturerID);
    token.model = pkcs11Text(info.model, sizeof info.model);
    token.serial = pkcs11Text(info.serialNumber, sizeof info.serialNumber);
    token.minPinLength = info.ulMinPinLen;
    token.maxPinLength = info.ulMaxPinLen;
    token.flags = info.flags;
    return true;
}

Pkcs11Status CPkcs11Module::ReadCertificates(CK_SLOT_ID slot, const Pkcs11Token& token,
                                             const QByteArray& pin, const QByteArray& acceptedPin,
                                             std::vector<Pkcs11Certificate>& certificates) {
    certificates.clear();
    if (m_functions == nullptr) {
        return Pkcs11Status::Failed;
    }
    const auto pinLength = static_cast<CK_ULONG>(pin.size());
    const bool limited =
        token.maxPinLength != 0 && token.maxPinLength != CK_UNAVAILABLE_INFORMATION;
    if (pinLength < token.minPinLength || (limited && pinLength > token.maxPinLength)) {
        kWarningLog(u"GetCertificatesFromSmartCard: PIN length %d outside %d..%d", pin.size(),
                    static_cast<int>(token.minPinLength), static_cast<int>(token.maxPinLength));
        return Pkcs11Status::PinLength;
    }
    CK_SESSION_HANDLE session = 0;
    const CK_RV opened =
        m_functions->C_OpenSession(slot, CKF_SERIAL_SESSION, nullptr, nullptr, &session);
    if (opened == CKR_TOKEN_NOT_PRESENT) {
        kWarningLog(u"GetCertificatesFromSmartCard: Smart Card is not in reader");
        return Pkcs11Status::NoToken;
    }
    if (opened != CKR_OK) {
        kErrorLog(u"GetCertificatesFromSmartCard: Could not open session");
        return Pkcs11Status::Failed;
    }
    const Pkcs11SessionCloser closer(m_functions, session);
    const Pkcs11Status loggedIn = logIn(session, pin, acceptedPin);
    if (loggedIn != Pkcs11Status::Ok) {
        return loggedIn;
    }
    return listCertificates(session, certificates);
}

Pkcs11Status CPkcs11Module::logIn(CK_SESSION_HANDLE session, const QByteArray& pin,
                                  const QByteArray& acceptedPin) {
    CK_SESSION_INFO sessionInfo = {};
    if (m_functions->C_GetSessionInfo(session, &sessionInfo) != CKR_OK) {
        kErrorLog(u"GetCertificatesFromSmartCard: C_GetSessionInfo : failed");
        return Pkcs11Status::Failed;
    }
    if (sessionInfo.state == CKS_RO_USER_FUNCTIONS || sessionInfo.state == CKS_RW_USER_FUNCTIONS) {
        if (!acceptedPin.isEmpty()) {
            return alreadyLoggedIn(pin, acceptedPin);
        }
        // Nothing in this run vouches for the PIN: only a fresh login checks it.
        if (m_functions->C_Logout(session) != CKR_OK) {
            kErrorLog(u"GetCertificatesFromSmartCard: C_Logout : failed");
            return Pkcs11Status::Failed;
        }
    }
    QByteArray pinBytes = pin;
    const CK_RV loggedIn =
        m_functions->C_Login(session, CKU_USER, reinterpret_cast<CK_UTF8CHAR*>(pinBytes.data()),
                             static_cast<CK_ULONG>(pinBytes.size()));
    pinBytes.fill('\0');
    switch (loggedIn) {
        case CKR_OK:
            return Pkcs11Status::Ok;
        case CKR_USER_ALREADY_LOGGED_IN:
            return alreadyLoggedIn(pin, acceptedPin);
        case CKR_PIN_INCORRECT:
            kWarningLog(u"GetCertificatesFromSmartCard: PIN incorrect");
            return Pkcs11Status::PinIncorrect;
        case CKR_PIN_LOCKED:
            kWarningLog(u"GetCertificatesFromSmartCard: PIN is locked");
            return Pkcs11Status::PinLocked;
        default:
            kErrorLog(u"GetCertificatesFromSmartCard: Logon failed");
            return Pkcs11Status::Failed;
    }
}

Pkcs11Status CPkcs11Module::listCertificates(CK_SESSION_HANDLE session,
                                             std::vector<Pkcs11Certificate>& certificates) {
    // Only X.509 certificates: keys and data objects are not decoded as ones.
    CK_OBJECT_CLASS certificateClass = CKO_CERTIFICATE;
    CK_CERTIFICATE_TYPE x509 = CKC_X_509;
    CK_ATTRIBUTE filter[] = {
        {CKA_CLASS, &certificateClass, sizeof certificateClass},
        {CKA_CERTIFICATE_TYPE, &x509, sizeof x509},
    };
    if (m_functions->C_FindObjectsInit(session, filter, 2) != CKR_OK) {
        kErrorLog(u"GetCertificatesFromSmartCard: C_FindObjectsInit failed.");
        return Pkcs11Status::Failed;
    }
    CK_OBJECT_HANDLE objects[kMostObjects] = {};
    CK_ULONG found = 0;
    const CK_RV searched = m_functions->C_FindObjects(session, objects, kMostObjects, &found);
    const CK_RV ended = m_functions->C_FindObjectsFinal(session);
    if (searched != CKR_OK) {
        kErrorLog(u"GetCertificatesFromSmartCard: C_FindObjects failed.");
        return Pkcs11Status::Failed;
    }
    if (ended != CKR_OK) {
        kErrorLog(u"GetCertificatesFromSmartCard: C_FindObjectsFinal failed.");
        return Pkcs11Status::Failed;
    }
    for (CK_ULONG i = 0; i < found && i < kMostObjects; ++i) {
        Pkcs11Certificate certificate;
        QByteArray label;
        CK_RV result = CKR_OK;
        if (!readAttribute(session, objects[i], CKA_LABEL, label, result)) {
            // A certificate without a label is still a certificate.
            label.clear();
        }
        certificate.label = QString::fromUtf8(label);
        readAttribute(session, objects[i], CKA_ID, certificate.id, result);
        if (!readAttribute(session, objects[i], CKA_VALUE, certificate.value, result)) {
            if (result == CKR_ATTRIBUTE_SENSITIVE) {
                kWarningLog(
                    u"GetCertificatesFromSmartCard: C_GetAttributeValue failed "
                    u"CKR_ATTRIBUTE_SENSITIVE.");
                continue;
            }
            if (result == CKR_ATTRIBUTE_TYPE_INVALID) {
                kWarningLog(
                    u"GetCertificatesFromSmartCard: C_GetAttributeValue failed "
                    u"CKR_ATTRIBUTE_TYPE_INVALID.");
                continue;
            }
            kErrorLog(u"GetCertificatesFromSmartCard: C_GetAttributeValue (value) failed.");
            return Pkcs11Status::Failed;
        }
        certificates.push_back(std::move(certificate));
    }
    return Pkcs11Status::Ok;
}

bool CPkcs11Module::readAttribute(CK_SESSION_HANDLE session, CK_OBJECT_HANDLE object,
                                  CK_ATTRIBUTE_TYPE type, QByteArray& value, CK_RV& result) {
    // The length first, so that no label or certificate is too long for a
    // buffer guessed in advance.
    CK_ATTRIBUTE attribute = {type, nullptr, 0};
    result = m_functions->C_GetAttributeValue(session, object, &attribute, 1);
    if (result != CKR_OK || attribute.ulValueLen == CK_UNAVAILABLE_INFORMATION) {
        return false;
    }
    value.resize(static_cast<qsizetype>(attribute.ulValueLen));
    attribute.pValue = value.data();
    result = m_functions->C_GetAttributeValue(session, object, &attribute, 1);
    if (result != CKR_OK) {
        value.clear();
        return false;
    }
    value.truncate(static_cast<qsizetype>(attribute.ulValueLen));
    return true;
}

QString Pkcs11ObjectUri(const Pkcs11Token& token, const QByteArray& id, const char* type) {
    QString uri = QStringLiteral("pkcs11:token=");
    appendUriValue(uri, token.label.toUtf8(), false);
    if (!token.serial.isEmpty()) {
        uri += QStringLiteral(";serial=");
        appendUriValue(uri, token.serial.toUtf8(), false);
    }
    uri += QStringLiteral(";id=");
    appendUriValue(uri, id, true);
    uri += QStringLiteral(";type=") + QLatin1String(type);
    return uri;
}

HttpClientCertificate Pkcs11ClientCertificate(const Pkcs11Token& token, const QByteArray& id,
                                              const QString& pin) {
    HttpClientCertificate certificate;
    certificate.certificate = Pkcs11ObjectUri(token, id, "cert");
    certificate.certificateType = QStringLiteral("ENG");
    certificate.key = Pkcs11ObjectUri(token, id, "private");
    certificate.keyType = QStringLiteral("ENG");
    certificate.engine = QStringLiteral("pkcs11");
    certificate.keyPassword = pin;
    return certificate;
}

bool RegisterPkcs11Engine(const QString& modulePath) {
    static std::mutex mutex;
    static QString registeredPath;
    const std::lock_guard lock(mutex);
    if (!registeredPath.isEmpty()) {
        if (registeredPath != modulePath) {
            kWarningLog(u"PKCS#11 engine already uses %s; %s takes effect at the next start",
                        registeredPath, modulePath);
        }
        return registeredPath == modulePath;
    }
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    // libcurl takes the client key only from an engine here: register the
    // engine with the chosen module under its id, where libcurl finds it.
    ENGINE_load_builtin_engines();
    ENGINE* engine = ENGINE_by_id("pkcs11");
    if (engine == nullptr) {
        kErrorLog(u"PKCS#11 engine \"pkcs11\" is not installed");
        return false;
    }
    const QByteArray path = modulePath.toLocal8Bit();
    bool ok = ENGINE_ctrl_cmd_string(engine, "MODULE_PATH", path.constData(), 0) == 1;
    // A dynamically loaded engine is usually listed already; add it otherwise.
    ENGINE* listed = ENGINE_by_id("pkcs11");
    if (ok && listed != engine) {
        ok = ENGINE_add(engine) == 1;
    }
    if (listed != nullptr) {
        ENGINE_free(listed);
    }
    ENGINE_free(engine);
    ERR_clear_error();
#pragma GCC diagnostic pop
    if (!ok) {
        kErrorLog(u"PKCS#11 engine refused the module %s", modulePath);
        return false;
    }
    registeredPath = modulePath;
    return true;
}
