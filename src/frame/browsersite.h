#pragma once

// What the program's browsers need of the application around them: whether
// the program is up, whether a page submit of the properties panel is under
// way (its "curl:" links must not run meanwhile), whether a page belongs to
// a logged-in server and that server's credentials, the client-side logout after a 401,
// the browser row of the main window, the grid row a cleared DirtyBit
// leaves behind, whether pages announce server processes, the language pack
// and the main window. The application installs its implementation at
// start-up and removes it at exit, after its windows are gone.

#include <QString>

class QUrl;
class QWidget;

class CBrowserSite {
public:
    virtual ~CBrowserSite() = default;

    // Whether the program is up: pages run no actions before or after.
    virtual bool IsUp() const = 0;
    // Whether a page submit of the properties panel is under way.
    virtual bool IsPageSubmitGuarded() const = 0;
    // Whether a logged-in server's scheme, host and port are the URL's.
    virtual bool IsLoggedInServer(const QUrl& url) const = 0;
    // The user and password of the logged-in server whose scheme, host and
    // port are the URL's; false when no logged-in server matches.
    virtual bool CredentialsFor(const QUrl& url, QString& user, QString& password) = 0;
    // A page of the URL answered 401: its server is logged out.
    virtual void OnUnauthorized(const QUrl& url) = 0;
    // Whether the main window's browser row is shown.
    virtual bool IsBrowserRowShown() = 0;
    // The page's DirtyBit was cleared: an empty last row of the main grid goes.
    virtual void DropEmptyLastGridRow() = 0;
    // Whether pages' server processes are registered (the selected server
    // runs on "win32").
    virtual bool WantsServerPid() = 0;
    // Whether the language pack is active: marked page texts are translated.
    virtual bool IsLanguagePackActive() = 0;
    // Lets waiting events run while a browser waits for its page.
    virtual void PumpMessages() = 0;
    // The program's main window, null before it exists.
    virtual QWidget* MainWindow() = 0;
};

// The installed site. Reaching for it while none is installed is a wiring
// fault and ends the program at once.
CBrowserSite& BrowserSite();
// Installs the site; null removes it. It must outlive every browser.
void SetBrowserSite(CBrowserSite* site);
