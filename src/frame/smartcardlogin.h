#pragma once

// Reads the certificates on the smart card with the PIN, lets the user pick
// one, and makes it the server's client certificate. The module is the one
// the preference "SCModule" names (p11-kit's proxy by default).

#include <QByteArray>
#include <QString>

#include <functional>

class CMySystem;
class CPreferences;
class QWidget;

class CSmartCardLogin {
public:
    enum Result : int {
        kFailed = -1,  // the login goes on without a certificate
        kNoneChosen = 0,
        kWrongPin = 1,
        kNoReader = 2,
        kLocked = 3,
        kNoCard = 4,
        // Anything else: the chosen certificate's length.
    };

    // Lets the user pick one of the lines; the index, or -1 for none.
    using Chooser = std::function<int(const QStringList& lines)>;

    CSmartCardLogin(CPreferences& prefs, QWidget* dialogParent);

    // The module's path from the preferences.
    static QString ModulePath(const CPreferences& prefs);
    // Whether the module loads; otherwise shows the box that says it does not.
    bool CheckMiddleware();
    // `wrongPins` counts the wrong PINs since the panel was made.
    int GetCertificatesFromSmartCard(const QString& pin, CMySystem& system, int& wrongPins);

    // For a login the user did not start from the panel: the certificate
    // chosen earlier in this run, or else the PIN (CSmartCardPinDialog) and
    // the certificate dialog. Sets the "noneed" credentials; false when no
    // certificate was had.
    bool PrepareLogin(CMySystem& system);

    // Asks for the PIN of the token; false when cancelled.
    using PinAsker = std::function<bool(const QString& tokenLabel, bool finalTry, QString& pin)>;
    // For tests: replace the certificate dialog and the PIN dialog.
    void SetChooser(Chooser chooser) { m_chooser = std::move(chooser); }
    void SetPinAsker(PinAsker asker) { m_askPin = std::move(asker); }

private:
    int chooseLine(const QStringList& lines);

    CPreferences& m_prefs;
    QWidget* m_dialogParent;
    Chooser m_chooser;
    PinAsker m_askPin;
};

// The text after the first "CN=" of an X.500 name in encoded order ("C=..,
// O=.., CN=..."); the whole name when it has none.
QString CommonNameOf(const QString& name);
// Subject and issuer of a DER certificate in that form; false when it does
// not decode.
bool DecodeCertificateNames(const QByteArray& der, QString& subject, QString& issuer);
