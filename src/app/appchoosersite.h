#pragma once

// The application's answers to what the choosers ask: the World View, the
// preferences, the main frame's properties pane and the options dialog.

#include "dialogs/choosersite.h"

class CTheApp;

class CAppChooserSite : public CChooserSite {
public:
    explicit CAppChooserSite(CTheApp& app) : m_app(app) {}

    CMyTree& Tree() override;
    CPreferences& Prefs() override;
    void CloseProperties() override;
    void ShowOptionsDialog(int page) override;

private:
    CTheApp& m_app;
};
