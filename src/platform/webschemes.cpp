#include "platform/webschemes.h"

#include <QWebEngineUrlScheme>

void RegisterWebSchemes() {
    for (const char* name : {"curl", "app"}) {
        QWebEngineUrlScheme scheme(name);
        scheme.setSyntax(QWebEngineUrlScheme::Syntax::Path);
        scheme.setFlags(QWebEngineUrlScheme::LocalScheme | QWebEngineUrlScheme::LocalAccessAllowed);
        QWebEngineUrlScheme::registerScheme(scheme);
    }
}
