#pragma once

// What every request of the process shares: libcurl's global state, one
// share object for cookies, DNS and TLS sessions (locked, as requests run
// on many threads), the limit of 4 open requests per server, and the cookie
// jar operations.

#include <QString>

#include <chrono>
#include <functional>
#include <vector>

#include <curl/curl.h>

// The process-wide share object; libcurl is initialised on first use.
CURLSH* HttpShare();

// An open request's claim on one of the 4 connections allowed per server.
// The constructor waits (bounded) while 4 requests to the server are open.
class CHttpServerSlot {
public:
    static constexpr int kMaxPerServer = 4;

    // Waits at most `patience` for a free slot. While it waits it asks
    // `keepWaiting` (when given) every `hookInterval` and gives up when that
    // answers false, so a cancelled request never sits here.
    CHttpServerSlot(const QString& server, std::chrono::milliseconds patience,
                    const std::function<bool()>& keepWaiting = {},
                    std::chrono::milliseconds hookInterval = std::chrono::milliseconds(100));
    ~CHttpServerSlot();
    CHttpServerSlot(const CHttpServerSlot&) = delete;
    CHttpServerSlot& operator=(const CHttpServerSlot&) = delete;

    bool Acquired() const { return m_acquired; }
    // Whether the wait ended because `keepWaiting` answered false.
    bool Abandoned() const { return m_abandoned; }
    // Open requests to the server now, for tests and diagnostics.
    static int OpenCount(const QString& server);

private:
    QString m_server;
    bool m_acquired = false;
    bool m_abandoned = false;
};

struct HttpCookie {
    QString domain;  // as stored: a leading "." matches subdomains too
    QString path;
    QString name;
    QString value;
    bool secure = false;
    qint64 expires = 0;  // seconds since 1970; 0 for a session cookie
};

// Every cookie in the jar.
std::vector<HttpCookie> HttpCookies();
// Stores a cookie in the jar (replacing one of the same domain, path and
// name). False when a field holds a tab or a line break, which the jar's
// line format cannot carry.
bool HttpAddCookie(const HttpCookie& cookie);
// Told after cookies of a host (every host when empty) were deleted, so that
// another cookie store that mirrors the jar can purge them too.
void SetHttpCookiePurgeObserver(
    std::function<void(const QString& host, const std::vector<QString>& names)> observer);
// Deletes the cookies of a host (every host when empty) whose name is one of
// `names` (every name when empty). Returns how many were deleted.
int HttpDeleteCookies(const QString& host, const std::vector<QString>& names);

// The authentication scheme each server asked for. A server whose challenge
// offered Basic alone gets the credentials with every later request, instead
// of a first request without them, a 401 and the same request again. Keyed
// by the service, server and port of a URL's parts (HttpAuthKey).
QString HttpAuthKey(int service, const QString& server, int port);
// CURLAUTH_BASIC when the server is known to take Basic, else CURLAUTH_ANY.
long HttpLearnedAuth(const QString& key);
// Told the outcome of a request that carried credentials: a reply other than
// 401 to a challenge of Basic alone teaches Basic; a 401 forgets what was
// learned, so the next request finds out again.
void HttpNoteAuthOutcome(const QString& key, int status, long challengedSchemes);
