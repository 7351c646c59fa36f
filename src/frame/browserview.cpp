#include "frame/browserview.h"

#include "frame/navigateargs.h"
#include "framework/klog.h"

#include <QWebEngineHttpRequest>

// The engine draws into a widget of its own that needs a GL surface, and it
// makes that widget once the view has a page. Made after the window is
// shown, it would change the surface of a window already mapped, which is
// torn down and mapped again: a flicker at every start. So the view opens
// its blank page now, before any window shows it.
CBrowserView::CBrowserView(QWidget* parent) : QWebEngineView(parent) {
    connect(this, &QWebEngineView::loadStarted, this, [this] { m_navigating = true; });
    connect(this, &QWebEngineView::loadFinished, this, [this] { m_navigating = false; });
    setUrl(QUrl(QStringLiteral("about:blank")));
}

void CBrowserView::Navigate(const QString& url) {
    kDebugLog(u"CBrowserView::Navigate(%s)\n", url);
    // The URL goes to the engine as written; it is never re-encoded here.
    load(QUrl(url, QUrl::TolerantMode));
}

void CBrowserView::Navigate(const CNavigateArgs& args) {
    kDebugLog(u"CBrowserView::Navigate(%s) with %d bytes of post data\n", args.url,
              static_cast<int>(args.postData.size()));
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
    load(request);
}

void CBrowserView::Stop() {
    stop();
    m_navigating = false;
}
