#pragma once

// What a server connection needs of the program around it: the request
// dispatcher that holds the servers' sessions and cookies, the settings, the
// status bar, the table of server-menu command ids, the World View model
// that holds the server entries, and the parts that are built later (the
// browser window of "Show XML", the URL history, the smart-card dialog
// helper and the main grid). The application installs its own site, which
// answers with its dispatcher, settings and World View. The default has a
// dispatcher of its own, no settings and no World View, reaches the status
// text and command ids through the UI services where they are installed
// (its own command-id table otherwise), and writes one "SEAM" debug line for
// each later part it is asked for.

#include <QString>

#include <memory>

class CMenuCommandIds;
class CMySystem;
class CMyTree;
class CNetDispatcher;
class CPreferences;
struct CStringTriple;

class CMySystemSite {
public:
    CMySystemSite();
    virtual ~CMySystemSite();
    CMySystemSite(const CMySystemSite&) = delete;
    CMySystemSite& operator=(const CMySystemSite&) = delete;

    virtual CNetDispatcher& Dispatcher();
    // The settings store; null when there is none.
    virtual CPreferences* Preferences();
    // The message pane of the status bar.
    virtual void SetStatusText(const QString& text);
    virtual CMenuCommandIds& MenuCommandIds();
    // The World View model whose server entries own the connections; null
    // when there is none.
    virtual CMyTree* WorldViewTree();

    // Opens a URL in a browser window of its own with the title.
    virtual void LaunchBrowser(const QString& url, const QString& title);
    // Adds a full curl to the URL history.
    virtual void AddCURL(const QString& fullCurl);
    // Where the smart-card middleware opened dialogs of its own during the
    // first HTTPS requests, a helper answered them; here the program asks
    // for the PIN and certificate itself, so this only logs.
    virtual void StartSmartCardThread(const CStringTriple& login);
    // Gives a smart-card login that the user did not start from the login
    // panel its certificate (the one chosen earlier in this run, or asked
    // for) and the "noneed" credentials; false when it has none.
    virtual bool PrepareSmartCardLogin(CMySystem& system);
    // Keeps the main grid hidden after its next load.
    virtual void KeepMainGridHidden();

private:
    std::unique_ptr<CNetDispatcher> m_dispatcher;
    std::unique_ptr<CMenuCommandIds> m_commandIds;
};

// The installed site, or the default.
CMySystemSite& MySystemSite();
// Installs the site; null restores the default. The site must outlive every
// server connection made while it is installed.
void SetMySystemSite(CMySystemSite* site);
