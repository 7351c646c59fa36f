#pragma once

// What a server connection needs of the program around it: the request
// dispatcher that holds the servers' sessions and cookies, the settings, the
// status bar, the table of server-menu command ids, the World View model
// that holds the server entries, the browser window of "Show XML", the URL
// history, the smart-card login and the main grid.

#include <QString>

class CMenuCommandIds;
class CMySystem;
class CMyTree;
class CNetDispatcher;
class CPreferences;
struct CStringTriple;

class CMySystemSite {
public:
    virtual ~CMySystemSite() = default;

    // The dispatcher that sends the servers' requests.
    virtual CNetDispatcher& Dispatcher() = 0;
    // The settings store; null when there is none.
    virtual CPreferences* Preferences() = 0;
    // Shows the text in the message pane of the status bar.
    virtual void SetStatusText(const QString& text) = 0;
    // The table the servers' menu items take their command ids from.
    virtual CMenuCommandIds& MenuCommandIds() = 0;
    // The World View model whose server entries own the connections; null
    // when there is none.
    virtual CMyTree* WorldViewTree() = 0;
    // Opens a URL in a browser window of its own with the title.
    virtual void LaunchBrowser(const QString& url, const QString& title) = 0;
    // Adds a full curl to the URL history.
    virtual void AddCURL(const QString& fullCurl) = 0;
    // Starts what answers the smart-card middleware's own dialogs during a
    // login's first HTTPS requests.
    virtual void StartSmartCardThread(const CStringTriple& login) = 0;
    // Gives a smart-card login that the user did not start from the login
    // panel its certificate (the one chosen earlier in this run, or asked
    // for) and the "noneed" credentials; false when it has none.
    virtual bool PrepareSmartCardLogin(CMySystem& system) = 0;
    // Keeps the main grid hidden after its next load.
    virtual void KeepMainGridHidden() = 0;
};

// The installed site. Having none is a programming error: the call ends the
// program with a message.
CMySystemSite& MySystemSite();
// Installs the site (null removes it) and returns the one it replaces. The
// site must outlive every server connection made while it is installed and
// every thread that may still reach it.
CMySystemSite* SetMySystemSite(CMySystemSite* site);
