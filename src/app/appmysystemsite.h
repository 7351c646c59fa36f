#pragma once

// The application's answers to what a server connection asks: its request
// dispatcher, its settings, its World View model and the URL history that
// a login or logout adds the server entry's full curl to. Status text and
// command ids come through the UI services, and the later parts keep the
// site's logging defaults until they exist.

#include "server/mysystemsite.h"

class CTheApp;

class CAppMySystemSite : public CMySystemSite {
public:
    explicit CAppMySystemSite(CTheApp& app) : m_app(app) {}

    CNetDispatcher& Dispatcher() override;
    CPreferences* Preferences() override;
    CMyTree* WorldViewTree() override;
    void LaunchBrowser(const QString& url, const QString& title) override;
    void AddCURL(const QString& fullCurl) override;
    void KeepMainGridHidden() override;
    bool PrepareSmartCardLogin(CMySystem& system) override;

private:
    CTheApp& m_app;
};
