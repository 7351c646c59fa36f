#pragma once

// Which server certificates the program trusts. Servers in the field present
// their own certificates, so the program's requests accept whatever a server
// presents; each certificate they accepted is kept here by host and port.
// The program's browsers accept a certificate that fails their own checks
// only when it is the very one a request accepted from that host and port,
// so pages and requests trust a server alike. A certificate that failed
// verification is logged once per server, by whichever met it first.

#include <QByteArray>
#include <QString>

struct HttpPresentedCertificate {
    QByteArray der;         // the server's own certificate; empty: none seen
    long verification = 0;  // the code its verification gave; 0: verified
};

// Keeps the certificate that `host`:`port` presented to a request, in place
// of the one it presented before.
void HttpRecordServerCertificate(const QString& host, int port,
                                 const HttpPresentedCertificate& certificate);
// The certificate that `host`:`port` last presented to a request.
HttpPresentedCertificate HttpAcceptedServerCertificate(const QString& host, int port);

// Logs that the certificate of `server` failed verification with this code
// and was accepted, unless that was logged for the server already.
void HttpLogAcceptedCertificate(const QString& server, long verification);
// Whether a certificate problem of this server was logged already; the first
// call for a server answers false and remembers it.
bool HttpCertificateWarningGiven(const QString& server);
