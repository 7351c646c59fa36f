#pragma once

// The application's answers to what the About box asks: settings, module
// path, the URL trail and its dialog, and the login to all matching servers.

#include "dialogs/aboutsite.h"

class CTheApp;

class CAppAboutSite : public CAboutSite {
public:
    explicit CAppAboutSite(CTheApp& app) : m_app(app) {}

    CPreferences& Prefs() override;
    QString ModulePath() override;
    QString URLTrailHTML() override;
    void ShowPlaybackOptions(QWidget* parent) override;
    void LoginAllMatching(const QString& hosts) override;

private:
    CTheApp& m_app;
};
