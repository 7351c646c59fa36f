#pragma once

// The application's answers to what the main frame asks: its settings and
// script runner, and the selection and exit steps of its seams.

#include "frame/framesite.h"

class CTheApp;

class CAppFrameSite : public CFrameSite {
public:
    explicit CAppFrameSite(CTheApp& app) : m_app(app) {}

    CPreferences& Prefs() override;
    void RunActionScript(const QString& path) override;
    bool HasSelectedItem() override;
    QString SelectedServerBaseURL() override;
    bool SelectedItemHasBrowserPart() override;
    QString SelectedItemFullCurl() override;
    void SetUp(bool up) override;
    void LogoutAllServers() override;
    void SaveRebarLayout() override;
    void AskSaveWorldViewOnExit() override;
    void SaveColumnPreferences() override;
    void ShowAboutWindow() override;
    void ShowDeveloperAbout() override;
    void ShowActionScriptDialog() override;

private:
    CTheApp& m_app;
};
