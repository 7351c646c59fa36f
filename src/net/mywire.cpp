#include "net/mywire.h"

#include "framework/klog.h"
#include "resources/strings.h"
#include "settings/urltext.h"

#include <QStringDecoder>

namespace {

// A query longer than this travels as the body of a POST.
constexpr qsizetype kLongestGetQuery = 1999;
constexpr qsizetype kLoggedBodyLength = 200;
constexpr qint64 kDrainChunk = 50;
constexpr auto kPumpInterval = std::chrono::seconds(1);
constexpr unsigned kUserAgentString = 57344;
constexpr unsigned kNameNotResolvedString = 103;
constexpr int kLongestTransportError = 1024;

const QString& cancelAction() {
    static const QString action = QStringLiteral("Action=CancelRequest");
    return action;
}

// What a browser sends; the web translation pages expect it.
constexpr const char16_t* kBrowserHeaders[] = {
    u"User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0; .NET CLR 1.0.3705)",
    (u"Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, "
     u"application/vnd.ms-powerpoint, application/vnd.ms-excel, application/msword, */*"),
    u"Accept-Language: ru",
    u"Content-Type: application/x-www-form-urlencoded",
    u"Accept-Encoding: gzip, deflate",
};

}  // namespace

WireRequestShape ShapeWireRequest(const HttpUrl& url, const QString& postData) {
    if (!postData.isEmpty()) {
        return {url, postData, true};
    }
    const qsizetype mark = url.Text().indexOf(u'?');
    if (mark >= 0) {
        const QString query = url.Text().mid(mark + 1);
        if (query.size() > kLongestGetQuery || query.contains(cancelAction())) {
            return {url.WithoutQuery(), query, true};
        }
    }
    return {url, {}, false};
}

QString NetUserAgent() {
    return LoadResourceString(kUserAgentString);
}

// Every World View server entry is a wire, and most never send a request:
// the parser and the read buffer are made when first needed.
CMyWire::CMyWire() : CWireXmlReader(u"CMyWire"), CExpatImpl<CMyWire>(ParserTiming::OnFirstChunk) {}

CMyWire::~CMyWire() {
    CloseConnection();
}

void CMyWire::SetBufferSize(int size) {
    m_bufferSize = std::clamp(size, 1, kBufferSize);
}

bool CMyWire::CheckFullURL(const QString& url) {
    if (IsURL(url)) {
        return true;
    }
    m_errorText = kFormat(u"BUG(CMyWire): invalid FullURL: %s", url);
    return false;
}

void CMyWire::pumpMessages() {
    const auto now = std::chrono::steady_clock::now();
    if (now - m_lastPump >= kPumpInterval) {
        m_lastPump = now;
        WireServices().PumpMessages();
    }
}

bool CMyWire::keepReading() const {
    return WireServices().CancelFlag() == 0 && !WireServices().IsAbortedThread() &&
           !(m_stopCheck && m_stopCheck());
}

void CMyWire::prepareRequest(const HttpUrl& url, const QString& user, const QString& password) {
    m_request = std::make_unique<CHttpRequest>();
    m_request->SetUrl(url);
    m_request->SetCredentials(user, password);
    m_request->SetProxyCredentials(m_proxyUser, m_proxyPassword);
    // While the request waits, the UI stays responsive; only the reads of a
    // reply stop for the cancel flag, so a cancel request still goes out.
    m_request->SetWaitHook([this] {
        pumpMessages();
        return m_reading ? keepReading()
                         : !WireServices().IsAbortedThread() && !(m_stopCheck && m_stopCheck());
    });
}

void CMyWire::takeTransportError() {
    m_errorText = m_request->Error() == HttpError::NameNotResolved
                      ? LoadResourceString(kNameNotResolvedString)
                      : m_request->ErrorText().left(kLongestTransportError);
}

bool CMyWire::askProxyCredentials() {
    kDebugLog(u"CMyWire::OpenConnection(): flushing unread data...");
    char scrap[kDrainChunk];
    qint64 count = 0;
    while ((count = m_request->Read(scrap, kDrainChunk)) > 0) {
        kDebugLog(u"-- got %d bytes", static_cast<int>(count));
    }
    QString user;
    QString password;
    if (!WireServices().AskProxyCredentials(m_request->Proxy(), user, password)) {
        kDebugLog(u"CMyWire::OpenConnection(): USER CANCELLED: let HTTP-407 fail the QVX login.");
        return false;
    }
    kDebugLog(u"CMyWire::OpenConnection(): force RETRY of the request...");
    m_proxyUser = user;
    m_proxyPassword = password;
    m_request->SetProxyCredentials(user, password);
    return true;
}

CMyWire::Outcome CMyWire::sendHttp(const WireRequestShape& shape, const QString& user,
                                   const QString& password, bool browserHeaders, int& status) {
    const HttpUrlParts& parts = shape.url.Parts();
    kDebugLog(u"Wire: HTTP Connecting to: %s on port %d as '%s'\n", parts.server, parts.port, user);
    prepareRequest(shape.url, user, password);
    m_request->SetMethod(shape.post ? HttpMethod::Post : HttpMethod::Get);
    m_request->SetBody(shape.body.toUtf8());
    m_request->SetUserAgent(NetUserAgent());
    if (browserHeaders) {
        for (const char16_t* header : kBrowserHeaders) {
            m_request->AddHeader(QString::fromUtf16(header));
        }
    }
    for (;;) {
        if (!m_request->Send()) {
            takeTransportError();
            return Outcome::Failed;
        }
        status = m_request->StatusCode();
        m_rawHeaders = m_request->RawHeaders();
        kDebugLog(u"CMyWire::OpenConnection(): got HTTP-%u:\n%s\n", status, m_rawHeaders);
        if (status >= 200 && status <= 299) {
            return Outcome::Open;
        }
        if (status != 407) {
            m_errorText = kFormat(u"HTTP-%u", status);
            kDebugLog(u"Wire: %s\n", m_errorText);
            return Outcome::Failed;
        }
        if (m_errorText.isEmpty()) {
            m_errorText = QStringLiteral("HTTP-407");
        }
        if (!askProxyCredentials()) {
            return Outcome::Failed;
        }
    }
}

CMyWire::Outcome CMyWire::sendFtp(const HttpUrl& url, const QString& user, const QString& password,
                                  int& status) {
    const HttpUrlParts& parts = url.Parts();
    kDebugLog(u"Wire: FTP Connecting to: %s on port %d as '%s'\n", parts.server, parts.port, user);
    prepareRequest(url, user, password);
    if (!m_request->Send()) {
        takeTransportError();
        return Outcome::Failed;
    }
    status = 200;
    return Outcome::Open;
}

bool CMyWire::OpenConnection(const QString& url, const QString& user, const QString& password,
                             const QString& postData, bool browserHeaders) {
    CloseConnection();
    if (!CheckFullURL(url)) {
        kDebugLog(u"Wire: %s\n", m_errorText);
        return false;
    }
    const WireRequestShape shape = ShapeWireRequest(HttpUrl(url), postData);
    if (!shape.body.contains(cancelAction())) {
        WireServices().RecordUrlTrail(shape.post ? QStringLiteral("[PostData] ") + shape.body
                                                 : shape.url.Text());
    }

    m_errorText.clear();
    int status = 0;
    Outcome outcome = Outcome::Failed;
    if (!shape.url.IsValid()) {
        m_errorText = kFormat(u"Invalid URL: %s", shape.url.Text());
    } else {
        m_serviceType = shape.url.Parts().service;
        kDebugLog(u"MyWire: %s\n", shape.url.Text());
        if (shape.post) {
            kDebugLog(u"[PostData] %.200s%s\n", shape.body,
                      shape.body.size() > kLoggedBodyLength ? u"..." : u"");
        }
        outcome = m_serviceType == kHttpServiceFtp
                      ? sendFtp(shape.url, user, password, status)
                      : sendHttp(shape, user, password, browserHeaders, status);
    }

    if (outcome == Outcome::Open) {
        m_errorText.clear();  // a 407 answered with new credentials is no error
        kDebugLog(u"Wire: connection open.\n");
        return true;
    }
    const QString error =
        m_errorText.isEmpty() ? QStringLiteral("OpenConnection(): Unknown Error") : m_errorText;
    CloseConnection();
    m_errorText = error;
    m_httpStatus = status;
    kDebugLog(u"Wire: %s\n", error);
    return false;
}

qint64 CMyWire::readChunk() {
    if (!m_buffer) {
        m_buffer = std::make_unique<char[]>(kBufferSize + 1);
    }
    const qint64 count = m_request->Read(m_buffer.get(), m_bufferSize);
    kDebugLog(u"Wire: got %d bytes\n", static_cast<int>(count));
    pumpMessages();
    if (count < 0) {
        kDebugLog(u"Wire: bailing (negative nRead).\n");
        if (m_request->Error() != HttpError::Cancelled) {
            WireServices().PopupMessage(m_request->ErrorText(), kPopupError);
        }
    }
    return count;
}

bool CMyWire::readReply(const std::function<bool(qint64)>& consume) {
    m_reading = true;
    bool success = true;
    for (;;) {
        const qint64 count = readChunk();
        if (count <= 0) {
            success = count == 0;
            break;
        }
        m_buffer[count] = 0;
        if (!consume(count)) {
            success = false;
            break;
        }
        pumpMessages();
        success = keepReading();
        if (!success) {
            break;
        }
    }
    m_reading = false;
    return success;
}

bool CMyWire::GetStream() {
    if (!IsConnected()) {
        kDebugLog(u"Wire: trying to get stream when NOT CONNECTED.\n");
        return false;
    }
    bool empty = true;
    const bool read = readReply([this, &empty](qint64 count) {
        empty = false;
        return ParseChunk(m_buffer.get(), static_cast<int>(count), false);
    });
    // An empty reply holds no document to finish; any other must be complete.
    return read && (empty || ParseChunk("", 0, true));
}

bool CMyWire::CaptureDocument(const QString& url, const QString& user, const QString& password,
                              QString& text, bool browserHeaders) {
    text.clear();
    if (!CheckFullURL(url)) {
        return false;
    }
    const CWireBusy busy;
    if (WireServices().CancelFlag() != 0) {
        return false;
    }
    if (!OpenConnection(url, user, password, {}, browserHeaders)) {
        kDebugLog(u"CMyWire::OpenConnection(): FAILED");
        return false;
    }
    QByteArray captured;
    const bool success = readReply([this, &captured](qint64 count) {
        captured.append(m_buffer.get(), count);
        if (kDebugLevel(0) > 1) {
            kDebugLog(u"Wire: added chunk to captured document ...\n");
        }
        return true;
    });
    CloseConnection();
    if (!success) {
        return false;
    }
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString decoded = decoder.decode(captured);
    if (decoder.hasError()) {
        m_errorText = kFormat(u"MultiByteToWideChar() failed: %s",
                              QStringLiteral("the reply is not valid UTF-8"));
        return false;
    }
    text = std::move(decoded);
    return true;
}

bool CMyWire::GetData(int kind, const QString& url, const QString& user, const QString& password,
                      const QString& postData, bool force) {
    if (!CheckFullURL(url)) {
        return false;
    }
    if (WireServices().CancelFlag() != 0 && !force) {
        return false;
    }
    if (kind == kSynchronous) {
        if (!OpenConnection(url, user, password, postData, false) || !IsConnected()) {
            return false;
        }
        Create();
        const bool streamed = GetStream();
        Destroy();
        CloseConnection();
        return streamed;
    }
    kDebugLog(u"Closing client pipe before GetData()...");
    WireServices().StartAsyncRequest(kind, m_requesterId, url, user, password);
    return false;
}

int CMyWire::CloseConnection() {
    if (!IsConnected()) {
        m_request.reset();
        return 1;
    }
    kDebugLog(u"Wire: closing connection...\n");
    m_request.reset();
    m_serviceType = kHttpServiceNone;
    m_httpStatus = 0;
    m_bufferSize = kBufferSize;
    m_rawHeaders.clear();
    m_errorText.clear();
    return 1;
}

void CMyWire::CloseSession() {
    CloseConnection();
    m_proxyUser.clear();
    m_proxyPassword.clear();
}

int CMyWire::XMLHandleEndTag(const QString& name, const QString& text, const KPROPS& attributes,
                             const QString& parent, const XmlElementStack& stack) {
    if (name == u"exception") {
        WireServices().PopupMessage(kFormat(u"%s: %s", attributes.GetValue(QStringLiteral("class")),
                                            attributes.GetValue(QStringLiteral("message"))),
                                    kPopupError);
        return 1;
    }
    return CWireXmlReader::XMLHandleEndTag(name, text, attributes, parent, stack);
}
