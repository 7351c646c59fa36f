#pragma once

// Catches the web addresses that the program hands to the desktop
// (QDesktopServices::openUrl) for the http and https schemes while it
// exists, instead of starting a browser.

#include <QDesktopServices>
#include <QList>
#include <QObject>
#include <QUrl>

class UrlCatcher : public QObject {
    Q_OBJECT
public:
    UrlCatcher() {
        for (const char* scheme : {"http", "https"}) {
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), this, "catchUrl");
        }
    }
    ~UrlCatcher() override {
        for (const char* scheme : {"http", "https"}) {
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
        }
    }
    UrlCatcher(const UrlCatcher&) = delete;
    UrlCatcher& operator=(const UrlCatcher&) = delete;

    QList<QUrl> urls;

public Q_SLOTS:
    void catchUrl(const QUrl& url) { urls << url; }
};
