#include "frame/browserview.h"

#include "frame/browsersite.h"
#include "frame/webprofile.h"
#include "framework/kformat.h"
#include "framework/klog.h"
#include "net/wireservices.h"
#include "resources/strings.h"
#include "settings/langpack.h"
#include "ui/popupmessages.h"
#include "ui/stringtriple.h"
#include "ui/uibridge.h"
#include "ui/uimessage.h"
#include "ui/uiservices.h"

#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPointer>
#include <QThread>
#include <QTimer>
#include <QWebEngineHttpRequest>
#include <QWebEngineLoadingInfo>

#include <chrono>

namespace {

constexpr qsizetype kLongUrl = 2000;
constexpr int kWaitStepMs = 500;
constexpr qsizetype kMismatchLineLimit = 10000;

const QString kBigForm = QStringLiteral("BigForm");

unsigned long threadTag() {
    return static_cast<unsigned long>(reinterpret_cast<quintptr>(QThread::currentThreadId()) &
                                      0xffffffffu);
}

bool isBlank(const QString& url) {
    return url.compare(u"about:blank", Qt::CaseInsensitive) == 0;
}

bool isScriptUrl(const QString& url) {
    return url.startsWith(u"javascript:", Qt::CaseInsensitive);
}

void logLook() {
    kDebugLog(u"[0x%08lx]    LOOK: %s\n", threadTag(), QStringLiteral("I am here!"));
}

}  // namespace

// The engine draws into a widget of its own that needs a GL surface, and it
// makes that widget once the view has a page. Made after the window is
// shown, it would change the surface of a window already mapped, which is
// torn down and mapped again: a flicker at every start. So the view opens
// its blank page now, before any window shows it.
CBrowserView::CBrowserView(QWidget* parent) : CWebPane(parent) {
    connect(WebPage(), &QWebEnginePage::loadingChanged, this,
            [this](const QWebEngineLoadingInfo& loading) {
                if (loading.status() == QWebEngineLoadingInfo::LoadStartedStatus) {
                    onLoadStarted(loading.url());
                }
            });
    connect(this, &QWebEngineView::loadFinished, this, &CBrowserView::onLoadFinished);
    connect(this, &QWebEngineView::loadProgress, this,
            [this](int progress) { onProgress(progress, 100); });
    connect(WebPage(), &CWebPage::navigationRefused, this, [this](const QUrl&) {
        // A program link never completes as a page.
        const QString pending = pendingUrl();
        if (pending.startsWith(u"curl:", Qt::CaseInsensitive) ||
            pending.startsWith(u"app:", Qt::CaseInsensitive)) {
            EndPendingNavigation(pending);
        }
    });
    setUrl(QUrl(QStringLiteral("about:blank")));
}

CBrowserView::~CBrowserView() {
    holdBusy(false);
    // A worker waiting for this view's page is let go.
    std::lock_guard lock(m_pendingMutex);
    m_pendingUrl.clear();
    m_pendingChanged.notify_all();
}

bool CBrowserView::onWorker() const {
    return HaveUiServices() && !UiServices().Bridge().onUiThread();
}

bool CBrowserView::browserRowShown() const {
    if (!onWorker()) {
        return BrowserSite().IsBrowserRowShown();
    }
    qintptr shown = 0;
    UiServices().Bridge().Call([] { return BrowserSite().IsBrowserRowShown() ? 1 : 0; }, &shown);
    return shown != 0;
}

QString CBrowserView::pendingUrl() const {
    std::lock_guard lock(m_pendingMutex);
    return m_pendingUrl;
}

// ---- navigation ----

void CBrowserView::Navigate2(const QString& url, int flags, const QString& targetFrame,
                             const QString& headers, const QByteArray& postData) {
    if (!CheckDirtyBit()) {
        return;
    }
    WireServices().RecordUrlTrail(url);
    BeginPendingNavigation(url);
    CNavigateArgs args{url, flags, targetFrame, headers, postData};
    const qsizetype query = url.indexOf(u'?');
    if (url.size() > kLongUrl && postData.isEmpty() && query >= 2) {
        // Too long for a request line: the query goes as a form body.
        args.headers = QStringLiteral("Content-Type: application/x-www-form-urlencoded");
        args.postData = url.mid(query + 1).toUtf8();
        args.url = url.left(query);
    }
    if (onWorker()) {
        UiServices().Bridge().Send(UiMessage::Navigate2, reinterpret_cast<quintptr>(&args));
    } else {
        Navigate(args);
    }
}

void CBrowserView::Navigate2Post(const QString& url, int flags, const QByteArray& postData,
                                 const QString& targetFrame, const QString& headers) {
    if (!CheckDirtyBit()) {
        return;
    }
    WireServices().RecordUrlTrail(url);
    BeginPendingNavigation(url);
    CNavigateArgs args{url, flags, targetFrame, headers, postData};
    if (onWorker()) {
        UiServices().Bridge().Send(UiMessage::NavigatePost, reinterpret_cast<quintptr>(&args));
    } else {
        Navigate(args);
    }
}

void CBrowserView::NavigateAndWait(const QString& url, int flags, const QString& targetFrame) {
    Navigate2(url, flags, targetFrame);
    WaitWhileBusy(url);
}

void CBrowserView::Navigate(const CNavigateArgs& args) {
    kDebugLog(u"CBrowserView::Navigate(%s) with %d bytes of post data\n", args.url,
              static_cast<int>(args.postData.size()));
    if (isScriptUrl(args.url)) {
        runPageScript(QUrl::fromPercentEncoding(args.url.mid(11).toUtf8()));
        return;
    }
    CopySessionCookiesToBrowsers();
    // The URL goes to the engine as written; it is never re-encoded here.
    QWebEngineHttpRequest request(QUrl(args.url, QUrl::TolerantMode));
    for (const QString& line : args.headers.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)) {
        const qsizetype colon = line.indexOf(u':');
        if (colon > 0) {
            request.setHeader(line.left(colon).trimmed().toUtf8(),
                              line.mid(colon + 1).trimmed().toUtf8());
        }
    }
    if (!args.postData.isEmpty()) {
        request.setMethod(QWebEngineHttpRequest::Post);
        request.setPostData(args.postData);
    }
    if (!args.targetFrame.isEmpty()) {
        // A named target is a new window; this pane loads nothing.
        CPopupBrowser::Open()->Pane().load(request);
        EndPendingNavigation(args.url);
        return;
    }
    load(request);
}

void CBrowserView::runPageScript(const QString& code) {
    const QString url = pendingUrl();
    m_loadStartedSinceScript = false;
    QPointer<CBrowserView> self(this);
    page()->runJavaScript(code, [self, url, code](const QVariant&) {
        if (!self || self->m_loadStartedSinceScript || self->pendingUrl() != url) {
            return;
        }
        // Only a submit of the page's form starts a page; a script that
        // starts none must not hold a waiting script for ever.
        if (!code.contains(kBigForm)) {
            self->EndPendingNavigation(url);
            return;
        }
        self->page()->runJavaScript(
            QStringLiteral("document.forms[%1] != null").arg(JavaScriptString(kBigForm)),
            [self, url](const QVariant& hasForm) {
                if (self && !hasForm.toBool() && !self->m_loadStartedSinceScript &&
                    self->pendingUrl() == url) {
                    self->EndPendingNavigation(url);
                }
            });
    });
}

void CBrowserView::Stop() {
    stop();
    m_loading = false;
    holdBusy(false);
    EndPendingNavigation();
}

void CBrowserView::onLoadStarted(const QUrl& url) {
    m_loading = true;
    m_loadStartedSinceScript = true;
    // An empty page is nothing the user waits for: it shows no busy cursor,
    // not even while a box that start-up shows waits for an answer.
    holdBusy(!isBlank(url.toString()));
}

void CBrowserView::onLoadFinished(bool ok) {
    m_loading = false;
    holdBusy(false);
    onProgress(-1, 100);
    const QString completed = url().toString();
    if (!ok) {
        kDebugLog(u"CBrowserView: the page did not load: %s\n", completed);
    }
    // A failed page ends the wait as a completed one does.
    EndPendingNavigation(completed.isEmpty() ? pendingUrl() : completed);
}

void CBrowserView::holdBusy(bool hold) {
    if (hold == m_holdsBusy || !HaveUiServices()) {
        return;
    }
    m_holdsBusy = hold;
    if (hold) {
        UiServices().BeginBusy();
    } else {
        UiServices().EndBusy();
    }
}

// ---- the pending navigation ----

void CBrowserView::BeginPendingNavigation(const QString& url) {
    if (!BrowserSite().IsUp() || isBlank(url)) {
        return;
    }
    if (isScriptUrl(url)) {
        logLook();
    }
    std::lock_guard lock(m_pendingMutex);
    if (!m_pendingUrl.isEmpty()) {
        if (isScriptUrl(m_pendingUrl)) {
            logLook();
        }
        kDebugLog(u"[0x%08lx] TRUMPED: %s\n", threadTag(), m_pendingUrl);
    }
    m_pendingUrl = url;
}

void CBrowserView::EndPendingNavigation(const QString& url) {
    if (!BrowserSite().IsUp() || isBlank(url)) {
        return;
    }
    {
        std::lock_guard lock(m_pendingMutex);
        if (!url.isEmpty()) {
            if (!m_pendingUrl.isEmpty() && m_pendingUrl != url && !isScriptUrl(m_pendingUrl)) {
                const QString prefix = kFormat(u"[0x%08lx] MISMATCH: ", threadTag());
                QString shown = m_pendingUrl;
                if (prefix.size() + shown.size() > kMismatchLineLimit) {
                    shown =
                        shown.left(kMismatchLineLimit - 5 - prefix.size()) + QStringLiteral("...");
                }
                kDebugLog(u"%s%s\n", prefix, shown);
            }
            kDebugLog(u"[0x%08lx]    DONE: %s\n", threadTag(), url);
        } else if (!m_pendingUrl.isEmpty()) {
            kDebugLog(u"[0x%08lx]  ??done: %s\n", threadTag(), m_pendingUrl);
        }
        m_pendingUrl.clear();
        m_pendingChanged.notify_all();
    }
    Q_EMIT pendingEnded();
}

bool CBrowserView::IsBusy(const QString& url) const {
    if (!BrowserSite().IsUp()) {
        return false;
    }
    const QString pending = pendingUrl();
    const bool busy = url.isEmpty() ? !pending.isEmpty() : pending == url;
    if (busy) {
        kDebugLog(u"[0x%08lx]    busy: %s\n", threadTag(), pending);
    }
    return busy;
}

int CBrowserView::WaitWhileBusy(const QString& url) {
    const auto waiting = [this, &url] {
        if (!(BrowserSite().IsUp() && browserRowShown() && IsBusy())) {
            return false;
        }
        kDebugLog(u"[0x%08lx] waiting: %s\n", threadTag(), url);
        return true;
    };
    if (onWorker()) {
        while (waiting()) {
            std::unique_lock lock(m_pendingMutex);
            m_pendingChanged.wait_for(lock, std::chrono::milliseconds(kWaitStepMs),
                                      [this] { return m_pendingUrl.isEmpty(); });
        }
        return 1;
    }
    QPointer<CBrowserView> self(this);
    while (self && waiting()) {
        BrowserSite().PumpMessages();
        QEventLoop pause;
        connect(this, &CBrowserView::pendingEnded, &pause, &QEventLoop::quit);
        connect(this, &QObject::destroyed, &pause, &QEventLoop::quit);
        QTimer::singleShot(kWaitStepMs, &pause, &QEventLoop::quit);
        if (IsBusy()) {
            pause.exec();
        }
    }
    return 1;
}

// ---- the page's form ----

QString CBrowserView::GetFormFieldValue(const QString& field, const QString& form) {
    if (onWorker()) {
        CStringTriple request{field, QString(), form};
        QString result;
        UiServices().Bridge().Send(UiMessage::GetFormField, reinterpret_cast<quintptr>(&request),
                                   reinterpret_cast<quintptr>(&result));
        return result;
    }
    // A blank page holds no form: no script needs to ask it.
    if (!BrowserSite().IsUp() || url().isEmpty() || isBlank(url().toString())) {
        return {};
    }
    const QString script = QStringLiteral(
                               "(function(f, n) { var form = document.forms[f];"
                               " var e = form ? form.elements[n] : null;"
                               " return e && ('value' in e) ? String(e.value) : null; })(%1, %2)")
                               .arg(JavaScriptString(form), JavaScriptString(field));
    QVariant value;
    return WebPage()->RunScriptAndWait(script, value) && !value.isNull() ? value.toString()
                                                                         : QString();
}

QString CBrowserView::SetFormFieldValue(const QString& field, const QString& value,
                                        const QString& form) {
    if (onWorker()) {
        CStringTriple request{field, value, form};
        QString result;
        UiServices().Bridge().Send(UiMessage::SetFormField, reinterpret_cast<quintptr>(&request),
                                   reinterpret_cast<quintptr>(&result));
        return result;
    }
    if (!BrowserSite().IsUp() || url().isEmpty() || isBlank(url().toString())) {
        return {};
    }
    const QString script =
        QStringLiteral(
            "(function(f, n, v) { var form = document.forms[f];"
            " var e = form ? form.elements[n] : null;"
            " if (!e || !('value' in e)) return null; e.value = v; return String(e.value); })"
            "(%1, %2, %3)")
            .arg(JavaScriptString(form), JavaScriptString(field), JavaScriptString(value));
    QVariant written;
    return WebPage()->RunScriptAndWait(script, written) && !written.isNull() ? written.toString()
                                                                             : QString();
}

bool CBrowserView::CheckDirtyBit() {
    if (!browserRowShown()) {
        return true;
    }
    kDebugLog(u"| checking DirtyBit on HTML page...\n");
    const QString dirty = GetFormFieldValue(QStringLiteral("DirtyBit"), kBigForm);
    if (dirty.isEmpty()) {
        kDebugLog(u"| no DirtyBit form field on HTML page.\n");
        return true;
    }
    kDebugLog(u"| iDirtyBit (off HTML page) = %d (%s)\n", dirty.toInt(), dirty);
    if (dirty.toInt() == 0) {
        return true;
    }
    // A real question: "suppressallpopups" must not throw the edits away.
    qintptr answer = kAnswerNone;
    UiServices().Bridge().Call(
        [] {
            return ShowMessageBox(
                BrowserSite().MainWindow(), LoadResourceString(457),
                QStringLiteral(
                    "Your changes have not been saved. Do you want to return and continue "
                    "editing?"),
                kPopupYesNo);
        },
        &answer);
    if (answer == kAnswerYes) {
        return false;
    }
    SetFormFieldValue(QStringLiteral("DirtyBit"), QStringLiteral("0"), kBigForm);
    if (onWorker()) {
        UiServices().Bridge().Call([] {
            BrowserSite().DropEmptyLastGridRow();
            return 0;
        });
    } else {
        BrowserSite().DropEmptyLastGridRow();
    }
    return true;
}

// ---- page progress ----

void CBrowserView::onProgress(int progress, int maximum) {
    if (BrowserSite().IsLanguagePackActive()) {
        TranslatePage();
    }
    if (BrowserSite().WantsServerPid()) {
        QPointer<CBrowserView> self(this);
        page()->runJavaScript(QStringLiteral("(function(f) { var form = document.forms[f];"
                                             " var e = form ? form.elements['pid'] : null;"
                                             " return e ? String(e.value) : ''; })(%1)")
                                  .arg(JavaScriptString(kBigForm)),
                              [self](const QVariant& value) {
                                  if (self) {
                                      self->registerPid(value.toString());
                                  }
                              });
    }
    if (progress == -1) {
        m_translationIndex = 0;
    } else if (progress < 1) {
        return;
    }
    const QString cursor =
        progress == -1 || progress == maximum ? QStringLiteral("auto") : QStringLiteral("wait");
    page()->runJavaScript(
        QStringLiteral("(function(c) { var b = document.body;"
                       " if (b && b.style.cursor !== c) b.style.cursor = c; })(%1)")
            .arg(JavaScriptString(cursor)));
}

void CBrowserView::RegisterServerPid() {
    if (BrowserSite().WantsServerPid()) {
        registerPid(GetFormFieldValue(QStringLiteral("pid"), kBigForm));
    }
}

void CBrowserView::registerPid(const QString& value) {
    const int pid = value.toInt();
    if (value.isEmpty() || pid == 0) {
        return;
    }
    WireServices().AddServerPid(this, static_cast<quint32>(pid));
    kDebugLog(u"| iServerPidOnHtmlPage = %d (%s)\n", pid, value);
}

void CBrowserView::TranslatePage() {
    const CLangPack* pack = ActiveLangPack();
    if (pack == nullptr) {
        return;
    }
    // The marked elements from the index on: [index, is image, text]; the
    // translations go back as text, never as markup.
    const QString collect = QStringLiteral(
        "(function(from) { var all = document.getElementsByTagName('*'); var found = [];"
        " for (var i = from; i < all.length; ++i) { var e = all[i];"
        "  if (e.getAttribute('tx') !== '1') continue;"
        "  var img = e.tagName.toLowerCase() === 'img';"
        "  found.push([i, img, img ? (e.getAttribute('alt') || '') : e.innerText]); }"
        " return [all.length, found]; })(%1)");
    QPointer<CBrowserView> self(this);
    page()->runJavaScript(collect.arg(m_translationIndex), [self, pack](const QVariant& result) {
        const QVariantList parts = result.toList();
        if (!self || parts.size() != 2) {
            return;
        }
        self->m_translationIndex = parts.at(0).toInt();
        QJsonArray changes;
        for (const QVariant& entry : parts.at(1).toList()) {
            const QVariantList fields = entry.toList();
            if (fields.size() != 3) {
                continue;
            }
            QString text = fields.at(2).toString();
            if (pack->TranslateText(text, 0) != 0) {
                changes.append(QJsonArray{fields.at(0).toInt(), fields.at(1).toBool(), text});
            }
        }
        if (changes.isEmpty()) {
            return;
        }
        const QString apply = QStringLiteral(
            "(function(changes) { var all = document.getElementsByTagName('*');"
            " changes.forEach(function(c) { var e = all[c[0]]; if (!e) return;"
            "  if (c[1]) e.setAttribute('alt', c[2]); else e.textContent = c[2]; }); })(%1)");
        self->page()->runJavaScript(
            apply.arg(QString::fromUtf8(QJsonDocument(changes).toJson(QJsonDocument::Compact))));
    });
}
