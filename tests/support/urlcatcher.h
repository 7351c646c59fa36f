#pragma once

// Catches the web addresses that the program hands to the desktop
// (QDesktopServices::openUrl) for the http and https schemes, or the schemes
// named, while it exists, instead of starting a browser or an editor.

#include <QDesktopServices>
#include <QList>
#include <QStringList>
#include <QObject>
#include <QUrl>

class UrlCatcher : public QObject {
    Q_OBJECT
public:
    // The http and https schemes unless others are named.
    explicit UrlCatcher(QStringList schemes = {QStringLiteral("http"), QStringLiteral("https")})
        : m_schemes(std::move(schemes)) {
        for (const QString& scheme : m_schemes) {
            QDesktopServices::setUrlHandler(scheme, this, "catchUrl");
        }
    }
    ~UrlCatcher() override {
        for (const QString& scheme : m_schemes) {
            QDesktopServices::unsetUrlHandler(scheme);
        }
    }
    UrlCatcher(const UrlCatcher&) = delete;
    UrlCatcher& operator=(const UrlCatcher&) = delete;

    QList<QUrl> urls;

public Q_SLOTS:
    void catchUrl(const QUrl& url) { urls << url; }

private:
    QStringList m_schemes;
};
