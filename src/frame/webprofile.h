#pragma once

// The one web profile of every browser of the program. Servers see the
// console's own User-Agent ("QVX/" and the version text); the "curl:" and
// "app:" schemes have handlers that refuse every request, so that neither
// an image nor a frame of a page loads one or hands it to the desktop (the
// links themselves reach the pages' navigation checks). The profile shares
// the session of the program's own requests: their cookies are copied in
// before server pages load, a cookie purge of the requests purges here
// too, and cookies that pages set go back to the requests. UI thread only.

#include <QString>

class QWebEngineProfile;

// Made on first use; the QApplication must exist.
QWebEngineProfile& WebProfile();

// Copies every cookie of the program's requests into the browsers' store.
void CopySessionCookiesToBrowsers();
