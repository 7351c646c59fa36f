#include "frame/webprofile.h"

#include "framework/klog.h"
#include "platform/httpshare.h"
#include "settings/buildstamp.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QNetworkCookie>
#include <QPointer>
#include <QWebEngineCookieStore>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlSchemeHandler>

#include <vector>

namespace {

// Program links are never resources: a "curl:" image or frame would
// otherwise run nothing and show an error, or leave for the desktop.
class CRefusingSchemeHandler : public QWebEngineUrlSchemeHandler {
public:
    using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;
    void requestStarted(QWebEngineUrlRequestJob* job) override {
        kDebugLog(u"Browser request refused: %s\n", job->requestUrl().toString());
        job->fail(QWebEngineUrlRequestJob::RequestDenied);
    }
};

bool cookieOfHost(const QNetworkCookie& cookie, const QString& host) {
    if (host.isEmpty()) {
        return true;
    }
    const QString domain = cookie.domain();
    if (domain.startsWith(u'.')) {
        return host.compare(domain.mid(1), Qt::CaseInsensitive) == 0 ||
               host.endsWith(domain, Qt::CaseInsensitive);
    }
    return host.compare(domain, Qt::CaseInsensitive) == 0;
}

class CWebProfileHolder : public QObject {
public:
    CWebProfileHolder() : QObject(QCoreApplication::instance()) {
        m_profile = new QWebEngineProfile(this);
        m_profile->setHttpUserAgent(QStringLiteral("QVX/") + GetVersionString(false));
        m_profile->installUrlSchemeHandler("curl", new CRefusingSchemeHandler(m_profile));
        m_profile->installUrlSchemeHandler("app", new CRefusingSchemeHandler(m_profile));
        QWebEngineSettings* settings = m_profile->settings();
        // mailto: and telnet: links go to the desktop, on a click only.
        settings->setUnknownUrlSchemePolicy(
            QWebEngineSettings::AllowUnknownUrlSchemesFromUserInteraction);
        settings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, true);
        // The program's local pages (auto-posting form, properties, script
        // page) address the servers.
        settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, true);

        QWebEngineCookieStore* store = m_profile->cookieStore();
        connect(store, &QWebEngineCookieStore::cookieAdded, this, [this](const QNetworkCookie& c) {
            remember(c);
            copyToRequests(c);
        });
        connect(store, &QWebEngineCookieStore::cookieRemoved, this,
                [this](const QNetworkCookie& c) { forget(c); });
        QPointer<CWebProfileHolder> self(this);
        SetHttpCookiePurgeObserver([self](const QString& host, const std::vector<QString>& names) {
            // Purges run on any thread; the store lives on the UI thread.
            QMetaObject::invokeMethod(
                self.data(),
                [self, host, names] {
                    if (self) {
                        self->purge(host, names);
                    }
                },
                Qt::QueuedConnection);
        });
    }
    ~CWebProfileHolder() override { SetHttpCookiePurgeObserver({}); }

    QWebEngineProfile& Profile() { return *m_profile; }

    void CopyFromRequests() {
        QWebEngineCookieStore* store = m_profile->cookieStore();
        for (const HttpCookie& cookie : HttpCookies()) {
            QNetworkCookie copy(cookie.name.toUtf8(), cookie.value.toUtf8());
            copy.setPath(cookie.path.isEmpty() ? QStringLiteral("/") : cookie.path);
            copy.setSecure(cookie.secure);
            if (cookie.expires != 0) {
                copy.setExpirationDate(QDateTime::fromSecsSinceEpoch(cookie.expires));
            }
            QUrl origin;
            if (cookie.domain.startsWith(u'.')) {
                copy.setDomain(cookie.domain);
            } else {
                // A host-only cookie is bound to its origin.
                origin.setScheme(cookie.secure ? QStringLiteral("https") : QStringLiteral("http"));
                origin.setHost(cookie.domain);
                origin.setPath(QStringLiteral("/"));
            }
            store->setCookie(copy, origin);
        }
    }

private:
    void remember(const QNetworkCookie& cookie) {
        forget(cookie);
        m_cookies.push_back(cookie);
    }
    void forget(const QNetworkCookie& cookie) {
        std::erase_if(m_cookies,
                      [&](const QNetworkCookie& kept) { return kept.hasSameIdentifier(cookie); });
    }
    static void copyToRequests(const QNetworkCookie& cookie) {
        HttpCookie copy;
        copy.domain = cookie.domain();
        copy.path = cookie.path();
        copy.name = QString::fromUtf8(cookie.name());
        copy.value = QString::fromUtf8(cookie.value());
        copy.secure = cookie.isSecure();
        copy.expires = cookie.isSessionCookie() ? 0 : cookie.expirationDate().toSecsSinceEpoch();
        if (copy.domain.isEmpty() || !HttpAddCookie(copy)) {
            kDebugLog(u"Browser cookie %s not shared with the requests.\n", copy.name);
        }
    }
    void purge(const QString& host, const std::vector<QString>& names) {
        QWebEngineCookieStore* store = m_profile->cookieStore();
        const std::vector<QNetworkCookie> cookies = m_cookies;
        for (const QNetworkCookie& cookie : cookies) {
            const QString name = QString::fromUtf8(cookie.name());
            const bool named =
                names.empty() || std::find(names.begin(), names.end(), name) != names.end();
            if (named && cookieOfHost(cookie, host)) {
                QUrl origin;
                if (!cookie.domain().startsWith(u'.')) {
                    origin.setScheme(cookie.isSecure() ? QStringLiteral("https")
                                                       : QStringLiteral("http"));
                    origin.setHost(cookie.domain());
                    origin.setPath(QStringLiteral("/"));
                }
                store->deleteCookie(cookie, origin);
                forget(cookie);
            }
        }
    }

    QWebEngineProfile* m_profile = nullptr;
    std::vector<QNetworkCookie> m_cookies;
};

CWebProfileHolder& holder() {
    static QPointer<CWebProfileHolder> made;
    if (made.isNull()) {
        made = new CWebProfileHolder;
    }
    return *made;
}

}  // namespace

QWebEngineProfile& WebProfile() {
    return holder().Profile();
}

void CopySessionCookiesToBrowsers() {
    holder().CopyFromRequests();
}
