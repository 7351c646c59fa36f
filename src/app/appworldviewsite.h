#pragma once

// The application's answers to what the World View file asks beyond its
// defaults: whether the World View is a new one that has no file yet, a mark
// the main frame's New World View sets, and the restoring flag.

#include "tree/worldviewfile.h"

class CTheApp;

class CAppWorldViewSite : public CWorldViewSite {
public:
    explicit CAppWorldViewSite(CTheApp& app) : m_app(app) {}

    bool IsNewWorldViewUnsaved() override;
    void ClearNewWorldViewUnsaved() override;
    void AutoLogin(CMyTree& tree, QTreeWidgetItem* server) override;
    // The main grid's layout, before the World View it shows goes away.
    void SaveColumnPrefs() override;
    void SetRestoring(bool restoring) override;

private:
    CTheApp& m_app;
};
