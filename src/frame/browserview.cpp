#include "frame/browserview.h"

#include "framework/klog.h"

CBrowserView::CBrowserView(QWidget* parent) : QWebEngineView(parent) {}

void CBrowserView::Navigate(const QString& url) {
    kDebugLog(u"CBrowserView::Navigate(%s)\n", url);
    // The URL goes to the engine as written; it is never re-encoded here.
    load(QUrl(url, QUrl::TolerantMode));
}

void CBrowserView::Stop() {
    stop();
}
