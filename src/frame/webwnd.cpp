#include "frame/webwnd.h"

#include "frame/webpage.h"
#include "frame/webprofile.h"

#include <QVBoxLayout>

CWebWnd::CWebWnd(QWidget* parent) : QWidget(parent), m_browser(new CWebPane(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
    connect(m_browser, &QWebEngineView::titleChanged, this, [this](const QString& title) {
        if (isWindow()) {
            setWindowTitle(title);
        }
    });
    m_browser->setUrl(QUrl(QStringLiteral("about:blank")));
}

void CWebWnd::Navigate(const QString& url) {
    CopySessionCookiesToBrowsers();
    m_browser->load(QUrl(url, QUrl::TolerantMode));
}
