#pragma once

// The application's answers to what the program's browsers ask: the
// app-is-up flag and the page-submit guard, the logged-in servers and their
// credentials, logout after a 401, the main window's browser row and
// grid, whether the selected server announces processes, the language
// pack and the pump.

#include "frame/browsersite.h"

class CTheApp;
class CMySystem;
class QTreeWidgetItem;

class CAppBrowserSite : public CBrowserSite {
public:
    explicit CAppBrowserSite(CTheApp& app) : m_app(app) {}

    bool IsUp() const override;
    bool IsPageSubmitGuarded() const override;
    bool IsLoggedInServer(const QUrl& url) const override;
    bool CredentialsFor(const QUrl& url, QString& user, QString& password) override;
    void OnUnauthorized(const QUrl& url) override;
    bool IsBrowserRowShown() override;
    void DropEmptyLastGridRow() override;
    bool WantsServerPid() override;
    bool IsLanguagePackActive() override;
    void PumpMessages() override;
    QWidget* MainWindow() override;

private:
    // The World View's server entry at the URL's scheme, host and port
    // (logged in only, when asked), or null.
    QTreeWidgetItem* findServerItem(const QUrl& url, bool loggedInOnly) const;

    CTheApp& m_app;
};
