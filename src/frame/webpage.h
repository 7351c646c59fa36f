#pragma once

// The page class of every browser of the program. A "curl:" link, from any
// frame, never loads: while the program is up and no page submit is under
// way, its whole URL goes to the action dispatcher. "app:" links go to the
// page's app-link handler when it has one (the HTML controls); elsewhere
// they are refused. Page alert() and confirm() boxes are the program's own
// boxes, so "suppressallpopups" lets unattended scripts run on. A server
// that asks for credentials gets, once per load, those of its logged-in
// server, else none: the browser never prompts, and the 401 that follows
// logs that server out. A certificate the browser's checks fail is accepted
// from a logged-in server only when it is the one the program's requests
// accepted from that host and port (see platform/httpservertrust.h);
// every other is refused and the page does not load. Windows a page opens
// are the program's own pop-up windows. Pages reach the program only
// through such links; the program reads and writes pages with scripts
// whose data travel as JSON texts.

#include <QString>
#include <QUrl>
#include <QVariant>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <functional>

class QAuthenticator;
class QWebEngineCertificateError;

// The text as a JavaScript string literal (JSON), for data put into scripts.
QString JavaScriptString(const QString& text);

class CWebPage : public QWebEnginePage {
    Q_OBJECT
public:
    explicit CWebPage(QObject* parent = nullptr);

    // Where "app:" links go (the text after "app:"); none refuses them.
    void SetAppLinkHandler(std::function<void(const QString&)> handler) {
        m_appLinkHandler = std::move(handler);
    }

    // Runs the script in the page and waits (handling events) for its
    // result, at most `timeoutMs`; false when the page went away or gave
    // no answer in time. UI thread only.
    bool RunScriptAndWait(const QString& script, QVariant& result, int timeoutMs = 10000);

Q_SIGNALS:
    // A navigation the page refused: a program link, or one the program
    // is not up to run.
    void navigationRefused(const QUrl& url);

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    void javaScriptAlert(const QUrl& securityOrigin, const QString& text) override;
    bool javaScriptConfirm(const QUrl& securityOrigin, const QString& text) override;
    QWebEnginePage* createWindow(WebWindowType type) override;

private:
    void answerAuthentication(const QUrl& url, QAuthenticator* authenticator);
    void answerCertificateError(QWebEngineCertificateError error);
    void onLoadingChanged(const QWebEngineLoadingInfo& info);

    std::function<void(const QString&)> m_appLinkHandler;
    bool m_credentialsGiven = false;
};

// A browser widget of the program: a web view showing a CWebPage.
class CWebPane : public QWebEngineView {
    Q_OBJECT
public:
    explicit CWebPane(QWidget* parent = nullptr);
    CWebPage* WebPage() const { return m_page; }

private:
    CWebPage* m_page;
};

// A top-level browser window of the program (a server's pop-up window): an
// ordinary window with the main window's icon that closes with it and is
// deleted when closed.
class CPopupBrowser : public QWidget {
    Q_OBJECT
public:
    // A new window, shown; `geometry` in screen coordinates (null: cascaded
    // by the window system).
    static CPopupBrowser* Open(const QRect& geometry = {});
    CWebPane& Pane() { return *m_pane; }

private:
    CPopupBrowser();
    CWebPane* m_pane;
};
