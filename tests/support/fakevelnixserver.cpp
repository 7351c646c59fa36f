#include "support/fakevelnixserver.h"

#include <httplib.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>

#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

namespace {

// How long a held chunk waits for the test before the server gives up.
constexpr auto kHoldLimit = std::chrono::seconds(30);
constexpr auto kStartLimit = std::chrono::seconds(10);
constexpr time_t kRequestPatienceSeconds = 30;

std::string toStd(const QByteArray& bytes) {
    return bytes.toStdString();
}

QByteArray fromStd(const std::string& text) {
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

QByteArray basicCredentials(const QByteArray& user, const QByteArray& password) {
    return "Basic " + (user + ':' + password).toBase64();
}

struct KeyFree {
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
struct CertificateFree {
    void operator()(X509* certificate) const { X509_free(certificate); }
};

// A self-signed certificate for 127.0.0.1, valid for a day.
std::pair<std::unique_ptr<X509, CertificateFree>, std::unique_ptr<EVP_PKEY, KeyFree>>
makeCertificate() {
    std::unique_ptr<EVP_PKEY, KeyFree> key(EVP_EC_gen("prime256v1"));
    std::unique_ptr<X509, CertificateFree> certificate(X509_new());
    if (!key || !certificate) {
        return {};
    }
    X509_set_version(certificate.get(), 2);
    ASN1_INTEGER_set(X509_get_serialNumber(certificate.get()), 1);
    X509_gmtime_adj(X509_getm_notBefore(certificate.get()), 0);
    X509_gmtime_adj(X509_getm_notAfter(certificate.get()), 24 * 60 * 60);
    X509_set_pubkey(certificate.get(), key.get());
    X509_NAME* name = X509_get_subject_name(certificate.get());
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                               reinterpret_cast<const unsigned char*>("127.0.0.1"), -1, -1, 0);
    X509_set_issuer_name(certificate.get(), name);
    if (X509_sign(certificate.get(), key.get(), EVP_sha256()) == 0) {
        return {};
    }
    return {std::move(certificate), std::move(key)};
}

}  // namespace

struct FakeVelnixServer::State {
    struct Entry {
        QByteArray path;
        QByteArray queryPrefix;
        std::vector<Reply> replies;
        size_t used = 0;
    };

    std::unique_ptr<httplib::Server> server;
    std::thread listener;
    int port = -1;
    QString scheme;
    QByteArray certificateDer;

    mutable std::mutex mutex;
    std::condition_variable released;
    int releasedChunks = 0;
    bool stopping = false;
    std::vector<Entry> entries;
    std::vector<Request> requests;
    QByteArray expectedAuthorization;
    QByteArray expectedProxyAuthorization;

    Reply replyFor(const Request& request);
    void answer(const httplib::Request& in, httplib::Response& out);
    bool waitForRelease();
};

FakeVelnixServer::Reply FakeVelnixServer::Reply::Xml(const QByteArray& xml, int status) {
    Reply reply;
    reply.status = status;
    reply.body = xml;
    reply.header("Content-Type", "text/xml; charset=utf-8");
    return reply;
}

QByteArray FakeVelnixServer::Request::header(const QByteArray& name) const {
    const QByteArray lowered = name.toLower();
    for (const auto& [key, value] : headers) {
        if (key == lowered) {
            return value;
        }
    }
    return {};
}

bool FakeVelnixServer::Request::hasHeader(const QByteArray& name) const {
    return !header(name).isNull();
}

FakeVelnixServer::Reply FakeVelnixServer::State::replyFor(const Request& request) {
    const QByteArray& query =
        request.query.isEmpty() && request.method == "POST" ? request.body : request.query;
    std::lock_guard lock(mutex);
    for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
        if (entry->path == request.path && query.startsWith(entry->queryPrefix)) {
            const Reply& reply =
                entry->replies.at(std::min(entry->used, entry->replies.size() - 1));
            ++entry->used;
            return reply;
        }
    }
    Reply missing;
    missing.status = 404;
    missing.body = "not found";
    return missing;
}

bool FakeVelnixServer::State::waitForRelease() {
    std::unique_lock lock(mutex);
    const bool go =
        released.wait_for(lock, kHoldLimit, [this] { return stopping || releasedChunks > 0; });
    if (!go || stopping) {
        return false;
    }
    --releasedChunks;
    return true;
}

void FakeVelnixServer::State::answer(const httplib::Request& in, httplib::Response& out) {
    Request request;
    request.method = fromStd(in.method);
    QByteArray target = fromStd(in.target);
    const qsizetype authority = target.indexOf("://");
    if (authority >= 0) {
        const qsizetype pathStart = target.indexOf('/', authority + 3);
        target = pathStart >= 0 ? target.mid(pathStart) : QByteArray("/");
    }
    const qsizetype mark = target.indexOf('?');
    request.path = target.left(mark >= 0 ? mark : target.size());
    request.query = mark >= 0 ? target.mid(mark + 1) : QByteArray();
    for (const auto& [name, value] : in.headers) {
        request.headers.emplace_back(fromStd(name).toLower(), fromStd(value));
    }
    request.body = fromStd(in.body);
    if (in.ssl != nullptr) {
        if (X509* peer = SSL_get1_peer_certificate(in.ssl)) {
            char* line = X509_NAME_oneline(X509_get_subject_name(peer), nullptr, 0);
            request.clientSubject = line;
            OPENSSL_free(line);
            X509_free(peer);
        }
    }
    QByteArray authorization;
    QByteArray proxyAuthorization;
    {
        std::lock_guard lock(mutex);
        requests.push_back(request);
        authorization = expectedAuthorization;
        proxyAuthorization = expectedProxyAuthorization;
    }

    if (!proxyAuthorization.isEmpty() &&
        request.header("Proxy-Authorization") != proxyAuthorization) {
        out.status = 407;
        out.set_header("Proxy-Authenticate", "Basic realm=\"proxy\"");
        out.set_content("proxy authentication required", "text/plain");
        return;
    }
    if (!authorization.isEmpty() && request.header("Authorization") != authorization) {
        out.status = 401;
        out.set_header("WWW-Authenticate", "Basic realm=\"Velnix\"");
        out.set_content("unauthorized", "text/plain");
        return;
    }

    const Reply reply = replyFor(request);
    if (reply.holdReply && !waitForRelease()) {
        out.status = 503;
        out.set_content("never released", "text/plain");
        return;
    }
    out.status = reply.status;
    for (const auto& [name, value] : reply.headers) {
        out.set_header(toStd(name), toStd(value));
    }
    const std::string contentType =
        out.has_header("Content-Type") ? out.get_header_value("Content-Type") : "text/xml";
    if (!reply.chunks.empty()) {
        auto next = std::make_shared<size_t>(0);
        out.set_chunked_content_provider(
            contentType, [this, reply, next](size_t, httplib::DataSink& sink) {
                if (*next >= reply.chunks.size()) {
                    sink.done();
                    return true;
                }
                if (*next > 0 && reply.holdChunks && !waitForRelease()) {
                    return false;
                }
                const QByteArray& chunk = reply.chunks[(*next)++];
                return sink.write(chunk.constData(), static_cast<size_t>(chunk.size()));
            });
    } else if (reply.dropAfterBytes >= 0) {
        const QByteArray sent = reply.body.left(reply.dropAfterBytes);
        out.set_content_provider(static_cast<size_t>(reply.body.size()), contentType,
                                 [sent](size_t offset, size_t, httplib::DataSink& sink) {
                                     if (offset == 0 && !sent.isEmpty()) {
                                         sink.write(sent.constData(),
                                                    static_cast<size_t>(sent.size()));
                                     }
                                     return false;  // breaks the connection off
                                 });
    } else {
        out.set_content(toStd(reply.body), contentType);
    }
}

FakeVelnixServer::FakeVelnixServer(Transport transport) : m_state(std::make_shared<State>()) {
    start(transport, {});
}

FakeVelnixServer::FakeVelnixServer(const QByteArray& clientCaPem)
    : m_state(std::make_shared<State>()) {
    start(Transport::Https, clientCaPem);
}

void FakeVelnixServer::start(Transport transport, const QByteArray& clientCaPem) {
    State& state = *m_state;
    if (transport == Transport::Https) {
        auto [certificate, key] = makeCertificate();
        X509_STORE* clientCas = nullptr;
        if (!clientCaPem.isEmpty()) {
            // The server takes the store over.
            clientCas = X509_STORE_new();
            BIO* pem =
                BIO_new_mem_buf(clientCaPem.constData(), static_cast<int>(clientCaPem.size()));
            X509* ca = PEM_read_bio_X509(pem, nullptr, nullptr, nullptr);
            BIO_free(pem);
            if (ca != nullptr) {
                X509_STORE_add_cert(clientCas, ca);
                X509_free(ca);
            }
        }
        if (certificate && key) {
            const int derSize = i2d_X509(certificate.get(), nullptr);
            state.certificateDer.resize(qMax(derSize, 0));
            auto* der = reinterpret_cast<unsigned char*>(state.certificateDer.data());
            i2d_X509(certificate.get(), &der);
            auto server =
                std::make_unique<httplib::SSLServer>(certificate.get(), key.get(), clientCas);
            // Clients resume their TLS sessions; with client certificates
            // that needs a session context, or the resumed handshake fails.
            static const unsigned char kSessionContext[] = "fakevelnix";
            SSL_CTX_set_session_id_context(server->ssl_context(), kSessionContext,
                                           sizeof kSessionContext - 1);
            state.server = std::move(server);
        } else if (clientCas != nullptr) {
            X509_STORE_free(clientCas);
        }
        state.scheme = QStringLiteral("https");
    } else {
        state.server = std::make_unique<httplib::Server>();
        state.scheme = QStringLiteral("http");
    }
    if (!state.server || !state.server->is_valid()) {
        return;
    }
    const auto handler = [&state](const httplib::Request& in, httplib::Response& out) {
        state.answer(in, out);
    };
    // Each connection serves one request and is closed after it (the reply
    // says so), so stopping never waits out a client's idle connection. The
    // wait for that request is the keep-alive timeout: with 0, a connection
    // whose request was not there within 10 ms got no reply at all, which a
    // loaded machine readily exceeds.
    state.server->set_keep_alive_max_count(1);
    state.server->set_keep_alive_timeout(kRequestPatienceSeconds);
    const std::string anyPath = ".*";
    state.server->Get(anyPath, handler);
    state.server->Post(anyPath, handler);
    state.server->Put(anyPath, handler);
    state.server->Delete(anyPath, handler);
    state.port = state.server->bind_to_any_port("127.0.0.1");
    if (state.port > 0) {
        state.listener = std::thread([&state] { state.server->listen_after_bind(); });
        // A stop() before the loop runs would be missed and the join would hang.
        const auto deadline = std::chrono::steady_clock::now() + kStartLimit;
        while (!state.server->is_running() && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
}

FakeVelnixServer::~FakeVelnixServer() {
    State& state = *m_state;
    {
        std::lock_guard lock(state.mutex);
        state.stopping = true;
    }
    state.released.notify_all();
    if (state.server) {
        state.server->stop();
    }
    if (state.listener.joinable()) {
        state.listener.join();
    }
}

bool FakeVelnixServer::IsListening() const {
    return m_state->listener.joinable();
}

int FakeVelnixServer::Port() const {
    return m_state->port;
}

QString FakeVelnixServer::BaseUrl() const {
    return m_state->scheme + QStringLiteral("://127.0.0.1:") + QString::number(m_state->port);
}

QByteArray FakeVelnixServer::CertificateDer() const {
    return m_state->certificateDer;
}

void FakeVelnixServer::Script(const QByteArray& path, const QByteArray& queryPrefix,
                              const Reply& reply) {
    std::lock_guard lock(m_state->mutex);
    for (State::Entry& entry : m_state->entries) {
        if (entry.path == path && entry.queryPrefix == queryPrefix) {
            entry.replies.push_back(reply);
            return;
        }
    }
    m_state->entries.push_back({path, queryPrefix, {reply}, 0});
}

void FakeVelnixServer::RequireBasicAuth(const QByteArray& user, const QByteArray& password) {
    std::lock_guard lock(m_state->mutex);
    m_state->expectedAuthorization = basicCredentials(user, password);
}

void FakeVelnixServer::RequireProxyAuth(const QByteArray& user, const QByteArray& password) {
    std::lock_guard lock(m_state->mutex);
    m_state->expectedProxyAuthorization = basicCredentials(user, password);
}

void FakeVelnixServer::ReleaseChunks(int count) {
    {
        std::lock_guard lock(m_state->mutex);
        m_state->releasedChunks += count;
    }
    m_state->released.notify_all();
}

std::vector<FakeVelnixServer::Request> FakeVelnixServer::Requests() const {
    std::lock_guard lock(m_state->mutex);
    return m_state->requests;
}

void FakeVelnixServer::ClearRequests() {
    std::lock_guard lock(m_state->mutex);
    m_state->requests.clear();
}
