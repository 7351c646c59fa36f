#pragma once

// The application's answers to what the preferences store asks of the
// windows: the main frame and its splitter, the folder list's style, the
// language pack, the warning box and the rebar's band layout.

#include "settings/preferencessite.h"

class CTheApp;

class CAppPreferencesSite : public CPreferencesSite {
public:
    explicit CAppPreferencesSite(CTheApp& app) : m_app(app) {}

    QWidget* MainFrameWindow() override;
    std::optional<int> MainSplitterColumnWidth() override;
    void SetMainSplitterColumn(int width, int minimum) override;
    void ApplyListViewMode(int styleBits) override;
    void RestoreRebarLayout() override;
    void LoadBuiltInLanguagePack() override;
    void LoadLanguagePack(const QString& path) override;
    void WarningBox(const QString& text) override;

private:
    CTheApp& m_app;
};
