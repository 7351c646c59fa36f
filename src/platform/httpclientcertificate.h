#pragma once

// The certificate that libcurl presents to a server that asks for one, and
// the table of which server gets which: a certificate chosen for one server
// (scheme, host and port) goes with every request to it, from any thread,
// and to no other server.

#include "platform/httpurl.h"

#include <QString>

struct HttpClientCertificate {
    QString certificate;      // a file path or a "pkcs11:" URI
    QString certificateType;  // "PEM", "DER", "P12" or "ENG"; empty for PEM
    QString key;              // a file path or a "pkcs11:" URI; empty: in the certificate
    QString keyType;
    QString engine;       // an OpenSSL engine such as "pkcs11"; empty for none
    QString keyPassword;  // the key's password or the token's PIN; never logged
    bool isEmpty() const { return certificate.isEmpty(); }
};

// Presents the certificate to the server of this URL from now on; an empty
// certificate stops that. False for a URL that names no server.
bool HttpSetServerCertificate(const QString& url, const HttpClientCertificate& certificate);
// The certificate for the server of these URL parts; empty when none.
HttpClientCertificate HttpServerCertificate(const HttpUrlParts& parts);
// True while some server has a certificate that unlocks with a PIN.
bool HttpAnyServerCertificate();
