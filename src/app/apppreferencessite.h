#pragma once

// The application's answers to what the preferences store asks of the
// windows: the main frame and its splitter, the language pack and the
// warning box. The folder list and the rebar layout keep the store's logging
// defaults until those parts exist.

#include "settings/preferencessite.h"

class CTheApp;

class CAppPreferencesSite : public CPreferencesSite {
public:
    explicit CAppPreferencesSite(CTheApp& app) : m_app(app) {}

    QWidget* MainFrameWindow() override;
    std::optional<int> MainSplitterColumnWidth() override;
    void SetMainSplitterColumn(int width, int minimum) override;
    void LoadBuiltInLanguagePack() override;
    void LoadLanguagePack(const QString& path) override;
    void WarningBox(const QString& text) override;

private:
    CTheApp& m_app;
};
