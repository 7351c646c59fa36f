#include "frame/webpage.h"

#include "frame/browsersite.h"
#include "frame/webprofile.h"
#include "framework/klog.h"
#include "net/wireservices.h"
#include "platform/httpservertrust.h"
#include "ui/popupmessages.h"
#include "ui/uiservices.h"

#include <QAuthenticator>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPointer>
#include <QSslCertificate>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebEngineCertificateError>

#include <memory>
#include <optional>

QString JavaScriptString(const QString& text) {
    const QByteArray json = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    // "[" + the string + "]"
    return QString::fromUtf8(json.mid(1, json.size() - 2));
}

CWebPage::CWebPage(QObject* parent) : QWebEnginePage(&WebProfile(), parent) {
    connect(this, &QWebEnginePage::authenticationRequired, this, &CWebPage::answerAuthentication);
    connect(this, &QWebEnginePage::loadingChanged, this, &CWebPage::onLoadingChanged);
    connect(this, &QWebEnginePage::certificateError, this, &CWebPage::answerCertificateError);
}

bool CWebPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) {
    const QString scheme = url.scheme().toLower();
    if (scheme == u"curl") {
        const CBrowserSite& site = BrowserSite();
        if (site.IsUp() && !site.IsPageSubmitGuarded()) {
            WireServices().DispatchCurl(url.toString(QUrl::FullyEncoded));
        } else {
            kDebugLog(u"Browser link not run now: %s\n", url.toString());
        }
        Q_EMIT navigationRefused(url);
        return false;
    }
    if (scheme == u"app") {
        if (m_appLinkHandler) {
            m_appLinkHandler(url.toString(QUrl::FullyDecoded).mid(4));
        }
        Q_EMIT navigationRefused(url);
        return false;
    }
    return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
}

void CWebPage::javaScriptAlert(const QUrl&, const QString& text) {
    if (HaveUiServices()) {
        UiServices().Popups().PopupMessage(text, kPopupInformation);
    }
}

bool CWebPage::javaScriptConfirm(const QUrl&, const QString& text) {
    // A page's own question: its Cancel is the page's answer, not an error
    // of the program.
    return HaveUiServices() &&
           UiServices().Popups().PopupMessage(text, kPopupOkCancel) == kAnswerOk;
}

QWebEnginePage* CWebPage::createWindow(WebWindowType) {
    CPopupBrowser* window = CPopupBrowser::Open();
    CWebPage* page = window->Pane().WebPage();
    // A page that names the window's size and place gets it.
    connect(page, &QWebEnginePage::geometryChangeRequested, window,
            [window](const QRect& geometry) { window->setGeometry(geometry); });
    return page;
}

void CWebPage::answerAuthentication(const QUrl& url, QAuthenticator* authenticator) {
    QString user;
    QString password;
    if (!m_credentialsGiven && BrowserSite().CredentialsFor(url, user, password)) {
        m_credentialsGiven = true;
        authenticator->setUser(user);
        authenticator->setPassword(password);
        return;
    }
    // Refused: the browser shows the server's 401 page, never a prompt.
    kDebugLog(u"Browser credentials refused for %s\n", url.toString(QUrl::RemoveUserInfo));
    *authenticator = QAuthenticator();
}

void CWebPage::answerCertificateError(QWebEngineCertificateError error) {
    const QUrl url = error.url();
    const int port = url.port(443);
    const QList<QSslCertificate> chain = error.certificateChain();
    const HttpPresentedCertificate accepted = HttpAcceptedServerCertificate(url.host(), port);
    if (!chain.isEmpty() && !accepted.der.isEmpty() && chain.first().toDer() == accepted.der &&
        BrowserSite().IsLoggedInServer(url)) {
        HttpLogAcceptedCertificate(url.host(), accepted.verification);
        error.acceptCertificate();
        return;
    }
    kWarningLog(u"The certificate of %s:%d is refused: %s", url.host(), port, error.description());
    error.rejectCertificate();
}

void CWebPage::onLoadingChanged(const QWebEngineLoadingInfo& info) {
    switch (info.status()) {
        case QWebEngineLoadingInfo::LoadStartedStatus:
            m_credentialsGiven = false;
            break;
        case QWebEngineLoadingInfo::LoadFailedStatus:
            if (info.errorDomain() == QWebEngineLoadingInfo::HttpStatusCodeDomain &&
                info.errorCode() == 401) {
                triggerAction(QWebEnginePage::Stop);
                BrowserSite().OnUnauthorized(info.url());
            }
            break;
        default:
            break;
    }
}

bool CWebPage::RunScriptAndWait(const QString& script, QVariant& result, int timeoutMs) {
    QEventLoop loop;
    QPointer<QEventLoop> waiting(&loop);
    auto answer = std::make_shared<std::optional<QVariant>>();
    runJavaScript(script, [waiting, answer](const QVariant& value) {
        *answer = value;
        if (waiting) {
            waiting->quit();
        }
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    QPointer<CWebPage> self(this);
    connect(this, &QObject::destroyed, &loop, &QEventLoop::quit);
    if (!answer->has_value()) {
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    if (!self || !answer->has_value()) {
        kDebugLog(u"Browser script gave no answer in time.\n");
        return false;
    }
    result = **answer;
    return true;
}

CWebPane::CWebPane(QWidget* parent) : QWebEngineView(parent), m_page(new CWebPage(this)) {
    setPage(m_page);
}

CPopupBrowser::CPopupBrowser()
    : QWidget(BrowserSite().MainWindow(), Qt::Window), m_pane(new CWebPane(this)) {
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_pane);
    connect(m_pane, &QWebEngineView::titleChanged, this, &QWidget::setWindowTitle);
    connect(m_pane->page(), &QWebEnginePage::windowCloseRequested, this, &QWidget::close);
}

CPopupBrowser* CPopupBrowser::Open(const QRect& geometry) {
    auto* window = new CPopupBrowser;
    if (!geometry.isNull()) {
        window->setGeometry(geometry);
    } else {
        window->resize(800, 600);
    }
    window->show();
    return window;
}
