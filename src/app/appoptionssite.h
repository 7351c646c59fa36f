#pragma once

// The application's answers to what the options dialog asks: settings,
// language pack, the main World View, the right-hand side, the status bar,
// boxes, file dialogs and the site of the editor's progress dialog.

#include "dialogs/optionssite.h"

class CTheApp;

class CAppOptionsSite : public COptionsSite {
public:
    explicit CAppOptionsSite(CTheApp& app) : m_app(app) {}

    CPreferences& Prefs() override;
    CLangPack& LangPack() override;
    bool IsWorldViewModified() override;
    bool SaveWorldView() override;
    bool LoadWorldView(const QString& address) override;
    bool IsSmartTreeFolderSelected() override;
    bool RebuildRightHandSide() override;
    bool IsChunkNavigatorShown() override;
    void Refresh() override;
    void SetStatusText(const QString& text) override;
    int MessageBox(const QString& text, int type) override;
    int CancelFlag() override;
    bool PromptForFile(bool open, QString& path, const QString& initialName,
                       const QString& defaultExtension, const QString& filter,
                       QWidget* parent) override;
    CProgressBarSite& ProgressSite() override;

private:
    CTheApp& m_app;
};
