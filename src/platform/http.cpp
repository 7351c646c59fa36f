#include "platform/http.h"

#include "framework/klog.h"
#include "platform/httpservertrust.h"
#include "platform/httpshare.h"

#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <mutex>
#include <utility>
#include <vector>

namespace {

// The body kept ahead of the reader; beyond it the transfer pauses.
constexpr qsizetype kPendingLimit = 256 * 1024;
// What libcurl receives at a time: large reads of a long reply cost fewer
// system calls and fewer calls of onBody.
constexpr long kReceiveBufferBytes = 128 * 1024;
constexpr std::chrono::milliseconds kWaitHookInterval{100};
constexpr std::chrono::seconds kServerSlotPatience{60};
constexpr long kConnectTimeoutSeconds = 60;
// A reply that delivers less than a byte a second for this long is dead.
constexpr long kStalledSeconds = 300;
constexpr char kProtocols[] = "http,https,ftp";

// The DER form of the certificate the server of the transfer presented in
// its handshake (the first of the chain libcurl lists as PEM); empty when
// the transfer had no handshake of its own.
QByteArray serverCertificateDer(CURL* easy) {
    curl_certinfo* chain = nullptr;
    if (curl_easy_getinfo(easy, CURLINFO_CERTINFO, &chain) != CURLE_OK || chain == nullptr ||
        chain->num_of_certs < 1) {
        return {};
    }
    constexpr QByteArrayView kCertField = "Cert:";
    for (const curl_slist* field = chain->certinfo[0]; field != nullptr; field = field->next) {
        const QByteArrayView text(field->data);
        if (!text.startsWith(kCertField)) {
            continue;
        }
        QByteArray base64;
        for (const QByteArray& line : text.sliced(kCertField.size()).toByteArray().split('\n')) {
            if (!line.startsWith("-----")) {
                base64 += line.trimmed();
            }
        }
        return QByteArray::fromBase64(base64);
    }
    return {};
}

// The connections a thread keeps open for reuse between its requests.
class ThreadConnections {
public:
    ThreadConnections() : m_multi(curl_multi_init()) {
        curl_multi_setopt(m_multi, CURLMOPT_MAX_HOST_CONNECTIONS,
                          static_cast<long>(CHttpServerSlot::kMaxPerServer));
    }
    ~ThreadConnections() { curl_multi_cleanup(m_multi); }
    ThreadConnections(const ThreadConnections&) = delete;
    ThreadConnections& operator=(const ThreadConnections&) = delete;
    CURLM* multi() const { return m_multi; }

private:
    CURLM* m_multi;
};

CURLM* threadMulti() {
    HttpShare();  // initialises libcurl before the first multi handle
    thread_local ThreadConnections connections;
    return connections.multi();
}

QByteArray headerName(const QString& line) {
    return line.section(u':', 0, 0).trimmed().toLatin1().toLower();
}

// The scheme a "WWW-Authenticate:" header line offers, 0 for another line.
long challengedScheme(const QByteArray& line) {
    if (headerName(QString::fromLatin1(line)) != "www-authenticate") {
        return 0;
    }
    const QByteArray scheme = line.mid(line.indexOf(':') + 1).trimmed().split(' ').value(0).toLower();
    static const std::pair<QByteArrayView, unsigned long> kSchemes[] = {
        {"basic", CURLAUTH_BASIC},
        {"digest", CURLAUTH_DIGEST},
        {"ntlm", CURLAUTH_NTLM},
        {"negotiate", CURLAUTH_NEGOTIATE},
    };
    for (const auto& [name, bit] : kSchemes) {
        if (scheme == name) {
            return static_cast<long>(bit);
        }
    }
    return static_cast<long>(CURLAUTH_ANY);  // unknown: never taken for Basic alone
}

QString proxyFromEnvironment(HttpService service) {
    const char* const variables[] = {
        service == kHttpServiceHttps ? "https_proxy"
                                     : (service == kHttpServiceFtp ? "ftp_proxy" : "http_proxy"),
        service == kHttpServiceHttps ? "HTTPS_PROXY"
                                     : (service == kHttpServiceFtp ? "FTP_PROXY" : "HTTP_PROXY"),
        "all_proxy",
        "ALL_PROXY",
    };
    for (const char* variable : variables) {
        const QString value = qEnvironmentVariable(variable);
        if (!value.isEmpty()) {
            return value;
        }
    }
    return {};
}

// Where tests send servers named in URLs (libcurl's "host:port:address:port").
struct HttpConnectTo {
    std::mutex mutex;
    // Every list ever set lives on, as a transfer may still use it.
    std::vector<std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)>> lists;
};

HttpConnectTo& httpConnectTo() {
    static HttpConnectTo connectTo;
    return connectTo;
}

curl_slist* currentConnectTo() {
    HttpConnectTo& connectTo = httpConnectTo();
    const std::lock_guard lock(connectTo.mutex);
    return connectTo.lists.empty() ? nullptr : connectTo.lists.back().get();
}

}  // namespace

void HttpSetConnectTo(const QStringList& entries) {
    curl_slist* list = nullptr;
    for (const QString& entry : entries) {
        list = curl_slist_append(list, entry.toUtf8().constData());
    }
    HttpConnectTo& connectTo = httpConnectTo();
    const std::lock_guard lock(connectTo.mutex);
    connectTo.lists.emplace_back(list, &curl_slist_free_all);
}

// Named, not anonymous: the request's transfer state holds one.
namespace httpdetail {

// The body received and still unread. Reading moves an offset instead of
// shifting the rest forward; the read part is dropped when it is all read
// or when it outweighs the unread part.
class PendingBody {
public:
    qsizetype size() const { return m_bytes.size() - m_readAt; }
    bool isEmpty() const { return size() == 0; }
    void append(const char* data, qsizetype count) {
        if (m_readAt > 0 && m_readAt >= size()) {
            m_bytes.remove(0, m_readAt);
            m_readAt = 0;
        }
        m_bytes.append(data, count);
    }
    // Moves up to `capacity` bytes to `buffer`; returns how many.
    qint64 take(char* buffer, qint64 capacity) {
        const qint64 count = std::min<qint64>(capacity, size());
        std::memcpy(buffer, m_bytes.constData() + m_readAt, static_cast<size_t>(count));
        m_readAt += count;
        if (m_readAt == m_bytes.size()) {
            m_bytes.resize(0);  // keeps the room for the next bytes
            m_readAt = 0;
        }
        return count;
    }

private:
    QByteArray m_bytes;
    qsizetype m_readAt = 0;
};

}  // namespace httpdetail

struct CHttpRequest::Transfer {
    CURL* easy = nullptr;
    CURLM* multi = nullptr;
    curl_slist* headers = nullptr;
    std::unique_ptr<CHttpServerSlot> slot;
    httpdetail::PendingBody pending;
    // While a Read waits with nothing pending, the body goes straight into
    // the reader's buffer: the room left there and the bytes put in.
    char* direct = nullptr;
    qint64 directRoom = 0;
    qint64 directFilled = 0;
    bool paused = false;
    bool bodyStarted = false;
    bool done = false;
    CURLcode result = CURLE_OK;
    char errorBuffer[CURL_ERROR_SIZE] = {};

    ~Transfer() {
        if (easy != nullptr) {
            curl_multi_remove_handle(multi, easy);
            curl_easy_cleanup(easy);
        }
        curl_slist_free_all(headers);
    }
};

CHttpRequest::CHttpRequest() = default;

CHttpRequest::~CHttpRequest() = default;

void CHttpRequest::SetUrl(HttpUrl url) {
    m_url = std::move(url);
}

void CHttpRequest::SetMethod(HttpMethod method) {
    m_method = method;
}

void CHttpRequest::SetBody(const QByteArray& body) {
    m_body = body;
}

void CHttpRequest::SetCredentials(const QString& user, const QString& password) {
    m_user = user;
    m_password = password;
}

void CHttpRequest::SetProxyCredentials(const QString& user, const QString& password) {
    m_proxyUser = user;
    m_proxyPassword = password;
}

void CHttpRequest::SetUserAgent(const QString& userAgent) {
    m_userAgent = userAgent;
}

void CHttpRequest::AddHeader(const QString& line) {
    m_headers.append(line);
}

void CHttpRequest::SetClientCertificate(const HttpClientCertificate& certificate) {
    m_certificate = certificate;
}

void CHttpRequest::SetWaitHook(std::function<bool()> keepWaiting) {
    m_keepWaiting = std::move(keepWaiting);
}

QString CHttpRequest::Proxy() const {
    return proxyFromEnvironment(m_url.Parts().service);
}

size_t CHttpRequest::onHeader(char* data, size_t size, size_t count, void* request) {
    auto* self = static_cast<CHttpRequest*>(request);
    const QByteArray line(data, static_cast<qsizetype>(size * count));
    if (self->m_url.Parts().service != kHttpServiceFtp) {
        // Each reply (an authentication challenge, a redirect, the final
        // reply) begins with its status line; only the last one is kept.
        if (line.startsWith("HTTP/")) {
            self->m_headerBlock.clear();
            self->m_inChallenge = line.split(' ').value(1) == "401";
            if (self->m_inChallenge) {
                self->m_challengedSchemes = 0;
            }
        } else if (self->m_inChallenge) {
            self->m_challengedSchemes |= challengedScheme(line);
        }
        self->m_headerBlock.append(line);
    }
    return size * count;
}

size_t CHttpRequest::onBody(char* data, size_t size, size_t count, void* request) {
    Transfer& transfer = *static_cast<CHttpRequest*>(request)->m_transfer;
    transfer.bodyStarted = true;
    const qint64 total = static_cast<qint64>(size * count);
    const qint64 direct = std::min(total, transfer.directRoom);
    if (direct > 0) {
        std::memcpy(transfer.direct + transfer.directFilled, data, static_cast<size_t>(direct));
        transfer.directFilled += direct;
        transfer.directRoom -= direct;
    } else if (transfer.pending.size() >= kPendingLimit) {
        // Pausing refuses the whole piece, so only a piece of which nothing
        // was taken can wait.
        transfer.paused = true;
        return CURL_WRITEFUNC_PAUSE;
    }
    transfer.pending.append(data + direct, total - direct);
    return size * count;
}

bool CHttpRequest::configure(Transfer& transfer) {
    CURL* easy = transfer.easy;
    const QByteArray url = HttpEncodeUrl(m_url.Text());
    curl_easy_setopt(easy, CURLOPT_URL, url.constData());
    curl_easy_setopt(easy, CURLOPT_PRIVATE, this);
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, transfer.errorBuffer);
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, kProtocols);
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, kProtocols);
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, 10L);
    curl_easy_setopt(easy, CURLOPT_SHARE, HttpShare());
    curl_easy_setopt(easy, CURLOPT_COOKIEFILE, "");
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds);
    if (curl_slist* connectTo = currentConnectTo()) {
        curl_easy_setopt(easy, CURLOPT_CONNECT_TO, connectTo);
    }
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME, kStalledSeconds);
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &CHttpRequest::onHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &CHttpRequest::onBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(easy, CURLOPT_BUFFERSIZE, kReceiveBufferBytes);
    // Servers in the field present their own certificates: accept them, keep
    // each for the browsers and log a failed verification (noteCertificate).
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 0L);
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 0L);
    curl_easy_setopt(easy, CURLOPT_CERTINFO, 1L);
    curl_easy_setopt(easy, CURLOPT_HTTPAUTH,
                     m_user.isEmpty() ? static_cast<long>(CURLAUTH_ANY) : HttpLearnedAuth(authKey()));
    curl_easy_setopt(easy, CURLOPT_PROXYAUTH, static_cast<long>(CURLAUTH_ANY));
    if (!m_user.isEmpty()) {
        curl_easy_setopt(easy, CURLOPT_USERNAME, m_user.toUtf8().constData());
        curl_easy_setopt(easy, CURLOPT_PASSWORD, m_password.toUtf8().constData());
    }
    if (!m_proxyUser.isEmpty()) {
        curl_easy_setopt(easy, CURLOPT_PROXYUSERNAME, m_proxyUser.toUtf8().constData());
        curl_easy_setopt(easy, CURLOPT_PROXYPASSWORD, m_proxyPassword.toUtf8().constData());
    }
    if (!m_userAgent.isEmpty()) {
        curl_easy_setopt(easy, CURLOPT_USERAGENT, m_userAgent.toUtf8().constData());
    }
    const HttpClientCertificate certificate =
        m_certificate.isEmpty() ? HttpServerCertificate(m_url.Parts()) : m_certificate;
    if (!certificate.isEmpty()) {
        const auto setText = [easy](CURLoption option, const QString& value) {
            if (!value.isEmpty()) {
                curl_easy_setopt(easy, option, value.toUtf8().constData());
            }
        };
        setText(CURLOPT_SSLENGINE, certificate.engine);
        setText(CURLOPT_SSLCERT, certificate.certificate);
        setText(CURLOPT_SSLCERTTYPE, certificate.certificateType);
        setText(CURLOPT_SSLKEY, certificate.key);
        setText(CURLOPT_SSLKEYTYPE, certificate.keyType);
        setText(CURLOPT_KEYPASSWD, certificate.keyPassword);
    }

    // libcurl would add a Content-Type and "Expect: 100-continue" to a POST;
    // the server's requests carry neither unless a caller asks.
    QStringList headers = m_headers;
    const auto given = [&headers](QByteArrayView name) {
        return std::any_of(headers.cbegin(), headers.cend(),
                           [name](const QString& line) { return headerName(line) == name; });
    };
    for (const char* removed : {"Content-Type", "Expect"}) {
        if (!given(QByteArray(removed).toLower())) {
            headers.append(QString::fromLatin1(removed) + u':');
        }
    }
    for (const QString& line : headers) {
        if (headerName(line) == "accept-encoding") {
            // Asked for through libcurl, so that it also decodes the reply.
            curl_easy_setopt(easy, CURLOPT_ACCEPT_ENCODING,
                             line.section(u':', 1).trimmed().toLatin1().constData());
            continue;
        }
        transfer.headers = curl_slist_append(transfer.headers, line.toUtf8().constData());
    }
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, transfer.headers);

    if (m_method == HttpMethod::Post) {
        curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(m_body.size()));
        curl_easy_setopt(easy, CURLOPT_COPYPOSTFIELDS, m_body.constData());
    } else {
        curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
    }
    return curl_multi_add_handle(transfer.multi, easy) == CURLM_OK;
}

bool CHttpRequest::Send() {
    Close();
    m_status = 0;
    m_rawHeaders.clear();
    m_headerBlock.clear();
    m_challengedSchemes = 0;
    m_inChallenge = false;
    m_error = HttpError::None;
    m_errorText.clear();
    if (!m_url.IsValid()) {
        fail(HttpError::InvalidUrl, kFormat(u"Invalid URL: %s", m_url.Text()));
        return false;
    }
    const HttpUrlParts& parts = m_url.Parts();
    m_transfer = std::make_unique<Transfer>();
    m_transfer->slot = std::make_unique<CHttpServerSlot>(parts.server, kServerSlotPatience,
                                                         m_keepWaiting, kWaitHookInterval);
    if (m_transfer->slot->Abandoned()) {
        fail(HttpError::Cancelled, QStringLiteral("The request was cancelled."));
        return false;
    }
    if (!m_transfer->slot->Acquired()) {
        fail(HttpError::TooManyConnections,
             kFormat(u"Too many connections to %s are open.", parts.server));
        return false;
    }
    m_transfer->multi = threadMulti();
    m_transfer->easy = curl_easy_init();
    if (m_transfer->easy == nullptr || !configure(*m_transfer)) {
        fail(HttpError::Transfer, QStringLiteral("libcurl could not set up the request."));
        return false;
    }
    Transfer& transfer = *m_transfer;
    if (!waitFor([&transfer] { return transfer.bodyStarted || transfer.done; })) {
        return false;
    }
    m_rawHeaders = QString::fromLatin1(m_headerBlock);
    if (parts.service == kHttpServiceFtp) {
        long status = 0;
        curl_easy_getinfo(transfer.easy, CURLINFO_RESPONSE_CODE, &status);
        m_status = static_cast<int>(status);
    } else {
        // Read from the status line itself: libcurl's own record of it is
        // overwritten when it closes an older FTP connection meanwhile.
        m_status = m_rawHeaders.section(u' ', 1, 1).toInt();
        if (!m_user.isEmpty()) {
            HttpNoteAuthOutcome(authKey(), m_status, m_challengedSchemes);
        }
    }
    noteCertificate();
    return true;
}

qint64 CHttpRequest::Read(char* buffer, qint64 capacity) {
    if (!m_transfer) {
        return m_error == HttpError::None ? 0 : -1;
    }
    Transfer& transfer = *m_transfer;
    if (!transfer.pending.isEmpty()) {
        return transfer.pending.take(buffer, capacity);
    }
    transfer.direct = buffer;
    transfer.directRoom = capacity;
    transfer.directFilled = 0;
    if (!waitFor([&transfer] {
            return transfer.directFilled > 0 || !transfer.pending.isEmpty() || transfer.done;
        })) {
        return -1;  // the failed transfer is gone
    }
    transfer.direct = nullptr;
    transfer.directRoom = 0;
    // The bytes that went straight into the buffer come before any pending.
    const qint64 filled = std::exchange(transfer.directFilled, 0);
    return filled > 0 ? filled : transfer.pending.take(buffer, capacity);
}

void CHttpRequest::Close() {
    m_transfer.reset();
}

bool CHttpRequest::waitFor(const std::function<bool()>& condition) {
    using Clock = std::chrono::steady_clock;
    Transfer& transfer = *m_transfer;
    auto lastHook = Clock::now();
    while (!condition()) {
        if (transfer.paused && transfer.pending.size() < kPendingLimit) {
            transfer.paused = false;
            curl_easy_pause(transfer.easy, CURLPAUSE_CONT);
            continue;
        }
        int running = 0;
        curl_multi_perform(transfer.multi, &running);
        int queued = 0;
        while (CURLMsg* message = curl_multi_info_read(transfer.multi, &queued)) {
            // Other requests of this thread share the handle: each finished
            // transfer goes to its own request.
            CHttpRequest* owner = nullptr;
            curl_easy_getinfo(message->easy_handle, CURLINFO_PRIVATE, &owner);
            if (message->msg == CURLMSG_DONE && owner != nullptr && owner->m_transfer) {
                owner->finish(message->data.result);
            }
        }
        if (condition()) {
            break;
        }
        curl_multi_poll(transfer.multi, nullptr, 0, static_cast<int>(kWaitHookInterval.count()),
                        nullptr);
        if (m_keepWaiting && Clock::now() - lastHook >= kWaitHookInterval) {
            lastHook = Clock::now();
            if (!m_keepWaiting()) {
                fail(HttpError::Cancelled, QStringLiteral("The request was cancelled."));
                return false;
            }
        }
    }
    if (transfer.done && transfer.result != CURLE_OK && transfer.pending.isEmpty() &&
        transfer.directFilled == 0) {
        const QString detail = QString::fromUtf8(transfer.errorBuffer);
        fail(transfer.result == CURLE_COULDNT_RESOLVE_HOST ? HttpError::NameNotResolved
                                                           : HttpError::Transfer,
             detail.isEmpty() ? QString::fromUtf8(curl_easy_strerror(transfer.result)) : detail);
        return false;
    }
    return true;
}

void CHttpRequest::finish(int result) {
    m_transfer->done = true;
    m_transfer->result = static_cast<CURLcode>(result);
}

void CHttpRequest::fail(HttpError error, const QString& text) {
    m_error = error;
    m_errorText = text;
    kDebugLog(u"CHttpRequest: %s", text);
    Close();
}

QString CHttpRequest::authKey() const {
    const HttpUrlParts& parts = m_url.Parts();
    return HttpAuthKey(parts.service, parts.server, parts.port);
}

void CHttpRequest::noteCertificate() {
    // The server that answered last, which a redirect may have changed.
    char* effective = nullptr;
    curl_easy_getinfo(m_transfer->easy, CURLINFO_EFFECTIVE_URL, &effective);
    const HttpUrl answered(effective != nullptr ? QString::fromUtf8(effective) : m_url.Text());
    if (answered.Parts().service != kHttpServiceHttps) {
        return;
    }
    HttpPresentedCertificate certificate;
    curl_easy_getinfo(m_transfer->easy, CURLINFO_SSL_VERIFYRESULT, &certificate.verification);
    // A reused connection or a resumed session brings no certificate: the
    // one kept from the handshake stays.
    certificate.der = serverCertificateDer(m_transfer->easy);
    if (!certificate.der.isEmpty()) {
        HttpRecordServerCertificate(answered.Parts().server, answered.Parts().port, certificate);
    }
    HttpLogAcceptedCertificate(answered.Parts().server, certificate.verification);
}
