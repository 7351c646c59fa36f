#pragma once

// The application's answers to what the World View file asks: its boxes and
// save dialog, whether the World View is a new one that has no file (a
// mark the main frame's New World View sets), the restoring flag, the
// automatic login, the remembered locator and the main grid's columns.

#include "tree/worldviewfile.h"

class CTheApp;

class CAppWorldViewSite : public CWorldViewSite {
public:
    explicit CAppWorldViewSite(CTheApp& app) : m_app(app) {}

    void WarningBox(const QString& text) override;
    bool AskYesNo(const QString& text) override;
    bool PromptForSavePath(QString& path) override;
    bool IsNewWorldViewUnsaved() override;
    void ClearNewWorldViewUnsaved() override;
    void PumpMessages() override;
    void AutoLogin(CMyTree& tree, QTreeWidgetItem* server) override;
    void DispatchCurl(const QString& curl) override;
    // The main grid's layout, before the World View it shows goes away.
    void SaveColumnPrefs() override;
    void SetRestoring(bool restoring) override;

private:
    CTheApp& m_app;
};
