#pragma once

#include <QString>

// The certificate that libcurl presents to a server that asks for one.
// The fields map onto libcurl's certificate options; an empty certificate
// means none is presented.
struct HttpClientCertificate {
    QString certificate;      // a file path or a "pkcs11:" URI
    QString certificateType;  // "PEM", "DER", "P12" or "ENG"; empty for PEM
    QString key;              // a file path or a "pkcs11:" URI; empty: in the certificate
    QString keyType;
    QString engine;  // an OpenSSL engine such as "pkcs11"; empty for none
    bool isEmpty() const { return certificate.isEmpty(); }
};
