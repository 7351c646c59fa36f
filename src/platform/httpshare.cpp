#include "platform/httpshare.h"

#include "framework/kformat.h"
#include "framework/klog.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QStringList>

#include <algorithm>
#include <array>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <set>

namespace {

// One lock per kind of shared data, as libcurl asks for.
std::array<std::mutex, CURL_LOCK_DATA_LAST> g_shareLocks;

void lockShare(CURL*, curl_lock_data data, curl_lock_access, void*) {
    g_shareLocks.at(data).lock();
}

void unlockShare(CURL*, curl_lock_data data, void*) {
    g_shareLocks.at(data).unlock();
}

CURLSH* createShare() {
    curl_global_init(CURL_GLOBAL_DEFAULT);
    CURLSH* share = curl_share_init();
    curl_share_setopt(share, CURLSHOPT_LOCKFUNC, lockShare);
    curl_share_setopt(share, CURLSHOPT_UNLOCKFUNC, unlockShare);
    // Connections are not shared: libcurl cannot share its connection cache
    // between threads safely. Each thread keeps its own (see http.cpp).
    curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
    curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
    curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION);
    return share;
}

struct ServerSlots {
    std::mutex mutex;
    std::condition_variable released;
    std::map<QString, int> open;
};

ServerSlots& serverSlots() {
    static ServerSlots slots;
    return slots;
}

struct EasyFree {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};

// A handle on the shared cookie jar, for reading and changing it.
std::unique_ptr<CURL, EasyFree> cookieJarHandle() {
    std::unique_ptr<CURL, EasyFree> handle(curl_easy_init());
    if (handle) {
        curl_easy_setopt(handle.get(), CURLOPT_SHARE, HttpShare());
        curl_easy_setopt(handle.get(), CURLOPT_COOKIEFILE, "");
    }
    return handle;
}

constexpr char kHttpOnlyPrefix[] = "#HttpOnly_";

// One line of libcurl's cookie list: domain, subdomains flag, path, secure
// flag, expiry, name, value, separated by tabs.
bool parseCookieLine(const QByteArray& line, HttpCookie& cookie) {
    const QList<QByteArray> fields = line.split('\t');
    if (fields.size() < 7) {
        return false;
    }
    QByteArray domain = fields[0];
    if (domain.startsWith(kHttpOnlyPrefix)) {
        domain.remove(0, sizeof(kHttpOnlyPrefix) - 1);
    }
    cookie.domain = QString::fromUtf8(domain);
    cookie.path = QString::fromUtf8(fields[2]);
    cookie.secure = fields[3] == "TRUE";
    cookie.expires = fields[4].toLongLong();
    cookie.name = QString::fromUtf8(fields[5]);
    cookie.value = QString::fromUtf8(fields[6]);
    return true;
}

// Calls `visit` with each line of the jar and the cookie it holds.
template <typename Visit>
void forEachCookie(Visit visit) {
    const auto handle = cookieJarHandle();
    curl_slist* list = nullptr;
    if (!handle || curl_easy_getinfo(handle.get(), CURLINFO_COOKIELIST, &list) != CURLE_OK) {
        return;
    }
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    for (const curl_slist* item = list; item != nullptr; item = item->next) {
        const QByteArray line(item->data);
        HttpCookie cookie;
        // Deleted cookies linger, expired, until libcurl next tidies the jar.
        if (parseCookieLine(line, cookie) && (cookie.expires == 0 || cookie.expires > now)) {
            visit(line, cookie);
        }
    }
    curl_slist_free_all(list);
}

bool cookieBelongsTo(const HttpCookie& cookie, const QString& host) {
    if (host.isEmpty()) {
        return true;
    }
    QStringView domain(cookie.domain);
    if (domain.startsWith(u'.')) {
        domain = domain.mid(1);
    }
    return domain.compare(host, Qt::CaseInsensitive) == 0;
}

}  // namespace

CURLSH* HttpShare() {
    static CURLSH* const share = createShare();
    return share;
}

CHttpServerSlot::CHttpServerSlot(const QString& server, std::chrono::milliseconds patience,
                                 const std::function<bool()>& keepWaiting,
                                 std::chrono::milliseconds hookInterval)
    : m_server(server.toLower()) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + patience;
    ServerSlots& slots = serverSlots();
    std::unique_lock lock(slots.mutex);
    const auto slotFree = [&] { return slots.open[m_server] < kMaxPerServer; };
    while (!slotFree()) {
        const Clock::time_point now = Clock::now();
        if (now >= deadline) {
            return;
        }
        slots.released.wait_for(lock, std::min<Clock::duration>(deadline - now, hookInterval),
                                slotFree);
        if (keepWaiting && !slotFree()) {
            // The hook may take locks of its own: never ask it under ours.
            lock.unlock();
            const bool keepOn = keepWaiting();
            lock.lock();
            if (!keepOn) {
                m_abandoned = true;
                return;
            }
        }
    }
    m_acquired = true;
    ++slots.open[m_server];
}

CHttpServerSlot::~CHttpServerSlot() {
    if (!m_acquired) {
        return;
    }
    ServerSlots& slots = serverSlots();
    {
        std::lock_guard lock(slots.mutex);
        --slots.open[m_server];
    }
    slots.released.notify_all();
}

int CHttpServerSlot::OpenCount(const QString& server) {
    ServerSlots& slots = serverSlots();
    std::lock_guard lock(slots.mutex);
    const auto found = slots.open.find(server.toLower());
    return found != slots.open.end() ? found->second : 0;
}

std::vector<HttpCookie> HttpCookies() {
    std::vector<HttpCookie> cookies;
    forEachCookie([&](const QByteArray&, const HttpCookie& cookie) { cookies.push_back(cookie); });
    return cookies;
}

namespace {

std::mutex g_purgeObserverMutex;
std::function<void(const QString&, const std::vector<QString>&)> g_purgeObserver;

}  // namespace

void SetHttpCookiePurgeObserver(
    std::function<void(const QString& host, const std::vector<QString>& names)> observer) {
    std::lock_guard lock(g_purgeObserverMutex);
    g_purgeObserver = std::move(observer);
}

bool HttpAddCookie(const HttpCookie& cookie) {
    const auto clean = [](const QString& field) {
        return !field.contains(u'\t') && !field.contains(u'\n') && !field.contains(u'\r');
    };
    if (cookie.name.isEmpty() || !clean(cookie.domain) || !clean(cookie.path) ||
        !clean(cookie.name) || !clean(cookie.value)) {
        return false;
    }
    const auto handle = cookieJarHandle();
    if (!handle) {
        return false;
    }
    const bool subdomains = cookie.domain.startsWith(u'.');
    const QByteArray line =
        QStringList{cookie.domain,
                    subdomains ? QStringLiteral("TRUE") : QStringLiteral("FALSE"),
                    cookie.path.isEmpty() ? QStringLiteral("/") : cookie.path,
                    cookie.secure ? QStringLiteral("TRUE") : QStringLiteral("FALSE"),
                    QString::number(cookie.expires),
                    cookie.name,
                    cookie.value}
            .join(u'\t')
            .toUtf8();
    return curl_easy_setopt(handle.get(), CURLOPT_COOKIELIST, line.constData()) == CURLE_OK;
}

int HttpDeleteCookies(const QString& host, const std::vector<QString>& names) {
    const auto handle = cookieJarHandle();
    if (!handle) {
        return 0;
    }
    int deleted = 0;
    forEachCookie([&](const QByteArray& line, const HttpCookie& cookie) {
        const bool named =
            names.empty() || std::find(names.begin(), names.end(), cookie.name) != names.end();
        if (!named || !cookieBelongsTo(cookie, host)) {
            return;
        }
        // The same cookie stored again as long expired replaces it, and
        // libcurl drops expired cookies.
        QList<QByteArray> fields = line.split('\t');
        fields[4] = "1";
        curl_easy_setopt(handle.get(), CURLOPT_COOKIELIST, fields.join('\t').constData());
        ++deleted;
        kDebugLog(u"HttpDeleteCookies(): deleted %s for %s", cookie.name, cookie.domain);
    });
    // The observer is called without the lock: it may replace itself.
    std::function<void(const QString&, const std::vector<QString>&)> observer;
    {
        std::lock_guard lock(g_purgeObserverMutex);
        observer = g_purgeObserver;
    }
    if (observer) {
        observer(host, names);
    }
    return deleted;
}

namespace {

struct LearnedAuth {
    std::mutex mutex;
    std::set<QString> basic;
};

LearnedAuth& learnedAuth() {
    static LearnedAuth learned;
    return learned;
}

}  // namespace

QString HttpAuthKey(int service, const QString& server, int port) {
    return kFormat(u"%d://%s:%d", service, server.toLower(), port);
}

long HttpLearnedAuth(const QString& key) {
    LearnedAuth& learned = learnedAuth();
    std::lock_guard lock(learned.mutex);
    return learned.basic.count(key) != 0 ? static_cast<long>(CURLAUTH_BASIC)
                                         : static_cast<long>(CURLAUTH_ANY);
}

void HttpNoteAuthOutcome(const QString& key, int status, long challengedSchemes) {
    constexpr int kUnauthorized = 401;
    LearnedAuth& learned = learnedAuth();
    std::lock_guard lock(learned.mutex);
    if (status == kUnauthorized) {
        learned.basic.erase(key);
    } else if (challengedSchemes == static_cast<long>(CURLAUTH_BASIC)) {
        learned.basic.insert(key);
    }
}
