#pragma once

// The application's answers to what a server connection asks: its request
// dispatcher, settings, status bar, menu command-id table and World View
// model, its browser windows, the URL history that a login adds the server
// entry's full curl to, the smart-card login of the login panel and the
// main grid of the main window.

#include "server/mysystemsite.h"

class CTheApp;

class CAppMySystemSite : public CMySystemSite {
public:
    explicit CAppMySystemSite(CTheApp& app) : m_app(app) {}

    CNetDispatcher& Dispatcher() override;
    CPreferences* Preferences() override;
    void SetStatusText(const QString& text) override;
    CMenuCommandIds& MenuCommandIds() override;
    CMyTree* WorldViewTree() override;
    void LaunchBrowser(const QString& url, const QString& title) override;
    void AddCURL(const QString& fullCurl) override;
    void StartSmartCardThread(const CStringTriple& login) override;
    bool PrepareSmartCardLogin(CMySystem& system) override;
    void KeepMainGridHidden() override;

private:
    CTheApp& m_app;
};
