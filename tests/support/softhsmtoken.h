#pragma once

// A SoftHSM2 token made once per test process in a folder of its own
// (SOFTHSM2_CONF points there before the module is first loaded): PIN
// kPin, an RSA key with id 01 and its certificate signed by a test CA,
// beside objects a certificate listing must pass over (a data object, the
// public key) and a second certificate with an 80-character label.

#include <QByteArray>
#include <QString>

struct SoftHsmToken {
    static constexpr const char* kPin = "740913";
    static constexpr const char* kTokenLabel = "Quillex Test Token";

    QString modulePath;
    QByteArray caPem;          // the CA that signed the token's certificates
    QByteArray clientSubject;  // the key's certificate, as the server logs it
    QString error;             // why the token could not be made; empty when made

    // The process's token, made on first use.
    static const SoftHsmToken& Shared();
};
