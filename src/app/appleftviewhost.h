#pragma once

// The application's side of the World View pane: the action script and
// Stop, the main window's command route and right-hand side, help, the main
// grid, the login panel, the file-object name dialog, the server's
// services, the World View file and the preferences.

#include "tree/leftviewhost.h"

class CTheApp;

class CAppLeftViewHost : public CLeftViewHost {
public:
    explicit CAppLeftViewHost(CTheApp& app) : m_app(app) {}

    bool IsAppUp() const override;
    bool IsAborting() const override;
    bool OnAbortedThread() const override;
    void AbortActions() override;
    void StopRunningWork() override;
    void SendCommand(int commandId) override;
    int RebuildRHS() override;
    bool InContextHelpMode() const override;
    void LaunchHelp(const QString& url) override;
    int RefreshItemKeepSelection(QTreeWidgetItem* item, bool collapse) override;
    CMenuGridRows* MainGrid() override;
    bool IsLoginPanelShown() override;
    void RunLoginPanelOK() override;
    bool AskObjectName(bool folder, QString& name) override;
    int PostToServices(const QString& query) override;
    bool SaveWorldView() override;
    void SavePreferences() override;
    QString ModulePath() const override;
    bool IsContextDebugging() const override;
    void TranslateMenu(QWidget* menu) override;
    void UpdateListImage(const CMyItem* record, int image) override;

private:
    CTheApp& m_app;
};
