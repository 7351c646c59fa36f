#include "frame/browserview.h"

#include "framework/klog.h"

CBrowserView::CBrowserView(QWidget* parent) : QWebEngineView(parent) {
    connect(this, &QWebEngineView::loadStarted, this, [this] { m_navigating = true; });
    connect(this, &QWebEngineView::loadFinished, this, [this] { m_navigating = false; });
}

void CBrowserView::Navigate(const QString& url) {
    kDebugLog(u"CBrowserView::Navigate(%s)\n", url);
    // The URL goes to the engine as written; it is never re-encoded here.
    load(QUrl(url, QUrl::TolerantMode));
}

void CBrowserView::Stop() {
    stop();
    m_navigating = false;
}
