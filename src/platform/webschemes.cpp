#include "platform/webschemes.h"

#include <QWebEngineUrlScheme>

void RegisterWebSchemes() {
    for (const char* name : {"curl", "app"}) {
        QWebEngineUrlScheme scheme(name);
        scheme.setSyntax(QWebEngineUrlScheme::Syntax::Path);
        // Not local: a served page may only follow links to local schemes
        // of its own, and the program's links must reach its navigation
        // checks. Loading them as resources is refused by the profile.
        scheme.setFlags({});
        QWebEngineUrlScheme::registerScheme(scheme);
    }
}
