#pragma once

// One HTTP, HTTPS or FTP request on libcurl, run on the calling thread: the
// program's stand-in for a WinInet request. Send() sends it and waits for
// the reply's status and headers; Read() then hands out the body as it
// arrives, never holding more than a bounded amount of it.
//
// Every request of the process shares cookies, DNS and TLS sessions (see
// httpshare.h); each thread keeps its own open connections for reuse. At
// most 4 requests to one server are open at a time. Credentials answer
// whatever scheme the server asks for, and go with the first request to a
// server known to take Basic (see HttpLearnedAuth); the proxy comes from the environment
// (http_proxy, https_proxy, no_proxy). Any server certificate is accepted,
// as servers in the field use their own; a certificate that fails
// verification is logged once per server.

#include "platform/httpclientcertificate.h"
#include "platform/httpurl.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

enum class HttpMethod { Get, Post };

// For tests: every later request to a server named in an entry
// ("host:port:address:port") connects to that address instead; an empty
// list ends that.
void HttpSetConnectTo(const QStringList& entries);

enum class HttpError {
    None,
    InvalidUrl,
    NameNotResolved,
    TooManyConnections,
    Cancelled,
    Transfer,  // any other failure; the text says which
};

class CHttpRequest {
public:
    CHttpRequest();
    ~CHttpRequest();
    CHttpRequest(const CHttpRequest&) = delete;
    CHttpRequest& operator=(const CHttpRequest&) = delete;

    // Set-up, before Send(). The URL's text is encoded with HttpEncodeUrl;
    // a URL that did not split is refused by Send().
    void SetUrl(HttpUrl url);
    void SetMethod(HttpMethod method);
    // The POST body, sent as given with no Content-Type of its own.
    void SetBody(const QByteArray& body);
    // Empty user: none. FTP without a user logs in anonymously.
    void SetCredentials(const QString& user, const QString& password);
    void SetProxyCredentials(const QString& user, const QString& password);
    void SetUserAgent(const QString& userAgent);
    // A "Name: value" header; one given here replaces libcurl's own of that name.
    void AddHeader(const QString& line);
    void SetClientCertificate(const HttpClientCertificate& certificate);
    // Called about ten times a second while the request waits for the
    // server; answering false abandons the request (HttpError::Cancelled).
    void SetWaitHook(std::function<bool()> keepWaiting);

    // Sends the request and waits until the reply's body begins or the
    // reply is complete. True when a reply arrived, whatever its status;
    // false on a transport failure (see Error() and ErrorText()).
    bool Send();
    // The status of the reply (an FTP reply's last code), 0 before one.
    int StatusCode() const { return m_status; }
    // The final reply's status line and headers, each ending in CRLF, with
    // the blank line that ends them.
    const QString& RawHeaders() const { return m_rawHeaders; }
    // Copies up to `capacity` bytes of the body; 0 at its end, -1 when the
    // transfer failed (the error is kept).
    qint64 Read(char* buffer, qint64 capacity);
    // Abandons the transfer; the request can be set up and sent again.
    void Close();

    HttpError Error() const { return m_error; }
    const QString& ErrorText() const { return m_errorText; }
    // The proxy the request went through, empty when none.
    QString Proxy() const;

private:
    struct Transfer;

    static size_t onHeader(char* data, size_t size, size_t count, void* request);
    static size_t onBody(char* data, size_t size, size_t count, void* request);
    bool configure(Transfer& transfer);
    bool waitFor(const std::function<bool()>& condition);
    void finish(int result);
    void fail(HttpError error, const QString& text);
    void noteCertificate();
    QString authKey() const;

    HttpUrl m_url;
    HttpMethod m_method = HttpMethod::Get;
    QByteArray m_body;
    QString m_user;
    QString m_password;
    QString m_proxyUser;
    QString m_proxyPassword;
    QString m_userAgent;
    QStringList m_headers;
    HttpClientCertificate m_certificate;
    std::function<bool()> m_keepWaiting;

    std::unique_ptr<Transfer> m_transfer;
    int m_status = 0;
    QString m_rawHeaders;
    QByteArray m_headerBlock;
    // The schemes the last 401 on the way to the reply offered (CURLAUTH_*).
    long m_challengedSchemes = 0;
    bool m_inChallenge = false;
    HttpError m_error = HttpError::None;
    QString m_errorText;
};
