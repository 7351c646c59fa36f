#pragma once

// One server connection plus an XML reader: opens an HTTP, HTTPS or FTP
// request for a URL (choosing between GET and POST), then streams the reply
// through its own expat parser or captures it whole as text. Server
// connections, the data grid and the application object derive from it.
// A wire is used by one thread at a time.

#include "net/expatimpl.h"
#include "net/wirexmlreader.h"
#include "platform/http.h"

#include <QString>

#include <chrono>
#include <functional>
#include <memory>

// How a request for a URL goes out: the GET/POST rule.
struct WireRequestShape {
    HttpUrl url;   // the URL to send to (for a moved query, without it)
    QString body;  // the POST body; empty for a GET
    bool post = false;
};
WireRequestShape ShapeWireRequest(const HttpUrl& url, const QString& postData);

// The user agent of the server requests: the application's name.
QString NetUserAgent();

class CMyWire : public CWireXmlReader, public CExpatImpl<CMyWire> {
public:
    static constexpr int kBufferSize = 10240;
    // Request kinds of GetData.
    enum : int { kSynchronous = 0, kGridReply = 1, kTreeReply = 2 };

    CMyWire();
    ~CMyWire() override;

    // Opens the request and sends it; the reply is then ready to read.
    bool OpenConnection(const QString& url, const QString& user, const QString& password,
                        const QString& postData, bool browserHeaders);
    // Reads the open reply into the parser.
    bool GetStream();
    // Fetches the whole reply as text.
    bool CaptureDocument(const QString& url, const QString& user, const QString& password,
                         QString& text, bool browserHeaders);
    // Kind 0 fetches and parses here; kinds 1 and 2 go to the dispatcher and
    // answer false (the reply arrives later through a pipe).
    bool GetData(int kind, const QString& url, const QString& user, const QString& password,
                 const QString& postData, bool force);
    int CloseConnection();
    // A stop of the caller's own, asked beside the global cancel flag while a
    // request waits or reads; answering true abandons the transfer.
    void SetStopCheck(std::function<bool()> stop) { m_stopCheck = std::move(stop); }
    // Also forgets the session: its proxy credentials and connection.
    void CloseSession();
    bool CheckFullURL(const QString& url);

    int XMLHandleEndTag(const QString& name, const QString& text, const KPROPS& attributes,
                        const QString& parent, const XmlElementStack& stack) override;

    bool IsConnected() const { return m_serviceType != kHttpServiceNone; }
    int GetServiceType() const { return m_serviceType; }
    // The status of the last failed request; 0 after a success or a close.
    int GetHttpStatus() const { return m_httpStatus; }
    const QString& GetRawHeaders() const { return m_rawHeaders; }
    quint16 GetRequesterId() const { return m_requesterId; }
    void SetRequesterId(quint16 id) { m_requesterId = id; }
    int GetBufferSize() const { return m_bufferSize; }
    // Values above kBufferSize are capped, values below 1 raised to 1.
    void SetBufferSize(int size);

private:
    enum class Outcome { Open, Failed };

    Outcome sendHttp(const WireRequestShape& shape, const QString& user, const QString& password,
                     bool browserHeaders, int& status);
    Outcome sendFtp(const HttpUrl& url, const QString& user, const QString& password, int& status);
    void prepareRequest(const HttpUrl& url, const QString& user, const QString& password);
    void takeTransportError();
    bool askProxyCredentials();
    // One chunk of the open reply: >0 bytes, 0 at the end, -1 on failure
    // (after the error box).
    qint64 readChunk();
    // Reads the open reply to its end, handing each chunk (in m_buffer) to
    // `consume`; false on a failed read, a refused chunk or the cancel flag.
    bool readReply(const std::function<bool(qint64)>& consume);
    void pumpMessages();
    bool keepReading() const;

    std::unique_ptr<CHttpRequest> m_request;  // the session's request, made on first use
    QString m_proxyUser;
    QString m_proxyPassword;
    HttpService m_serviceType = kHttpServiceNone;
    int m_httpStatus = 0;
    QString m_rawHeaders;
    int m_bufferSize = kBufferSize;
    std::unique_ptr<char[]> m_buffer;  // made by the first read
    quint16 m_requesterId = 0;
    std::chrono::steady_clock::time_point m_lastPump;
    bool m_reading = false;  // reading a reply, which the cancel flag ends
    std::function<bool()> m_stopCheck;
};
