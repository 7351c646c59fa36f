#pragma once

// What the program's browsers need of the application around them: whether
// the program is up, whether a page submit of the properties panel is under
// way (its "curl:" links must not run meanwhile), the credentials of the
// logged-in server a page belongs to, the client-side logout after a 401,
// the browser row of the main window, the grid row a cleared DirtyBit
// leaves behind, the server process a page announces and the main window.
// The application installs its implementation at start-up; the default
// answers "not up", so pages alone never run actions.

#include <QString>

class QUrl;
class QWidget;

class CBrowserSite {
public:
    virtual ~CBrowserSite() = default;

    virtual bool IsUp() const { return false; }
    virtual bool IsPageSubmitGuarded() const { return false; }
    // The user and password of the logged-in server whose scheme, host and
    // port are the URL's; false when no logged-in server matches.
    virtual bool CredentialsFor(const QUrl& url, QString& user, QString& password);
    // A page of the URL answered 401: its server is logged out.
    virtual void OnUnauthorized(const QUrl& url);
    // The main window's browser row is shown.
    virtual bool IsBrowserRowShown() { return false; }
    // The page's DirtyBit was cleared: an empty last row of the main grid goes.
    virtual void DropEmptyLastGridRow() {}
    // Whether pages' server processes are registered (the selected server
    // runs on "win32"), and the registration; `owner` is the browser.
    virtual bool WantsServerPid() { return false; }
    virtual void RegisterServerPid(const void* owner, quint32 pid);
    // The language pack is active: marked page texts are translated.
    virtual bool IsLanguagePackActive() { return false; }
    // Lets waiting events run while a browser waits for its page.
    virtual void PumpMessages() {}
    // The program's main window, null before it exists.
    virtual QWidget* MainWindow() { return nullptr; }
};

// The installed site, or the default.
CBrowserSite& BrowserSite();
// Installs the site; null restores the default. It must outlive every browser.
void SetBrowserSite(CBrowserSite* site);
