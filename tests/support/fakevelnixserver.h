#pragma once

// A stand-in Velnix server for tests: HTTP or HTTPS (with a certificate made
// at start) on 127.0.0.1 with an ephemeral port. It answers each request with
// the reply scripted for its path and query, can ask for Basic
// authentication, delivers bodies whole, chunked, held back chunk by chunk
// until the test releases them, or broken off mid-body, and logs every
// request for the test's assertions.

#include <QByteArray>
#include <QString>

#include <chrono>
#include <memory>
#include <utility>
#include <vector>

class FakeVelnixServer {
public:
    enum class Transport { Http, Https };

    struct Reply {
        int status = 200;
        std::vector<std::pair<QByteArray, QByteArray>> headers;
        QByteArray body;
        // Non-empty: the body is sent chunked, one piece after another.
        std::vector<QByteArray> chunks;
        // With chunks: each chunk after the first waits for ReleaseChunks().
        bool holdChunks = false;
        // At or above 0: the body's full length is announced, this many bytes
        // are sent, then the connection is closed.
        qsizetype dropAfterBytes = -1;
        // Nothing of the reply, not even its status, is sent before a
        // ReleaseChunks() lets it go.
        bool holdReply = false;

        Reply& header(const QByteArray& name, const QByteArray& value) {
            headers.emplace_back(name, value);
            return *this;
        }
        static Reply Xml(const QByteArray& xml, int status = 200);
    };

    struct Request {
        QByteArray method;
        QByteArray path;   // as sent, without the scheme and server of a proxy request
        QByteArray query;  // as sent, without "?"
        std::vector<std::pair<QByteArray, QByteArray>> headers;  // names lower-cased
        QByteArray body;
        // Over HTTPS, the subject of the client's certificate ("CN=..."), or
        // empty when the client presented none.
        QByteArray clientSubject;

        // The first value of a header (name in any case), or a null array.
        QByteArray header(const QByteArray& name) const;
        bool hasHeader(const QByteArray& name) const;
    };

    static constexpr const char* kServicesPath = "/cmi/Services";

    explicit FakeVelnixServer(Transport transport = Transport::Http);
    // HTTPS that admits only clients whose certificate this CA (PEM) signed.
    explicit FakeVelnixServer(const QByteArray& clientCaPem);
    ~FakeVelnixServer();
    FakeVelnixServer(const FakeVelnixServer&) = delete;
    FakeVelnixServer& operator=(const FakeVelnixServer&) = delete;

    // Whether the server listens; false when it could not start.
    bool IsListening() const;
    int Port() const;
    // "http://127.0.0.1:port" or "https://...", without a slash at the end.
    QString BaseUrl() const;
    // The DER form of the certificate an HTTPS server presents; empty over HTTP.
    QByteArray CertificateDer() const;

    // Scripts the replies to requests for `path` whose query (or, for a POST
    // without one, its body) begins with `queryPrefix`; an empty prefix
    // matches any query. Replies scripted for the same path and prefix are
    // used in order and the last one repeats. The most recently scripted
    // matching entry wins; unscripted requests get 404.
    void Script(const QByteArray& path, const QByteArray& queryPrefix, const Reply& reply);
    void Script(const QByteArray& path, const Reply& reply) { Script(path, {}, reply); }

    // Every request must then carry these Basic credentials, else 401 with a
    // challenge.
    void RequireBasicAuth(const QByteArray& user, const QByteArray& password);

    // Acts as a proxy that wants these Basic credentials: requests without
    // them get 407 with a challenge. Requests in absolute form
    // ("GET http://host/path") are answered like any other.
    void RequireProxyAuth(const QByteArray& user, const QByteArray& password);

    // Lets `count` held chunks or held replies go.
    void ReleaseChunks(int count);

    std::vector<Request> Requests() const;
    void ClearRequests();

private:
    void start(Transport transport, const QByteArray& clientCaPem);

    struct State;
    std::shared_ptr<State> m_state;
};
