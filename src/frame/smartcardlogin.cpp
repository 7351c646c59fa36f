#include "frame/smartcardlogin.h"

#include "frame/certificatesdlg.h"
#include "frame/smartcardpindialog.h"
#include "framework/kformat.h"
#include "framework/klog.h"
#include "net/wireservices.h"
#include "platform/pkcs11module.h"
#include "server/mysystem.h"
#include "settings/preferences.h"
#include "ui/popuptype.h"

#include <openssl/x509.h>

#include <algorithm>

namespace {

constexpr int kAttemptsBeforeLock = 3;
const QString kModuleKey = QStringLiteral("SCModule");

void errorBox(const QString& text) {
    WireServices().PopupMessage(text, kPopupError);
}

QString nameText(const X509_NAME* name) {
    BIO* bio = BIO_new(BIO_s_mem());
    // Encoded order, short field names, UTF-8: "C=XX, O=Org, CN=Name".
    X509_NAME_print_ex(
        bio, name, 0,
        (XN_FLAG_SEP_COMMA_PLUS | XN_FLAG_FN_SN | ASN1_STRFLGS_RFC2253) & ~ASN1_STRFLGS_ESC_MSB);
    char* data = nullptr;
    const long length = BIO_get_mem_data(bio, &data);
    QString text = QString::fromUtf8(data, static_cast<qsizetype>(length));
    BIO_free(bio);
    return text;
}

// What is left to try, never more than the token itself admits.
int attemptsLeft(const Pkcs11Token& token, int wrongPins) {
    int left = std::max(0, kAttemptsBeforeLock - wrongPins);
    if ((token.flags & CKF_USER_PIN_LOCKED) != 0) {
        left = 0;
    } else if ((token.flags & CKF_USER_PIN_FINAL_TRY) != 0) {
        left = std::min(left, 1);
    }
    return left;
}

}  // namespace

QString CommonNameOf(const QString& name) {
    const qsizetype at = name.indexOf(u"CN=");
    return at >= 0 ? name.mid(at + 3) : name;
}

bool DecodeCertificateNames(const QByteArray& der, QString& subject, QString& issuer) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(der.constData());
    X509* certificate = d2i_X509(nullptr, &bytes, der.size());
    if (certificate == nullptr) {
        return false;
    }
    subject = nameText(X509_get_subject_name(certificate));
    issuer = nameText(X509_get_issuer_name(certificate));
    X509_free(certificate);
    return true;
}

CSmartCardLogin::CSmartCardLogin(CPreferences& prefs, QWidget* dialogParent)
    : m_prefs(prefs), m_dialogParent(dialogParent) {
    m_askPin = [this](const QString& tokenLabel, bool finalTry, QString& pin) {
        CSmartCardPinDialog dialog(tokenLabel, finalTry, m_dialogParent);
        if (dialog.exec() != QDialog::Accepted) {
            return false;
        }
        pin = dialog.Pin();
        return true;
    };
}

QString CSmartCardLogin::ModulePath(const CPreferences& prefs) {
    const QString path = prefs.GetString(kModuleKey, CPkcs11Module::kDefaultModule);
    return path.isEmpty() ? CPkcs11Module::kDefaultModule : path;
}

bool CSmartCardLogin::CheckMiddleware() {
    const CPkcs11Module& module = CPkcs11Module::ForPath(ModulePath(m_prefs));
    if (module.IsLoaded()) {
        return true;
    }
    errorBox(
        kFormat(u"ActiveClient is not installed.\n\n%s\n%s", module.Path(), module.LoadError()));
    return false;
}

int CSmartCardLogin::GetCertificatesFromSmartCard(const QString& pin, CMySystem& system,
                                                  int& wrongPins) {
    CPkcs11Module& module = CPkcs11Module::ForPath(ModulePath(m_prefs));
    if (!module.IsLoaded()) {
        return kFailed;
    }
    CK_SLOT_ID slot = 0;
    Pkcs11Token token;
    switch (module.FindToken(slot, token)) {
        case Pkcs11Status::Ok:
            break;
        case Pkcs11Status::NoReader:
            errorBox(QStringLiteral("No smart card reader attached to this system."));
            return kNoReader;
        case Pkcs11Status::NoToken:
            errorBox(QStringLiteral("Insert the smart card into the smart card reader."));
            return kNoCard;
        default:
            return kFailed;
    }
    std::vector<Pkcs11Certificate> certificates;
    QByteArray pinBytes = pin.toUtf8();
    QByteArray acceptedPin = g_SmartCardLogin.first.toUtf8();
    const Pkcs11Status read =
        module.ReadCertificates(slot, token, pinBytes, acceptedPin, certificates);
    pinBytes.fill('\0');
    acceptedPin.fill('\0');
    switch (read) {
        case Pkcs11Status::Ok:
            break;
        case Pkcs11Status::PinIncorrect:
        case Pkcs11Status::PinLength:
            if (read == Pkcs11Status::PinIncorrect) {
                ++wrongPins;
                module.ReadToken(slot, token);
            }
            errorBox(kFormat(u"Invalid PIN.\nAttempts allowed before locking smart card: %d",
                             attemptsLeft(token, wrongPins)));
            return kWrongPin;
        case Pkcs11Status::PinLocked:
            errorBox(QStringLiteral("Smart card is locked."));
            return kLocked;
        case Pkcs11Status::NoToken:
            errorBox(QStringLiteral("Insert the smart card into the smart card reader."));
            return kNoCard;
        default:
            return kFailed;
    }
    QStringList lines;
    std::vector<const Pkcs11Certificate*> listed;
    std::vector<std::pair<QString, QString>> names;
    for (const Pkcs11Certificate& certificate : certificates) {
        QString subject;
        QString issuer;
        if (!DecodeCertificateNames(certificate.value, subject, issuer)) {
            kWarningLog(u"GetCertificatesFromSmartCard: '%s' is no X.509 certificate, skipped",
                        certificate.label);
            continue;
        }
        names.emplace_back(CommonNameOf(subject), CommonNameOf(issuer));
        lines << QStringLiteral("Name: ") + names.back().first + QStringLiteral("; Issuer: ") +
                     names.back().second;
        listed.push_back(&certificate);
    }
    const int chosen = chooseLine(lines);
    if (chosen < 0 || chosen >= static_cast<int>(listed.size())) {
        return kNoneChosen;
    }
    if (!RegisterPkcs11Engine(module.Path())) {
        return kFailed;
    }
    g_SmartCardCertificate = Pkcs11ClientCertificate(token, listed[chosen]->id, pin);
    system.SetClientCertificate(g_SmartCardCertificate);
    g_SmartCardLogin = {pin, names[chosen].first, names[chosen].second};
    return static_cast<int>(listed[chosen]->value.size());
}

bool CSmartCardLogin::PrepareLogin(CMySystem& system) {
    if (!g_SmartCardCertificate.isEmpty()) {
        system.SetClientCertificate(g_SmartCardCertificate);
    } else {
        if (!CheckMiddleware()) {
            return false;
        }
        CPkcs11Module& module = CPkcs11Module::ForPath(ModulePath(m_prefs));
        CK_SLOT_ID slot = 0;
        Pkcs11Token token;
        if (module.FindToken(slot, token) != Pkcs11Status::Ok) {
            errorBox(QStringLiteral("Insert the smart card into the smart card reader."));
            return false;
        }
        int wrongPins = 0;
        for (;;) {
            QString pin;
            if (!m_askPin(token.label, (token.flags & CKF_USER_PIN_FINAL_TRY) != 0, pin)) {
                return false;
            }
            const int result = GetCertificatesFromSmartCard(pin, system, wrongPins);
            pin.fill(u'\0');
            if (result == kWrongPin) {
                module.ReadToken(slot, token);
                continue;
            }
            if (result <= kNoCard) {
                return false;
            }
            break;
        }
    }
    system.User = QStringLiteral("noneed");
    system.Password = QStringLiteral("noneed");
    return true;
}

int CSmartCardLogin::chooseLine(const QStringList& lines) {
    if (m_chooser) {
        return m_chooser(lines);
    }
    CCertificatesDlg dialog(m_dialogParent);
    for (const QString& line : lines) {
        dialog.AddLine(line);
    }
    return dialog.exec() == QDialog::Accepted ? dialog.ChosenIndex() : -1;
}
