#pragma once

// Stands in for the program around the server connections while a test
// runs: a dispatcher and a menu command-id table of its own, the settings
// and World View the test points it at (none at first), and a record of
// the status texts, browser windows, URL history, smart-card calls and
// main-grid holds the connections asked for. Installs itself for its
// lifetime and puts back the site it replaced.

#include "net/netdispatcher.h"
#include "server/mysystemsite.h"
#include "ui/menucommandids.h"

#include <QString>
#include <QStringList>

class RecordingMySystemSite : public CMySystemSite {
public:
    RecordingMySystemSite() : m_replaced(SetMySystemSite(this)) {}
    ~RecordingMySystemSite() override { SetMySystemSite(m_replaced); }
    RecordingMySystemSite(const RecordingMySystemSite&) = delete;
    RecordingMySystemSite& operator=(const RecordingMySystemSite&) = delete;

    CNetDispatcher& Dispatcher() override { return dispatcher; }
    CPreferences* Preferences() override { return prefs; }
    void SetStatusText(const QString& text) override { statusTexts << text; }
    CMenuCommandIds& MenuCommandIds() override { return commandIds; }
    CMyTree* WorldViewTree() override { return tree; }
    void LaunchBrowser(const QString& url, const QString& title) override {
        browsers << url + QStringLiteral(" | ") + title;
    }
    void AddCURL(const QString& fullCurl) override { history << fullCurl; }
    void StartSmartCardThread(const CStringTriple&) override { ++smartCardStarts; }
    bool PrepareSmartCardLogin(CMySystem&) override {
        ++smartCardPreparations;
        return smartCardReady;
    }
    void KeepMainGridHidden() override { ++gridHidden; }

    CNetDispatcher dispatcher;
    CMenuCommandIds commandIds;
    CPreferences* prefs = nullptr;
    CMyTree* tree = nullptr;
    // The answer to a smart-card login's preparation.
    bool smartCardReady = false;

    QStringList statusTexts;
    QStringList browsers;  // "url | title"
    QStringList history;
    int smartCardStarts = 0;
    int smartCardPreparations = 0;
    int gridHidden = 0;

private:
    CMySystemSite* m_replaced;
};
